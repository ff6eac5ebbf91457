// Row converters: every family and format against the single-value rules on seeded random rows
// of 0..67 pixels with guard bytes, the known values, and palette expansion.
#include "graphics/kernels/PixelConvert.h"
#include "graphics/kernels/RowConvert.h"

#include "tests/graphics/RowTestSupport.h"

#include <gtest/gtest.h>

using namespace rowtest;

namespace {

enum class TFamily { QuadTo, QuadFrom, TripleTo, TripleFrom };

// Pixel i of the converted row, by the single-value rules.
std::uint32_t ExpectedPixel(TFamily family, TPixFormat f, std::uint32_t in)
{
    const int bytes = PixFormatBytes(f);
    switch (family) {
    case TFamily::QuadTo: return bytes == 4 ? in : RGBtoTable[f](in);
    case TFamily::QuadFrom: return bytes == 4 ? in : RGBfromTable[f](in);
    case TFamily::TripleTo: return RGBtoTable[f](in);
    case TFamily::TripleFrom: return RGBfromTable[f](in);
    }
    return 0;
}

void CheckFamily(TFamily family, const TPixFormatTable<TRowConvert>& table)
{
    std::mt19937 rng(1234);
    for (TPixFormat f : kFormats) {
        const int fb = PixFormatBytes(f);
        const bool into = family == TFamily::QuadTo || family == TFamily::TripleTo;
        const int wide = family == TFamily::QuadTo || family == TFamily::QuadFrom ? 4 : 3;
        const int inBytes = into ? wide : fb;
        const int outBytes = into ? fb : wide;
        for (unsigned n = 0; n <= kMaxCount; ++n) {
            const Bytes src = RandomBytes(rng, std::size_t{n} * inBytes);
            TGuardedRow dst(RandomBytes(rng, std::size_t{n} * outBytes), rng);
            Bytes expected(std::size_t{n} * outBytes);
            for (unsigned i = 0; i < n; ++i)
                Put(expected, i, outBytes, ExpectedPixel(family, f, Get(src, i, inBytes)));
            EXPECT_EQ(table[f](dst.data(), src.data(), n), dst.data());
            ASSERT_TRUE(SameRow(dst.Row(), expected, outBytes)) << "format " << int{f} << " count " << n;
            ASSERT_TRUE(dst.GuardIntact()) << "format " << int{f} << " count " << n;
        }
    }
}

}  // namespace

TEST(RowConvert, QuadsToEveryFormat) { CheckFamily(TFamily::QuadTo, RGBQUADcpyToTable); }
TEST(RowConvert, EveryFormatToQuads) { CheckFamily(TFamily::QuadFrom, RGBQUADcpyFromTable); }
TEST(RowConvert, TriplesToEveryFormat) { CheckFamily(TFamily::TripleTo, RGBTRIPLEcpyToTable); }
TEST(RowConvert, EveryFormatToTriples) { CheckFamily(TFamily::TripleFrom, RGBTRIPLEcpyFromTable); }

TEST(RowConvert, KnownValues)
{
    std::uint16_t pixel = 0;
    const tagRGBQUAD halfWhite{0xFF, 0xFF, 0xFF, 0x80};
    RGBQUADcpyTo<pf16_4444>(&pixel, &halfWhite, 1);
    EXPECT_EQ(pixel, 0x8FFF);
    const tagRGBTRIPLE white{0xFF, 0xFF, 0xFF};
    RGBTRIPLEcpyTo<pf16_4444>(&pixel, &white, 1);
    EXPECT_EQ(pixel, 0x0FFF);

    tagRGBQUAD quad{9, 9, 9, 9};
    pixel = 0xFFFF;
    RGBQUADcpyFrom<pf16_565>(&quad, &pixel, 1);
    EXPECT_EQ(quad, (tagRGBQUAD{0xFF, 0xFF, 0xFF, 0}));
    pixel = 0x8000;
    RGBQUADcpyFrom<pf16_5551>(&quad, &pixel, 1);
    EXPECT_EQ(quad, (tagRGBQUAD{0, 0, 0, 1}));

    // A pf32_888 pixel keeps whatever its fourth byte holds.
    const std::uint32_t px = 0x7F102030;
    std::uint32_t out = 0;
    RGBQUADcpyFrom<pf32_888>(&out, &px, 1);
    EXPECT_EQ(out, px);
}

TEST(RowConvert, SixteenBitRowsRoundTripThroughQuads)
{
    std::vector<std::uint16_t> all(0x10000), back(0x10000);
    for (std::uint32_t p = 0; p < 0x10000; ++p)
        all[p] = static_cast<std::uint16_t>(p);
    std::vector<std::uint32_t> quads(0x10000);
    RGBQUADcpyFrom<pf16_565>(quads.data(), all.data(), 0x10000);
    RGBQUADcpyTo<pf16_565>(back.data(), quads.data(), 0x10000);
    EXPECT_EQ(back, all);
    RGBQUADcpyFrom<pf16_4444>(quads.data(), all.data(), 0x10000);
    RGBQUADcpyTo<pf16_4444>(back.data(), quads.data(), 0x10000);
    EXPECT_EQ(back, all);
}

TEST(RowConvert, PaletteRows)
{
    std::mt19937 rng(77);
    const Bytes palette = RandomBytes(rng, 256 * 4);
    for (unsigned n = 0; n <= kMaxCount; ++n) {
        const Bytes indices = RandomBytes(rng, n);
        TGuardedRow quads(RandomBytes(rng, std::size_t{n} * 4), rng);
        TGuardedRow triples(RandomBytes(rng, std::size_t{n} * 3), rng);
        RGBQUADcpyFrom8(quads.data(), indices.data(), palette.data(), n);
        RGBTRIPLEcpyFrom8(triples.data(), indices.data(), palette.data(), n);
        Bytes expectQuads(std::size_t{n} * 4), expectTriples(std::size_t{n} * 3);
        for (unsigned i = 0; i < n; ++i) {
            const std::uint32_t entry = Get(palette, indices[i], 4);
            Put(expectQuads, i, 4, entry);
            Put(expectTriples, i, 3, entry);
        }
        ASSERT_TRUE(SameRow(quads.Row(), expectQuads, 4));
        ASSERT_TRUE(SameRow(triples.Row(), expectTriples, 3));
        ASSERT_TRUE(quads.GuardIntact());
        ASSERT_TRUE(triples.GuardIntact());
    }
}
