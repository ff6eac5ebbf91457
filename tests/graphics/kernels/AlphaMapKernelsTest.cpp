// Per-pixel alpha kernels: all twenty-four members against a scalar reference of their rule
// (plain, MMX pairs with the last-pixel rule, double alpha; forward and mirrored) on rows of
// 0..67 pixels with guard bytes, and the pinned values of odd alphas and last pixels.
#include "graphics/kernels/AlphaMapKernels.h"
#include "graphics/kernels/BlendLevel.h"
#include "graphics/kernels/RowConvert.h"

#include "tests/graphics/RowTestSupport.h"

#include <gtest/gtest.h>

using namespace rowtest;

namespace {

enum class TRule { Plain, Mmx, Double };

struct TKernelCase {
    const char* name;
    TAlphaMapRow* out;  // alpha from its own row
    TAlphaInRow* in;    // alpha from the source's byte 3
    int bytes;
    bool mirror;
    TRule rule;
};

const TKernelCase kCases[] = {
    {"RGBAlphaOutChannel", RGBAlphaOutChannel, nullptr, 3, false, TRule::Plain},
    {"RGBAlphaOutChannel32", RGBAlphaOutChannel32, nullptr, 4, false, TRule::Plain},
    {"RGBAlphaOutChannelR", RGBAlphaOutChannelR, nullptr, 3, true, TRule::Plain},
    {"RGBAlphaOutChannelR32", RGBAlphaOutChannelR32, nullptr, 4, true, TRule::Plain},
    {"RGBAlphaOutChannel_MMX", RGBAlphaOutChannel_MMX, nullptr, 3, false, TRule::Mmx},
    {"RGBAlphaOutChannel32_MMX", RGBAlphaOutChannel32_MMX, nullptr, 4, false, TRule::Mmx},
    {"RGBAlphaOutChannelR_MMX", RGBAlphaOutChannelR_MMX, nullptr, 3, true, TRule::Mmx},
    {"RGBAlphaOutChannelR32_MMX", RGBAlphaOutChannelR32_MMX, nullptr, 4, true, TRule::Mmx},
    {"RGBAlphaInChannel", nullptr, RGBAlphaInChannel, 4, false, TRule::Plain},
    {"RGBAlphaInChannelR", nullptr, RGBAlphaInChannelR, 4, true, TRule::Plain},
    {"RGBAlphaInChannel_MMX", nullptr, RGBAlphaInChannel_MMX, 4, false, TRule::Mmx},
    {"RGBAlphaInChannelR_MMX", nullptr, RGBAlphaInChannelR_MMX, 4, true, TRule::Mmx},
    {"RGBDoubleAlphaOutChannel", RGBDoubleAlphaOutChannel, nullptr, 3, false, TRule::Double},
    {"RGBDoubleAlphaOutChannel32", RGBDoubleAlphaOutChannel32, nullptr, 4, false, TRule::Double},
    {"RGBDoubleAlphaOutChannelR", RGBDoubleAlphaOutChannelR, nullptr, 3, true, TRule::Double},
    {"RGBDoubleAlphaOutChannelR32", RGBDoubleAlphaOutChannelR32, nullptr, 4, true, TRule::Double},
    {"RGBDoubleAlphaOutChannel_MMX", RGBDoubleAlphaOutChannel_MMX, nullptr, 3, false, TRule::Double},
    {"RGBDoubleAlphaOutChannel32_MMX", RGBDoubleAlphaOutChannel32_MMX, nullptr, 4, false, TRule::Double},
    {"RGBDoubleAlphaOutChannelR_MMX", RGBDoubleAlphaOutChannelR_MMX, nullptr, 3, true, TRule::Double},
    {"RGBDoubleAlphaOutChannelR32_MMX", RGBDoubleAlphaOutChannelR32_MMX, nullptr, 4, true, TRule::Double},
    {"RGBDoubleAlphaInChannel", nullptr, RGBDoubleAlphaInChannel, 4, false, TRule::Double},
    {"RGBDoubleAlphaInChannelR", nullptr, RGBDoubleAlphaInChannelR, 4, true, TRule::Double},
    {"RGBDoubleAlphaInChannel_MMX", nullptr, RGBDoubleAlphaInChannel_MMX, 4, false, TRule::Double},
    {"RGBDoubleAlphaInChannelR_MMX", nullptr, RGBDoubleAlphaInChannelR_MMX, 4, true, TRule::Double},
};

// The rule of the case, pixel by pixel, for a source and alpha already put in destination order.
Bytes Reference(const TKernelCase& c, Bytes dst, const Bytes& src, const Bytes& alphas, unsigned n, int doubleLevel)
{
    const unsigned pairEnd = c.rule == TRule::Mmx && n > 0 ? (n - 1) / 2 * 2 : 0;
    for (unsigned i = 0; i < n; ++i) {
        const int a = alphas[i];
        int weight = 0, scale = 128;
        if (i < pairEnd) {
            const unsigned first = i & ~1u;
            if (alphas[first] == 0 && alphas[first + 1] == 0)
                continue;
            weight = a == 255 ? 256 : a;
            scale = 256;
        } else if (c.rule == TRule::Double) {
            weight = a * doubleLevel / 255;
        } else {
            weight = (a + 1) >> 1;
        }
        for (int k = 0; k < 3; ++k) {
            std::uint8_t& d = dst[std::size_t{i} * c.bytes + k];
            d = static_cast<std::uint8_t>(d + FloorDiv((src[std::size_t{i} * c.bytes + k] - d) * weight, scale));
        }
    }
    return dst;
}

void CheckCase(const TKernelCase& c, int doubleLevel, std::mt19937& rng)
{
    for (unsigned n = 0; n <= kMaxCount; ++n) {
        const Bytes before = RandomBytes(rng, std::size_t{n} * c.bytes);
        Bytes src = RandomBytes(rng, before.size());
        Bytes alphas = RandomAlphas(rng, n);
        if (c.in) {
            for (unsigned i = 0; i < n; ++i)
                src[std::size_t{i} * 4 + 3] = alphas[i];
        }
        // In destination order: a mirrored kernel reads the source from its right end.
        Bytes ordered = src, orderedAlphas = alphas;
        if (c.mirror) {
            for (unsigned i = 0; i < n; ++i) {
                for (int k = 0; k < c.bytes; ++k)
                    ordered[std::size_t{i} * c.bytes + k] = src[std::size_t{n - 1 - i} * c.bytes + k];
                orderedAlphas[i] = alphas[n - 1 - i];
            }
        }
        const std::size_t last = c.mirror && n > 0 ? n - 1 : 0;
        TGuardedRow dst(before, rng);
        if (c.out)
            c.out(dst.data(), src.data() + last * c.bytes, alphas.data() + last, n);
        else
            c.in(dst.data(), src.data() + last * 4, n);
        ASSERT_TRUE(SameRow(dst.Row(), Reference(c, before, ordered, orderedAlphas, n, doubleLevel), c.bytes))
            << c.name << " count " << n << " level " << doubleLevel;
        ASSERT_TRUE(dst.GuardIntact()) << c.name << " count " << n;
    }
}

}  // namespace

TEST(AlphaMapKernels, EveryMemberMatchesItsRule)
{
    std::mt19937 rng(2024);
    for (const TKernelCase& c : kCases) {
        if (c.rule != TRule::Double) {
            CheckCase(c, 0, rng);
            continue;
        }
        for (int level : {0, 16, 50, 64, 101, 127, 128}) {
            SetDoubleAlphaParam(level);
            CheckCase(c, level, rng);
        }
    }
}

TEST(AlphaMapKernels, InPlaceRowsGiveTheSameResult)
{
    std::mt19937 rng(8);
    const unsigned n = 37;
    const Bytes alphas = RandomAlphas(rng, n);
    const Bytes start = RandomBytes(rng, n * 4);
    for (TAlphaMapRow* kernel : {&RGBAlphaOutChannel32, &RGBAlphaOutChannel32_MMX}) {
        Bytes expected = start, row = start;
        kernel(expected.data(), Bytes(start).data(), alphas.data(), n);
        kernel(row.data(), row.data(), alphas.data(), n);
        EXPECT_TRUE(SameRow(row, expected, 4));
    }
}

TEST(AlphaMapKernels, PlainWeightsPins)
{
    const std::uint8_t zero[3] = {0, 0, 0}, full[3] = {255, 255, 255};
    const auto mix = [](TAlphaMapRow* kernel, const std::uint8_t* dst, const std::uint8_t* src, std::uint8_t a) {
        std::uint8_t d[3] = {dst[0], dst[1], dst[2]};
        kernel(d, src, &a, 1);
        return int{d[0]};
    };
    for (TAlphaMapRow* kernel : {&RGBAlphaOutChannel, &RGBAlphaOutChannel_MMX}) {
        EXPECT_EQ(mix(kernel, zero, full, 255), 255);
        EXPECT_EQ(mix(kernel, full, zero, 0), 255);
        // A single pixel is a last pixel: the plain rule, also in the MMX form.
        EXPECT_EQ(mix(kernel, zero, full, 1), 1);
        EXPECT_EQ(mix(kernel, full, zero, 1), 253);
    }
}

// Three pixels of alpha 1, destination 0, source 255: the MMX form's pair weighs 1/256 and the last
// pixel takes the plain rule.
TEST(AlphaMapKernels, OddAlphasAndTheLastPixel)
{
    const std::uint8_t alphas[3] = {1, 1, 1};
    const Bytes src(9, 255);
    Bytes plain(9, 0), mmx(9, 0);
    RGBAlphaOutChannel(plain.data(), src.data(), alphas, 3);
    RGBAlphaOutChannel_MMX(mmx.data(), src.data(), alphas, 3);
    EXPECT_EQ(plain, Bytes(9, 1));
    EXPECT_EQ(mmx, (Bytes{0, 0, 0, 0, 0, 0, 1, 1, 1}));

    // Even alphas and 255 agree between the forms; with 32-bit pixels byte 3 stays.
    std::mt19937 rng(3);
    for (int a : {0, 2, 100, 254, 255}) {
        const Bytes s = RandomBytes(rng, 40);
        const Bytes d = RandomBytes(rng, 40);
        const Bytes al(10, static_cast<std::uint8_t>(a));
        Bytes p = d, m = d;
        RGBAlphaOutChannel32(p.data(), s.data(), al.data(), 10);
        RGBAlphaOutChannel32_MMX(m.data(), s.data(), al.data(), 10);
        EXPECT_TRUE(SameRow(m, p, 4)) << "alpha " << a;
        for (int i = 0; i < 10; ++i)
            EXPECT_EQ(p[i * 4 + 3], d[i * 4 + 3]);
    }
}

// The 16-bit kernels against the route they replace: both rows widened to quads, the 32-bit
// kernel of the same rule, the result narrowed back; every layout, every rule, rows of 0..67 pixels
// and a few long ones (whole vector groups of every kind), guard bytes after the row.
TEST(AlphaMapKernels, SixteenBitRowsMatchTheQuadRoute)
{
    struct TRule16 {
        const char* name;
        TPixFormatTable<TAlphaMapRow> const* table;
        TAlphaMapRow* quadKernel;
        bool doubleAlpha;
    };
    const TRule16 rules[] = {
        {"plain", &RGBAlphaOutChannelTable, RGBAlphaOutChannel32, false},
        {"MMX", &RGBAlphaOutChannelTableMMX, RGBAlphaOutChannel32_MMX, false},
        {"double", &RGBDoubleAlphaOutChannelTable, RGBDoubleAlphaOutChannel32, true},
        {"double MMX", &RGBDoubleAlphaOutChannelTableMMX, RGBDoubleAlphaOutChannel32, true},
    };
    std::mt19937 rng(16);
    for (TPixFormat f : {pf16_565, pf16_555, pf16_5551, pf16_4444}) {
        for (const TRule16& rule : rules) {
            for (int level : rule.doubleAlpha ? std::vector<int>{0, 37, 64, 100, 128} : std::vector<int>{0}) {
                SetDoubleAlphaParam(level);
                std::vector<unsigned> counts;
                for (unsigned n = 0; n <= kMaxCount; ++n)
                    counts.push_back(n);
                for (unsigned n : {128u, 255u, 640u})
                    counts.push_back(n);
                for (unsigned n : counts) {
                    const Bytes before = RandomBytes(rng, std::size_t{n} * 2);
                    const Bytes src = RandomBytes(rng, before.size());
                    const Bytes alphas = RandomAlphas(rng, n);
                    Bytes dq(std::size_t{n} * 4 + 1), sq(std::size_t{n} * 4 + 1), expected(before.size());
                    RGBQUADcpyFromTable[f](dq.data(), before.data(), n);
                    RGBQUADcpyFromTable[f](sq.data(), src.data(), n);
                    rule.quadKernel(dq.data(), sq.data(), alphas.data(), n);
                    RGBQUADcpyToTable[f](expected.data(), dq.data(), n);

                    TGuardedRow dst(before, rng);
                    EXPECT_EQ((*rule.table)[f](dst.data(), src.data(), alphas.data(), n), dst.data());
                    ASSERT_TRUE(SameRow(dst.Row(), expected, 2))
                        << rule.name << " format " << int{f} << " count " << n << " level " << level;
                    ASSERT_TRUE(dst.GuardIntact()) << rule.name << " format " << int{f} << " count " << n;
                }
            }
        }
    }
}
