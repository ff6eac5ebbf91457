// The processor's CPUID instruction, where the machine has one.
#include "platform/cpu/CpuidInstruction.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

bool CpuidAvailable()
{
#if defined(__x86_64__) || defined(__i386__)
    return __get_cpuid_max(0, nullptr) != 0;
#else
    return false;
#endif
}

CpuidRegisters CpuidLeaf(std::uint32_t leaf)
{
    CpuidRegisters r;
#if defined(__x86_64__) || defined(__i386__)
    __cpuid(leaf, r.eax, r.ebx, r.ecx, r.edx);
#else
    (void)leaf;
#endif
    return r;
}
