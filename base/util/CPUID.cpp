// CPUID: identifies the processor and answers feature questions (MMX chooses the row kernels).
#include "base/util/CPUID.h"

#include <cstring>

CPUID::CPUID() : CPUID(CpuidAvailable(), CpuidLeaf) {}

CPUID::CPUID(bool valid, LeafQuery query) : query_(std::move(query)), valid_(valid)
{
    if (!valid_)
        return;
    try {
        ScanCPUID();
    } catch (...) {
        features_ = 0;
    }
}

void CPUID::ScanCPUID()
{
    const CpuidRegisters leaf0 = query_(0);
    std::memcpy(vendor_.data(), &leaf0.ebx, 4);
    std::memcpy(vendor_.data() + 4, &leaf0.edx, 4);
    std::memcpy(vendor_.data() + 8, &leaf0.ecx, 4);
    if (IsVendor("AuthenticAMD"))
        ScanCPUID_AMD();
    else if (IsVendor("CyrixInstead"))
        ScanCPUID_CYRIX();
    else if (IsVendor("CentaurHauls") || IsVendor("RiseRiseRise"))
        ScanCPUID_OTHER();
    else if (IsVendor("GenuineIntel"))
        ScanCPUID_INTEL();
}

void CPUID::ScanCPUID_AMD()
{
    if (query_(0x80000000).eax == 0)
        return ScanCPUID_OTHER();
    const CpuidRegisters extended = query_(0x80000001);
    SetFamily(extended.eax, extended.edx);
}

void CPUID::ScanCPUID_CYRIX()
{
    if (query_(0x80000000).eax < 0x80000000)
        return ScanCPUID_OTHER();
    const CpuidRegisters extended = query_(0x80000001);
    SetFamily(extended.eax, extended.edx);
}

void CPUID::ScanCPUID_INTEL()
{
    const CpuidRegisters leaf1 = query_(1);
    SetFamily(leaf1.eax, leaf1.edx);
    if (IsPsnEnable()) {
        const CpuidRegisters leaf3 = query_(3);
        serial_ = {leaf3.ecx, leaf3.edx, leaf1.eax};
    }
}

void CPUID::ScanCPUID_OTHER()
{
    const CpuidRegisters leaf1 = query_(1);
    SetFamily(leaf1.eax, leaf1.edx);
}

void CPUID::SetFamily(std::uint32_t signature, std::uint32_t features)
{
    features_ = features;
    type_ = (signature >> 12) & 0x3;
    family_ = static_cast<int>((signature >> 8) & 0xF);
    model_ = static_cast<int>((signature >> 4) & 0xF);
    stepping_ = static_cast<int>(signature & 0xF);
}
