#include "platform/bigbuffers.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <malloc.h>
#include <string>
#include <unistd.h>

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

constexpr const char *Tunables = "GLIBC_TUNABLES";
constexpr const char *HugePages = "glibc.malloc.hugetlb=1";
// Set only for the restart: "0" when GLIBC_TUNABLES was unset, else "1:" and its value.
constexpr const char *TunablesBefore = "TAVLEN_TUNABLES_BEFORE";

void putTunablesBack(const char *before)
{
    if (before[0] == '1' && before[1] == ':')
        setenv(Tunables, before + 2, 1);
    else
        unsetenv(Tunables);
    unsetenv(TunablesBefore);
}

// Whether the system gives huge pages to memory that asks for them and only to that.
bool hugePagesOnlyWhenAsked()
{
    std::ifstream mode("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string line;
    return std::getline(mode, line) && line.find("[madvise]") != std::string::npos;
}

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

void restartWithHugePages(char **argv)
{
#ifdef __GLIBC__
    if (const char *before = std::getenv(TunablesBefore)) {
        const std::string saved(before);
        putTunablesBack(saved.c_str());
        return;
    }
    const char *current = std::getenv(Tunables);
    if ((current && std::strstr(current, "glibc.malloc.hugetlb")) || !hugePagesOnlyWhenAsked())
        return; // the user chose, or asking would change nothing
    const std::string before = current ? std::string("1:") + current : std::string("0");
    const std::string tunables =
        current && *current ? std::string(current) + ":" + HugePages : std::string(HugePages);
    setenv(TunablesBefore, before.c_str(), 1);
    setenv(Tunables, tunables.c_str(), 1);
    execv("/proc/self/exe", argv);
    putTunablesBack(before.c_str()); // not restarted: go on as it is
#else
    (void)argv;
#endif
}

} // namespace platform
