#include "scenario/stage/LineDrawers.h"

#include "graphics/bitmaps/TXeAlpha.h"
#include "graphics/bitmaps/TXeRGBBits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

std::unique_ptr<TXeRGBBits> Bitmap(TBitDepth depth, int w, int h, std::uint32_t fill)
{
    auto bits = std::make_unique<TXeRGBBits>(nullptr);
    bits->SetBitDepth(depth);
    bits->Resize(w, h);
    EXPECT_TRUE(bits->Create());
    bits->BoxFill(0, 0, w - 1, h - 1, fill);
    return bits;
}

// The plain walk of every pixel from the first end point to the second, kept only inside the clip:
// what the drawers must touch, found without their skip and early end.
std::vector<std::pair<int, int>> ReferencePixels(int x1, int y1, int x2, int y2, const TXeRect& clip)
{
    auto clamp = [](int v) { return std::clamp(v, -32768, 32768); };
    x1 = clamp(x1), y1 = clamp(y1), x2 = clamp(x2), y2 = clamp(y2);
    if (y1 > y2) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    const int sx = x2 >= x1 ? 1 : -1;
    const long long nx = static_cast<long long>(x2 - x1) * sx + 1, ny = y2 - y1 + 1;
    const bool xMajor = nx >= ny;
    const long long nMajor = xMajor ? nx : ny, nMinor = xMajor ? ny : nx;
    std::vector<std::pair<int, int>> out;
    long long error = 0;
    for (long long i = 0, x = x1, y = y1; i < nMajor; ++i) {
        if (clip.InRect(static_cast<int>(x), static_cast<int>(y)))
            out.emplace_back(static_cast<int>(x), static_cast<int>(y));
        (xMajor ? x : y) += xMajor ? sx : 1;
        error += nMinor;
        if (error >= nMajor) {
            error -= nMajor;
            (xMajor ? y : x) += xMajor ? 1 : sx;
        }
    }
    return out;
}

// Pixels whose colour bytes differ from the background, row by row.
std::vector<std::pair<int, int>> ChangedPixels(TXeRGBBits& bits, std::uint32_t background)
{
    std::vector<std::pair<int, int>> out;
    bits.Lock();
    const int bpp = bits.BitDepth();
    for (int y = 0; y < bits.Height(); ++y)
        for (int x = 0; x < bits.Width(); ++x) {
            const std::uint8_t* p = bits.Bits() + y * bits.Pitch() + x * bpp;
            const std::uint32_t value = bpp == bd16 ? p[0] | p[1] << 8u : p[0] | p[1] << 8u | p[2] << 16u;
            if (value != (background & (bpp == bd16 ? 0xFFFFu : 0xFFFFFFu)))
                out.emplace_back(x, y);
        }
    bits.Unlock();
    return out;
}

} // namespace

TEST(LineDrawers, MatchTheReferenceWalkOnRandomLinesIncludingFarEndPoints)
{
    std::mt19937 rng(24);
    auto coord = [&](int span) {
        switch (rng() % 4) {
        case 0: return static_cast<int>(rng() % 200000) - 100000; // far, clamped
        default: return static_cast<int>(rng() % (span + 80)) - 40;
        }
    };
    const std::uint32_t background = 0x102030;
    for (TBitDepth depth : {bd24, bd32}) {
        auto bits = Bitmap(depth, 97, 61, background);
        for (int n = 0; n < 500; ++n) {
            const int x1 = coord(97), y1 = coord(61), x2 = coord(97), y2 = coord(61);
            const int l = static_cast<int>(rng() % 120) - 10, t = static_cast<int>(rng() % 80) - 10;
            const TXeRect clip = XeRect(l, t, l + static_cast<int>(rng() % 100), t + static_cast<int>(rng() % 70));
            ASSERT_TRUE(DrawLineAdd(bits.get(), x1, y1, x2, y2, 0x010101, clip));
            TXeRect inBitmap;
            inBitmap.IntersectRect(clip, XeRect(0, 0, 97, 61));
            auto expected = ReferencePixels(x1, y1, x2, y2, inBitmap);
            std::sort(expected.begin(), expected.end(),
                      [](auto a, auto b) { return a.second != b.second ? a.second < b.second : a.first < b.first; });
            ASSERT_EQ(ChangedPixels(*bits, background), expected)
                << "line (" << x1 << "," << y1 << ")-(" << x2 << "," << y2 << ") clip " << clip.left << ","
                << clip.top << "," << clip.right << "," << clip.bottom;
            ASSERT_TRUE(DrawLineSub(bits.get(), x1, y1, x2, y2, 0x010101, clip));
            ASSERT_TRUE(ChangedPixels(*bits, background).empty()) << "the subtraction takes every pixel back";
        }
    }
}

TEST(LineDrawers, ChangeEachColourByteWithSaturationAndLeaveTheFourthByte)
{
    struct Case {
        const char* what;
        std::uint32_t before, colour, after;
        bool add;
    };
    const Case cases[] = {
        {"add saturates", 0xF0F0F0, 0x202020, 0xFFFFFF, true},
        {"sub saturates", 0x101010, 0x202020, 0x000000, false},
        {"bytes apart", 0x102030, 0x010203, 0x112233, true},
        {"sub by byte", 0x102030, 0x010203, 0x0F1E2D, false},
    };
    for (const Case& c : cases) {
        auto bits = Bitmap(bd32, 4, 1, c.before | 0xAB000000u);
        const TXeRect all = XeRect(0, 0, 4, 1);
        ASSERT_TRUE(c.add ? DrawLineAdd(bits.get(), 0, 0, 3, 0, c.colour, all) : DrawLineSub(bits.get(), 0, 0, 3, 0, c.colour, all));
        bits->Lock();
        const std::uint8_t* p = bits->Bits();
        EXPECT_EQ(p[0] | p[1] << 8 | p[2] << 16, static_cast<int>(c.after)) << c.what;
        EXPECT_EQ(p[3], 0xAB) << c.what;
        bits->Unlock();
    }
}

TEST(LineDrawers, VerticalLineFromAboveDrawsOnlyItsRowsFromTheTop)
{
    auto bits = Bitmap(bd24, 8, 300, 0);
    ASSERT_TRUE(DrawLineAdd(bits.get(), 3, -100, 3, 140, 0x202020, XeRect(0, 0, 8, 300)));
    EXPECT_EQ(ChangedPixels(*bits, 0).size(), 141u) << "rows 0 .. 140 of 241";
    EXPECT_EQ(bits->PGet(3, 0), 0x202020u);
    EXPECT_EQ(bits->PGet(3, 140), 0x202020u);
    EXPECT_EQ(bits->PGet(3, 141), 0u);
}

TEST(LineDrawers, DrawNothingButSucceedOutsideTheClipAndFailOnUnusableBitmaps)
{
    auto bits = Bitmap(bd24, 16, 16, 0);
    EXPECT_TRUE(DrawLineAdd(bits.get(), -10, 0, -1, 15, 0x202020, XeRect(0, 0, 16, 16))) << "left of the clip";
    EXPECT_TRUE(DrawLineAdd(bits.get(), 0, 0, 15, 15, 0x202020, XeRect(20, 20, 40, 40))) << "clip off the bitmap";
    EXPECT_TRUE(DrawLineAdd(bits.get(), 0, 0, 15, 15, 0x202020, XeRect(4, 4, 4, 10))) << "empty clip";
    EXPECT_TRUE(ChangedPixels(*bits, 0).empty());

    auto shallow = Bitmap(bd16, 8, 8, 0x1234);
    EXPECT_FALSE(DrawLineAdd(shallow.get(), 0, 0, 7, 7, 0x202020, XeRect(0, 0, 8, 8)));
    EXPECT_TRUE(ChangedPixels(*shallow, 0x1234).empty()) << "a 16-bit bitmap is not touched";
    TXeRGBBits uncreated(nullptr);
    EXPECT_FALSE(DrawLineSub(&uncreated, 0, 0, 7, 7, 0x202020, XeRect(0, 0, 8, 8)));
    EXPECT_FALSE(DrawLineAdd(nullptr, 0, 0, 7, 7, 0x202020, XeRect(0, 0, 8, 8)));
}

TEST(LineDrawers, MaskedLineScalesTheColourByThePlaneOrFallsBackToThePlainAdd)
{
    auto bits = Bitmap(bd24, 4, 1, 0);
    TXeAlpha plane(nullptr);
    plane.Resize(4, 1);
    ASSERT_TRUE(plane.Create());
    const std::uint8_t values[] = {128, 0, 255, 64};
    plane.PutAlpha(0, 0, 4, 1, values);
    ASSERT_TRUE(DrawLineAddMasked(bits.get(), 0, 0, 3, 0, 0x202020, XeRect(0, 0, 4, 1), &plane));
    EXPECT_EQ(bits->PGet(0, 0), 0x101010u) << "alpha 128 adds half";
    EXPECT_EQ(bits->PGet(1, 0), 0u) << "alpha 0 leaves the pixel";
    EXPECT_EQ(bits->PGet(2, 0), 0x1F1F1Fu) << "(0x20 x 255) >> 8";
    EXPECT_EQ(bits->PGet(3, 0), 0x080808u);

    for (int narrower : {0, 1}) {
        auto plain = Bitmap(bd24, 4, 2, 0);
        TXeAlpha small(nullptr);
        small.Resize(narrower ? 3 : 4, narrower ? 2 : 1);
        ASSERT_TRUE(small.Create());
        small.Fill(0);
        ASSERT_TRUE(DrawLineAddMasked(plain.get(), 0, 1, 3, 1, 0x202020, XeRect(0, 0, 4, 2), &small));
        EXPECT_EQ(plain->PGet(3, 1), 0x202020u) << "a plane smaller than the bitmap is not used";
    }
    auto plain = Bitmap(bd24, 4, 1, 0);
    TXeAlpha uncreated(nullptr);
    ASSERT_TRUE(DrawLineAddMasked(plain.get(), 0, 0, 3, 0, 0x202020, XeRect(0, 0, 4, 1), &uncreated));
    EXPECT_EQ(plain->PGet(2, 0), 0x202020u);
}
