// The machine's memory figures in bytes.
#include "platform/system/MemoryStatus.h"

#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/sysinfo.h>

namespace {

// Virtual size of this process from /proc; 0 when it cannot be read.
std::uint64_t ProcessVirtualSize()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    std::uint64_t kib = 0;
    while (status >> key) {
        if (key == "VmSize:") {
            status >> kib;
            return kib * 1024;
        }
        status.ignore(1 << 16, '\n');
    }
    return 0;
}

} // namespace

MemoryStatus QueryMemoryStatus()
{
    MemoryStatus status;
    struct sysinfo info {};
    if (sysinfo(&info) == 0) {
        status.totalPhysical = static_cast<std::uint64_t>(info.totalram) * info.mem_unit;
        status.availablePhysical = static_cast<std::uint64_t>(info.freeram + info.bufferram) * info.mem_unit;
    }
    // The address space: the process limit when one is set, else physical memory plus swap.
    struct rlimit limit;
    const bool limited = getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY;
    status.totalVirtual = limited ? static_cast<std::uint64_t>(limit.rlim_cur)
                                  : status.totalPhysical + static_cast<std::uint64_t>(info.totalswap) * info.mem_unit;
    const std::uint64_t used = ProcessVirtualSize();
    status.availableVirtual = status.totalVirtual > used ? status.totalVirtual - used : 0;
    return status;
}
