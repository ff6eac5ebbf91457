#include "shell/helpers/SaveThumbnail.h"

#include "graphics/bitmaps/TXeRGBBits.h"
#include "shell/ShellTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

// A 32-bit screen whose blue is x mod 256, green y mod 256 and red (x + y) mod 256 over 0..255 ramps.
std::uint32_t ScreenColour(int x, int y)
{
    return static_cast<std::uint32_t>(((x + y) & 0xFF) << 16 | (y & 0xFF) << 8 | (x & 0xFF));
}

// The exact area average of one channel over thumbnail pixel (tx, ty) of a 640 x 480 screen.
double ExpectedChannel(int tx, int ty, int shift)
{
    const double x0 = tx * 640.0 / 134, x1 = (tx + 1) * 640.0 / 134;
    const double y0 = ty * 480.0 / 100, y1 = (ty + 1) * 480.0 / 100;
    double sum = 0, weight = 0;
    for (int y = static_cast<int>(y0); y < y1; ++y)
        for (int x = static_cast<int>(x0); x < x1; ++x) {
            const double w = (std::min<double>(x + 1, x1) - std::max<double>(x, x0)) *
                             (std::min<double>(y + 1, y1) - std::max<double>(y, y0));
            sum += w * ((ScreenColour(x, y) >> shift) & 0xFF);
            weight += w;
        }
    return sum / weight;
}

} // namespace

TEST(SaveThumbnail, AveragesAboutFiveByFiveScreenPixelsIntoEachOf134By100)
{
    shelltest::ScopedGlobals globals;
    TXeRGBBits screen(nullptr);
    screen.SetBitDepth(bd32);
    ASSERT_TRUE(screen.Create());
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            screen.PSet(x, y, ScreenColour(x, y));

    TXeRGBBits* thumbnail = MakeSaveThumbnail(&screen);
    ASSERT_NE(thumbnail, nullptr);
    EXPECT_EQ(thumbnail->Width(), 134);
    EXPECT_EQ(thumbnail->Height(), 100);
    EXPECT_EQ(thumbnail->BitDepth(), bd24);
    EXPECT_EQ(globals.Listed(), 1u) << "only the thumbnail stays listed";
    const int points[][2] = {{0, 0}, {1, 1}, {66, 50}, {133, 99}, {40, 70}};
    for (const auto& p : points)
        for (const int shift : {0, 8, 16}) {
            const int actual = static_cast<int>((thumbnail->PGet(p[0], p[1]) >> shift) & 0xFF);
            EXPECT_NEAR(actual, ExpectedChannel(p[0], p[1], shift), 0.5 + 1e-9)
                << "pixel " << p[0] << ", " << p[1] << " shift " << shift;
        }
    globals.Registry().Delete(thumbnail);
}

TEST(SaveThumbnail, IsNullWithoutAScreenOrARegistry)
{
    shelltest::ScopedGlobals globals;
    EXPECT_EQ(MakeSaveThumbnail(nullptr), nullptr);
    TXeRGBBits noPixels(nullptr);
    EXPECT_EQ(MakeSaveThumbnail(&noPixels), nullptr);
    TXeRGBBits tiny(nullptr);
    tiny.SetBitDepth(bd24);
    ASSERT_TRUE(tiny.Resize(100, 100) && tiny.Create());
    EXPECT_EQ(MakeSaveThumbnail(&tiny), nullptr) << "a thumbnail is never enlarged";
    EXPECT_EQ(globals.Listed(), 0u);

    TMemMan* saved = MemMan;
    MemMan = nullptr;
    TXeRGBBits screen(nullptr);
    screen.SetBitDepth(bd24);
    ASSERT_TRUE(screen.Create());
    EXPECT_EQ(MakeSaveThumbnail(&screen), nullptr);
    MemMan = saved;
}
