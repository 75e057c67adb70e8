#include "codec/cp932output.h"

#include <sys/mman.h>

#include <cstdint>

namespace codec::cp932
{

void adviseHugePages(void *data, qsizetype bytes)
{
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t kHugePage = 2 << 20;
    if (bytes < 2 * qsizetype(kHugePage))
        return;
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (start + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t end = (start + std::uintptr_t(bytes)) & ~(kHugePage - 1);
    // Without huge pages the area works as before, so a refusal changes nothing.
    if (end > first)
        madvise(reinterpret_cast<void *>(first), end - first, MADV_HUGEPAGE);
#else
    Q_UNUSED(data);
    Q_UNUSED(bytes);
#endif
}

void resizeOutput(QByteArray &bytes, qsizetype size)
{
    bytes.resize(size);
    adviseHugePages(bytes.data(), size);
}

} // namespace codec::cp932
