// TXeRGBBits copies from another bitmap: the inside rule against the clip rule, format
// compatibility, colour keys in every format, 1-bit masks, conversion and palette expansion, with
// the rectangle each call reports through OnChange.
#include "graphics/bitmaps/TXeRGBBits.h"

#include "graphics/kernels/PixelConvert.h"

#include "tests/graphics/DrawTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using TCopy = std::function<bool(TXeRGBBits& dst, int x, int y, TXeRGBBits* src, int sx, int sy, int w, int h)>;

struct TCopyOp {
    const char* name;
    TCopy call;
};

const TCopyOp kInsideOps[] = {
    {"Draw", [](TXeRGBBits& d, int x, int y, TXeRGBBits* s, int sx, int sy, int w, int h) {
         return d.Draw(x, y, s, sx, sy, w, h);
     }},
    {"DrawKey", [](TXeRGBBits& d, int x, int y, TXeRGBBits* s, int sx, int sy, int w, int h) {
         return d.DrawKey(x, y, s, sx, sy, w, h, XeRGB(1, 2, 3));
     }},
    {"DrawTLKey", [](TXeRGBBits& d, int x, int y, TXeRGBBits* s, int sx, int sy, int w, int h) {
         return d.DrawTLKey(x, y, s, sx, sy, w, h);
     }},
    {"DrawMask", [](TXeRGBBits& d, int x, int y, TXeRGBBits* s, int sx, int sy, int w, int h) {
         static const std::uint8_t all[] = {0xFF};
         return d.DrawMask(x, y, s, sx, sy, w, h, all, 8, 1);
     }},
};

}  // namespace

// Source rectangles against a 10 x 8 source, drawn at (3, 2) into a 20 x 20 bitmap: under the
// inside rule a rectangle that leaves the source is refused; ClipDraw cuts it and moves the
// destination by the cut.
TEST(TXeRGBBitsCopy, InsideVersusClipRule)
{
    struct TCase {
        int sx, sy, w, h;
        bool inside;
        int cx, cy, cw, ch;  // ClipDraw's drawn rectangle in the destination (cw 0: nothing)
    };
    const TCase cases[] = {
        {0, 0, 10, 8, true, 3, 2, 10, 8},   {2, 1, 5, 4, true, 3, 2, 5, 4},
        {1, 0, 10, 8, false, 3, 2, 9, 8},   {-5, 0, 10, 8, false, 8, 2, 5, 8},
        {0, -3, 10, 8, false, 3, 5, 10, 5}, {0, 1, 10, 8, false, 3, 2, 10, 7},
        {10, 0, 3, 3, false, 0, 0, 0, 0},   {-3, -3, 3, 3, false, 0, 0, 0, 0},
        {-2, -2, 14, 12, false, 5, 4, 10, 8}, {4, 4, 0, 3, true, 0, 0, 0, 0},
    };
    for (const TCase& c : cases) {
        for (const TCopyOp& op : kInsideOps) {
            TTestBits src(10, 8, pf24_888, 1), dst(20, 20, pf24_888, 2);
            const auto before = dst.Pixels();
            TChangeLog log(dst);
            EXPECT_EQ(op.call(dst, 3, 2, &src, c.sx, c.sy, c.w, c.h), c.inside) << op.name << " sx " << c.sx;
            if (!c.inside || c.w == 0) {
                EXPECT_EQ(dst.Pixels(), before) << op.name;
                EXPECT_TRUE(log.Rects().empty()) << op.name;
            } else {
                EXPECT_TRUE(log.One(3, 2, 3 + c.w - 1, 2 + c.h - 1)) << op.name;
            }
            EXPECT_EQ(src.LockCount(), 0);
        }

        TTestBits src(10, 8, pf24_888, 1), dst(20, 20, pf24_888, 2);
        const auto before = dst.Pixels();
        TChangeLog log(dst);
        EXPECT_TRUE(dst.ClipDraw(3, 2, &src, c.sx, c.sy, c.w, c.h));
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x) {
                const bool drawn = x >= c.cx && x < c.cx + c.cw && y >= c.cy && y < c.cy + c.ch;
                const std::uint32_t expected =
                    drawn ? src.PGet(x - 3 + c.sx, y - 2 + c.sy) : before[static_cast<std::size_t>(y * 20 + x)];
                ASSERT_EQ(dst.PGet(x, y), expected) << "ClipDraw sx " << c.sx << " at " << x << "," << y;
            }
        if (c.cw == 0)
            EXPECT_TRUE(log.Rects().empty());
        else
            EXPECT_TRUE(log.One(c.cx, c.cy, c.cx + c.cw - 1, c.cy + c.ch - 1)) << "ClipDraw sx " << c.sx;
    }
}

TEST(TXeRGBBitsCopy, ClipDrawExample)
{
    TTestBits src(100, 100, pf32_888, 3), dst(64, 64, pf32_888, 4);
    TChangeLog log(dst);
    ASSERT_TRUE(dst.ClipDraw(10, 10, &src, -5, 0, 20, 20));
    EXPECT_TRUE(log.One(15, 10, 29, 29));
    for (int j = 0; j < 20; ++j)
        for (int i = 0; i < 15; ++i)
            ASSERT_EQ(dst.PGet(15 + i, 10 + j), src.PGet(i, j));

    dst.SetReverse(true);
    log.Clear();
    EXPECT_FALSE(dst.ClipDraw(10, 10, &src, 0, 0, 20, 20));
    EXPECT_TRUE(log.Rects().empty());
}

TEST(TXeRGBBitsCopy, DestinationClipsAndRecordsTheVisiblePart)
{
    TTestBits src(30, 30, pf16_565, 5), dst(40, 40, pf16_565, 6);
    TChangeLog log(dst);
    ASSERT_TRUE(dst.Draw(-10, -10, &src, 0, 0, 20, 20));
    EXPECT_TRUE(log.One(0, 0, 9, 9));
    EXPECT_EQ(dst.PGet(0, 0), src.PGet(10, 10));
    EXPECT_EQ(dst.PGet(9, 9), src.PGet(19, 19));

    // Wholly outside the destination: true, nothing changed, and each call still reports once,
    // with the empty rectangle left after clipping.
    log.Clear();
    const auto before = dst.Pixels();
    EXPECT_TRUE(dst.Draw(40, 0, &src, 0, 0, 5, 5));
    EXPECT_TRUE(dst.ConvertCopy(-5, 0, &src, 0, 0, 5, 5));
    EXPECT_TRUE(dst.Draw(2147483600, 2147483600, &src, 0, 0, 30, 30));
    EXPECT_TRUE(dst.AlphaBlend(0, 45, &src, 0, 0, &src, 1, 1, 5, 5, 64));
    EXPECT_EQ(dst.Pixels(), before);
    ASSERT_EQ(log.Rects().size(), 4u);
    for (const TXeRect& r : log.Rects())
        EXPECT_TRUE(r.IsRectEmpty());
}

// Which pairs of formats the plain copies accept, and that ConvertCopy accepts every pair.
TEST(TXeRGBBitsCopy, FormatCompatibility)
{
    for (TPixFormat from : kDrawFormats)
        for (TPixFormat to : kDrawFormats) {
            const bool compatible = from == to || (from == pf32_888 && to == pf32_8888) ||
                                    (from == pf32_8888 && to == pf32_888) || (from == pf16_555 && to == pf16_5551) ||
                                    (from == pf16_5551 && to == pf16_555);
            for (const TCopyOp& op : kInsideOps) {
                TTestBits src(4, 4, from, 7), dst(4, 4, to, 8);
                EXPECT_EQ(op.call(dst, 0, 0, &src, 0, 0, 4, 4), compatible)
                    << op.name << " " << FormatName(from) << " -> " << FormatName(to);
            }
            TTestBits src(4, 4, from, 7), dst(4, 4, to, 8);
            EXPECT_TRUE(dst.ClipDraw(0, 0, &src, 0, 0, 4, 4) == compatible);
            EXPECT_TRUE(dst.ConvertCopy(0, 0, &src, 0, 0, 4, 4));
        }
    // Compatible 32-bit layouts copy all four bytes.
    TTestBits src(2, 1, pf32_8888, 9), dst(2, 1, pf32_888, 10);
    ASSERT_TRUE(dst.Draw(0, 0, &src, 0, 0, 2, 1));
    EXPECT_EQ(dst.PGet(1, 0), src.PGet(1, 0));
}

TEST(TXeRGBBitsCopy, RefusesWhatIsNotThere)
{
    TTestBits src(4, 4, pf24_888), dst(4, 4, pf24_888);
    TXeRGBBits uncreated(nullptr);
    for (const TCopyOp& op : kInsideOps) {
        EXPECT_FALSE(op.call(dst, 0, 0, nullptr, 0, 0, 1, 1)) << op.name;
        EXPECT_FALSE(op.call(dst, 0, 0, &uncreated, 0, 0, 1, 1)) << op.name;
        EXPECT_FALSE(op.call(uncreated, 0, 0, &src, 0, 0, 1, 1)) << op.name;
    }
    EXPECT_FALSE(dst.ClipDraw(0, 0, &uncreated, 0, 0, 1, 1));
    EXPECT_FALSE(dst.ConvertCopy(0, 0, &uncreated, 0, 0, 1, 1));
    EXPECT_FALSE(uncreated.ConvertCopy(0, 0, &src, 0, 0, 1, 1));
    EXPECT_EQ(src.LockCount(), 0);
}

TEST(TXeRGBBitsCopy, FailedSourceLockDrawsNothing)
{
    TTestBits src(4, 4, pf32_8888, 1), dst(4, 4, pf32_8888, 2);
    const auto before = dst.Pixels();
    TChangeLog log(dst);
    src.FailLock = true;
    for (const TCopyOp& op : kInsideOps)
        EXPECT_FALSE(op.call(dst, 0, 0, &src, 0, 0, 4, 4)) << op.name;
    EXPECT_FALSE(dst.ConvertCopy(0, 0, &src, 0, 0, 4, 4));
    EXPECT_EQ(dst.Pixels(), before);
    EXPECT_TRUE(log.Rects().empty());
}

TEST(TXeRGBBitsCopy, ExceptionFromOnChangeIsCaughtAndSourcesUnlocked)
{
    TTestBits src(4, 4, pf24_888, 1), dst(4, 4, pf24_888, 2);
    dst.OnChange = [](TObject*) { throw Exception("handler failed"); };
    EXPECT_FALSE(dst.Draw(0, 0, &src, 0, 0, 4, 4));
    EXPECT_FALSE(dst.ConvertCopy(0, 0, &src, 0, 0, 4, 4));
    EXPECT_EQ(src.LockCount(), 0);
    EXPECT_EQ(dst.LockCount(), 0);
}

// DrawKey skips source pixels equal to the key as a pixel of the destination's format.
TEST(TXeRGBBitsCopy, ColourKeyInEveryFormat)
{
    const TXeRGB key = XeRGB(255, 0, 255);
    for (TPixFormat f : kDrawFormats) {
        TTestBits src(6, 1, f, 11), dst(6, 1, f, 12);
        const std::uint32_t keyPixel = dst.TXeRGBtoPixel(key);
        src.PSet(1, 0, keyPixel);
        src.PSet(4, 0, keyPixel);
        const auto before = dst.Pixels();
        TChangeLog log(dst);
        ASSERT_TRUE(dst.DrawKey(0, 0, &src, 0, 0, 6, 1, key)) << FormatName(f);
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(dst.PGet(x, 0), (x == 1 || x == 4) ? before[x] : src.PGet(x, 0)) << FormatName(f) << " " << x;
        EXPECT_TRUE(log.One(0, 0, 5, 0));
    }
    // 5-6-5: red 31, green 0, blue 31.
    TTestBits probe(1, 1, pf16_565);
    EXPECT_EQ(probe.TXeRGBtoPixel(key), 0xF81Fu);
}

TEST(TXeRGBBitsCopy, TopLeftKeyComesFromSourceOrigin)
{
    for (TPixFormat f : kDrawFormats) {
        TTestBits src(6, 4, f, 13), dst(4, 2, f, 14);
        const std::uint32_t key = src.PGet(0, 0);
        src.PSet(3, 2, key);
        src.PSet(5, 3, key);
        const auto before = dst.Pixels();
        ASSERT_TRUE(dst.DrawTLKey(0, 0, &src, 2, 2, 4, 2)) << FormatName(f);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 4; ++x) {
                const std::uint32_t s = src.PGet(x + 2, y + 2);
                EXPECT_EQ(dst.PGet(x, y), s == key ? before[static_cast<std::size_t>(y * 4 + x)] : s);
            }
        EXPECT_NE(dst.PGet(1, 0), src.PGet(3, 2));
        EXPECT_NE(dst.PGet(3, 1), src.PGet(5, 3));
    }
}

TEST(TXeRGBBitsCopy, MaskPattern)
{
    TTestBits src(8, 2, pf16_4444, 15), dst(8, 2, pf16_4444, 16);
    const auto before = dst.Pixels();
    // Three bits wide, two rows: 101 / 010, repeating from the pattern's top-left pixel.
    const std::uint8_t mask[] = {0xA0, 0x40};
    TChangeLog log(dst);
    ASSERT_TRUE(dst.DrawMask(0, 0, &src, 0, 0, 8, 2, mask, 3, 2));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool on = y == 0 ? (x % 3 != 1) : (x % 3 == 1);
            EXPECT_EQ(dst.PGet(x, y), on ? src.PGet(x, y) : before[static_cast<std::size_t>(y * 8 + x)]) << x;
        }
    EXPECT_TRUE(log.One(0, 0, 7, 1));

    // A null mask, or one without bits or rows, draws nothing.
    log.Clear();
    const auto drawn = dst.Pixels();
    EXPECT_FALSE(dst.DrawMask(0, 0, &src, 0, 0, 8, 2, nullptr, 3, 2));
    EXPECT_FALSE(dst.DrawMask(0, 0, &src, 0, 0, 8, 2, mask, 0, 2));
    EXPECT_FALSE(dst.DrawMask(0, 0, &src, 0, 0, 8, 2, mask, 3, 0));
    EXPECT_EQ(dst.Pixels(), drawn);
    EXPECT_TRUE(log.Rects().empty());
}

TEST(TXeRGBBitsCopy, ConvertCopyClipsInSourcePixels)
{
    for (TPixFormat from : kDrawFormats)
        for (TPixFormat to : kDrawFormats) {
            TTestBits src(8, 6, from, 17), dst(10, 10, to, 18);
            TTestBits reference(10, 10, to, 18);
            TChangeLog log(dst);
            // Two columns left of and one row above the source, one row below it: drawn from source
            // (0, 0) at (4, 3), 6 x 6.
            ASSERT_TRUE(dst.ConvertCopy(2, 2, &src, -2, -1, 8, 8));
            EXPECT_TRUE(log.One(4, 3, 9, 8));
            // Reference: the conversion primitive on the visible block of the source.
            ASSERT_TRUE(src.Lock());
            ASSERT_TRUE(reference.XeConvert(4, 3, 6, 6, src.Bits(), from, src.Pitch()));
            src.Unlock();
            EXPECT_EQ(dst.Pixels(), reference.Pixels()) << FormatName(from) << " -> " << FormatName(to);
        }
}

TEST(TXeRGBBitsCopy, IndexColorCopy)
{
    tagRGBQUAD palette[256];
    for (int i = 0; i < 256; ++i)
        palette[i] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>(i / 2),
                      0};
    std::uint8_t indices[5 * 4];
    for (int i = 0; i < 20; ++i)
        indices[i] = static_cast<std::uint8_t>(i * 11);
    for (TPixFormat f : kDrawFormats) {
        TTestBits dst(6, 6, f, 19);
        TChangeLog log(dst);
        // Start at index (1, 2) of a block whose rows are 5 bytes apart.
        ASSERT_TRUE(dst.IndexColorCopy(2, 1, indices, palette, 1, 2, 3, 2, 5));
        EXPECT_TRUE(log.One(2, 1, 4, 2));
        for (int j = 0; j < 2; ++j)
            for (int i = 0; i < 3; ++i) {
                const tagRGBQUAD& q = palette[indices[(2 + j) * 5 + 1 + i]];
                const std::uint32_t colour = TXeRGB(q).ToDWORD();
                const std::uint32_t expected =
                    PixFormatBytes(f) == 4 ? colour : RGBtoTable[f](colour) & (PixFormatBytes(f) == 2 ? 0xFFFF : ~0u);
                EXPECT_EQ(dst.PGet(2 + i, 1 + j), expected) << FormatName(f);
            }
    }
    TTestBits dst(6, 6, pf24_888);
    TXeRGBBits uncreated(nullptr);
    EXPECT_FALSE(dst.IndexColorCopy(0, 0, nullptr, palette, 0, 0, 1, 1, 1));
    EXPECT_FALSE(uncreated.IndexColorCopy(0, 0, indices, palette, 0, 0, 1, 1, 1));
}
