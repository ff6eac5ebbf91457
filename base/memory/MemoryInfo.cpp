// Memory status queries in bytes, each capped at the largest int.
#include "base/memory/MemoryInfo.h"

#include "platform/system/MemoryStatus.h"

#include <algorithm>
#include <climits>

namespace {

int Capped(std::uint64_t bytes) { return static_cast<int>(std::min<std::uint64_t>(bytes, INT_MAX)); }

} // namespace

int TotalPhysicalMemory() { return Capped(QueryMemoryStatus().totalPhysical); }
int AvailPhysicalMemory() { return Capped(QueryMemoryStatus().availablePhysical); }
int TotalVirtualMemory() { return Capped(QueryMemoryStatus().totalVirtual); }
int AvailVirtualMemory() { return Capped(QueryMemoryStatus().availableVirtual); }
