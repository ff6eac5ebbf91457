#include "shell/helpers/PicturePart.h"

#include "graphics/bitmaps/TXeRGBBits.h"
#include "graphics/panels/PanelGeometry.h"

#include <gtest/gtest.h>

namespace {

// A 4 x 3 picture whose pixel (x, y) is 0x10 * (x + 1) + y in blue, red 0x80.
void MakePicture(TXeRGBBits& picture)
{
    picture.SetBitDepth(bd24);
    ASSERT_TRUE(picture.Resize(4, 3));
    ASSERT_TRUE(picture.Create());
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            picture.PSet(x, y, 0x800000u | static_cast<std::uint32_t>(0x10 * (x + 1) + y));
}

TEST(PicturePart, DrawsOnlyWherePlacedPictureAndRequestedPartOverlap)
{
    TXeRGBBits picture(nullptr), screen(nullptr);
    MakePicture(picture);
    screen.SetBitDepth(bd24);
    ASSERT_TRUE(screen.Resize(20, 20));
    ASSERT_TRUE(screen.Create());
    struct Case {
        const char* what;
        TDrawRequest request; // dest filled below; the panel's (0, 0) lands on (x - sx, y - sy)
        TXeRect area;
        int level;
        int drawn; // pixels changed
        TPoint probe;
        std::uint32_t pixel;
    };
    const Case cases[] = {
        {"whole", {nullptr, 10, 10, 0, 0, 8, 8}, RectAt(2, 1, 4, 3), 128, 12, {12, 11}, 0x800010},
        {"cut by the part", {nullptr, 13, 11, 3, 1, 2, 1}, RectAt(2, 1, 4, 3), 128, 2, {13, 11}, 0x800020},
        {"area wider than the picture", {nullptr, 0, 0, 0, 0, 20, 20}, RectAt(0, 0, 9, 9), 128, 12, {3, 2}, 0x800042},
        {"area smaller than the picture", {nullptr, 0, 0, 0, 0, 20, 20}, RectAt(5, 5, 2, 2), 128, 4, {6, 6}, 0x800021},
        {"half level", {nullptr, 0, 0, 0, 0, 20, 20}, RectAt(0, 0, 4, 3), 64, 12, {0, 0}, 0x400008},
        {"level 0", {nullptr, 0, 0, 0, 0, 20, 20}, RectAt(0, 0, 4, 3), 0, 0, {0, 0}, 0},
        {"no overlap", {nullptr, 0, 0, 10, 10, 5, 5}, RectAt(0, 0, 4, 3), 128, 0, {0, 0}, 0},
    };
    for (const Case& c : cases) {
        screen.Cls();
        TDrawRequest request = c.request;
        request.dest = &screen;
        DrawPicturePart(request, &picture, nullptr, c.area, c.level);
        int drawn = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                drawn += screen.PGet(x, y) != 0;
        EXPECT_EQ(drawn, c.drawn) << c.what;
        EXPECT_EQ(screen.PGet(c.probe.x, c.probe.y), c.pixel) << c.what;
    }
}

} // namespace
