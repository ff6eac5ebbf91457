#include "shell/helpers/AreaReduce.h"

#include <gtest/gtest.h>

#include <cstdint>
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

} // namespace

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
