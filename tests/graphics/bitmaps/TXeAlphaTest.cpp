// TXeAlpha: life and size, byte drawing, block copies with clipping, blends on both sides of the
// inside/clip rules, level operations and ComposeAlphaChannel, with the MMX flag both ways.
#include "graphics/bitmaps/TXeAlpha.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

// A created w x h map filled with `value`.
struct TMap : TXeAlpha {
    TMap(int w, int h, std::uint8_t value = 255) : TXeAlpha(nullptr)
    {
        Resize(w, h);
        Create();
        Fill(value);
    }
};

// A map with random values.
struct TRandomMap : TMap {
    TRandomMap(int w, int h, std::uint32_t seed) : TMap(w, h)
    {
        std::mt19937 rng(seed);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                PSet(x, y, static_cast<std::uint8_t>(rng()));
    }
};

// The blend kernels' rule: a + floor((b - a) x level / 128).
int Blend(int a, int b, int level)
{
    return a + (((b - a) * level) >> 7);
}

bool AllEqual(const TXeAlpha& map, std::uint8_t value)
{
    for (int y = 0; y < map.Height(); ++y)
        for (int x = 0; x < map.Width(); ++x)
            if (map.PGet(x, y) != value)
                return false;
    return true;
}

}  // namespace

TEST(TXeAlpha, LifeAndSize)
{
    TXeAlpha map(nullptr);
    EXPECT_EQ(map.Width(), 640);
    EXPECT_EQ(map.Height(), 480);
    EXPECT_FALSE(map.Created());
    EXPECT_EQ(map.PGet(0, 0), 0);
    EXPECT_FALSE(map.PSet(0, 0, 1));
    EXPECT_FALSE(map.BoxFill(0, 0, 1, 1, 0));

    ASSERT_TRUE(map.Create());
    EXPECT_EQ(map.Pitch(), 640);
    EXPECT_TRUE(AllEqual(map, 255));
    EXPECT_FALSE(map.Create());

    map.Fill(3);
    EXPECT_TRUE(map.Resize(100, 50));
    EXPECT_EQ(map.Width(), 100);
    EXPECT_EQ(map.Pitch(), 100);
    EXPECT_TRUE(AllEqual(map, 255));
    EXPECT_FALSE(map.Resize(0, 50));
    EXPECT_EQ(map.Width(), 100);
    map.SetHeight(7);
    EXPECT_EQ(map.Height(), 7);
    EXPECT_TRUE(AllEqual(map, 255));

    map.Release();
    EXPECT_FALSE(map.Created());
    EXPECT_FALSE(map.Resize(0, 50));
    EXPECT_TRUE(map.Resize(3, 4));
    EXPECT_FALSE(map.Created());
    EXPECT_EQ(map.Width(), 3);

    TXeAlpha empty(nullptr);
    empty.Resize(1, 1);
    empty.SetWidth(-1);
    EXPECT_EQ(empty.Width(), 1);

    void* dc = &map;
    EXPECT_FALSE(map.GetDC(&dc));
    EXPECT_TRUE(map.ReleaseDC(nullptr));
}

TEST(TXeAlpha, SetIdKeepsSixteenCharacters)
{
    TXeAlpha map(nullptr);
    map.SetID("0123456789abcdefXYZ");
    EXPECT_EQ(std::string(map.ID().data(), 16), "0123456789abcdef");
    map.SetID("ab");
    EXPECT_EQ(map.ID()[1], 'b');
    EXPECT_EQ(map.ID()[2], 0);
}

TEST(TXeAlpha, PixelsOutsideTheMap)
{
    TMap map(4, 3, 9);
    EXPECT_EQ(map.PGet(-1, 0), 0);
    EXPECT_EQ(map.PGet(0, 3), 0);
    EXPECT_FALSE(map.PSet(map.Width(), 0, 7));
    EXPECT_FALSE(map.PSet(0, -1, 7));
    EXPECT_TRUE(map.PSet(3, 2, 7));
    EXPECT_EQ(map.PGet(3, 2), 7);
}

TEST(TXeAlpha, LineAndBox)
{
    TMap map(8, 8, 0);
    EXPECT_TRUE(map.Line(0, 0, 3, 1, 9));
    const std::vector<std::pair<int, int>> lit = {{0, 0}, {1, 0}, {2, 1}, {3, 1}};
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool on = std::find(lit.begin(), lit.end(), std::pair{x, y}) != lit.end();
            EXPECT_EQ(map.PGet(x, y), on ? 9 : 0) << x << "," << y;
        }

    // A line that leaves the map draws only its visible part.
    map.Fill(0);
    EXPECT_TRUE(map.Line(-3, 2, 100000, 2, 5));
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(map.PGet(x, 2), 5);

    map.Fill(255);
    EXPECT_TRUE(map.BoxFill(5, 5, 2, 2, 0));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(map.PGet(x, y), (x >= 2 && x <= 5 && y >= 2 && y <= 5) ? 0 : 255);
    EXPECT_TRUE(map.BoxFill(-100, 20, -50, 30, 1));
    EXPECT_TRUE(map.BoxFill(-100000, -100000, 100000, 100000, 1));
    EXPECT_TRUE(AllEqual(map, 1));
}

TEST(TXeAlpha, ToneDown)
{
    TMap map(12, 12, 200);
    map.PSet(1, 1, 255);
    EXPECT_TRUE(map.ToneDown(0, 0, 9, 9, 64));
    EXPECT_EQ(map.PGet(0, 0), 100);
    EXPECT_EQ(map.PGet(1, 1), 127);
    EXPECT_EQ(map.PGet(10, 0), 200);
    EXPECT_FALSE(map.ToneDown(0, 0, 9, 9, 129));
    EXPECT_FALSE(map.ToneDown(0, 0, 9, 9, -1));
    EXPECT_EQ(map.PGet(0, 0), 100);
    EXPECT_TRUE(map.ToneDown(11, 11, 20, 20, 0));
    EXPECT_EQ(map.PGet(11, 11), 0);
    EXPECT_TRUE(map.ToneDown(0, 0, 11, 11, 128));
    EXPECT_EQ(map.PGet(0, 0), 100);
}

TEST(TXeAlpha, PutAndGetClip)
{
    TMap map(6, 5, 0);
    std::uint8_t block[16];
    for (int i = 0; i < 16; ++i)
        block[i] = static_cast<std::uint8_t>(i + 1);
    EXPECT_TRUE(map.PutAlpha(-2, -2, 4, 4, block));
    EXPECT_EQ(map.PGet(0, 0), 11);
    EXPECT_EQ(map.PGet(1, 0), 12);
    EXPECT_EQ(map.PGet(0, 1), 15);
    EXPECT_EQ(map.PGet(1, 1), 16);
    EXPECT_EQ(map.PGet(2, 0), 0);
    EXPECT_EQ(map.PGet(0, 2), 0);

    // Right and bottom edges, with a pitch wider than the block.
    EXPECT_TRUE(map.PutAlphaPitch(4, 3, 3, 3, block, 5));
    EXPECT_EQ(map.PGet(4, 3), 1);
    EXPECT_EQ(map.PGet(5, 3), 2);
    EXPECT_EQ(map.PGet(4, 4), 6);
    EXPECT_EQ(map.PGet(5, 4), 7);
    EXPECT_TRUE(map.PutAlpha(6, 0, 2, 2, block));
    EXPECT_TRUE(map.PutAlpha(0, 0, 0, 2, block));
    EXPECT_TRUE(map.PutAlpha(2147483640, 2147483640, 100, 100, block));

    std::uint8_t buf[3] = {77, 77, 77};
    map.PSet(0, 0, 5);
    map.PSet(1, 0, 6);
    EXPECT_TRUE(map.GetAlpha(-1, 0, 3, 1, buf));
    EXPECT_EQ(buf[0], 77);
    EXPECT_EQ(buf[1], 5);
    EXPECT_EQ(buf[2], 6);

    std::uint8_t grid[9] = {};
    EXPECT_TRUE(map.GetAlpha(4, 3, 3, 3, grid));
    EXPECT_EQ(grid[0], 1);
    EXPECT_EQ(grid[4], 7);
    EXPECT_EQ(grid[2], 0);
    EXPECT_EQ(grid[6], 0);

    TXeAlpha uncreated(nullptr);
    EXPECT_FALSE(uncreated.PutAlpha(0, 0, 1, 1, block));
    EXPECT_FALSE(uncreated.GetAlpha(0, 0, 1, 1, grid));
}

TEST(TXeAlpha, DrawInsideRule)
{
    TRandomMap src(8, 6, 1);
    TMap dst(10, 10, 0);
    struct TCase {
        int sx, sy, w, h;
        bool ok;
    };
    const TCase cases[] = {
        {0, 0, 8, 6, true}, {1, 1, 7, 5, true}, {1, 0, 8, 6, false}, {-1, 0, 2, 2, false},
        {0, -1, 2, 2, false}, {0, 1, 8, 6, false}, {7, 5, 1, 1, true},
    };
    for (const TCase& c : cases) {
        dst.Fill(0);
        EXPECT_EQ(dst.Draw(3, 4, &src, c.sx, c.sy, c.w, c.h), c.ok) << c.sx << "," << c.sy;
        if (c.ok) {
            EXPECT_EQ(dst.PGet(3, 4), src.PGet(c.sx, c.sy));
        } else {
            EXPECT_TRUE(AllEqual(dst, 0));
        }
    }
    TXeAlpha uncreated(nullptr);
    EXPECT_FALSE(dst.Draw(0, 0, &uncreated, 0, 0, 1, 1));
    EXPECT_FALSE(uncreated.Draw(0, 0, &src, 0, 0, 1, 1));
    // The destination side clips.
    EXPECT_TRUE(dst.Draw(-2, 8, &src, 0, 0, 8, 6));
    EXPECT_EQ(dst.PGet(0, 8), src.PGet(2, 0));
    EXPECT_EQ(dst.PGet(5, 9), src.PGet(7, 1));
}

class TXeAlphaMmx : public testing::TestWithParam<bool> {};

TEST_P(TXeAlphaMmx, XeAlphaBlendLevels)
{
    std::uint8_t a[256], b[256];
    for (int i = 0; i < 256; ++i) {
        a[i] = static_cast<std::uint8_t>(i);
        b[i] = static_cast<std::uint8_t>(255 - i * 7);
    }
    TMap map(16, 16, 0);
    map.SetMMX(GetParam());
    ASSERT_TRUE(map.XeAlphaBlend(0, 0, 16, 16, a, 16, b, 16, 64));
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(map.PGet(i % 16, i / 16), (a[i] + b[i]) / 2);
    ASSERT_TRUE(map.XeAlphaBlend(0, 0, 16, 16, a, 16, b, 16, 200));
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(map.PGet(i % 16, i / 16), b[i]);
    ASSERT_TRUE(map.XeAlphaBlend(0, 0, 16, 16, a, 16, b, 16, -5));
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(map.PGet(i % 16, i / 16), a[i]);
    ASSERT_TRUE(map.XeAlphaBlend(0, 0, 16, 16, a, 16, b, 16, 32));
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(map.PGet(i % 16, i / 16), Blend(a[i], b[i], 32)) << i;

    // Edge clipping moves both blocks by the cut.
    map.Fill(0);
    ASSERT_TRUE(map.XeAlphaBlend(-3, -2, 8, 8, a, 16, b, 16, 64));
    EXPECT_EQ(map.PGet(0, 0), (a[2 * 16 + 3] + b[2 * 16 + 3]) / 2);
    EXPECT_EQ(map.PGet(5, 0), 0);
}

TEST_P(TXeAlphaMmx, AlphaBlendClipsWhereDrawRefuses)
{
    TRandomMap s1(8, 8, 2), s2(8, 8, 3);
    TMap dst(8, 8, 0);
    dst.SetMMX(GetParam());
    // One pixel outside the source: Draw (levels 0 and 128) refuses, level 1 clips and draws.
    EXPECT_FALSE(dst.AlphaBlend(0, 0, &s1, 1, 0, &s2, 0, 0, 8, 8, 0));
    EXPECT_FALSE(dst.AlphaBlend(0, 0, &s1, 0, 0, &s2, 1, 0, 8, 8, 128));
    EXPECT_TRUE(AllEqual(dst, 0));
    EXPECT_TRUE(dst.AlphaBlend(0, 0, &s1, 1, 0, &s2, 0, 0, 8, 8, 1));
    for (int x = 0; x < 7; ++x)
        EXPECT_EQ(dst.PGet(x, 3), Blend(s1.PGet(x + 1, 3), s2.PGet(x, 3), 1));
    EXPECT_EQ(dst.PGet(7, 3), 0);
    // A left cut moves the destination and both sources.
    dst.Fill(0);
    EXPECT_TRUE(dst.AlphaBlend(0, 0, &s1, -2, 0, &s2, 0, 0, 8, 8, 64));
    EXPECT_EQ(dst.PGet(0, 0), 0);
    EXPECT_EQ(dst.PGet(2, 0), (s1.PGet(0, 0) + s2.PGet(2, 0)) / 2);

    EXPECT_FALSE(dst.AlphaBlend(0, 0, &s1, 0, 0, &s2, 0, 0, 8, 8, 129));
    EXPECT_FALSE(dst.AlphaBlend(0, 0, &s1, 0, 0, &s2, 0, 0, 8, 8, -1));
    TXeAlpha uncreated(nullptr);
    EXPECT_FALSE(dst.AlphaBlend(0, 0, &uncreated, 0, 0, &s2, 0, 0, 8, 8, 5));
    EXPECT_FALSE(uncreated.AlphaBlend(0, 0, &s1, 0, 0, &s2, 0, 0, 8, 8, 5));
    // Wholly outside a source: true, nothing drawn.
    dst.Fill(0);
    EXPECT_TRUE(dst.AlphaBlend(0, 0, &s1, 100, 0, &s2, 0, 0, 8, 8, 5));
    EXPECT_TRUE(AllEqual(dst, 0));
}

TEST_P(TXeAlphaMmx, OneSourceAlphaBlend)
{
    TRandomMap src(8, 8, 4);
    TMap dst(8, 8, 100);
    dst.SetMMX(GetParam());
    TXeAlpha uncreated(nullptr);
    EXPECT_TRUE(uncreated.AlphaBlend(0, 0, &src, 0, 0, 8, 8, 0));
    EXPECT_TRUE(dst.AlphaBlend(0, 0, &src, 0, 0, 8, 8, 64));
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(dst.PGet(x, 5), (100 + src.PGet(x, 5)) / 2);
    EXPECT_FALSE(dst.AlphaBlend(0, 0, &src, 1, 0, 8, 8, 128));
    EXPECT_TRUE(dst.AlphaBlend(0, 0, &src, 0, 0, 8, 8, 128));
    EXPECT_EQ(dst.PGet(3, 3), src.PGet(3, 3));
    EXPECT_FALSE(dst.AlphaBlend(0, 0, &src, 0, 0, 8, 8, 300));
}

TEST_P(TXeAlphaMmx, LevelOperations)
{
    struct TCase {
        int value;
        std::uint8_t in, out;
    };
    const TCase extract[] = {{0, 239, 0},  {0, 240, 0},   {0, 241, 17}, {0, 255, 255}, {16, 224, 0},
                             {16, 225, 17}, {16, 239, 255}, {255, 0, 255}, {255, 128, 255}, {300, 211, 255},
                             {300, 210, 238}};
    for (const TCase& c : extract) {
        TMap map(1, 1, 0);
        map.SetMMX(GetParam());
        EXPECT_TRUE(map.XeExtract(0, 0, 1, 1, &c.in, 1, c.value));
        EXPECT_EQ(map.PGet(0, 0), c.out) << c.value << " " << int{c.in};
    }
    // The map forms clamp the value: 300 is 255, where the raw form takes the low byte 44.
    TMap src(1, 1, 0), dst(1, 1, 9);
    dst.SetMMX(GetParam());
    EXPECT_TRUE(dst.Extract(0, 0, &src, 0, 0, 1, 1, 300));
    EXPECT_EQ(dst.PGet(0, 0), 255);
    EXPECT_TRUE(dst.XeExtract(0, 0, 1, 1, src.Bits(), 1, 300));
    EXPECT_EQ(dst.PGet(0, 0), 0);

    src.Fill(200);
    EXPECT_TRUE(dst.SAdd(0, 0, &src, 0, 0, 1, 1, 100));
    EXPECT_EQ(dst.PGet(0, 0), 255);
    src.Fill(50);
    EXPECT_TRUE(dst.SSub(0, 0, &src, 0, 0, 1, 1, 100));
    EXPECT_EQ(dst.PGet(0, 0), 0);
    EXPECT_TRUE(dst.SAdd(0, 0, &src, 0, 0, 1, 1, -5));
    EXPECT_EQ(dst.PGet(0, 0), 50);
    EXPECT_FALSE(dst.SSub(0, 0, &src, 0, 0, 2, 1, 1));
    TXeAlpha uncreated(nullptr);
    EXPECT_FALSE(dst.SAdd(0, 0, &uncreated, 0, 0, 1, 1, 1));
    EXPECT_FALSE(uncreated.XeSAdd(0, 0, 1, 1, src.Bits(), 1, 1));

    // Clipping as PutAlphaPitch.
    TRandomMap big(6, 6, 5);
    TMap out(4, 4, 0);
    out.SetMMX(GetParam());
    EXPECT_TRUE(out.XeSAdd(-1, -2, 6, 6, big.Bits(), big.Pitch(), 0));
    EXPECT_EQ(out.PGet(0, 0), big.PGet(1, 2));
    EXPECT_EQ(out.PGet(3, 3), big.PGet(4, 5));
}

INSTANTIATE_TEST_SUITE_P(Forms, TXeAlphaMmx, testing::Bool(), [](const auto& info) {
    return info.param ? std::string("Mmx") : std::string("Plain");
});

TEST(TXeAlpha, ComposeAtTheEnds)
{
    TRandomMap from(10, 6, 6), to(10, 6, 7);
    to.PSet(2, 2, 0);
    TMap dst(10, 6, 1), weight(10, 6, 77);
    ASSERT_TRUE(ComposeAlphaChannel(&dst, 0, 0, &weight, &from, 0, 0, &to, 0, 0, 10, 6, 0));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x) {
            EXPECT_EQ(dst.PGet(x, y), from.PGet(x, y));
            EXPECT_EQ(weight.PGet(x, y), 0);
        }
    ASSERT_TRUE(ComposeAlphaChannel(&dst, 0, 0, &weight, &from, 0, 0, &to, 0, 0, 10, 6, 128));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x) {
            EXPECT_EQ(dst.PGet(x, y), to.PGet(x, y));
            EXPECT_EQ(weight.PGet(x, y), to.PGet(x, y) ? 128 : 0);
        }
}

TEST(TXeAlpha, ComposeWeights)
{
    // from 0, to 3 at level 50: r = 1, weight = 150; equal values give the level itself.
    TMap from(2, 1, 0), to(2, 1, 3), dst(2, 1), weight(2, 1);
    from.PSet(1, 0, 90);
    to.PSet(1, 0, 90);
    ASSERT_TRUE(ComposeAlphaChannel(&dst, 0, 0, &weight, &from, 0, 0, &to, 0, 0, 2, 1, 50));
    EXPECT_EQ(dst.PGet(0, 0), 1);
    EXPECT_EQ(weight.PGet(0, 0), 150);
    EXPECT_EQ(dst.PGet(1, 0), 90);
    EXPECT_EQ(weight.PGet(1, 0), 50);
    // c x level below 128: r = 0, weight 0.
    to.PSet(0, 0, 2);
    ASSERT_TRUE(ComposeAlphaChannel(&dst, 0, 0, &weight, &from, 0, 0, &to, 0, 0, 1, 1, 50));
    EXPECT_EQ(dst.PGet(0, 0), 0);
    EXPECT_EQ(weight.PGet(0, 0), 0);
    // from above to: the blend truncates toward zero.
    from.PSet(0, 0, 10);
    to.PSet(0, 0, 0);
    ASSERT_TRUE(ComposeAlphaChannel(&dst, 0, 0, &weight, &from, 0, 0, &to, 0, 0, 1, 1, 13));
    EXPECT_EQ(dst.PGet(0, 0), 10 - 130 / 128);
}

TEST(TXeAlpha, ComposeClipsAndReadsZeroOutside)
{
    TRandomMap from(12, 4, 8), to(12, 4, 9);
    TMap dst(6, 4, 1), weight(12, 4, 200);
    ASSERT_TRUE(ComposeAlphaChannel(&dst, -4, 0, &weight, &from, 0, 0, &to, 0, 0, 12, 4, 128));
    // Reading starts 4 columns further right; dst is written from column 0.
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(dst.PGet(x, 1), to.PGet(x + 4, 1));
    // weight is written only at the positions read from `to`.
    for (int x = 0; x < 12; ++x) {
        const int expected = (x < 4 || x >= 10) ? 200 : (to.PGet(x, 2) ? 128 : 0);
        EXPECT_EQ(weight.PGet(x, 2), expected) << x;
    }

    // Positions outside from and to read 0; outside `to` nothing is written to weight.
    TMap small(2, 2, 100), big(4, 4, 50), out(4, 4, 9), wt(4, 4, 9);
    ASSERT_TRUE(ComposeAlphaChannel(&out, 0, 0, &wt, &big, 0, 0, &small, 0, 0, 4, 4, 64));
    EXPECT_EQ(out.PGet(0, 0), 75);
    EXPECT_EQ(out.PGet(3, 3), 25);
    EXPECT_EQ(wt.PGet(0, 0), 100 * 64 / 75);
    EXPECT_EQ(wt.PGet(3, 3), 9);
}

TEST(TXeAlpha, ComposeRefusals)
{
    TMap a(4, 4), b(4, 4), c(4, 4), small(2, 2);
    TXeAlpha uncreated(nullptr);
    EXPECT_FALSE(ComposeAlphaChannel(&a, 0, 0, &b, &c, 0, 0, &c, 0, 0, 4, 4, 129));
    EXPECT_FALSE(ComposeAlphaChannel(&a, 0, 0, &b, &c, 0, 0, &c, 0, 0, 4, 4, -1));
    EXPECT_FALSE(ComposeAlphaChannel(&a, 0, 0, &small, &c, 0, 0, &b, 0, 0, 4, 4, 5));
    EXPECT_FALSE(ComposeAlphaChannel(&uncreated, 0, 0, &b, &c, 0, 0, &c, 0, 0, 4, 4, 5));
    EXPECT_FALSE(ComposeAlphaChannel(&a, 0, 0, &b, &uncreated, 0, 0, &c, 0, 0, 4, 4, 5));
    EXPECT_TRUE(ComposeAlphaChannel(&a, 10, 0, &b, &c, 0, 0, &c, 0, 0, 4, 4, 5));
    EXPECT_TRUE(ComposeAlphaChannel(&a, 0, 0, &b, &c, 0, 0, &c, 0, 0, 0, 4, 5));
}
