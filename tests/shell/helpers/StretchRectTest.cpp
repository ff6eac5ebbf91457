#include "shell/helpers/StretchRect.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// A row of pixels of `bytes` bytes whose every byte is the pixel's index.
Bytes IndexRow(int pixels, int bytes)
{
    Bytes row;
    for (int i = 0; i < pixels; ++i)
        row.insert(row.end(), static_cast<std::size_t>(bytes), static_cast<std::uint8_t>(i));
    return row;
}

// The index each destination pixel of a one-row copy took.
std::vector<int> CopiedIndices(int srcWidth, int dstWidth)
{
    const Bytes src = IndexRow(srcWidth, 3);
    Bytes dst(static_cast<std::size_t>(dstWidth) * 3, 0xEE);
    StretchRect16(src.data(), srcWidth, 1, srcWidth * 3, dst.data(), dstWidth, 1, dstWidth * 3);
    std::vector<int> indices;
    for (int x = 0; x < dstWidth; ++x)
        indices.push_back(dst[static_cast<std::size_t>(x) * 3]);
    return indices;
}

} // namespace

TEST(StretchRect, StepsByTheAccumulatorRule)
{
    struct Case {
        int srcWidth;
        int dstWidth;
        std::vector<int> indices;
    };
    const Case cases[] = {
        {2, 5, {0, 0, 0, 1, 1}},
        {3, 3, {0, 1, 2}},
        {1, 4, {0, 0, 0, 0}},
        // Reducing keeps the last source pixel each destination pixel meets.
        {5, 2, {2, 4}},
        {4, 1, {3}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CopiedIndices(c.srcWidth, c.dstWidth), c.indices) << c.srcWidth << " to " << c.dstWidth;
}

TEST(StretchRect, CopiesWholePixelsOfEachSizeAndStepsRowsByThePitch)
{
    using Stretch = void (*)(const std::uint8_t*, int, int, int, std::uint8_t*, int, int, int);
    const struct {
        Stretch stretch;
        int bytes;
    } members[] = {{StretchRect8, 1}, {StretchRect16, 3}, {StretchRect32, 4}};
    for (const auto& m : members) {
        // Two source rows, the second holding pixels 10 and 11, in rows padded to 16 bytes.
        Bytes src(32, 0);
        for (int b = 0; b < 2 * m.bytes; ++b)
            src[static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(b / m.bytes);
        for (int b = 0; b < 2 * m.bytes; ++b)
            src[16 + static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(10 + b / m.bytes);
        Bytes dst(4 * 16, 0xEE);
        m.stretch(src.data(), 2, 2, 16, dst.data(), 3, 4, 16);
        // Rows 0 and 1 of 2 -> 4 come from source row 0, rows 2 and 3 from row 1; columns 0, 0, 1.
        const int expected[4][3] = {{0, 0, 1}, {0, 0, 1}, {10, 10, 11}, {10, 10, 11}};
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 3; ++x)
                for (int b = 0; b < m.bytes; ++b)
                    EXPECT_EQ(dst[static_cast<std::size_t>(y * 16 + x * m.bytes + b)], expected[y][x])
                        << m.bytes << "-byte pixel " << x << ", " << y;
            EXPECT_EQ(dst[static_cast<std::size_t>(y * 16 + 3 * m.bytes)], 0xEE) << "past the row";
        }
    }
}

TEST(StretchRect, BlendsAQuarterOfEachSourcePixelThatMapsOntoADestinationPixel)
{
    // 24-bit: two source pixels onto one destination pixel blend twice.
    const Bytes src24 = {200, 100, 40, 200, 100, 40};
    Bytes dst24 = {8, 0, 255};
    StretchBlendRect24(src24.data(), 2, 1, 6, dst24.data(), 1, 1, 3);
    // 8 -> (24 + 200) >> 2 = 56 -> (168 + 200) >> 2 = 92; 0 -> 25 -> 43; 255 -> 201 -> 160.
    EXPECT_EQ(dst24, (Bytes{92, 43, 160}));

    // 32-bit: the fourth byte becomes 0; enlarging blends each destination pixel once.
    const Bytes src32 = {40, 80, 120, 9};
    Bytes dst32 = {0, 0, 0, 7, 4, 4, 4, 7};
    StretchBlendRect32(src32.data(), 1, 1, 4, dst32.data(), 2, 1, 8);
    EXPECT_EQ(dst32, (Bytes{10, 20, 30, 0, 13, 23, 33, 0}));
}

TEST(StretchRect, DrawsNothingForEmptySizes)
{
    const Bytes src(16, 1);
    const int sizes[][4] = {{0, 1, 1, 1}, {1, 0, 1, 1}, {1, 1, 0, 1}, {1, 1, 1, -3}, {-1, -1, 1, 1}};
    for (const auto& s : sizes) {
        Bytes dst(16, 0xEE);
        StretchRect32(src.data(), s[0], s[1], 4, dst.data(), s[2], s[3], 4);
        StretchBlendRect24(src.data(), s[0], s[1], 4, dst.data(), s[2], s[3], 4);
        EXPECT_EQ(dst, Bytes(16, 0xEE));
    }
}

namespace {

// The stepping walked one pair at a time, as the rule states it: visit(source, destination) per step.
template <typename Visit> void ReferenceSteps(int s, int d, Visit visit)
{
    const int steps = std::max(s, d);
    int si = 0, di = 0, sa = 0, da = 0;
    for (int i = 0; i < steps; ++i) {
        visit(si, di);
        if ((sa += s) >= steps) {
            sa -= steps;
            ++si;
        }
        if ((da += d) >= steps) {
            da -= steps;
            ++di;
        }
    }
}

// The reference for the row-wise blending forms.
template <int PixelBytes>
void ReferenceBlend(const Bytes& src, int sw, int sh, Bytes& dst, int dw, int dh)
{
    ReferenceSteps(sh, dh, [&](int sy, int dy) {
        ReferenceSteps(sw, dw, [&](int sx, int dx) {
            std::uint8_t* d = &dst[static_cast<std::size_t>((dy * dw + dx) * PixelBytes)];
            const std::uint8_t* s = &src[static_cast<std::size_t>((sy * sw + sx) * PixelBytes)];
            for (int c = 0; c < 3; ++c)
                d[c] = static_cast<std::uint8_t>((3 * d[c] + s[c]) >> 2);
            if (PixelBytes == 4)
                d[3] = 0;
        });
    });
}

Bytes Noise(std::size_t n, unsigned seed)
{
    Bytes out(n);
    for (auto& b : out)
        b = static_cast<std::uint8_t>(seed = seed * 1103515245u + 12345u, seed >> 16);
    return out;
}

} // namespace

TEST(StretchRect, BlendsRowByRowAsTheStepRuleDoesPairByPair)
{
    // Enlarging, reducing, mixed, and the zoom transitions' own sizes (short runs of source columns
    // from 560 wide up, reductions by up to 1.78 down to 360 wide).
    const int sizes[][4] = {{5, 3, 11, 7},        {11, 7, 5, 3},        {9, 2, 4, 6},         {632, 474, 640, 480},
                            {640, 480, 632, 474}, {640, 480, 24, 18},   {560, 420, 640, 480}, {360, 270, 640, 480},
                            {640, 480, 360, 270}, {640, 480, 488, 366}, {37, 5, 600, 3}};
    for (const auto& s : sizes) {
        const Bytes src24 = Noise(static_cast<std::size_t>(s[0] * s[1] * 3), 1);
        Bytes dst24 = Noise(static_cast<std::size_t>(s[2] * s[3] * 3), 2);
        Bytes expected24 = dst24;
        StretchBlendRect24(src24.data(), s[0], s[1], s[0] * 3, dst24.data(), s[2], s[3], s[2] * 3);
        ReferenceBlend<3>(src24, s[0], s[1], expected24, s[2], s[3]);
        EXPECT_EQ(dst24, expected24) << s[0] << "x" << s[1] << " to " << s[2] << "x" << s[3];

        const Bytes src32 = Noise(static_cast<std::size_t>(s[0] * s[1] * 4), 3);
        Bytes dst32 = Noise(static_cast<std::size_t>(s[2] * s[3] * 4), 4);
        Bytes expected32 = dst32;
        StretchBlendRect32(src32.data(), s[0], s[1], s[0] * 4, dst32.data(), s[2], s[3], s[2] * 4);
        ReferenceBlend<4>(src32, s[0], s[1], expected32, s[2], s[3]);
        EXPECT_EQ(dst32, expected32) << s[0] << "x" << s[1] << " to " << s[2] << "x" << s[3];

        // The copy keeps the last source pixel each destination pixel meets.
        Bytes copied(static_cast<std::size_t>(s[2] * s[3] * 4));
        StretchRect32(src32.data(), s[0], s[1], s[0] * 4, copied.data(), s[2], s[3], s[2] * 4);
        Bytes lasts(copied.size());
        ReferenceSteps(s[1], s[3], [&](int sy, int dy) {
            ReferenceSteps(s[0], s[2], [&](int sx, int dx) {
                std::copy_n(&src32[static_cast<std::size_t>((sy * s[0] + sx) * 4)], 4,
                            &lasts[static_cast<std::size_t>((dy * s[2] + dx) * 4)]);
            });
        });
        EXPECT_EQ(copied, lasts) << "copy " << s[0] << "x" << s[1] << " to " << s[2] << "x" << s[3];
    }
}
