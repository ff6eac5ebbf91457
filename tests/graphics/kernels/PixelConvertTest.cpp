// Colour values and single-value converters: TXeRGB, RGBto/RGBfrom pins, exhaustive 16-bit round
// trips, and the agreement rules of depths and formats.
#include "graphics/kernels/PixelConvert.h"
#include "graphics/bitmaps/TXeRGB.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(TXeRGB, ConstructorsAndConversions)
{
    const TXeRGB c = XeRGB(1, 2, 3);
    unsigned char bytes[3];
    std::memcpy(bytes, &c, 3);
    EXPECT_EQ(bytes[0], 3);
    EXPECT_EQ(bytes[1], 2);
    EXPECT_EQ(bytes[2], 1);
    EXPECT_EQ(c.ToRGBQUAD(), (tagRGBQUAD{3, 2, 1, 0}));
    EXPECT_EQ(XeRGB(0x12345678u).ToDWORD(), 0x00345678u);
    EXPECT_EQ(TXeRGB().ToDWORD(), 0u);
    EXPECT_EQ(XeRGB(tagRGBQUAD{0x10, 0x20, 0x30, 0x99}).ToDWORD(), 0x302010u);

    TXeRGB d;
    d = 0xFFABCDEFu;
    EXPECT_EQ(d, XeRGB(0xAB, 0xCD, 0xEF));
    d = tagRGBQUAD{1, 2, 3, 4};
    EXPECT_EQ(d, XeRGB(3, 2, 1));
}

TEST(PixelConvert, KnownValues)
{
    EXPECT_EQ(RGBto<pf16_565>(0x00FFFFFF), 0xFFFFu);
    EXPECT_EQ(RGBto<pf16_555>(0x00FFFFFF), 0x7FFFu);
    EXPECT_EQ(RGBto<pf16_4444>(0x00FFFFFF), 0x0FFFu);
    EXPECT_EQ(RGBto<pf16_565>(0x00808080), 0x8410u);
    EXPECT_EQ(RGBto<pf16_565>(0x00FF0000), 0xF800u);
    EXPECT_EQ(RGBto<pf16_555>(0x00FF0000), 0x7C00u);
    EXPECT_EQ(RGBto<pf16_4444>(0x00FF0000), 0x0F00u);
    EXPECT_EQ(RGBto<pf16_4444>(0x80FF0000), 0x8F00u);
    EXPECT_EQ(RGBto<pf16_5551>(0xFF000000), 0u);
    EXPECT_EQ(RGBto<pf32_8888>(0x80123456), 0x80123456u);

    EXPECT_EQ(RGBfrom<pf16_565>(0x8410), 0x00848284u);
    EXPECT_EQ(RGBfrom<pf16_565>(0x0821), 0x00080408u);
    EXPECT_EQ(RGBfrom<pf16_565>(0xFFFF), 0x00FFFFFFu);
    EXPECT_EQ(RGBfrom<pf16_555>(0xFFFF), 0x01FFFFFFu);
    EXPECT_EQ(RGBfrom<pf16_5551>(0x8000), 0x01000000u);
    EXPECT_EQ(RGBfrom<pf16_4444>(0xF123), 0xFF112233u);
    EXPECT_EQ(RGBfrom<pf32_8888>(0x80123456), 0x00123456u);
    EXPECT_EQ(RGBfrom<pf32_888>(0x80123456), 0x80123456u);
    EXPECT_EQ(RGBfrom<pf24_888>(0x123456), 0x123456u);
}

TEST(PixelConvert, TablesFollowTheFormatOrder)
{
    EXPECT_EQ(RGBtoTable[pfNone], nullptr);
    EXPECT_EQ(RGBfromTable[pfNone], nullptr);
    EXPECT_EQ(RGBtoTable[pf16_565](0x00FF0000), 0xF800u);
    EXPECT_EQ(RGBfromTable[pf16_4444](0xF123), 0xFF112233u);
    EXPECT_EQ(KernelFor(RGBtoTable, static_cast<TPixFormat>(9)), nullptr);
}

// Every 16-bit value survives pixel -> packed colour -> pixel; the packed colour's top byte carries
// the fourth field where the layout has one.
TEST(PixelConvert, Every16BitValueRoundTrips)
{
    for (std::uint32_t p = 0; p < 0x10000; ++p) {
        ASSERT_EQ(RGBto<pf16_565>(RGBfrom<pf16_565>(p)), p);
        ASSERT_EQ(RGBto<pf16_555>(RGBfrom<pf16_555>(p)), p & 0x7FFF);
        ASSERT_EQ(RGBto<pf16_5551>(RGBfrom<pf16_5551>(p)), p & 0x7FFF);
        ASSERT_EQ(RGBto<pf16_4444>(RGBfrom<pf16_4444>(p)), p);
    }
}

// A colour through 565 keeps its top bits and refills the low ones from them.
TEST(PixelConvert, ColourThroughSixteenBitsLosesOnlyTheLowBits)
{
    for (std::uint32_t c = 0; c < 0x1000000; c += 0x010307) {
        const std::uint32_t back = RGBfrom<pf16_565>(RGBto<pf16_565>(c));
        const std::uint32_t r = (c >> 16) & 0xF8, g = (c >> 8) & 0xFC, b = c & 0xF8;
        ASSERT_EQ(back, (r | r >> 5) << 16 | (g | g >> 6) << 8 | (b | b >> 5)) << std::hex << c;
    }
}

TEST(PixelFormat, DepthAndFormatAgreement)
{
    EXPECT_TRUE(ChkDepthAndFormat(bd16, pfNone));
    EXPECT_TRUE(ChkDepthAndFormat(bd8, pfNone));
    EXPECT_FALSE(ChkDepthAndFormat(bd24, pf32_888));
    EXPECT_TRUE(ChkDepthAndFormat(bd16, pf16_4444));
    EXPECT_TRUE(ChkDepthAndFormat(bd32, pf32_8888));
    EXPECT_FALSE(ChkDepthAndFormat(bd32, pf24_888));
    EXPECT_FALSE(ChkDepthAndFormat(bd16, static_cast<TPixFormat>(8)));

    EXPECT_TRUE(ChkFormatCompatible(pf16_5551, pf16_555));
    EXPECT_TRUE(ChkFormatCompatible(pf32_888, pf32_8888));
    EXPECT_TRUE(ChkFormatCompatible(pf24_888, pf24_888));
    EXPECT_FALSE(ChkFormatCompatible(pf16_565, pf16_555));
    EXPECT_FALSE(ChkFormatCompatible(pf24_888, pf32_888));
}

TEST(PixelFormat, PixelAccessByDepth)
{
    std::uint8_t bytes[6] = {9, 9, 9, 9, 9, 9};
    XePixelSet[bd24](bytes, 0xAA123456);
    EXPECT_EQ(bytes[0], 0x56);
    EXPECT_EQ(bytes[1], 0x34);
    EXPECT_EQ(bytes[2], 0x12);
    EXPECT_EQ(bytes[3], 9);
    EXPECT_EQ(XePixelGet[bd24](bytes), 0x123456u);
    EXPECT_EQ(XePixelGet[bd16](bytes), 0x3456u);
    XePixelCpy[bd16](bytes + 4, bytes);
    EXPECT_EQ(bytes[4], 0x56);
    EXPECT_EQ(bytes[5], 0x34);
    EXPECT_EQ(XePixelSet[bdNone], nullptr);
}
