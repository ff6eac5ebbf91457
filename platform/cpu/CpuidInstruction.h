// The processor's CPUID instruction, where the machine has one.
#pragma once

#include <cstdint>

struct CpuidRegisters {
    std::uint32_t eax = 0;
    std::uint32_t ebx = 0;
    std::uint32_t ecx = 0;
    std::uint32_t edx = 0;
};

// True on processors that have the instruction (every x86-64 processor; never elsewhere).
bool CpuidAvailable();
// The registers of one leaf; all zero where the instruction is missing.
CpuidRegisters CpuidLeaf(std::uint32_t leaf);
