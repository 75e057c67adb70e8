#include "document/cp932output.h"

#include <sys/mman.h>

#include <cstdint>

namespace document::cp932
{

void resizeOutput(QByteArray &bytes, qsizetype size)
{
    bytes.resize(size);
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t kHugePage = 2 << 20;
    if (size < 2 * qsizetype(kHugePage))
        return;
    const auto start = reinterpret_cast<std::uintptr_t>(bytes.data());
    const std::uintptr_t first = (start + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t end = (start + std::uintptr_t(size)) & ~(kHugePage - 1);
    // Only a hint: without huge pages the area works as before.
    if (end > first)
        madvise(reinterpret_cast<void *>(first), end - first, MADV_HUGEPAGE);
#endif
}

} // namespace document::cp932
