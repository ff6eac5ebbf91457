// Nearest-neighbour zooming: the known rows, both directions at once, pitches, and the 24-bit form.
#include "graphics/kernels/Zooming.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Zooms a one-row text of pixels to `dw` pixels.
std::string ZoomRow(const std::string& row, int dw)
{
    std::string src = row;
    std::string dst(static_cast<std::size_t>(dw), '.');
    Zooming(reinterpret_cast<unsigned char*>(src.data()), static_cast<int>(src.size()), 1, static_cast<int>(src.size()),
            reinterpret_cast<unsigned char*>(dst.data()), dw, 1, dw);
    return dst;
}

}  // namespace

TEST(Zooming, KnownRows)
{
    EXPECT_EQ(ZoomRow("ab", 4), "aabb");
    EXPECT_EQ(ZoomRow("abcd", 2), "bd");
    EXPECT_EQ(ZoomRow("abc", 2), "bc");
    EXPECT_EQ(ZoomRow("ab", 3), "aab");
    EXPECT_EQ(ZoomRow("abc", 3), "abc");
    EXPECT_EQ(ZoomRow("a", 5), "aaaaa");
    EXPECT_EQ(ZoomRow("abcde", 1), "e");
}

TEST(Zooming, RowsFollowTheSameRuleAndPitchesLeaveGapsAlone)
{
    // 2 x 3 source (pitch 3) into 4 x 2 (pitch 5): columns double, rows keep the last of each run.
    std::vector<unsigned char> src = {1, 2, 99, 3, 4, 99, 5, 6, 99};
    std::vector<unsigned char> dst(10, 0);
    Zooming(src.data(), 2, 3, 3, dst.data(), 4, 2, 5);
    EXPECT_EQ(dst, std::vector<unsigned char>({3, 3, 4, 4, 0, 5, 5, 6, 6, 0}));
}

TEST(Zooming, TwentyFourBitPixelsMoveWhole)
{
    std::vector<TXeRGB> src = {XeRGB(1, 2, 3), XeRGB(4, 5, 6)};
    std::vector<TXeRGB> dst(6);
    Zooming24(src.data(), 2, 1, 2, dst.data(), 3, 2, 3);
    const std::vector<TXeRGB> expected = {src[0], src[0], src[1], src[0], src[0], src[1]};
    EXPECT_EQ(dst, expected);
}
