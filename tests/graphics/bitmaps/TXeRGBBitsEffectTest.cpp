// TXeRGBBits colour effects: exact rectangles in every format (corners in any order, clipped,
// outside), the rectangle reported, the channel arithmetic of each effect on known colours.
#include "graphics/bitmaps/TXeRGBBits.h"

#include "graphics/kernels/PixelConvert.h"

#include "tests/graphics/DrawTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct TChannels {
    int b, g, r;
};

using TTreat = std::function<TChannels(TChannels)>;

struct TEffect {
    const char* name;
    std::function<bool(TXeRGBBits&, int, int, int, int)> call;
    TTreat treat;
};

const TEffect kEffects[] = {
    {"Monochrome", [](TXeRGBBits& b, int x1, int y1, int x2, int y2) { return b.Monochrome(x1, y1, x2, y2); },
     [](TChannels c) {
         const int g = (c.b + c.g + c.r) / 3;
         return TChannels{g, g, g};
     }},
    {"Sepia", [](TXeRGBBits& b, int x1, int y1, int x2, int y2) { return b.Sepia(x1, y1, x2, y2); },
     [](TChannels c) {
         const int s = c.b + c.g + c.r;
         return TChannels{(s + c.b) / 8, (s + c.g) / 5, (s + c.r) / 4};
     }},
    {"Negative", [](TXeRGBBits& b, int x1, int y1, int x2, int y2) { return b.Negative(x1, y1, x2, y2); },
     [](TChannels c) { return TChannels{255 - c.b, 255 - c.g, 255 - c.r}; }},
    // Red halved, green kept, blue doubled (held at 255); the fourth factor byte keeps the fourth byte.
    {"ToneChange",
     [](TXeRGBBits& b, int x1, int y1, int x2, int y2) { return b.ToneChange(x1, y1, x2, y2, 0x80408000u | 0xFF); },
     [](TChannels c) { return TChannels{std::min(255, (c.b * 255) >> 7), c.g, (c.r * 64) >> 7}; }},
};

// The pixel an effect makes of p in format f: 24- and 32-bit pixels are treated as they are (the
// fourth byte kept); 16-bit pixels are widened to 24 bits, treated and narrowed back.
std::uint32_t Expected(const TTreat& treat, TPixFormat f, std::uint32_t p)
{
    const bool wide = PixFormatBytes(f) >= 3;
    const std::uint32_t c = wide ? p : RGBfromTable[f](p) & 0xFFFFFF;
    const TChannels t = treat({static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                               static_cast<int>((c >> 16) & 0xFF)});
    const std::uint32_t colour = static_cast<std::uint32_t>(t.r << 16 | t.g << 8 | t.b);
    return wide ? (p & 0xFF000000) | colour : RGBtoTable[f](colour) & 0xFFFF;
}

}  // namespace

TEST(TXeRGBBitsEffect, ExactRectangles)
{
    struct TCase {
        int x1, y1, x2, y2;
        int left, top, right, bottom;  // the treated rectangle, both corners included; right < left: none
    };
    const TCase cases[] = {
        {2, 1, 4, 3, 2, 1, 4, 3},       {4, 3, 2, 1, 2, 1, 4, 3},       {-5, -5, 1, 1, 0, 0, 1, 1},
        {10, 10, 5, 5, 5, 5, 7, 5},     {3, 2, 3, 2, 3, 2, 3, 2},       {20, 20, 30, 30, 1, 0, 0, 0},
        {-100000, 0, 100000, 0, 0, 0, 7, 0}, {0, -9, 7, -1, 1, 0, 0, 0},
    };
    for (const TEffect& effect : kEffects)
        for (bool mmx : {false, true})
            for (TPixFormat f : kDrawFormats)
                for (const TCase& c : cases) {
                    TTestBits bits(8, 6, f, 31);
                    bits.SetMMX(mmx);
                    const auto before = bits.Pixels();
                    TChangeLog log(bits);
                    ASSERT_TRUE(effect.call(bits, c.x1, c.y1, c.x2, c.y2)) << effect.name;
                    for (int y = 0; y < 6; ++y)
                        for (int x = 0; x < 8; ++x) {
                            const std::uint32_t old = before[static_cast<std::size_t>(y * 8 + x)];
                            const bool inside = x >= c.left && x <= c.right && y >= c.top && y <= c.bottom;
                            ASSERT_EQ(bits.PGet(x, y), inside ? Expected(effect.treat, f, old) : old)
                                << effect.name << " " << FormatName(f) << (mmx ? " mmx" : "") << " at " << x << ","
                                << y << " corners " << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2;
                        }
                    // The whole bitmap is reported, also for a rectangle that misses it.
                    EXPECT_TRUE(log.One(0, 0, 7, 5)) << effect.name;
                }
}

TEST(TXeRGBBitsEffect, KnownColours)
{
    struct TCase {
        const char* name;
        std::uint32_t in, out;
    };
    const TCase cases[] = {
        {"Monochrome", 0xFF0000, 0x555555}, {"Monochrome", 0x010100, 0x000000}, {"Sepia", 0xFFFFFF, 0xFFCC7F},
        {"Sepia", 0x000000, 0x000000},      {"Sepia", 0x0000FF, 0x3F333F},      {"Negative", 0x123456, 0xEDCBA9},
    };
    for (const TCase& c : cases)
        for (TPixFormat f : {pf24_888, pf32_888}) {
            TTestBits bits(1, 1, f);
            bits.PSet(0, 0, c.in);
            const TEffect* effect = nullptr;
            for (const TEffect& e : kEffects)
                if (std::string(e.name) == c.name)
                    effect = &e;
            ASSERT_TRUE(effect->call(bits, 0, 0, 0, 0));
            EXPECT_EQ(bits.PGet(0, 0), c.out) << c.name << " " << std::hex << c.in;
        }
}

TEST(TXeRGBBitsEffect, ToneAtItsEnds)
{
    for (TPixFormat f : {pf24_888, pf32_888, pf32_8888})
        for (bool mmx : {false, true}) {
            TTestBits bits(12, 12, f, 32);
            bits.SetMMX(mmx);
            const auto before = bits.Pixels();
            ASSERT_TRUE(bits.ToneChange(10, 10, 5, 5, 0x80808080u));
            EXPECT_EQ(bits.Pixels(), before);
            ASSERT_TRUE(bits.ToneChange(10, 10, 5, 5, 0x00808080u));
            // The MMX form of the 32-bit kernel scales the fourth byte by the top factor byte too.
            const std::uint32_t fourth = (f != pf24_888 && mmx) ? 0 : before[7 * 12 + 7] & 0xFF000000;
            EXPECT_EQ(bits.PGet(7, 7), (before[7 * 12 + 7] & 0xFFFFFF) | fourth);
            ASSERT_TRUE(bits.ToneChange(5, 5, 10, 10, 0));
            EXPECT_EQ(bits.PGet(5, 5) & 0xFFFFFF, 0u);
            EXPECT_EQ(bits.PGet(10, 10) & 0xFFFFFF, 0u);
            EXPECT_EQ(bits.PGet(11, 10), before[10 * 12 + 11]);
        }
}

TEST(TXeRGBBitsEffect, NegativeTwiceRestoresAndKeepsAlpha)
{
    for (TPixFormat f : {pf16_565, pf24_888, pf32_888, pf32_8888}) {
        TTestBits bits(7, 5, f, 33);
        const auto before = bits.Pixels();
        ASSERT_TRUE(bits.Negative(0, 0, 6, 4));
        if (f == pf32_8888) {
            for (int x = 0; x < 7; ++x)
                EXPECT_EQ(bits.PGet(x, 2) >> 24, before[2 * 7 + x] >> 24);
        }
        ASSERT_TRUE(bits.Negative(6, 4, 0, 0));
        EXPECT_EQ(bits.Pixels(), before) << FormatName(f);
    }
}

TEST(TXeRGBBitsEffect, SepiaOn565WorksOnWidenedPixels)
{
    TTestBits bits(1, 1, pf16_565);
    bits.PSet(0, 0, 0xFFFF);  // white
    ASSERT_TRUE(bits.Sepia(0, 0, 0, 0));
    // (R 255, G 204, B 127) truncated to 5-6-5: 31, 51, 15.
    EXPECT_EQ(bits.PGet(0, 0), (31u << 11) | (51u << 5) | 15u);
}

TEST(TXeRGBBitsEffect, Refusals)
{
    TXeRGBBits uncreated(nullptr);
    TTestBits locked(4, 4, pf16_555);
    locked.FailLock = true;
    for (const TEffect& effect : kEffects) {
        EXPECT_FALSE(effect.call(uncreated, 0, 0, 1, 1)) << effect.name;
        EXPECT_FALSE(effect.call(locked, 0, 0, 1, 1)) << effect.name;
    }
}
