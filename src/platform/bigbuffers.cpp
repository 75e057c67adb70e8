#include "platform/bigbuffers.h"

#include <malloc.h>

namespace platform
{

namespace
{

// The allocator's own defaults: blocks above the mapping threshold get mappings of their own, and
// free memory at the top of the heap above this goes back.
constexpr int DefaultMappings = 65536;
constexpr int DefaultTrimThreshold = 128 * 1024;
// Enough for the layout of the longest line a page can hold in memory.
constexpr int KeptTrimThreshold = 1024 * 1024 * 1024;

bool kept = false;

} // namespace

void keepBigBuffers(bool on)
{
    if (on == kept)
        return;
    kept = on;
#ifdef __GLIBC__
    if (on) {
        mallopt(M_MMAP_MAX, 0);
        mallopt(M_TRIM_THRESHOLD, KeptTrimThreshold);
    } else {
        mallopt(M_MMAP_MAX, DefaultMappings);
        mallopt(M_TRIM_THRESHOLD, DefaultTrimThreshold);
        malloc_trim(0);
    }
#endif
}

} // namespace platform
