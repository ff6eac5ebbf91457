#include "game/SplashPicture.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(SplashPicture, FillsTheStartUpWindowWithAGradientAndABand)
{
    const std::vector<std::uint32_t> pixels = SplashPicture::Make();
    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(SplashPicture::kWidth) * SplashPicture::kHeight);
    auto at = [&](int x, int y) { return pixels[static_cast<std::size_t>(y) * SplashPicture::kWidth + x]; };
    std::set<std::uint32_t> column;
    for (int y = 0; y < SplashPicture::kHeight; ++y) {
        column.insert(at(0, y));
        EXPECT_EQ(at(0, y), at(SplashPicture::kWidth - 1, y)) << "row " << y;
        EXPECT_EQ(at(0, y) >> 24, 0u) << "row " << y;
    }
    EXPECT_GT(column.size(), 100u) << "a gradient, not a few flat colours";
    EXPECT_EQ(at(0, 0), 0x101860u);
    EXPECT_EQ(at(0, SplashPicture::kHeight - 1), 0xB04030u);
    // The band is lighter in every channel than the rows just outside it.
    const std::uint32_t middle = at(0, SplashPicture::kHeight / 2), outside = at(0, SplashPicture::kHeight / 2 + 30);
    for (int shift : {0, 8, 16})
        EXPECT_GT(middle >> shift & 0xFF, outside >> shift & 0xFF) << shift;
}

} // namespace
