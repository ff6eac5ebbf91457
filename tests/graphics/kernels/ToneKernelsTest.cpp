// Tone and monochrome kernels: per-byte reference on random rows with guard bytes, the fourth byte
// of each 32-bit form, and known values.
#include "graphics/kernels/ToneKernels.h"

#include "tests/graphics/RowTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace rowtest;

namespace {

// scaledBytes: 3 (byte 3 of a 32-bit pixel kept) or 4 (scaled by the factor's top byte).
Bytes ReferenceTone(const Bytes& before, const Bytes& src, std::uint32_t factor, int bytes, int scaledBytes)
{
    Bytes out = before;
    for (std::size_t i = 0; i < src.size(); i += bytes) {
        for (int k = 0; k < scaledBytes; ++k)
            out[i + k] = static_cast<std::uint8_t>(std::min(src[i + k] * ((factor >> (8 * k)) & 0xFF) >> 7, 255u));
    }
    return out;
}

}  // namespace

TEST(ToneKernels, EveryFormMatchesItsRule)
{
    struct TCase {
        TToneRow* kernel;
        int bytes, scaled;
    };
    const TCase cases[] = {{RGBTone24, 3, 3}, {RGBTone24_MMX, 3, 3}, {RGBTone32, 4, 3}, {RGBTone32_MMX, 4, 4}};
    std::mt19937 rng(17);
    for (const TCase& c : cases) {
        for (std::uint32_t factor : {0x00808080u, 0x00FF0000u, 0x80402010u, 0u, 0xFFFFFFFFu, 0x12345678u}) {
            for (unsigned n = 0; n <= kMaxCount; ++n) {
                const Bytes before = RandomBytes(rng, std::size_t{n} * c.bytes);
                const Bytes src = RandomBytes(rng, before.size());
                TGuardedRow dst(before, rng);
                c.kernel(dst.data(), src.data(), factor, n);
                ASSERT_TRUE(SameRow(dst.Row(), ReferenceTone(before, src, factor, c.bytes, c.scaled), c.bytes))
                    << "bytes " << c.bytes << " factor " << std::hex << factor << std::dec << " count " << n;
                ASSERT_TRUE(dst.GuardIntact());
            }
        }
    }
}

TEST(ToneKernels, KnownValues)
{
    std::uint8_t px[3] = {10, 1, 128};  // blue, green, red
    RGBTone24(px, px, 0x00FF0000, 1);
    EXPECT_EQ(px[0], 0);
    EXPECT_EQ(px[1], 0);
    EXPECT_EQ(px[2], 255);
    std::uint8_t dim[3] = {0, 0, 1};
    RGBTone24_MMX(dim, dim, 0x00FF0000, 1);
    EXPECT_EQ(dim[2], 1);

    // The plain 32-bit form keeps the alpha byte; the MMX form scales it by the factor's top byte.
    std::uint8_t a[4] = {1, 2, 3, 200}, b[4] = {1, 2, 3, 200};
    RGBTone32(a, a, 0x00808080, 1);
    RGBTone32_MMX(b, b, 0x00808080, 1);
    EXPECT_EQ(a[3], 200);
    EXPECT_EQ(b[3], 0);
    EXPECT_EQ(a[2], 3);
    EXPECT_EQ(b[2], 3);
}

TEST(ToneKernels, Monochrome)
{
    std::uint8_t px24[6] = {10, 20, 31, 255, 0, 0};
    RGBMonochrome24(px24, px24, 2);
    EXPECT_EQ(px24[0], 20);
    EXPECT_EQ(px24[1], 20);
    EXPECT_EQ(px24[2], 20);
    EXPECT_EQ(px24[3], 85);

    std::mt19937 rng(4);
    for (const auto& [kernel, bytes] : {std::pair{&RGBMonochrome24, 3}, std::pair{&RGBMonochrome32, 4}}) {
        for (unsigned n = 0; n <= kMaxCount; ++n) {
            const Bytes before = RandomBytes(rng, std::size_t{n} * bytes);
            const Bytes src = RandomBytes(rng, before.size());
            TGuardedRow dst(before, rng);
            kernel(dst.data(), src.data(), n);
            Bytes expected = before;
            for (std::size_t i = 0; i < src.size(); i += bytes) {
                const auto v = static_cast<std::uint8_t>((src[i] + src[i + 1] + src[i + 2]) / 3);
                expected[i] = expected[i + 1] = expected[i + 2] = v;
            }
            ASSERT_TRUE(SameRow(dst.Row(), expected, bytes));
            ASSERT_TRUE(dst.GuardIntact());
        }
    }
}
