// Tests of the text rasteriser and of the face matching behind it, on the installed CJK font.
#include "platform/codepage/CodePage.h"
#include "platform/font/FontMatch.h"
#include "platform/font/TextRasterizer.h"

#include <gtest/gtest.h>

#include <set>

namespace {

LogicalFont Font(const AnsiString& face, int height, std::uint8_t quality, std::uint8_t pitch = kDefaultPitch)
{
    LogicalFont font;
    font.faceName = face;
    font.height = height;
    font.quality = quality;
    font.pitchAndFamily = pitch;
    return font;
}

// "MS Gothic" written with full-width Latin letters and katakana, as CP932 bytes.
const AnsiString kGothicSjis = "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E";
// U+4E2D U+6587 ("Chinese") as CP936 bytes.
const AnsiString kChineseGbk = "\xD6\xD0\xCE\xC4";

// Every coverage value the rasteriser hands out for the text, with the blocks' union.
struct Collected {
    std::set<int> levels;
    int left = 1 << 30, top = 1 << 30, right = -(1 << 30), bottom = -(1 << 30);
};

Collected Collect(const LogicalFont& font, std::string_view text, TextExtent* extent = nullptr)
{
    Collected c;
    const bool ok = TextRasterizer::Rasterize(font, text, [&](const CoverageBlock& b) {
        for (int y = 0; y < b.height; ++y)
            for (int x = 0; x < b.width; ++x)
                if (const int v = b.coverage[y * b.pitch + x]; v != 0) {
                    c.levels.insert(v);
                    c.left = std::min(c.left, b.x + x);
                    c.top = std::min(c.top, b.y + y);
                    c.right = std::max(c.right, b.x + x + 1);
                    c.bottom = std::max(c.bottom, b.y + y + 1);
                }
    }, extent);
    EXPECT_TRUE(ok);
    return c;
}

} // namespace

TEST(FontMatch, FaceNamesOfTheSystemMapToTheInstalledCjkFace)
{
    struct Case {
        AnsiString face;
        std::uint8_t charSet;
        std::uint8_t pitch;
        const char* family;
    };
    const Case cases[] = {
        {"MS UI Gothic", DEFAULT_CHARSET, kDefaultPitch, "WenQuanYi Zen Hei"},
        {kGothicSjis, SHIFTJIS_CHARSET, kFixedPitch, "WenQuanYi Zen Hei Mono"},
        {"SimSun", GB2312_CHARSET, kVariablePitch, "WenQuanYi Zen Hei"},
        // An installed face that cannot show CJK text is replaced.
        {"DejaVu Sans", DEFAULT_CHARSET, kDefaultPitch, "WenQuanYi Zen Hei"},
        {"DejaVu Sans Mono", DEFAULT_CHARSET, kFixedPitch, "WenQuanYi Zen Hei Mono"},
    };
    for (const Case& c : cases) {
        LogicalFont font = Font(c.face, -24, kAntialiasedQuality, c.pitch);
        font.charSet = c.charSet;
        const auto face = MatchFace(font);
        ASSERT_TRUE(face.has_value()) << c.face;
        EXPECT_EQ(face->family, c.family) << c.face;
        EXPECT_EQ(TextRasterizer::FamilyOf(font), c.family) << c.face;
    }
}

TEST(FontMatch, CharacterSetsChooseTheCodePage)
{
    EXPECT_EQ(CodePageOfCharset(SHIFTJIS_CHARSET), CodePage::ShiftJis);
    EXPECT_EQ(CodePageOfCharset(GB2312_CHARSET), CodePage::Gbk);
    EXPECT_EQ(CodePageOfCharset(DEFAULT_CHARSET), CodePage::Ansi());
}

TEST(TextRasterizer, FixedPitchCellsAreHalfWidthPerByte)
{
    LogicalFont font = Font("Fixed", -24, kNonAntialiasedQuality, kFixedPitch);
    font.charSet = GB2312_CHARSET;
    TextExtent latin;
    ASSERT_TRUE(TextRasterizer::Measure(font, "AB1", &latin));
    EXPECT_EQ(latin.cx, 36);
    TextExtent chinese;
    ASSERT_TRUE(TextRasterizer::Measure(font, kChineseGbk, &chinese));
    EXPECT_EQ(chinese.cx, 48);
    EXPECT_EQ(chinese.cy, latin.cy);
    EXPECT_GE(latin.cy, 24);
    TextExtent empty{7, 7};
    ASSERT_TRUE(TextRasterizer::Measure(font, "", &empty));
    EXPECT_EQ(empty.cx, 0);
    EXPECT_EQ(empty.cy, latin.cy);
}

TEST(TextRasterizer, PlainFontsGiveFullCoverageOnlyAndAntialiasedOnesGreyLevels)
{
    LogicalFont font = Font("Gothic", -24, kNonAntialiasedQuality, kFixedPitch);
    font.charSet = GB2312_CHARSET;
    const Collected plain = Collect(font, kChineseGbk);
    EXPECT_EQ(plain.levels, std::set<int>{255});
    font.quality = kAntialiasedQuality;
    const Collected smooth = Collect(font, kChineseGbk);
    EXPECT_GT(smooth.levels.size(), 10u);
    EXPECT_TRUE(smooth.levels.count(255));
    EXPECT_FALSE(TextRasterizer::IsAntialiased(Font("x", -12, kNonAntialiasedQuality)));
    EXPECT_TRUE(TextRasterizer::IsAntialiased(Font("x", -12, kDefaultQuality)));
}

TEST(TextRasterizer, GlyphsLandInsideTheirCell)
{
    LogicalFont font = Font("Gothic", -24, kAntialiasedQuality, kFixedPitch);
    font.charSet = GB2312_CHARSET;
    TextExtent cell;
    const Collected c = Collect(font, kChineseGbk + "AH", &cell);
    EXPECT_GE(c.left, 0);
    EXPECT_GE(c.top, 0);
    EXPECT_LE(c.right, cell.cx);
    EXPECT_LE(c.bottom, cell.cy);
    EXPECT_EQ(cell.cx, 72);
}

TEST(TextRasterizer, PositiveHeightsGiveTheCellHeight)
{
    TextExtent cell;
    ASSERT_TRUE(TextRasterizer::Measure(Font("Gothic", 30, kAntialiasedQuality), "A", &cell));
    EXPECT_NEAR(cell.cy, 30, 1);
}

TEST(TextRasterizer, HugeHeightsAreClamped)
{
    TextExtent cell;
    ASSERT_TRUE(TextRasterizer::Measure(Font("Gothic", -1'000'000, kNonAntialiasedQuality), "A", &cell));
    EXPECT_LE(cell.cy, TextRasterizer::kMaxPixelHeight * 2);
    ASSERT_TRUE(TextRasterizer::Measure(Font("Gothic", 0, kNonAntialiasedQuality), "A", &cell));
    EXPECT_GE(cell.cy, TextRasterizer::kDefaultPixelHeight);
}

TEST(TextRasterizer, BoldWidensStrokesAndUnderlineAddsABar)
{
    LogicalFont font = Font("Gothic", -24, kNonAntialiasedQuality, kFixedPitch);
    int regular = 0;
    TextRasterizer::Rasterize(font, "l", [&](const CoverageBlock& b) { regular += b.width; });
    font.weight = 700;
    int bold = 0;
    TextRasterizer::Rasterize(font, "l", [&](const CoverageBlock& b) { bold += b.width; });
    EXPECT_GT(bold, regular);
    font.weight = 400;
    font.underline = true;
    TextExtent cell;
    int blocks = 0;
    CoverageBlock last;
    TextRasterizer::Rasterize(font, "ab", [&](const CoverageBlock& b) { ++blocks, last = b; }, &cell);
    EXPECT_EQ(blocks, 3);
    EXPECT_EQ(last.x, 0);
    EXPECT_EQ(last.width, cell.cx);
    EXPECT_LT(last.y + last.height, cell.cy + 1);
}
