// TXeRGBBits mixes with other bitmaps: a clipping property for every clip-rule operation (random
// rectangles past every edge of destination, sources and alpha map give, pixel by pixel, what the
// primitive gives for that one pixel, and report exactly the rectangle drawn), then the known
// cases: levels at their ends, alpha 0/128/255, double alpha, two sources, refusals.
#include "graphics/bitmaps/TXeRGBBits.h"

#include "tests/graphics/DrawTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace {

// The bitmaps of one operation: a destination, two sources and an alpha map.
struct TScene {
    TTestBits dst, src1, src2;
    TTestAlpha mask;
    TScene(TPixFormat dstFormat, TPixFormat srcFormat, std::uint32_t seed)
        : dst(12, 10, dstFormat, seed), src1(9, 7, srcFormat, seed + 1), src2(8, 9, srcFormat, seed + 2),
          mask(7, 8, seed + 3)
    {
        dst.SetMMX(false);
    }
};

struct TArgs {
    int x, y, sx1, sy1, sx2, sy2, w, h;
};

// The expected pixel from the destination's old pixel d, the source pixels s1, s2 and the alpha
// value m, computed by the operation's primitive on a 1 x 1 bitmap.
using TOracle = std::function<bool(TXeRGBBits& one, std::uint32_t* s1, std::uint32_t* s2, std::uint8_t* m,
                                   TPixFormat srcFormat)>;

struct TMixOp {
    const char* name;
    bool anyFormats;  // false: the sources must be compatible with the destination
    bool usesSrc2;
    bool usesMask;
    bool maskOnSrc2;
    std::function<bool(TScene&, const TArgs&)> call;
    TOracle oracle;
};

constexpr int kLevel = 37;

const std::vector<TMixOp>& MixOps()
{
    static const std::vector<TMixOp> ops = {
        {"ClipDraw", false, false, false, false,
         [](TScene& s, const TArgs& a) { return s.dst.ClipDraw(a.x, a.y, &s.src1, a.sx1, a.sy1, a.w, a.h); },
         [](TXeRGBBits& o, std::uint32_t* s1, std::uint32_t*, std::uint8_t*, TPixFormat) {
             return o.XePutPat(0, 0, 1, 1, s1, 4, false, 0);
         }},
        {"ConvertCopy", true, false, false, false,
         [](TScene& s, const TArgs& a) { return s.dst.ConvertCopy(a.x, a.y, &s.src1, a.sx1, a.sy1, a.w, a.h); },
         [](TXeRGBBits& o, std::uint32_t* s1, std::uint32_t*, std::uint8_t*, TPixFormat f) {
             return o.XeConvert(0, 0, 1, 1, s1, f, 4);
         }},
        {"SaturationAdd", false, false, false, false,
         [](TScene& s, const TArgs& a) { return s.dst.SaturationAdd(a.x, a.y, &s.src1, a.sx1, a.sy1, a.w, a.h); },
         [](TXeRGBBits& o, std::uint32_t* s1, std::uint32_t*, std::uint8_t*, TPixFormat) {
             return o.XeSaturationAdd(0, 0, 1, 1, s1, 4);
         }},
        {"SaturationSub", false, false, false, false,
         [](TScene& s, const TArgs& a) { return s.dst.SaturationSub(a.x, a.y, &s.src1, a.sx1, a.sy1, a.w, a.h); },
         [](TXeRGBBits& o, std::uint32_t* s1, std::uint32_t*, std::uint8_t*, TPixFormat) {
             return o.XeSaturationSub(0, 0, 1, 1, s1, 4);
         }},
        {"AlphaBlend2", false, true, false, false,
         [](TScene& s, const TArgs& a) {
             return s.dst.AlphaBlend(a.x, a.y, &s.src1, a.sx1, a.sy1, &s.src2, a.sx2, a.sy2, a.w, a.h, kLevel);
         },
         [](TXeRGBBits& o, std::uint32_t* s1, std::uint32_t* s2, std::uint8_t*, TPixFormat) {
             return o.XeAlphaBlend(0, 0, 1, 1, s1, 4, s2, 4, kLevel);
         }},
        {"AlphaBlend1", false, false, false, false,
         [](TScene& s, const TArgs& a) { return s.dst.AlphaBlend(a.x, a.y, &s.src1, a.sx1, a.sy1, a.w, a.h, 90); },
         [](TXeRGBBits& o, std::uint32_t* s1, std::uint32_t*, std::uint8_t*, TPixFormat) {
             std::uint32_t d = o.PGet(0, 0);
             return o.XeAlphaBlend(0, 0, 1, 1, &d, 4, s1, 4, 90);
         }},
        {"DrawAlphaMask", true, false, true, false,
         [](TScene& s, const TArgs& a) {
             return s.dst.DrawAlphaMask(a.x, a.y, &s.src1, a.sx1, a.sy1, a.w, a.h, &s.mask);
         },
         [](TXeRGBBits& o, std::uint32_t* s1, std::uint32_t*, std::uint8_t* m, TPixFormat f) {
             return o.XeAlphaMask(0, 0, 1, 1, s1, 4, f, m, 1);
         }},
        {"DrawAlphaMaskSourceAlpha", true, false, false, false,
         [](TScene& s, const TArgs& a) { return s.dst.DrawAlphaMask(a.x, a.y, &s.src1, a.sx1, a.sy1, a.w, a.h); },
         [](TXeRGBBits& o, std::uint32_t* s1, std::uint32_t*, std::uint8_t*, TPixFormat f) {
             return o.XeAlphaMask(0, 0, 1, 1, s1, 4, f);
         }},
        {"DrawAlphaMask2", true, true, true, true,
         [](TScene& s, const TArgs& a) {
             return s.dst.DrawAlphaMask(a.x, a.y, &s.src1, a.sx1, a.sy1, &s.src2, a.sx2, a.sy2, a.w, a.h, &s.mask);
         },
         [](TXeRGBBits& o, std::uint32_t* s1, std::uint32_t* s2, std::uint8_t* m, TPixFormat f) {
             return o.XeAlphaMask(0, 0, 1, 1, s1, 4, s2, 4, f, m, 1);
         }},
        {"DrawDoubleAlphaMask", true, false, true, false,
         [](TScene& s, const TArgs& a) {
             return s.dst.DrawDoubleAlphaMask(a.x, a.y, &s.src1, a.sx1, a.sy1, a.w, a.h, &s.mask, 50);
         },
         [](TXeRGBBits& o, std::uint32_t* s1, std::uint32_t*, std::uint8_t* m, TPixFormat f) {
             return o.XeDoubleAlphaMask(0, 0, 1, 1, s1, 4, f, m, 1, 50);
         }},
    };
    return ops;
}

// The colours of all pixels, without their alpha or spare bits.
std::vector<std::uint32_t> Colours(TTestBits& bits)
{
    std::vector<std::uint32_t> out;
    for (std::uint32_t p : bits.Pixels())
        out.push_back(bits.PixeltoTXeRGB(p).ToDWORD());
    return out;
}

bool Inside(int x, int y, int w, int h)
{
    return x >= 0 && x < w && y >= 0 && y < h;
}

// Runs one operation on random arguments and checks every destination pixel and the report.
void CheckClipping(const TMixOp& op, TPixFormat dstFormat, TPixFormat srcFormat, std::mt19937& rng)
{
    const auto pick = [&rng](int lo, int hi) { return lo + static_cast<int>(rng() % static_cast<unsigned>(hi - lo + 1)); };
    TScene scene(dstFormat, srcFormat, rng());
    const TArgs a{pick(-6, 14), pick(-6, 12), pick(-5, 10), pick(-5, 9), pick(-5, 10), pick(-5, 10), pick(0, 14),
                  pick(0, 13)};
    const auto before = scene.dst.Pixels();
    TChangeLog log(scene.dst);
    ASSERT_TRUE(op.call(scene, a)) << op.name;
    ASSERT_EQ(scene.src1.LockCount(), 0);
    ASSERT_EQ(scene.src2.LockCount(), 0);

    TXeRect drawn{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (int j = 0; j < a.h; ++j)
        for (int i = 0; i < a.w; ++i) {
            const int mx = op.maskOnSrc2 ? a.sx2 + i : a.sx1 + i, my = op.maskOnSrc2 ? a.sy2 + j : a.sy1 + j;
            if (!Inside(a.x + i, a.y + j, 12, 10) || !Inside(a.sx1 + i, a.sy1 + j, 9, 7) ||
                (op.usesSrc2 && !Inside(a.sx2 + i, a.sy2 + j, 8, 9)) || (op.usesMask && !Inside(mx, my, 7, 8)))
                continue;
            drawn = XeRect(std::min(drawn.left, a.x + i), std::min(drawn.top, a.y + j),
                           std::max(drawn.right, a.x + i + 1), std::max(drawn.bottom, a.y + j + 1));
        }
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x) {
            std::uint32_t expected = before[static_cast<std::size_t>(y * 12 + x)];
            if (drawn.InRect(x, y)) {
                const int i = x - a.x, j = y - a.y;
                TTestBits one(1, 1, dstFormat);
                one.SetMMX(false);
                one.PSet(0, 0, expected);
                std::uint32_t s1 = scene.src1.PGet(a.sx1 + i, a.sy1 + j);
                std::uint32_t s2 = op.usesSrc2 ? scene.src2.PGet(a.sx2 + i, a.sy2 + j) : 0;
                std::uint8_t m = op.usesMask ? (op.maskOnSrc2 ? scene.mask.PGet(a.sx2 + i, a.sy2 + j)
                                                              : scene.mask.PGet(a.sx1 + i, a.sy1 + j))
                                             : 0;
                ASSERT_TRUE(op.oracle(one, &s1, &s2, &m, srcFormat));
                expected = one.PGet(0, 0);
            }
            ASSERT_EQ(scene.dst.PGet(x, y), expected)
                << op.name << " " << FormatName(srcFormat) << " -> " << FormatName(dstFormat) << " at " << x << ","
                << y << " args " << a.x << " " << a.y << " " << a.sx1 << " " << a.sy1 << " " << a.sx2 << " " << a.sy2
                << " " << a.w << " " << a.h;
        }
    if (drawn.IsRectEmpty()) {
        // A rectangle that clipped to nothing on the destination still reports once, empty.
        ASSERT_LE(log.Rects().size(), 1u) << op.name;
        for (const TXeRect& r : log.Rects())
            ASSERT_TRUE(r.IsRectEmpty()) << op.name;
    } else
        ASSERT_TRUE(log.One(drawn.left, drawn.top, drawn.right - 1, drawn.bottom - 1)) << op.name;
}

}  // namespace

TEST(TXeRGBBitsMix, ClippingProperty)
{
    std::mt19937 rng(2024);
    for (const TMixOp& op : MixOps())
        for (TPixFormat dstFormat : kDrawFormats)
            for (TPixFormat srcFormat : kDrawFormats) {
                if (!op.anyFormats && srcFormat != dstFormat)
                    continue;
                for (int k = 0; k < (op.anyFormats ? 6 : 30); ++k) {
                    CheckClipping(op, dstFormat, srcFormat, rng);
                    if (testing::Test::HasFatalFailure())
                        return;
                }
            }
}

TEST(TXeRGBBitsMix, CompatibleFormatsOnly)
{
    for (TPixFormat from : kDrawFormats)
        for (TPixFormat to : kDrawFormats) {
            const bool compatible = ChkFormatCompatible(from, to);
            TTestBits src(4, 4, from), other(4, 4, to), dst(4, 4, to);
            EXPECT_EQ(dst.SaturationAdd(0, 0, &src, 0, 0, 4, 4), compatible);
            EXPECT_EQ(dst.SaturationSub(0, 0, &src, 0, 0, 4, 4), compatible);
            EXPECT_EQ(dst.AlphaBlend(0, 0, &src, 0, 0, 4, 4, 10), compatible);
            EXPECT_EQ(dst.AlphaBlend(0, 0, &src, 0, 0, &other, 0, 0, 4, 4, 10), compatible);
            EXPECT_EQ(dst.AlphaBlend(0, 0, &other, 0, 0, &src, 0, 0, 4, 4, 10), compatible);
        }
}

TEST(TXeRGBBitsMix, OneSourceBlendLevels)
{
    TTestBits src(8, 8, pf24_888, 1), dst(8, 8, pf24_888, 2);
    TXeRGBBits uncreated(nullptr);
    EXPECT_TRUE(uncreated.AlphaBlend(0, 0, &src, 0, 0, 8, 8, 0));

    const auto before = dst.Pixels();
    TChangeLog log(dst);
    EXPECT_TRUE(dst.AlphaBlend(0, 0, &src, 0, 0, 8, 8, 0));
    EXPECT_EQ(dst.Pixels(), before);
    EXPECT_TRUE(log.Rects().empty());
    // 128 is Draw, with Draw's refusal of a rectangle that leaves the source.
    EXPECT_FALSE(dst.AlphaBlend(0, 0, &src, 1, 0, 8, 8, 128));
    EXPECT_TRUE(log.Rects().empty());
    EXPECT_FALSE(dst.AlphaBlend(0, 0, &src, 0, 0, 8, 8, 129));
    EXPECT_FALSE(dst.AlphaBlend(0, 0, &src, 0, 0, 8, 8, -1));

    EXPECT_TRUE(dst.AlphaBlend(1, 1, &src, 0, 0, 8, 8, 64));
    EXPECT_TRUE(log.One(1, 1, 7, 7));
    for (int k = 0; k < 3; ++k) {
        const int d = (before[2 * 8 + 3] >> (8 * k)) & 0xFF, s = (src.PGet(2, 1) >> (8 * k)) & 0xFF;
        EXPECT_EQ((dst.PGet(3, 2) >> (8 * k)) & 0xFF, static_cast<std::uint32_t>((d + s) / 2));
    }
    log.Clear();
    EXPECT_TRUE(dst.AlphaBlend(0, 0, &src, 0, 0, 8, 8, 128));
    EXPECT_EQ(dst.Pixels(), src.Pixels());
    EXPECT_TRUE(log.One(0, 0, 7, 7));
}

TEST(TXeRGBBitsMix, TwoSourceBlendLevels)
{
    TTestBits s1(8, 8, pf16_565, 3), s2(8, 8, pf16_565, 4), dst(8, 8, pf16_565, 5);
    const auto before = dst.Pixels();
    // Levels 0 and 128 are Draw: a rectangle partly outside src1 is refused there, clipped at 1.
    EXPECT_FALSE(dst.AlphaBlend(0, 0, &s1, 2, 0, &s2, 0, 0, 8, 8, 0));
    EXPECT_FALSE(dst.AlphaBlend(0, 0, &s1, 0, 0, &s2, 0, 2, 8, 8, 128));
    EXPECT_FALSE(dst.AlphaBlend(0, 0, &s1, 0, 0, &s2, 0, 0, 8, 8, 129));
    EXPECT_FALSE(dst.AlphaBlend(0, 0, &s1, 0, 0, &s2, 0, 0, 8, 8, -3));
    EXPECT_EQ(dst.Pixels(), before);
    TChangeLog log(dst);
    EXPECT_TRUE(dst.AlphaBlend(0, 0, &s1, 2, 0, &s2, 0, 0, 8, 8, 1));
    EXPECT_TRUE(log.One(0, 0, 5, 7));
    log.Clear();
    EXPECT_TRUE(dst.AlphaBlend(0, 0, &s1, 0, 0, &s2, 0, 0, 8, 8, 0));
    EXPECT_EQ(dst.Pixels(), s1.Pixels());
    EXPECT_TRUE(dst.AlphaBlend(0, 0, &s1, 0, 0, &s2, 0, 0, 8, 8, 128));
    EXPECT_EQ(dst.Pixels(), s2.Pixels());
    EXPECT_EQ(log.Rects().size(), 2u);

    TXeRGBBits uncreated(nullptr);
    EXPECT_FALSE(uncreated.AlphaBlend(0, 0, &s1, 0, 0, &s2, 0, 0, 8, 8, 0));
    EXPECT_FALSE(dst.AlphaBlend(0, 0, &s1, 0, 0, &uncreated, 0, 0, 8, 8, 5));
    s2.FailLock = true;
    EXPECT_FALSE(dst.AlphaBlend(0, 0, &s1, 0, 0, &s2, 0, 0, 8, 8, 5));
    EXPECT_EQ(s1.LockCount(), 0);
}

// A mask of one value over the whole source, for every pair of formats and both kernel forms:
// 0 keeps the destination's colours, 255 gives ConvertCopy's (16-bit rows are blended as quads,
// which do not carry bit 15 of 555 and 5551 through), 128 moves each channel half way (24- and 32-bit
// pairs, blended without conversion).
TEST(TXeRGBBitsMix, AlphaLevels)
{
    for (bool mmx : {false, true})
        for (TPixFormat from : kDrawFormats)
            for (TPixFormat to : kDrawFormats) {
                TTestBits src(5, 3, from, 6), dst(5, 3, to, 7), copy(5, 3, to, 7);
                TTestAlpha mask(5, 3);
                dst.SetMMX(mmx);
                const auto before = Colours(dst);
                ASSERT_TRUE(copy.ConvertCopy(0, 0, &src, 0, 0, 5, 3));

                mask.Fill(0);
                ASSERT_TRUE(dst.DrawAlphaMask(0, 0, &src, 0, 0, 5, 3, &mask));
                EXPECT_EQ(Colours(dst), before) << FormatName(from) << " -> " << FormatName(to);
                mask.Fill(255);
                ASSERT_TRUE(dst.DrawAlphaMask(0, 0, &src, 0, 0, 5, 3, &mask));
                EXPECT_EQ(Colours(dst), Colours(copy)) << FormatName(from) << " -> " << FormatName(to);

                if (PixFormatBytes(from) != PixFormatBytes(to) || PixFormatBytes(to) == 2)
                    continue;
                dst.Randomize(8);
                const auto old = dst.Pixels();
                mask.Fill(128);
                ASSERT_TRUE(dst.DrawAlphaMask(0, 0, &src, 0, 0, 5, 3, &mask));
                for (int y = 0; y < 3; ++y)
                    for (int x = 0; x < 5; ++x) {
                        const std::uint32_t d = old[static_cast<std::size_t>(y * 5 + x)], s = src.PGet(x, y);
                        std::uint32_t expected = d & 0xFF000000;
                        for (int k = 0; k < 3; ++k) {
                            const int dc = (d >> (8 * k)) & 0xFF, sc = (s >> (8 * k)) & 0xFF;
                            expected |= static_cast<std::uint32_t>(dc + (((sc - dc) * 64) >> 7)) << (8 * k);
                        }
                        EXPECT_EQ(dst.PGet(x, y), expected) << FormatName(from) << " -> " << FormatName(to);
                    }
            }
}

TEST(TXeRGBBitsMix, SourceAlpha)
{
    // Any source but pf32_8888 is copied opaque: the same as ConvertCopy.
    for (TPixFormat from : kDrawFormats) {
        if (from == pf32_8888)
            continue;
        for (TPixFormat to : kDrawFormats) {
            TTestBits src(6, 4, from, 9), dst(6, 4, to, 10), copy(6, 4, to, 10);
            ASSERT_TRUE(dst.DrawAlphaMask(1, 0, &src, 0, 1, 6, 4));
            ASSERT_TRUE(copy.ConvertCopy(1, 0, &src, 0, 1, 6, 4));
            EXPECT_EQ(dst.Pixels(), copy.Pixels()) << FormatName(from) << " -> " << FormatName(to);
        }
    }
    // A pf32_8888 source through its own alpha byte: 0 keeps, 255 takes the colour.
    TTestBits src(2, 1, pf32_8888), dst(2, 1, pf24_888, 11);
    src.PSet(0, 0, 0x00123456);
    src.PSet(1, 0, 0xFF123456);
    const std::uint32_t kept = dst.PGet(0, 0);
    ASSERT_TRUE(dst.DrawAlphaMask(0, 0, &src, 0, 0, 2, 1));
    EXPECT_EQ(dst.PGet(0, 0), kept);
    EXPECT_EQ(dst.PGet(1, 0), 0x123456u);
}

TEST(TXeRGBBitsMix, TwoSourceMask)
{
    for (TPixFormat f : kDrawFormats)
        for (TPixFormat to : kDrawFormats) {
            TTestBits s1(6, 5, f, 12), s2(6, 5, f, 13), dst(6, 5, to, 14), c1(6, 5, to, 15), c2(6, 5, to, 15);
            TTestAlpha mask(6, 5);
            ASSERT_TRUE(c1.ConvertCopy(0, 0, &s1, 0, 0, 6, 5));
            ASSERT_TRUE(c2.ConvertCopy(0, 0, &s2, 0, 0, 6, 5));
            mask.Fill(0);
            ASSERT_TRUE(dst.DrawAlphaMask(0, 0, &s1, 0, 0, &s2, 0, 0, 6, 5, &mask));
            EXPECT_EQ(Colours(dst), Colours(c1)) << FormatName(f) << " -> " << FormatName(to);
            dst.Randomize(16);
            mask.Fill(255);
            ASSERT_TRUE(dst.DrawAlphaMask(0, 0, &s1, 0, 0, &s2, 0, 0, 6, 5, &mask));
            EXPECT_EQ(Colours(dst), Colours(c2)) << FormatName(f) << " -> " << FormatName(to);
        }
    // The mask lies over src2: where it is 255 at src2's corner, src2 shows.
    TTestBits s1(4, 1, pf24_888, 17), s2(8, 1, pf24_888, 18), dst(4, 1, pf24_888, 19);
    TTestAlpha mask(8, 1);
    mask.Fill(0);
    mask.PSet(5, 0, 255);
    ASSERT_TRUE(dst.DrawAlphaMask(0, 0, &s1, 0, 0, &s2, 4, 0, 4, 1, &mask));
    EXPECT_EQ(dst.PGet(0, 0), s1.PGet(0, 0));
    EXPECT_EQ(dst.PGet(1, 0), s2.PGet(5, 0));
    EXPECT_EQ(dst.PGet(2, 0), s1.PGet(2, 0));
}

// Sources of different pixel sizes are refused: src2 would be read past its rows in src1's size.
TEST(TXeRGBBitsMix, TwoSourceMaskRefusesOtherPixelSizes)
{
    for (TPixFormat f1 : kDrawFormats)
        for (TPixFormat f2 : kDrawFormats) {
            TTestBits s1(4, 4, f1), s2(4, 4, f2), dst(4, 4, pf32_888);
            TTestAlpha mask(4, 4);
            EXPECT_EQ(dst.DrawAlphaMask(0, 0, &s1, 0, 0, &s2, 0, 0, 4, 4, &mask),
                      PixFormatBytes(f1) == PixFormatBytes(f2))
                << FormatName(f1) << " " << FormatName(f2);
        }
}

TEST(TXeRGBBitsMix, DoubleAlpha)
{
    for (TPixFormat f : kDrawFormats) {
        TTestBits src(6, 4, f, 20), dst(6, 4, f, 21), single(6, 4, f, 21);
        TTestAlpha mask(6, 4, 22);
        dst.SetMMX(false);
        single.SetMMX(false);
        const auto before = dst.Pixels();
        TChangeLog log(dst);
        EXPECT_TRUE(dst.DrawDoubleAlphaMask(0, 0, &src, 0, 0, 6, 4, &mask, 0));
        EXPECT_FALSE(dst.DrawDoubleAlphaMask(0, 0, &src, 0, 0, 6, 4, &mask, 129));
        EXPECT_FALSE(dst.DrawDoubleAlphaMask(0, 0, &src, 0, 0, 6, 4, &mask, -1));
        EXPECT_EQ(dst.Pixels(), before);
        EXPECT_TRUE(log.Rects().empty());

        // 128 equals DrawAlphaMask.
        EXPECT_TRUE(dst.DrawDoubleAlphaMask(0, 0, &src, 0, 0, 6, 4, &mask, 128));
        EXPECT_TRUE(single.DrawAlphaMask(0, 0, &src, 0, 0, 6, 4, &mask));
        EXPECT_EQ(dst.Pixels(), single.Pixels()) << FormatName(f);
        EXPECT_TRUE(log.One(0, 0, 5, 3));

        // A mask of 255 at level 64 weighs like a mask of 128 (weight 64 of 128).
        dst.Randomize(23);
        single.Randomize(23);
        mask.Fill(255);
        TTestAlpha half(6, 4);
        half.Fill(128);
        EXPECT_TRUE(dst.DrawDoubleAlphaMask(0, 0, &src, 0, 0, 6, 4, &mask, 64));
        EXPECT_TRUE(single.DrawAlphaMask(0, 0, &src, 0, 0, 6, 4, &half));
        EXPECT_EQ(dst.Pixels(), single.Pixels()) << FormatName(f);
    }
}

TEST(TXeRGBBitsMix, MaskRefusalsAndMaskClipping)
{
    TTestBits src(8, 8, pf24_888, 24), dst(8, 8, pf24_888, 25);
    TXeAlpha uncreated(nullptr);
    TXeRGBBits uncreatedBits(nullptr);
    TTestAlpha mask(8, 8);
    EXPECT_FALSE(dst.DrawAlphaMask(0, 0, &src, 0, 0, 8, 8, nullptr));
    EXPECT_FALSE(dst.DrawAlphaMask(0, 0, &src, 0, 0, 8, 8, &uncreated));
    EXPECT_FALSE(dst.DrawDoubleAlphaMask(0, 0, &src, 0, 0, 8, 8, &uncreated, 0));
    EXPECT_FALSE(uncreatedBits.DrawAlphaMask(0, 0, &src, 0, 0, 8, 8, &mask));
    EXPECT_FALSE(uncreatedBits.DrawAlphaMask(0, 0, &src, 0, 0, 8, 8));
    EXPECT_FALSE(dst.DrawAlphaMask(0, 0, &src, 0, 0, &uncreatedBits, 0, 0, 8, 8, &mask));
    EXPECT_FALSE(dst.DrawAlphaMask(0, 0, &src, 0, 0, &src, 0, 0, 8, 8, &uncreated));
    src.FailLock = true;
    EXPECT_FALSE(dst.DrawAlphaMask(0, 0, &src, 0, 0, 8, 8, &mask));
    src.FailLock = false;

    // A mask smaller than the source limits the rectangle.
    TTestAlpha small(3, 2);
    small.Fill(255);
    TChangeLog log(dst);
    EXPECT_TRUE(dst.DrawAlphaMask(1, 1, &src, 0, 0, 8, 8, &small));
    EXPECT_TRUE(log.One(1, 1, 3, 2));
    EXPECT_EQ(dst.PGet(3, 2), src.PGet(2, 1));
}
