#include "shell/helpers/AreaReduce.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// A width x height picture of grey pixels, packed rows.
Bytes Greys(const std::vector<int>& values)
{
    Bytes pixels;
    for (const int v : values)
        pixels.insert(pixels.end(), 3, static_cast<std::uint8_t>(v));
    return pixels;
}

// The reduction worked out pixel by pixel: destination column j covers [j x srcWidth, (j + 1) x
// srcWidth) when each source column is dstWidth wide (rows likewise); each covered source byte is
// weighted by its overlap and the sum divided by srcWidth x srcHeight, halves rounded up.
Bytes ReferenceReduce(const Bytes& src, int srcWidth, int srcHeight, int pixelBytes, int dstWidth, int dstHeight)
{
    const auto overlap = [](std::int64_t dstIndex, std::int64_t srcSize, std::int64_t srcIndex, std::int64_t dstSize) {
        const std::int64_t begin = std::max(dstIndex * srcSize, srcIndex * dstSize);
        const std::int64_t end = std::min((dstIndex + 1) * srcSize, (srcIndex + 1) * dstSize);
        return std::max<std::int64_t>(end - begin, 0);
    };
    const std::int64_t divisor = std::int64_t{srcWidth} * srcHeight;
    Bytes dst;
    for (int i = 0; i < dstHeight; ++i)
        for (int j = 0; j < dstWidth; ++j)
            for (int c = 0; c < 3; ++c) {
                std::int64_t sum = 0;
                // Source index n meets destination index d when n x dstSize < (d + 1) x srcSize.
                for (int y = i * srcHeight / dstHeight; y * dstHeight < (i + 1) * srcHeight; ++y)
                    for (int x = j * srcWidth / dstWidth; x * dstWidth < (j + 1) * srcWidth; ++x)
                        sum += overlap(i, srcHeight, y, dstHeight) * overlap(j, srcWidth, x, dstWidth) *
                               src[static_cast<std::size_t>((y * srcWidth + x) * pixelBytes + c)];
                dst.push_back(static_cast<std::uint8_t>((2 * sum + divisor) / (2 * divisor)));
            }
    return dst;
}

} // namespace

TEST(AreaReduce, MatchesThePixelByPixelReferenceOnNoise)
{
    // The thumbnail's own sizes, sizes that need wider sums, prime sizes and a plain copy.
    const int sizes[][4] = {{640, 480, 134, 100}, {641, 479, 133, 101}, {97, 61, 13, 7}, {1000, 3, 3, 2},
                            {5, 400, 2, 3},       {37, 29, 37, 29},     {300, 300, 1, 1}};
    std::mt19937 rng(18);
    for (const auto& s : sizes)
        for (const int pixelBytes : {3, 4}) {
            Bytes src(static_cast<std::size_t>(s[0] * s[1] * pixelBytes));
            for (auto& b : src)
                b = static_cast<std::uint8_t>(rng());
            // Extremes in one corner: saturated sums must not wrap.
            std::fill_n(src.begin(), std::min<std::size_t>(src.size(), 64), 255);
            Bytes dst(static_cast<std::size_t>(s[2] * s[3] * 3), 0xEE);
            const auto reduce = pixelBytes == 3 ? ReduceRect24 : ReduceRect32To24;
            ASSERT_TRUE(reduce(src.data(), s[0], s[1], s[0] * pixelBytes, dst.data(), s[2], s[3], s[2] * 3));
            EXPECT_EQ(dst, ReferenceReduce(src, s[0], s[1], pixelBytes, s[2], s[3]))
                << s[0] << "x" << s[1] << " to " << s[2] << "x" << s[3] << ", " << pixelBytes << " bytes a pixel";
        }
}

TEST(AreaReduce, AveragesTheCoveredAreaWeightedByTheCoveredParts)
{
    struct Case {
        int srcWidth, srcHeight;
        std::vector<int> src;
        int dstWidth, dstHeight;
        std::vector<int> dst;
    };
    const Case cases[] = {
        // Same size: a copy.
        {2, 1, {7, 250}, 2, 1, {7, 250}},
        // Halving: plain means (rounded to nearest: 10.5 -> 11).
        {4, 1, {0, 100, 10, 11}, 2, 1, {50, 11}},
        {2, 2, {0, 100, 200, 100}, 1, 1, {100}},
        // Three into two: pixel 1 is shared half and half: (2 x 30 + 1 x 90) / 3 = 50, (90 + 2 x 150) / 3 = 130.
        {3, 1, {30, 90, 150}, 2, 1, {50, 130}},
        // Columns and rows at once.
        {3, 2, {30, 90, 150, 30, 90, 150}, 2, 1, {50, 130}},
    };
    for (const Case& c : cases) {
        const Bytes src = Greys(c.src);
        Bytes dst(static_cast<std::size_t>(c.dstWidth * c.dstHeight) * 3, 0xEE);
        ASSERT_TRUE(ReduceRect24(src.data(), c.srcWidth, c.srcHeight, c.srcWidth * 3, dst.data(), c.dstWidth,
                                 c.dstHeight, c.dstWidth * 3));
        EXPECT_EQ(dst, Greys(c.dst)) << c.srcWidth << "x" << c.srcHeight << " to " << c.dstWidth << "x" << c.dstHeight;
    }
}

TEST(AreaReduce, KeepsTheChannelsApartAndSkipsTheFourthByteOf32BitPixels)
{
    const Bytes src = {10, 20, 30, 50, 60, 70};
    Bytes dst(3);
    ASSERT_TRUE(ReduceRect24(src.data(), 2, 1, 6, dst.data(), 1, 1, 3));
    EXPECT_EQ(dst, (Bytes{30, 40, 50}));

    const Bytes src32 = {10, 20, 30, 255, 50, 60, 70, 255, 0, 0, 0, 255};
    Bytes dst32(3);
    ASSERT_TRUE(ReduceRect32To24(src32.data(), 3, 1, 12, dst32.data(), 1, 1, 3));
    EXPECT_EQ(dst32, (Bytes{20, 27, 33})) << "(10 + 50 + 0) / 3, (20 + 60) / 3 = 26.7, 100 / 3 = 33.3";
}

TEST(AreaReduce, TallColumnsNeedWiderSums)
{
    // 200 and 300 rows into one: sums beyond 15 and 16 bits; a ramp averages to its middle.
    for (const int rows : {200, 300, 1000}) {
        Bytes src;
        for (int y = 0; y < rows; ++y)
            src.insert(src.end(), {static_cast<std::uint8_t>(y % 2 == 0 ? 255 : 0), 255, 0});
        Bytes dst(3);
        ASSERT_TRUE(ReduceRect24(src.data(), 1, rows, 3, dst.data(), 1, 1, 3));
        EXPECT_EQ(dst, (Bytes{128, 255, 0})) << rows << " rows: 127.5 rounds up";
    }
}

TEST(AreaReduce, RefusesToEnlargeAndEmptySizes)
{
    const Bytes src(48, 9);
    const int sizes[][4] = {{2, 2, 3, 2}, {2, 2, 2, 3}, {0, 2, 1, 1}, {2, 2, 0, 1}, {2, -2, 1, 1}};
    for (const auto& s : sizes) {
        Bytes dst(48, 0xEE);
        EXPECT_FALSE(ReduceRect24(src.data(), s[0], s[1], 12, dst.data(), s[2], s[3], 12));
        EXPECT_EQ(dst, Bytes(48, 0xEE));
    }
}
