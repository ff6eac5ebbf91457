// 8-bit alpha level kernels: every value and several k against the rules, plain and MMX forms,
// with guard bytes; known values of the extraction ramp.
#include "graphics/kernels/AlphaLevelKernels.h"

#include "tests/graphics/RowTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace rowtest;

TEST(AlphaLevelKernels, EveryFormMatchesItsRule)
{
    struct TCase {
        TAlphaLevelRow* kernel;
        int (*rule)(int s, int k8);
    };
    const auto sadd = [](int s, int k) { return std::min(s + k, 255); };
    const auto ssub = [](int s, int k) { return std::max(s - k, 0); };
    const auto extract = [](int s, int k) {
        const int v = std::min(s + k, 255);
        return v >= 240 ? 17 * (v - 240) : 0;
    };
    const TCase cases[] = {{RGBSAddAlpha, sadd},    {RGBSAddAlpha_MMX, sadd},       {RGBSSubAlpha, ssub},
                           {RGBSSubAlpha_MMX, ssub}, {RGBExtractAlpha, extract}, {RGBExtractAlpha_MMX, extract}};
    std::mt19937 rng(6);
    Bytes every(256);
    for (int v = 0; v < 256; ++v)
        every[v] = static_cast<std::uint8_t>(v);
    for (const TCase& c : cases) {
        for (int k : {0, 1, 16, 100, 255, 300, -1}) {
            for (unsigned n : {0u, 1u, 7u, 15u, 16u, 17u, 33u, 67u, 256u}) {
                const Bytes src = n == 256 ? every : RandomBytes(rng, n);
                TGuardedRow dst(RandomBytes(rng, n), rng);
                c.kernel(dst.data(), src.data(), k, n);
                Bytes expected(n);
                for (unsigned i = 0; i < n; ++i)
                    expected[i] = static_cast<std::uint8_t>(c.rule(src[i], k & 0xFF));
                ASSERT_TRUE(SameRow(dst.Row(), expected, 1)) << "k " << k << " count " << n;
                ASSERT_TRUE(dst.GuardIntact());
            }
        }
    }
}

TEST(AlphaLevelKernels, ExtractionRamp)
{
    const auto extract = [](std::uint8_t s, int k) {
        std::uint8_t d = 0;
        RGBExtractAlpha_MMX(&d, &s, k, 1);
        return int{d};
    };
    EXPECT_EQ(extract(239, 0), 0);
    EXPECT_EQ(extract(240, 0), 0);
    EXPECT_EQ(extract(241, 0), 17);
    EXPECT_EQ(extract(255, 0), 255);
    EXPECT_EQ(extract(224, 16), 0);
    EXPECT_EQ(extract(225, 16), 17);
    EXPECT_EQ(extract(239, 16), 255);
    EXPECT_EQ(extract(0, 300), 0);  // the low byte of 300 is 44
    EXPECT_EQ(extract(211, 300), 255);
}
