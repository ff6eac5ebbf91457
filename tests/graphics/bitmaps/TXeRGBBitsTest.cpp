// TXeRGBBits core: defaults, depth and format rules, storage, locks, modified-rectangle reporting
// and colour conversion of the bitmap's format.
#include "graphics/bitmaps/TXeRGBBits.h"

#include "tests/graphics/GuardedBits.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Records every OnChange with the rectangle readable during the event.
struct TChangeLog {
    std::vector<TXeRect> rects;
    void Attach(TXeRGBBits& bits)
    {
        bits.OnChange = [this, &bits](TObject* sender) {
            EXPECT_EQ(sender, &bits);
            TXeRect r;
            bits.GetModifiedRect(&r);
            rects.push_back(r);
        };
    }
};

bool Same(const TXeRect& a, const TXeRect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

TEST(TXeRGBBits, Defaults)
{
    TXeRGBBits bits(nullptr);
    EXPECT_EQ(bits.Width(), 640);
    EXPECT_EQ(bits.Height(), 480);
    EXPECT_EQ(bits.BitDepth(), bd24);
    EXPECT_EQ(bits.PixFormat(), pf24_888);
    EXPECT_FALSE(bits.Created());
    EXPECT_FALSE(bits.Reverse());
    EXPECT_TRUE(bits.ModifiedSw());
    EXPECT_EQ(bits.MMX(), XeCPUID().IsMmxSupport());
    EXPECT_FALSE(bits.Lock());
    EXPECT_FALSE(bits.Unlock());
    EXPECT_FALSE(bits.HaveDC());
    void* dc = &bits;
    EXPECT_FALSE(bits.GetDC(&dc));
    EXPECT_EQ(dc, &bits);
    EXPECT_TRUE(bits.ReleaseDC(nullptr));
}

TEST(TXeRGBBits, DepthAndFormatPickEachOther)
{
    TXeRGBBits bits(nullptr);
    bits.SetPixFormat(pf16_4444);
    EXPECT_EQ(bits.BitDepth(), bd16);
    bits.SetBitDepth(bd32);
    EXPECT_EQ(bits.PixFormat(), pf32_888);
    bits.SetPixFormat(pf32_8888);
    EXPECT_EQ(bits.BitDepth(), bd32);
    bits.SetBitDepth(bd8);
    EXPECT_EQ(bits.PixFormat(), pfNone);
    EXPECT_FALSE(bits.Create());
    bits.SetBitDepth(bd16);
    EXPECT_EQ(bits.PixFormat(), pfNone);  // pfNone agrees with every depth
    EXPECT_FALSE(bits.Create());
    bits.SetPixFormat(pf24_888);
    EXPECT_EQ(bits.BitDepth(), bd24);
    ASSERT_TRUE(bits.Create());
    bits.SetPixFormat(pf16_565);  // ignored while created
    bits.SetBitDepth(bd32);
    EXPECT_EQ(bits.PixFormat(), pf24_888);
    EXPECT_EQ(bits.BitDepth(), bd24);
}

TEST(TXeRGBBits, CreateMakesAZeroedPackedPicture)
{
    TXeRGBBits bits(nullptr);
    ASSERT_TRUE(bits.Resize(3, 2));
    ASSERT_TRUE(bits.Create());
    EXPECT_EQ(bits.Pitch(), 9);
    for (int i = 0; i < 18; ++i)
        EXPECT_EQ(bits.Bits()[i], 0);
    EXPECT_FALSE(bits.Create());

    TXeRGBBits none(nullptr);
    EXPECT_FALSE(none.Resize(0, 10));
    EXPECT_FALSE(none.Resize(10, -1));
    none.SetWidth(0);
    EXPECT_EQ(none.Width(), 640);
    EXPECT_FALSE(bits.Resize(0, 10));
}

TEST(TXeRGBBits, ResizeReplacesTheStorage)
{
    TXeRGBBits bits(nullptr);
    bits.SetWidth(100);
    EXPECT_EQ(bits.Width(), 100);
    EXPECT_FALSE(bits.Created());
    ASSERT_TRUE(bits.Create());
    bits.Bits()[0] = 7;
    bits.SetWidth(50);
    EXPECT_EQ(bits.Width(), 50);
    EXPECT_EQ(bits.Pitch(), 150);
    EXPECT_EQ(bits.Bits()[0], 0);

    ASSERT_TRUE(bits.Lock());
    EXPECT_FALSE(bits.Resize(20, 20));
    bits.SetWidth(20);
    EXPECT_EQ(bits.Width(), 50);
    EXPECT_TRUE(bits.Unlock());

    TGuardedBits attached(4, 4, pf24_888, false);
    attached.SetAttached(1);
    EXPECT_FALSE(attached.Resize(8, 8));
    EXPECT_EQ(attached.Width(), 4);
}

TEST(TXeRGBBits, LocksNestAndReleaseUnwindsThem)
{
    TXeRGBBits bits(nullptr);
    bits.Resize(2, 2);
    ASSERT_TRUE(bits.Create());
    EXPECT_TRUE(bits.Lock());
    EXPECT_TRUE(bits.Lock());
    EXPECT_EQ(bits.LockCount(), 2);
    EXPECT_TRUE(bits.Unlock());
    EXPECT_TRUE(bits.Locked());
    EXPECT_TRUE(bits.Unlock());
    EXPECT_FALSE(bits.Locked());
    EXPECT_FALSE(bits.Unlock());

    bits.Lock();
    bits.Lock();
    bits.Release();
    EXPECT_FALSE(bits.Locked());
    EXPECT_EQ(bits.LockCount(), 0);
    EXPECT_FALSE(bits.Created());
    EXPECT_EQ(bits.Bits(), nullptr);
}

TEST(TXeRGBBits, ImmediateReportingFiresOncePerRecord)
{
    TXeRGBBits bits(nullptr);
    bits.Resize(20, 20);
    TChangeLog log;
    log.Attach(bits);
    bits.SetModified(10, 10, 5, 5);
    EXPECT_TRUE(log.rects.empty());  // not created: nothing
    ASSERT_TRUE(bits.Create());
    bits.SetModified(10, 10, 5, 5);
    ASSERT_EQ(log.rects.size(), 1u);
    EXPECT_TRUE(Same(log.rects[0], XeRect(5, 5, 11, 11)));
    TXeRect after;
    bits.GetModifiedRect(&after);
    EXPECT_TRUE(after.IsRectEmpty());

    // Outside the bitmap: still reported, with an empty rectangle; and clipped at the edges.
    bits.SetModified(30, 30, 40, 40);
    ASSERT_EQ(log.rects.size(), 2u);
    EXPECT_TRUE(log.rects[1].IsRectEmpty());
    bits.SetModified(-5, 15, 3, 25);
    EXPECT_TRUE(Same(log.rects[2], XeRect(0, 15, 4, 20)));
    bits.SetModified();
    EXPECT_TRUE(Same(log.rects[3], XeRect(0, 0, 20, 20)));
}

TEST(TXeRGBBits, CollectedReportingNests)
{
    TXeRGBBits bits(nullptr);
    bits.Resize(40, 40);
    ASSERT_TRUE(bits.Create());
    TChangeLog log;
    log.Attach(bits);
    bits.ModifiedOff();
    bits.ModifiedOff();
    EXPECT_EQ(bits.ModifiedOffCount(), 2);
    const TXeRect a = XeRect(0, 0, 10, 10), b = XeRect(20, 20, 30, 30);
    bits.SetModified(&a);
    bits.SetModified(&b);
    EXPECT_TRUE(bits.Modified());
    bits.ModifiedOn();
    EXPECT_TRUE(log.rects.empty());
    bits.ModifiedOn();
    ASSERT_EQ(log.rects.size(), 1u);
    EXPECT_TRUE(Same(log.rects[0], XeRect(0, 0, 30, 30)));
    EXPECT_FALSE(bits.Modified());
    EXPECT_TRUE(bits.ModifiedSw());

    // Collected through ChgModifiedSw, flushed by hand; Resize drops what is pending.
    bits.ChgModifiedSw(false);
    EXPECT_EQ(bits.ModifiedOffCount(), 1);
    bits.SetModified(1, 1, 2, 2);
    bits.ModifiedFlush();
    ASSERT_EQ(log.rects.size(), 2u);
    EXPECT_TRUE(Same(log.rects[1], XeRect(1, 1, 3, 3)));
    bits.SetModified(1, 1, 2, 2);
    ASSERT_TRUE(bits.Resize(10, 10));
    EXPECT_FALSE(bits.Modified());
    EXPECT_TRUE(bits.ModifiedSw());
    EXPECT_EQ(log.rects.size(), 2u);
}

TEST(TXeRGBBits, ColourAndPixelValues)
{
    const TXeRGB red = XeRGB(255, 0, 0);
    TXeRGBBits bits(nullptr);
    struct TCase {
        TPixFormat format;
        std::uint32_t pixel;
    };
    for (const TCase& c : {TCase{pf16_565, 0xF800}, TCase{pf16_555, 0x7C00}, TCase{pf16_4444, 0x0F00},
                           TCase{pf24_888, 0xFF0000}, TCase{pf32_8888, 0xFF0000}}) {
        bits.SetPixFormat(c.format);
        EXPECT_EQ(bits.TXeRGBtoPixel(red), c.pixel);
        EXPECT_EQ(bits.PixeltoTXeRGB(c.pixel), red);
    }
    bits.SetPixFormat(pf32_8888);
    EXPECT_EQ(bits.PixeltoTXeRGB(0x80123456), XeRGB(0x12, 0x34, 0x56));
    bits.SetBitDepth(bd8);
    EXPECT_EQ(bits.TXeRGBtoPixel(red), 0u);
    EXPECT_EQ(bits.PixeltoTXeRGB(0xFFFFFF), TXeRGB());
}

TEST(TXeRGBBits, SetIDKeepsSixteenCharacters)
{
    TXeRGBBits bits(nullptr);
    bits.SetID("0123456789abcdefXYZ");
    EXPECT_EQ(std::string(bits.ID().data(), 16), "0123456789abcdef");
    bits.SetID("ab");
    EXPECT_EQ(bits.ID()[1], 'b');
    EXPECT_EQ(bits.ID()[2], 0);
    bits.SetID("");
    for (char c : bits.ID())
        EXPECT_EQ(c, 0);
}
