// Tests of the device context's text output into device-independent bitmaps of every layout.
#include "platform/font/DeviceContext.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <set>

namespace {

constexpr std::uint32_t kMasks565[3] = {0xF800, 0x07E0, 0x001F};
constexpr std::uint32_t kMasks4444[3] = {0x0F00, 0x00F0, 0x000F};
// U+4E2D U+6587 as CP936 bytes.
const char kChineseGbk[] = "\xD6\xD0\xCE\xC4";

std::unique_ptr<DibSection> Dib(int w, int h, int bits, std::span<const std::uint32_t> masks = {})
{
    BitmapInfoHeader header;
    header.biWidth = w;
    header.biHeight = h;
    header.biBitCount = static_cast<std::uint16_t>(bits);
    header.biCompression = masks.empty() ? BI_RGB : BI_BITFIELDS;
    std::uint32_t grey[256];
    for (std::uint32_t i = 0; i < 256; ++i)
        grey[i] = i * 0x010101;
    return DibSection::Create(header, masks, grey);
}

LogicalFont Gothic(std::uint8_t quality, int height = -24)
{
    LogicalFont font;
    font.faceName = "Gothic";
    font.height = height;
    font.quality = quality;
    font.pitchAndFamily = kFixedPitch;
    font.charSet = GB2312_CHARSET;
    return font;
}

std::uint32_t Pixel(const DibSection& dib, int x, int y)
{
    const std::uint8_t* p = dib.Row0() + y * dib.RowPitch() + x * (dib.BitCount() / 8);
    std::uint32_t v = 0;
    for (int k = 0; k < dib.BitCount() / 8; ++k)
        v |= std::uint32_t{p[k]} << (8 * k);
    return v;
}

std::set<std::uint32_t> Values(const DibSection& dib)
{
    std::set<std::uint32_t> values;
    for (int y = 0; y < dib.Height(); ++y)
        for (int x = 0; x < dib.Width(); ++x)
            values.insert(Pixel(dib, x, y));
    return values;
}

// Draws the text in red at (0, 0), transparent, with the font.
void DrawRed(DibSection& dib, const LogicalFont& font, const char* text = kChineseGbk)
{
    DeviceContext dc;
    dc.SelectBitmap(&dib);
    dc.SelectFont(&font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(255, 0, 0));
    ASSERT_TRUE(dc.TextOutA(0, 0, text, static_cast<int>(std::strlen(text))));
}

} // namespace

TEST(DeviceContext, PlainTextWritesTheTextColourInEachLayout)
{
    struct Case {
        int bits;
        std::span<const std::uint32_t> masks;
        std::uint32_t red;
    };
    const Case cases[] = {
        {16, kMasks565, 0xF800}, {16, kMasks4444, 0x0F00}, {16, {}, 0x7C00}, {24, {}, 0xFF0000},
        {32, {}, 0xFF0000},      {8, {}, 85}, // the grey table entry nearest to red
    };
    for (const Case& c : cases) {
        const auto dib = Dib(48, 24, c.bits, c.masks);
        DrawRed(*dib, Gothic(kNonAntialiasedQuality));
        EXPECT_EQ(Values(*dib), (std::set<std::uint32_t>{0, c.red})) << c.bits;
    }
}

TEST(DeviceContext, AntialiasedTextBlendsOverThePixels)
{
    const auto dib = Dib(48, 24, 32);
    DrawRed(*dib, Gothic(kAntialiasedQuality));
    const std::set<std::uint32_t> values = Values(*dib);
    EXPECT_GT(values.size(), 10u);
    for (const std::uint32_t v : values)
        EXPECT_EQ(v & 0xFFFF, 0u) << std::hex << v;  // only red, blended over black
}

TEST(DeviceContext, BitsOutsideTheColourMasksKeepTheirValue)
{
    const auto dib = Dib(48, 24, 32);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 48; ++x)
            std::memcpy(dib->Row0() + y * dib->RowPitch() + 4 * x, "\x00\x00\x00\x80", 4);
    DrawRed(*dib, Gothic(kNonAntialiasedQuality));
    EXPECT_EQ(Values(*dib), (std::set<std::uint32_t>{0x80000000, 0x80FF0000}));
}

TEST(DeviceContext, OpaqueModeFillsTheCell)
{
    const auto dib = Dib(64, 30, 24);
    DeviceContext dc;
    dc.SelectBitmap(dib.get());
    const LogicalFont font = Gothic(kNonAntialiasedQuality);
    dc.SelectFont(&font);
    EXPECT_EQ(dc.SetBkMode(OPAQUE), OPAQUE);
    dc.SetBkColor(RGB(0, 0, 255));
    dc.SetTextColor(RGB(0, 255, 0));
    ASSERT_TRUE(dc.TextOutA(2, 3, "AB", 2));
    EXPECT_EQ(Pixel(*dib, 2, 3), 0x0000FFu);
    EXPECT_EQ(Pixel(*dib, 25, 26), 0x0000FFu);
    EXPECT_EQ(Pixel(*dib, 26, 26), 0u);
    EXPECT_EQ(Pixel(*dib, 25, 27), 0u);
    EXPECT_EQ(Pixel(*dib, 1, 3), 0u);
    EXPECT_TRUE(Values(*dib).count(0x00FF00));
}

TEST(DeviceContext, TextIsClippedToTheBitmap)
{
    const auto dib = Dib(20, 10, 16, kMasks565);
    DeviceContext dc;
    dc.SelectBitmap(dib.get());
    const LogicalFont font = Gothic(kAntialiasedQuality, -40);
    dc.SelectFont(&font);
    for (const auto& [x, y] : {std::pair{-30, -20}, {15, 5}, {-1000000, 0}, {INT_MAX - 5, INT_MIN + 5}, {5, INT_MAX}})
        EXPECT_TRUE(dc.TextOutA(x, y, kChineseGbk, 4));
}

TEST(DeviceContext, SelectionsReturnThePreviousOneAndBadArgumentsFail)
{
    DeviceContext dc;
    const auto dib = Dib(8, 8, 32);
    EXPECT_EQ(dc.SelectBitmap(dib.get()), nullptr);
    EXPECT_EQ(dc.SelectBitmap(nullptr), dib.get());
    const LogicalFont font = Gothic(kNonAntialiasedQuality);
    EXPECT_EQ(dc.SelectFont(&font), nullptr);
    EXPECT_EQ(dc.SelectFont(nullptr), &font);
    EXPECT_EQ(dc.SetBkMode(7), 0);
    EXPECT_EQ(dc.SetTextColor(0x12345678), 0u);
    EXPECT_EQ(dc.SetTextColor(0), 0x345678u);
    EXPECT_TRUE(dc.TextOutA(0, 0, "A", 1)); // no bitmap: nothing to draw
    EXPECT_FALSE(dc.TextOutA(0, 0, "A", -1));
    EXPECT_FALSE(dc.TextOutA(0, 0, nullptr, 3));
    TextExtent size;
    dc.SelectFont(&font);
    ASSERT_TRUE(dc.GetTextExtentPoint32A("AB", 2, &size));
    EXPECT_EQ(size.cx, 24);
    EXPECT_EQ(size.cy, 24);
}
