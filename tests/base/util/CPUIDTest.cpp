// CPUID: vendor dispatch and feature tests with injected registers, and the real processor.
#include "base/util/CPUID.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

namespace {

// Registers per leaf; leaf 0 carries the vendor string in EBX, EDX, ECX.
CPUID::LeafQuery Machine(const char* vendor, std::map<std::uint32_t, CpuidRegisters> leaves)
{
    CpuidRegisters leaf0;
    std::memcpy(&leaf0.ebx, vendor, 4);
    std::memcpy(&leaf0.edx, vendor + 4, 4);
    std::memcpy(&leaf0.ecx, vendor + 8, 4);
    leaves[0] = leaf0;
    return [leaves](std::uint32_t leaf) {
        const auto it = leaves.find(leaf);
        return it == leaves.end() ? CpuidRegisters{} : it->second;
    };
}

constexpr std::uint32_t kAllBits = 0xFFFFFFFFu;
// Family 6, model 10, stepping 3, type 1.
constexpr std::uint32_t kSignature = 0x16A3;

TEST(CPUID, NoInstructionMeansNoFeatures)
{
    const CPUID cpu(false, Machine("GenuineIntel", {{1, {kSignature, 0, 0, kAllBits}}}));
    EXPECT_FALSE(cpu.ValidCPUID());
    EXPECT_EQ(cpu.GetFeatures(), 0u);
    EXPECT_EQ(cpu.GetFamily(), -1);
    EXPECT_FALSE(cpu.IsMmxSupport());
    EXPECT_FALSE(cpu.IsFPUSupport());
}

TEST(CPUID, UnknownVendorLeavesEverythingUnscanned)
{
    const CPUID cpu(true, Machine("SomeoneElse!", {{1, {kSignature, 0, 0, kAllBits}}}));
    EXPECT_TRUE(cpu.ValidCPUID());
    EXPECT_EQ(cpu.GetVendor(), "SomeoneElse!");
    EXPECT_EQ(cpu.GetFamily(), -1);
    EXPECT_FALSE(cpu.IsMmxSupport());
    EXPECT_FALSE(cpu.Is3dnowSupport());
}

TEST(CPUID, IntelReadsLeafOneAndItsOwnFeatures)
{
    const CPUID cpu(true, Machine("GenuineIntel", {{1, {kSignature, 0, 0, kAllBits}}, {3, {0, 0, 0x33, 0x44}}}));
    EXPECT_EQ(cpu.GetType(), 1u);
    EXPECT_EQ(cpu.GetFamily(), 6);
    EXPECT_EQ(cpu.GetModel(), 10);
    EXPECT_EQ(cpu.GetStepping(), 3);
    EXPECT_TRUE(cpu.IsMmxSupport());
    EXPECT_TRUE(cpu.IsSseSupport());
    EXPECT_TRUE(cpu.IsFxsaveSupport());
    EXPECT_TRUE(cpu.IsPsnEnable());
    EXPECT_FALSE(cpu.Is3dnowSupport()) << "3DNow! only for AMD and Centaur";
    EXPECT_FALSE(cpu.IsEx3dnowSupport());
    EXPECT_EQ(cpu.GetSerial(), (std::array<std::uint32_t, 3>{0x33, 0x44, kSignature}));
}

TEST(CPUID, AmdReadsTheExtendedLeaf)
{
    const std::uint32_t features = (1u << 23) | (1u << 31) | (1u << 30) | (1u << 25);
    const CPUID cpu(true, Machine("AuthenticAMD", {{1, {0x500, 0, 0, 0}},
                                                   {0x80000000, {0x80000008, 0, 0, 0}},
                                                   {0x80000001, {kSignature, 0, 0, features}}}));
    EXPECT_EQ(cpu.GetFamily(), 6);
    EXPECT_TRUE(cpu.IsMmxSupport());
    EXPECT_TRUE(cpu.Is3dnowSupport());
    EXPECT_TRUE(cpu.IsEx3dnowSupport());
    EXPECT_FALSE(cpu.IsSseSupport()) << "SSE is asked only of Intel";
}

TEST(CPUID, AmdWithoutExtendedLeavesFallsBackToLeafOne)
{
    const CPUID cpu(true, Machine("AuthenticAMD", {{1, {0x500, 0, 0, 1u << 23}}}));
    EXPECT_EQ(cpu.GetFamily(), 5);
    EXPECT_TRUE(cpu.IsMmxSupport());
}

TEST(CPUID, CyrixNeedsAnExtendedMaximumLeaf)
{
    const CPUID low(true, Machine("CyrixInstead", {{1, {0x400, 0, 0, 1}}, {0x80000000, {0x7FFFFFFF, 0, 0, 0}}}));
    EXPECT_EQ(low.GetFamily(), 4);
    const CPUID high(true, Machine("CyrixInstead", {{0x80000000, {0x80000001, 0, 0, 0}},
                                                    {0x80000001, {0x600, 0, 0, 1u << 23}}}));
    EXPECT_EQ(high.GetFamily(), 6);
    EXPECT_TRUE(high.IsMmxSupport());
}

TEST(CPUID, CentaurAndRiseUseLeafOne)
{
    for (const char* vendor : {"CentaurHauls", "RiseRiseRise"}) {
        const CPUID cpu(true, Machine(vendor, {{1, {0x540, 0, 0, kAllBits}}}));
        EXPECT_EQ(cpu.GetFamily(), 5) << vendor;
        EXPECT_EQ(cpu.Is3dnowSupport(), std::string(vendor) == "CentaurHauls");
        EXPECT_FALSE(cpu.IsPsnEnable());
    }
}

TEST(CPUID, AFailingScanClearsTheFeatures)
{
    int calls = 0;
    const CPUID cpu(true, [&](std::uint32_t leaf) -> CpuidRegisters {
        if (++calls > 2)
            throw std::runtime_error("scan failed");
        CpuidRegisters r;
        if (leaf == 0)
            std::memcpy(&r.ebx, "Genu", 4), std::memcpy(&r.edx, "ineI", 4), std::memcpy(&r.ecx, "ntel", 4);
        else
            r.edx = kAllBits | (1u << 18);
        return r;
    });
    EXPECT_EQ(cpu.GetFeatures(), 0u);
}

TEST(CPUID, ThisMachine)
{
    const CPUID cpu;
#if defined(__x86_64__)
    EXPECT_TRUE(cpu.ValidCPUID());
    EXPECT_TRUE(cpu.IsMmxSupport()) << cpu.GetVendor();
#else
    EXPECT_FALSE(cpu.IsMmxSupport());
#endif
}

} // namespace
