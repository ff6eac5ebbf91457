// Tests of the parts sheet: cutting parts and their alpha, records outside the sheet, the
// terminated list, and the format setters.
#include "graphics/panels/TXeRGBParts.h"

#include "tests/graphics/PanelTestSupport.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

// A 16 x 16 sheet whose pixel (x, y) is y x 16 + x, with an alpha map of 255 - x.
struct TSheet : TPanelScene {
    TXeRGBBits* sheet = Picture(16, 16, pf32_888, [](int x, int y) { return static_cast<std::uint32_t>(y * 16 + x); });
    TXeAlpha* alpha = AlphaMap(16, 16, [](int x, int) { return static_cast<std::uint8_t>(255 - x); });
    TXeRGBParts* parts = new TXeRGBParts(owner.get());

    TSheet() { parts->SetPixFormat(pf32_888); }
};

} // namespace

TEST(TXeRGBParts, CutsPartsWithTheirPatternsAndAlpha)
{
    TSheet s;
    const TXePartsData data[] = {{2, 3, 4, 2, 3}, {0, 0, 16, 16, 1}, {-1, 0, 0, 0, 0}};
    ASSERT_TRUE(s.parts->SetParts(s.sheet, s.alpha, data));
    ASSERT_EQ(s.parts->GetSize(), 2);
    TXeRGBBits* first = s.parts->GetImage(0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Width(), 4);
    EXPECT_EQ(first->Height(), 6);
    EXPECT_EQ(s.parts->GetPattern(0), 3);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(first->PGet(x, y), static_cast<std::uint32_t>((y + 3) * 16 + x + 2));
    ASSERT_NE(s.parts->GetAlpha(0), nullptr);
    EXPECT_EQ(s.parts->GetAlpha(0)->PGet(1, 5), 255 - 3);
    EXPECT_EQ(s.parts->GetImage(2), nullptr);
    EXPECT_EQ(s.parts->GetImage(-1), nullptr);
    EXPECT_EQ(s.parts->GetPattern(7), 0);
}

TEST(TXeRGBParts, RecordsOutsideTheSheetGiveNullParts)
{
    TSheet s;
    const TXePartsData data[] = {
        {13, 0, 4, 4, 1},   // past the right edge
        {0, 10, 4, 4, 2},   // its patterns reach past the bottom
        {0, 0, 0, 4, 1},    // empty
        {0, 0, 4, 4, 0},    // no pattern
        {0, -1, 4, 4, 1},   // negative corner
        {0, 0, INT_MAX, 4, 1},
        {0, 1, 4, INT_MAX, 3},
        {12, 12, 4, 4, 1},  // exactly inside
    };
    ASSERT_TRUE(s.parts->SetParts(s.sheet, nullptr, data, 8));
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(s.parts->GetImage(i), nullptr) << i;
        EXPECT_EQ(s.parts->GetPattern(i), 0) << i;
    }
    ASSERT_NE(s.parts->GetImage(7), nullptr);
    EXPECT_EQ(s.parts->GetImage(7)->PGet(3, 3), 255u);
    EXPECT_EQ(s.parts->GetAlpha(7), nullptr); // no alpha given
}

// A part that cannot be made (8-bit parts) or copied (a sheet format the copy refuses) is null,
// and the call reports the failure; the parts of a format that works are cut.
TEST(TXeRGBParts, ReportsAPartThatCouldNotBeMade)
{
    const TXePartsData data[] = {{0, 0, 4, 4, 1}, {4, 4, 2, 2, 2}};
    struct TCase {
        TBitDepth depth;
        TPixFormat format;
        bool made;
    };
    for (const TCase c : {TCase{bd8, pfNone, false}, TCase{bd16, pf16_565, false}, TCase{bd32, pf32_888, true}}) {
        TSheet s;
        s.parts->SetBitDepth(c.depth);
        s.parts->SetPixFormat(c.format);
        EXPECT_EQ(s.parts->SetParts(s.sheet, s.alpha, data, 2), c.made) << c.format;
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(s.parts->GetImage(i) != nullptr, c.made) << c.format << " part " << i;
            EXPECT_EQ(s.parts->GetAlpha(i) != nullptr, c.made) << c.format << " part " << i;
            EXPECT_EQ(s.parts->GetPattern(i), c.made ? data[i].patterns : 0) << c.format << " part " << i;
        }
    }
}

TEST(TXeRGBParts, AnEmptyListKeepsThePartsCutBefore)
{
    TSheet s;
    const TXePartsData one[] = {{0, 0, 2, 2, 1}, {-1, 0, 0, 0, 0}};
    ASSERT_TRUE(s.parts->SetParts(s.sheet, one));
    const TXePartsData none[] = {{-1, 0, 0, 0, 0}};
    EXPECT_FALSE(s.parts->SetParts(s.sheet, none));
    EXPECT_FALSE(s.parts->SetParts(nullptr, one));
    EXPECT_EQ(s.parts->GetSize(), 1);
    EXPECT_NE(s.parts->GetImage(0), nullptr);
}

TEST(TXeRGBParts, RecuttingFreesTheOldPartsAndPanelsForgetThem)
{
    TSheet s;
    const TXePartsData one[] = {{0, 0, 2, 2, 1}, {-1, 0, 0, 0, 0}};
    ASSERT_TRUE(s.parts->SetParts(s.sheet, one));
    TXeRGBPanel* panel = s.Panel(nullptr, 0, 0, 2, 2);
    panel->SetImage(s.parts->GetImage(0));
    ASSERT_TRUE(s.parts->SetParts(s.sheet, one));
    EXPECT_EQ(panel->Image(), nullptr);
    s.parts->FreeParts();
    EXPECT_EQ(s.parts->GetSize(), 0);
    EXPECT_EQ(s.parts->GetImage(0), nullptr);
}

TEST(TXeRGBParts, FormatSettersAgreeAndWaitForFreeParts)
{
    TXeRGBParts parts(nullptr);
    parts.SetBitDepth(bd16);
    EXPECT_EQ(parts.PixFormat(), pf16_565);
    parts.SetPixFormat(pf32_8888);
    EXPECT_EQ(parts.BitDepth(), bd32);
    parts.SetBitDepth(bd24);
    EXPECT_EQ(parts.PixFormat(), pf24_888);
    TPanelScene scene;
    TXeRGBBits* sheet = scene.Solid(4, 4, pf24_888, 0x123456);
    const TXePartsData one[] = {{0, 0, 2, 2, 1}};
    ASSERT_TRUE(parts.SetParts(sheet, nullptr, one, 1));
    parts.SetPixFormat(pf16_565);
    parts.SetBitDepth(bd16);
    EXPECT_EQ(parts.PixFormat(), pf24_888);
    EXPECT_EQ(parts.GetImage(0)->PGet(1, 1), 0x123456u);
    parts.FreeParts();
    parts.SetPixFormat(pf16_565);
    EXPECT_EQ(parts.BitDepth(), bd16);
}
