// CPUID: identifies the processor and answers feature questions (MMX chooses the row kernels).
#pragma once

#include "platform/cpu/CpuidInstruction.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

class CPUID {
public:
    using LeafQuery = std::function<CpuidRegisters(std::uint32_t leaf)>;

    // Scans this machine's processor.
    CPUID();
    // Scans through `query` as if the instruction existed when `valid` is true (tests).
    CPUID(bool valid, LeafQuery query);

    bool ValidCPUID() const { return valid_; }
    std::uint32_t GetType() const { return type_; }
    int GetFamily() const { return family_; }
    int GetModel() const { return model_; }
    int GetStepping() const { return stepping_; }
    std::uint32_t GetFeatures() const { return features_; }
    std::string GetVendor() const { return std::string(vendor_.data(), vendor_.size()); }
    // Serial number parts: ECX and EDX of leaf 3, EAX of leaf 1.
    const std::array<std::uint32_t, 3>& GetSerial() const { return serial_; }

    bool IsFPUSupport() const { return Bit(0); }
    bool IsTimeStampCounterSupport() const { return Bit(4); }
    bool IsCmpxchg8bSupport() const { return Bit(8); }
    bool IsCmovSupport() const { return Bit(15); }
    bool IsMmxSupport() const { return Bit(23); }
    bool Is3dnowSupport() const { return (IsVendor("AuthenticAMD") || IsVendor("CentaurHauls")) && Bit(31); }
    bool IsEx3dnowSupport() const { return IsVendor("AuthenticAMD") && Bit(30); }
    bool IsPsnEnable() const { return IsVendor("GenuineIntel") && Bit(18); }
    bool IsFxsaveSupport() const { return IsVendor("GenuineIntel") && Bit(24); }
    bool IsSseSupport() const { return IsVendor("GenuineIntel") && Bit(25); }

private:
    void ScanCPUID();
    void ScanCPUID_AMD();
    void ScanCPUID_CYRIX();
    void ScanCPUID_INTEL();
    void ScanCPUID_OTHER();
    void SetFamily(std::uint32_t signature, std::uint32_t features);

    bool Bit(int bit) const { return (features_ >> bit) & 1u; }
    bool IsVendor(const char* name) const { return GetVendor() == name; }

    LeafQuery query_;
    bool valid_ = false;
    std::uint32_t type_ = 0;
    int family_ = -1;
    int model_ = -1;
    int stepping_ = -1;
    std::uint32_t features_ = 0;
    std::array<char, 12> vendor_{};
    std::array<std::uint32_t, 3> serial_{};
};
