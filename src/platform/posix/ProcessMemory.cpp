// Physical and resident memory (see ProcessMemory.h), from sysconf and the kernel's
// per-process memory counts.
#include "platform/posix/ProcessMemory.h"

#include <cstdio>
#include <unistd.h>

namespace narvo {

std::int64_t PhysicalMemory()
{
    const long Pages = sysconf(_SC_PHYS_PAGES);
    const long PageSize = sysconf(_SC_PAGESIZE);
    return Pages > 0 && PageSize > 0 ? static_cast<std::int64_t>(Pages) * PageSize : 0;
}

std::int64_t ResidentMemory()
{
    std::FILE* F = std::fopen("/proc/self/statm", "r");
    if (!F)
        return 0;
    long long Size = 0, Resident = 0;
    const int Read = std::fscanf(F, "%lld %lld", &Size, &Resident);
    std::fclose(F);
    const long PageSize = sysconf(_SC_PAGESIZE);
    return Read == 2 && PageSize > 0 ? static_cast<std::int64_t>(Resident) * PageSize : 0;
}

}  // namespace narvo
