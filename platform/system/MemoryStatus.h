// The machine's memory figures in bytes.
#pragma once

#include <cstdint>

struct MemoryStatus {
    std::uint64_t totalPhysical = 0;
    std::uint64_t availablePhysical = 0;
    // The address space a process may use, and what of it is still free.
    std::uint64_t totalVirtual = 0;
    std::uint64_t availableVirtual = 0;
};

MemoryStatus QueryMemoryStatus();
