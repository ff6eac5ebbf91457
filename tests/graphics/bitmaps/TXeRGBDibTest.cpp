// Tests of the DIB-backed bitmap: layout in both directions, masks, setters, device contexts,
// resizing, and text drawn into it next to the library's own operations.
#include "graphics/bitmaps/TXeRGBDib.h"

#include <gtest/gtest.h>

#include <set>

namespace {

struct Dib {
    TXeRGBDib bits{nullptr};

    Dib(int w, int h, TPixFormat format, TDIBDirection direction = ddBottomUp)
    {
        bits.SetPixFormat(format);
        bits.SetDirection(direction);
        bits.Resize(w, h);
        EXPECT_TRUE(bits.Create());
    }
};

} // namespace

TEST(TXeRGBDib, RowZeroIsOnTopInEitherDirection)
{
    Dib bottomUp(3, 2, pf24_888);
    DibSection* section = bottomUp.bits.Handle();
    ASSERT_NE(section, nullptr);
    EXPECT_EQ(section->Stride(), 12);
    EXPECT_EQ(bottomUp.bits.Pitch(), -12);
    EXPECT_EQ(bottomUp.bits.Bits(), section->Start() + 12);
    EXPECT_EQ(section->Header().biCompression, BI_RGB);
    EXPECT_EQ(section->Header().biSizeImage, 24u);

    Dib topDown(3, 2, pf24_888, ddTopDown);
    EXPECT_EQ(topDown.bits.Pitch(), 12);
    EXPECT_EQ(topDown.bits.Bits(), topDown.bits.Handle()->Start());

    // The library's primitives address row 0 as the top row either way.
    ASSERT_TRUE(bottomUp.bits.PSet(1, 0, 0x123456));
    EXPECT_EQ(bottomUp.bits.PGet(1, 0), 0x123456u);
    EXPECT_EQ(section->Start()[12 + 3], 0x56);
}

TEST(TXeRGBDib, FormatsUseTheirChannelMasks)
{
    struct Case {
        TPixFormat format;
        std::uint32_t red, green, blue;
        int bitCount;
    };
    const Case cases[] = {
        {pf16_565, 0xF800, 0x07E0, 0x001F, 16},  {pf16_555, 0x7C00, 0x03E0, 0x001F, 16},
        {pf16_5551, 0x7C00, 0x03E0, 0x001F, 16}, {pf16_4444, 0x0F00, 0x00F0, 0x000F, 16},
        {pf32_888, 0xFF0000, 0xFF00, 0xFF, 32},  {pf32_8888, 0xFF0000, 0xFF00, 0xFF, 32},
    };
    for (const Case& c : cases) {
        Dib dib(4, 4, c.format);
        const DibSection& section = *dib.bits.Handle();
        EXPECT_EQ(section.Header().biCompression, BI_BITFIELDS) << int(c.format);
        EXPECT_EQ(section.BitCount(), c.bitCount);
        EXPECT_EQ(section.RedMask(), c.red);
        EXPECT_EQ(section.GreenMask(), c.green);
        EXPECT_EQ(section.BlueMask(), c.blue);
    }
}

TEST(TXeRGBDib, SettersIgnoreWhatADibCannotHold)
{
    TXeRGBDib dib(nullptr);
    dib.SetBitDepth(bd8);
    EXPECT_EQ(dib.BitDepth(), bd24);
    dib.SetPixFormat(pfNone);
    EXPECT_EQ(dib.PixFormat(), pf24_888);
    dib.SetBitDepth(bd16);
    EXPECT_EQ(dib.PixFormat(), pf16_565);
    dib.Resize(2, 2);
    ASSERT_TRUE(dib.Create());
    EXPECT_FALSE(dib.Create());
    dib.SetDirection(ddTopDown);
    EXPECT_EQ(dib.Direction(), ddBottomUp);
    EXPECT_GT(dib.Pitch() * -1, 0);
}

TEST(TXeRGBDib, OneDeviceContextAtATime)
{
    Dib dib(8, 8, pf32_888);
    EXPECT_TRUE(dib.bits.HaveDC());
    EXPECT_TRUE(dib.bits.ReleaseDC(nullptr));  // none out
    void* dc = nullptr;
    ASSERT_TRUE(dib.bits.GetDC(&dc));
    EXPECT_EQ(static_cast<DeviceContext*>(dc)->Bitmap(), dib.bits.Handle());
    void* second = nullptr;
    EXPECT_FALSE(dib.bits.GetDC(&second));
    int foreign = 0;
    EXPECT_FALSE(dib.bits.ReleaseDC(&foreign));
    EXPECT_TRUE(dib.bits.ReleaseDC(dc));
    EXPECT_TRUE(dib.bits.GetDC(&second));
    dib.bits.Release();  // closes the context it handed out
    void* none = nullptr;
    EXPECT_FALSE(dib.bits.GetDC(&none));
}

TEST(TXeRGBDib, ResizeMakesANewZeroPictureUnlessLocked)
{
    Dib dib(4, 4, pf16_565);
    EXPECT_FALSE(dib.bits.Resize(0, 5));
    dib.bits.BoxFill(0, 0, 3, 3, 0xFFFF);
    ASSERT_TRUE(dib.bits.Lock());
    EXPECT_FALSE(dib.bits.Resize(6, 6));
    EXPECT_EQ(dib.bits.PGet(3, 3), 0xFFFFu);
    dib.bits.Unlock();
    void* dc = nullptr;
    ASSERT_TRUE(dib.bits.GetDC(&dc));
    ASSERT_TRUE(dib.bits.Resize(6, 5));
    EXPECT_EQ(dib.bits.Width(), 6);
    EXPECT_EQ(dib.bits.Height(), 5);
    EXPECT_EQ(static_cast<DeviceContext*>(dc)->Bitmap(), dib.bits.Handle());
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(dib.bits.PGet(x, y), 0u);
    EXPECT_TRUE(dib.bits.ReleaseDC(dc));
}

TEST(TXeRGBDib, TextDrawnThroughItsContextLandsInThePicture)
{
    for (const TDIBDirection direction : {ddBottomUp, ddTopDown}) {
        Dib dib(60, 24, pf32_888, direction);
        dib.bits.BoxFill(0, 0, 59, 23, 0x0000FF);
        void* handle = nullptr;
        ASSERT_TRUE(dib.bits.GetDC(&handle));
        auto* dc = static_cast<DeviceContext*>(handle);
        LogicalFont font;
        font.height = -24;
        font.quality = kNonAntialiasedQuality;
        font.pitchAndFamily = kFixedPitch;
        font.charSet = GB2312_CHARSET;
        dc->SelectFont(&font);
        dc->SetBkMode(TRANSPARENT);
        dc->SetTextColor(RGB(255, 255, 0));
        ASSERT_TRUE(dc->TextOutA(0, 0, "\xD6\xD0_", 3));
        ASSERT_TRUE(dib.bits.ReleaseDC(handle));
        std::set<std::uint32_t> values;
        int underscoreTop = 24;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 60; ++x) {
                values.insert(dib.bits.PGet(x, y));
                if (x >= 24 && dib.bits.PGet(x, y) == 0xFFFF00)
                    underscoreTop = std::min(underscoreTop, y);
            }
        EXPECT_EQ(values, (std::set<std::uint32_t>{0x0000FF, 0xFFFF00}));
        EXPECT_GE(underscoreTop, 18) << "the underscore lies at the bottom in either direction";
    }
}
