#include "scenario/stage/StageShake.h"

#include "base/util/TRandom.h"
#include "graphics/bitmaps/TXeRGBBits.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

TEST(StageShake, OffsetTableOfEachKind)
{
    struct Case {
        int kind;
        std::vector<std::pair<int, int>> offsets; // steps 0 .. last
    };
    const Case cases[] = {
        {kShakeVertical, {{0, -16}, {0, 16}, {0, -16}, {0, 16}, {0, -16}, {0, 16}, {0, -16}, {0, 16}, {0, -16}}},
        {kShakeHorizontal, {{-16, 0}, {16, 0}, {-16, 0}, {16, 0}, {-16, 0}, {16, 0}, {-16, 0}, {16, 0}, {-16, 0}}},
        {kShakeDrop, {{0, -4}, {0, -8}, {0, -12}, {0, -16}, {0, -32}, {0, 32}}},
    };
    TRandom random;
    for (const Case& c : cases) {
        int step = 0;
        for (const auto& [x, y] : c.offsets) {
            TShakeOffset o;
            ASSERT_TRUE(ShakeStep(c.kind, step, random, o)) << c.kind << " step " << step;
            EXPECT_EQ(o.x, x) << c.kind << " step " << step;
            EXPECT_EQ(o.y, y) << c.kind << " step " << step;
            ++step;
        }
        TShakeOffset o{5, 5};
        EXPECT_FALSE(ShakeStep(c.kind, step, random, o)) << c.kind;
        EXPECT_EQ(o.x, 0);
        EXPECT_EQ(o.y, 0);
    }
    std::vector<int> seen;
    for (int step = 0; step <= 8; ++step) {
        TShakeOffset o;
        ASSERT_TRUE(ShakeStep(kShakeRandom, step, random, o));
        for (int v : {o.x, o.y}) {
            EXPECT_TRUE(v == -16 || v == 0 || v == 16) << v;
            seen.push_back(v);
        }
    }
    TShakeOffset o;
    EXPECT_FALSE(ShakeStep(kShakeRandom, 9, random, o));
    EXPECT_TRUE(ShakeStep(kEffectFlash, 3, random, o)) << "other kinds: no offset, never over";
    EXPECT_EQ(o.x + o.y, 0);
}

TEST(StageShake, DrawsThePictureMovedWithTheBareEdgesBlack)
{
    auto picture = std::make_unique<TXeRGBBits>(nullptr);
    picture->SetBitDepth(bd32);
    picture->Resize(40, 30);
    ASSERT_TRUE(picture->Create());
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            picture->PSet(x, y, static_cast<std::uint32_t>(y << 8 | x | 0x800000));
    const TShakeOffset offsets[] = {{-16, 0}, {16, 0}, {0, -16}, {0, 16}, {16, -16}, {0, 0}, {-50, 0}};
    const TXeRect areas[] = {XeRect(0, 0, 40, 30), XeRect(5, 3, 30, 20), XeRect(30, 20, 40, 30)};
    for (const TShakeOffset& off : offsets)
        for (const TXeRect& area : areas) {
            auto dst = std::make_unique<TXeRGBBits>(nullptr);
            dst->SetBitDepth(bd32);
            dst->Resize(60, 50);
            ASSERT_TRUE(dst->Create());
            dst->BoxFill(0, 0, 59, 49, 0x123456);
            // The panel's area lands 7 right and 9 down in dst.
            DrawShaken(dst.get(), area.left + 7, area.top + 9, picture.get(), area.left, area.top,
                       area.right - area.left, area.bottom - area.top, off);
            for (int v = 0; v < 41; ++v)
                for (int u = 0; u < 45; ++u) {
                    std::uint32_t expected = 0x123456;
                    if (area.InRect(u, v)) {
                        const int sx = u - off.x, sy = v - off.y;
                        expected = sx >= 0 && sx < 40 && sy >= 0 && sy < 30 ? picture->PGet(sx, sy) : 0;
                    }
                    ASSERT_EQ(dst->PGet(u + 7, v + 9), expected) << off.x << "," << off.y << " at " << u << "," << v;
                }
        }
}
