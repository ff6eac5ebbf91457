// Tests of the text panel on the installed CJK font: plain and anti-aliased buffers, the 2 x 2
// reduction's levels, glyphs landing inside the panel, colours and keys, layout, rebuilding, and
// a golden picture of anti-aliased text compared with a small tolerance.
#include "graphics/panels/TXeRGBText.h"

#include "tests/graphics/PanelTestSupport.h"
#include "platform/font/TextRasterizer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

// "中文" as CP936 bytes, then Latin letters.
const AnsiString kText = "\xD6\xD0\xCE\xC4" "ABC";

struct TTextScene : TPanelScene {
    TXeRGBPanel* root = Panel(nullptr, 0, 0, 200, 60);
    TXeRGBText* text = new TXeRGBText(owner.get(), root);

    explicit TTextScene(bool antialiased = false, int height = 24)
    {
        root->SetMaskMode(mmNone);
        text->SetSizeY(height);
        text->Font()->Charset = GB2312_CHARSET;
        text->SetAntiAliase(antialiased);
        text->SetText(kText);
        root->AllCreate();
    }
};

std::set<std::uint32_t> Values(TXeRGBBits& bits)
{
    std::set<std::uint32_t> values;
    for (int y = 0; y < bits.Height(); ++y)
        for (int x = 0; x < bits.Width(); ++x)
            values.insert(bits.PGet(x, y));
    return values;
}

std::set<int> Values(const TXeAlpha& alpha)
{
    std::set<int> values;
    for (int y = 0; y < alpha.Height(); ++y)
        for (int x = 0; x < alpha.Width(); ++x)
            values.insert(alpha.PGet(x, y));
    return values;
}

// The rows of the colour buffer that hold text pixels.
std::set<int> InkRows(TXeRGBText& text)
{
    std::set<int> rows;
    TXeRGBDib& buffer = *text.ColourBuffer();
    for (int y = 0; y < buffer.Height(); ++y)
        for (int x = 0; x < buffer.Width(); ++x)
            if (buffer.PGet(x, y) == buffer.TXeRGBtoPixel(XeRGB(text.GetTextColor())))
                rows.insert(y);
    return rows;
}

std::string GoldenPath() { return XE_GRAPHICS_DATA "/TextPanelGolden.pgm"; }

} // namespace

TEST(TXeRGBText, ConstructionDefaults)
{
    TXeRGBText text(nullptr);
    EXPECT_EQ(text.SizeX(), 160);
    EXPECT_EQ(text.SizeY(), 24);
    EXPECT_FALSE(text.AutoSize());
    EXPECT_EQ(text.FontSize(), 24);
    EXPECT_EQ(text.Font()->Pitch, fpFixed);
    EXPECT_EQ(text.Font()->Height, -24);
    EXPECT_EQ(text.GetTextColor(), 0xFFFFFFu);
    EXPECT_FALSE(text.BufferMade());
    text.SetFontSize(25);
    EXPECT_EQ(text.FontSize(), 24);
    text.SetFontSize(31);
    EXPECT_EQ(text.FontSize(), 30);
}

TEST(TXeRGBText, PlainTextHoldsOnlyTheTextColourAndItsKey)
{
    for (const TPixFormat format : {pf16_565, pf32_888}) {
        TTextScene s;
        s.text->SetTextColor(0x20C040);
        ASSERT_TRUE(s.text->MakeBuffer(format));
        TXeRGBDib& buffer = *s.text->ColourBuffer();
        EXPECT_EQ(buffer.PixFormat(), format);
        EXPECT_EQ(s.text->MaskMode(), mmColorKey);
        EXPECT_EQ(s.text->ColorKey(), XeRGB(0xDF3FBF));
        EXPECT_EQ(s.text->Image(), &buffer);
        EXPECT_EQ(Values(buffer), (std::set<std::uint32_t>{buffer.TXeRGBtoPixel(XeRGB(0xDF3FBF)),
                                                           buffer.TXeRGBtoPixel(XeRGB(0x20C040))}));
    }
}

TEST(TXeRGBText, GlyphsLandInsideThePanel)
{
    TTextScene small;
    ASSERT_TRUE(small.text->MakeBuffer(pf32_888));
    TTextScene tall(false, 48);
    ASSERT_TRUE(tall.text->MakeBuffer(pf32_888));
    const std::set<int> rows = InkRows(*tall.text);
    ASSERT_FALSE(rows.empty());
    EXPECT_LT(*rows.rbegin(), 24) << "nothing of the text lies below the 24-pixel panel";
    EXPECT_EQ(InkRows(*small.text), rows);
    // The Latin letters start at the third cell: every byte is half of the 24-pixel cell.
    TXeRGBDib& buffer = *small.text->ColourBuffer();
    const std::uint32_t ink = buffer.TXeRGBtoPixel(XeRGB(0xFFFFFF));
    int firstLatinColumn = -1;
    for (int x = 48; x < 84 && firstLatinColumn < 0; ++x)
        for (int y = 0; y < 24; ++y)
            if (buffer.PGet(x, y) == ink)
                firstLatinColumn = x;
    EXPECT_GE(firstLatinColumn, 48);
    EXPECT_LT(firstLatinColumn, 54);
}

TEST(TXeRGBText, AntialiasedTextHasIntermediateCoverage)
{
    const std::set<int> levels[] = {{0, 63, 127, 191, 255}, {0, 95, 191, 255}, {0, 127, 255}};
    for (int shade = 0; shade <= 2; ++shade) {
        TTextScene s(true);
        s.text->SetAAShade(shade);
        ASSERT_TRUE(s.text->MakeBuffer(pf32_888));
        EXPECT_EQ(s.text->MaskMode(), mmAlpha);
        EXPECT_EQ(s.text->Alpha(), s.text->AlphaBuffer());
        EXPECT_EQ(s.text->DoubleBuffer()->Width(), 320);
        EXPECT_EQ(Values(*s.text->ColourBuffer()), std::set<std::uint32_t>{0xFFFFFF});
        // The double-size glyphs are plain, so every reduced value is one of the level table's.
        EXPECT_EQ(Values(*s.text->AlphaBuffer()), levels[shade]) << "shade " << shade;
    }
}

TEST(TXeRGBText, ThePanelPaintsTheTextThroughItsKeyOrAlpha)
{
    for (const bool antialiased : {false, true}) {
        TTextScene s(antialiased);
        s.root->SetImage(s.Solid(200, 60, pf32_888, 0x000080));
        s.root->SetMaskMode(mmNormal);
        s.text->SetOffsetX(10);
        s.text->SetOffsetY(20);
        ASSERT_TRUE(s.text->MakeBuffer(pf32_888));
        TXeRGBBits* dst = s.Solid(200, 60, pf32_888, 0);
        ASSERT_TRUE(s.root->Draw(dst));
        std::set<std::uint32_t> inside;
        for (int y = 20; y < 44; ++y)
            for (int x = 10; x < 170; ++x)
                inside.insert(dst->PGet(x, y));
        EXPECT_TRUE(inside.count(0x000080)) << "the background shows through";
        EXPECT_TRUE(inside.count(0xFFFFFF));
        EXPECT_EQ(inside.size() > 2, antialiased);
        EXPECT_EQ(dst->PGet(5, 5), 0x000080u);
    }
}

TEST(TXeRGBText, ChangesRedrawAndDirtyThePanel)
{
    TTextScene s(true);
    ASSERT_TRUE(s.text->MakeBuffer(pf32_888));
    s.root->ClrModifyToChild();
    s.text->SetTextColorRed(0x10);
    EXPECT_EQ(s.text->GetTextColor(), 0x10FFFFu);
    EXPECT_EQ(s.text->ColourBuffer()->PGet(3, 3), 0x10FFFFu);
    EXPECT_TRUE(s.text->GetModified());
    s.root->ClrModifyToChild();
    s.text->SetText("");
    EXPECT_TRUE(s.text->GetModified());
    EXPECT_EQ(Values(*s.text->AlphaBuffer()), std::set<int>{0});
    s.text->SetAntiAliase(false); // rebuilds the buffers plain
    EXPECT_EQ(s.text->AlphaBuffer(), nullptr);
    EXPECT_EQ(s.text->MaskMode(), mmColorKey);
    EXPECT_EQ(Values(*s.text->ColourBuffer()), std::set<std::uint32_t>{0xEF0000});
}

TEST(TXeRGBText, TheBufferKeepsItsSizeUntilItIsRebuilt)
{
    TTextScene s;
    ASSERT_TRUE(s.text->MakeBuffer(pf32_888));
    s.text->SetSizeX(64);
    EXPECT_EQ(s.text->ColourBuffer()->Width(), 160);
    s.text->SetAntiAliase(true);
    EXPECT_EQ(s.text->ColourBuffer()->Width(), 64);
    EXPECT_EQ(s.text->DoubleBuffer()->Width(), 128);
    s.text->ReleaseBuffer();
    EXPECT_FALSE(s.text->BufferMade());
    EXPECT_EQ(s.text->Image(), nullptr);
    EXPECT_EQ(s.text->Alpha(), nullptr);
    s.text->SetSizeX(0);
    EXPECT_FALSE(s.text->MakeBuffer(pf32_888));
    EXPECT_FALSE(s.text->BufferMade());
}

TEST(TXeRGBText, CentredTextIsCutOnBothSidesWhenTooWide)
{
    TTextScene s;
    s.text->SetSizeX(40);
    s.text->SetText("ABCDEFGH"); // 8 x 12 = 96 pixels: x = (40 - 96) / 2 = -28
    s.text->SetCentering(true);
    ASSERT_TRUE(s.text->MakeBuffer(pf32_888));
    TXeRGBDib& buffer = *s.text->ColourBuffer();
    const std::uint32_t ink = buffer.TXeRGBtoPixel(XeRGB(0xFFFFFF));
    bool leftInk = false, rightInk = false;
    for (int y = 0; y < 24; ++y) {
        leftInk = leftInk || buffer.PGet(0, y) == ink || buffer.PGet(1, y) == ink;
        rightInk = rightInk || buffer.PGet(38, y) == ink || buffer.PGet(39, y) == ink;
    }
    EXPECT_TRUE(leftInk); // "C" is cut at the left edge
    EXPECT_TRUE(rightInk); // "F" at the right
}

TEST(TXeRGBText, AntialiasedTextMatchesItsGoldenPicture)
{
    TTextScene s(true);
    s.text->SetSizeX(96);
    ASSERT_TRUE(s.text->MakeBuffer(pf32_888));
    const TXeAlpha& alpha = *s.text->AlphaBuffer();
    LogicalFont probe;
    probe.pitchAndFamily = kFixedPitch;
    if (TextRasterizer::FamilyOf(probe).find("WenQuanYi") == std::string::npos)
        GTEST_SKIP() << "the golden picture is drawn with the WenQuanYi Zen Hei face";
    if (std::getenv("XE_UPDATE_GOLDEN") != nullptr) {
        std::ofstream out(GoldenPath(), std::ios::binary);
        out << "P5\n" << alpha.Width() << " " << alpha.Height() << "\n255\n";
        for (int y = 0; y < alpha.Height(); ++y)
            for (int x = 0; x < alpha.Width(); ++x)
                out.put(static_cast<char>(alpha.PGet(x, y)));
    }
    std::ifstream in(GoldenPath(), std::ios::binary);
    ASSERT_TRUE(in) << GoldenPath();
    std::string magic;
    int w = 0, h = 0, max = 0;
    in >> magic >> w >> h >> max;
    in.get();
    ASSERT_EQ(magic, "P5");
    ASSERT_EQ(w, alpha.Width());
    ASSERT_EQ(h, alpha.Height());
    // Font versions may move an edge by a level or a pixel: allow small differences only.
    long totalDifference = 0;
    int farOff = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int difference = std::abs(in.get() - alpha.PGet(x, y));
            totalDifference += difference;
            farOff += difference > 64;
        }
    EXPECT_LE(totalDifference / (w * h), 3);
    EXPECT_LE(farOff, w * h / 100);
}
