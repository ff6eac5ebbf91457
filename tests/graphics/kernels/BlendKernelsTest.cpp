// Constant-level blend kernels: plain and MMX tables against a reference built on the 512-entry
// difference table, in every format and for rows of 0..67 pixels with guard bytes; known values.
#include "graphics/kernels/BlendKernels.h"
#include "graphics/kernels/BlendLevel.h"

#include "tests/graphics/RowTestSupport.h"

#include <gtest/gtest.h>

#include <array>

using namespace rowtest;

namespace {

constexpr int kLevels[] = {0, 1, 17, 63, 64, 65, 100, 127, 128};

// entry(d) = floor(d x level / 128) as its low 8 bits, indexed by d + 256.
std::array<std::uint8_t, 512> DifferenceTable(int level)
{
    std::array<std::uint8_t, 512> t{};
    for (int i = 0; i < 512; ++i)
        t[i] = static_cast<std::uint8_t>(FloorDiv((i - 256) * level, 128));
    return t;
}

Bytes ReferenceAlpha(TPixFormat f, const Bytes& a, const Bytes& b, unsigned n, int level)
{
    const auto table = DifferenceTable(level);
    const auto blend = [&](int x, int y, int mask) { return (x + table[y - x + 256]) & mask; };
    const int bytes = PixFormatBytes(f);
    Bytes out(a.size());
    if (bytes != 2) {
        for (std::size_t i = 0; i < a.size(); ++i)
            out[i] = static_cast<std::uint8_t>(blend(a[i], b[i], 0xFF));
        return out;
    }
    const TFields16 fields = FieldsOf(f);
    for (unsigned i = 0; i < n; ++i) {
        const std::uint32_t pa = Get(a, i, 2), pb = Get(b, i, 2);
        std::uint32_t p = 0;  // the fourth field stays 0
        for (const TField& c : fields.colour)
            p |= c.To(blend(c.Of(pa), c.Of(pb), c.Max()));
        Put(out, i, 2, p);
    }
    return out;
}

Bytes ReferenceHalf(TPixFormat f, const Bytes& a, const Bytes& b, unsigned n)
{
    const int bytes = PixFormatBytes(f);
    Bytes out(a.size());
    if (bytes != 2) {
        for (std::size_t i = 0; i < a.size(); ++i)
            out[i] = static_cast<std::uint8_t>((a[i] + b[i]) / 2);
        return out;
    }
    const TFields16 fields = FieldsOf(f);
    for (unsigned i = 0; i < n; ++i) {
        const std::uint32_t pa = Get(a, i, 2), pb = Get(b, i, 2);
        std::uint32_t p = 0;
        for (const TField& c : fields.colour)
            p |= c.To((c.Of(pa) + c.Of(pb)) / 2);
        if (fields.extra.bits == 4)
            p |= fields.extra.To((fields.extra.Of(pa) + fields.extra.Of(pb)) / 2);
        else if (fields.extra.bits == 1)
            p |= fields.extra.To(fields.extra.Of(pa) & fields.extra.Of(pb));
        Put(out, i, 2, p);
    }
    return out;
}

void CheckBlendTable(const TPixFormatTable<TBlendRow>& table, bool half)
{
    std::mt19937 rng(99);
    for (TPixFormat f : kFormats) {
        const int bytes = PixFormatBytes(f);
        for (int level : kLevels) {
            SetAlphaParam(level);
            for (unsigned n = 0; n <= kMaxCount; ++n) {
                const Bytes a = RandomBytes(rng, std::size_t{n} * bytes);
                const Bytes b = RandomBytes(rng, std::size_t{n} * bytes);
                TGuardedRow dst(RandomBytes(rng, a.size()), rng);
                EXPECT_EQ(table[f](dst.data(), a.data(), b.data(), n), dst.data());
                const Bytes expected = half ? ReferenceHalf(f, a, b, n) : ReferenceAlpha(f, a, b, n, level);
                ASSERT_TRUE(SameRow(dst.Row(), expected, bytes)) << "format " << int{f} << " level " << level << " count " << n;
                ASSERT_TRUE(dst.GuardIntact()) << "format " << int{f} << " count " << n;
            }
        }
    }
}

void CheckByteKernel(TBlendRow* kernel, bool half)
{
    std::mt19937 rng(5);
    for (int level : kLevels) {
        SetAlphaParam(level);
        for (unsigned n = 0; n <= kMaxCount; ++n) {
            const Bytes a = RandomBytes(rng, n);
            Bytes inPlace = RandomBytes(rng, n);
            const Bytes b = inPlace;
            const Bytes expected = half ? ReferenceHalf(pf24_888, a, b, 0) : ReferenceAlpha(pf24_888, a, b, 0, level);
            kernel(inPlace.data(), a.data(), inPlace.data(), n);  // dst is the second source
            ASSERT_TRUE(SameRow(inPlace, expected, 1)) << "level " << level << " count " << n;
        }
    }
}

}  // namespace

TEST(BlendKernels, AlphaPlainMatchesReference) { CheckBlendTable(RGBAlphaTable, false); }
TEST(BlendKernels, AlphaMMXMatchesReference) { CheckBlendTable(RGBAlphaTableMMX, false); }
TEST(BlendKernels, HalfPlainMatchesReference) { CheckBlendTable(RGBHalfTable, true); }
TEST(BlendKernels, HalfMMXMatchesReference) { CheckBlendTable(RGBHalfTableMMX, true); }

TEST(BlendKernels, EightBitMembersWorkInPlace)
{
    CheckByteKernel(RGBAlpha8, false);
    CheckByteKernel(RGBAlpha8_MMX, false);
    CheckByteKernel(RGBHalf8, true);
    CheckByteKernel(RGBHalf8_MMX, true);
}

TEST(BlendKernels, KnownValues)
{
    for (TBlendRow* kernel : {&RGBAlpha8, &RGBAlpha8_MMX}) {
        std::uint8_t a[2] = {0, 255}, b[2] = {255, 0}, d[2] = {};
        SetAlphaParam(64);
        kernel(d, a, b, 2);
        EXPECT_EQ(d[0], 127);
        EXPECT_EQ(d[1], 127);
        std::uint8_t c[2] = {10, 9}, e[2] = {9, 10};
        SetAlphaParam(1);
        kernel(d, c, e, 2);
        EXPECT_EQ(d[0], 9);  // a negative difference always moves by one step
        EXPECT_EQ(d[1], 9);
        SetAlphaParam(200);
        kernel(d, c, e, 2);
        EXPECT_EQ(d[0], 9);
        EXPECT_EQ(d[1], 10);
        SetAlphaParam(-5);
        kernel(d, c, e, 2);
        EXPECT_EQ(d[0], 10);
        EXPECT_EQ(d[1], 9);
    }
    EXPECT_EQ(AlphaParam(), 0);

    const std::uint16_t white = 0xFFFF, black = 0;
    std::uint16_t out = 0;
    RGBHalf<pf16_565>(&out, &white, &black, 1);
    EXPECT_EQ(out, 0x7BEF);
    SetAlphaParam(128);
    RGBAlpha<pf16_5551>(&out, &black, &white, 1);
    EXPECT_EQ(out, 0x7FFF);
    RGBAlpha<pf16_4444>(&out, &black, &white, 1);
    EXPECT_EQ(out, 0x0FFF);
}
