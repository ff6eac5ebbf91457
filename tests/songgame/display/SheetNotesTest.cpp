#include "songgame/display/SheetNotes.h"

#include "graphics/bitmaps/TXeAlpha.h"
#include "graphics/bitmaps/TXeRGBBits.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

TMusicNote Note(std::uint32_t time, int lane, int state = 0, bool byRank = false)
{
    return {time, 0, 1, lane, -1, static_cast<std::uint8_t>(byRank), static_cast<std::uint8_t>(byRank), state};
}

} // namespace

TEST(SheetNotes, NotesScrollAtTwoHundredPixelsASecond)
{
    constexpr std::uint32_t now = 10 * 88'200;
    std::vector<TMusicNote> notes = {Note(now - 200 * 441, 0), Note(now - 102 * 441, 0), Note(now - 101 * 441, 1), Note(now, 2),
                                     Note(now + 88'200, 7), Note(now + 402 * 441, 3)};
    SheetNotes sheet;
    std::int32_t first = 0;
    sheet.Rebuild(notes, first, now, 1);
    EXPECT_EQ(first, 1); // x -18 has left: the scan starts there next time
    ASSERT_EQ(sheet.Count(), 3);
    EXPECT_EQ(sheet.At(0).x, -17);
    EXPECT_EQ(sheet.At(1).x, 84);
    EXPECT_EQ(sheet.At(2).x, 284); // one second ahead
    EXPECT_EQ(sheet.At(2).y, 34);
    EXPECT_EQ(sheet.At(2).pattern, 5);
    // x 486 and beyond: not on the sheet yet
    const TXeRect clipped = SheetNotes::CellRect(sheet.At(0));
    EXPECT_EQ(clipped, XeRect(9, 75, 10, 141));
}

TEST(SheetNotes, LaneTablesAndPatterns)
{
    struct Case {
        int lane;
        bool byRank;
        int y, pattern;
    };
    const Case cases[] = {{0, false, 86, 0}, {3, false, 54, 3}, {4, false, 66, 8}, {7, false, 34, 5},
                          {8, false, 54, 3}, {19, false, 66, 8}, {25, false, 55, 7}, {0, true, 86, 4},
                          {7, true, 34, 9}, {4, true, 66, 9}};
    for (const Case& c : cases) {
        std::vector<TMusicNote> notes = {Note(88'200, c.lane, 0, c.byRank)};
        SheetNotes sheet;
        std::int32_t first = 0;
        sheet.Rebuild(notes, first, 88'200, 0);
        ASSERT_EQ(sheet.Count(), 1);
        EXPECT_EQ(sheet.At(0).y, c.y) << c.lane;
        EXPECT_EQ(sheet.At(0).pattern, c.pattern) << c.lane << c.byRank;
    }
}

TEST(SheetNotes, BounceCountsDownEvenPastTheListsEnd)
{
    std::vector<TMusicNote> notes(300, Note(88'200, 0, 5));
    SheetNotes sheet;
    std::int32_t first = 0;
    sheet.Rebuild(notes, first, 88'200, 1);
    ASSERT_EQ(sheet.Count(), SheetNotes::MaxDrawn);
    EXPECT_EQ(sheet.At(0).y, 86 + 16);
    EXPECT_EQ(notes[256].state, 4); // the 257th note is not drawn but still bounces
    sheet.Rebuild(notes, first, 88'200, 10);
    EXPECT_EQ(sheet.At(0).y, 86 + 12);
    EXPECT_EQ(notes[299].state, 1);
}

TEST(SheetNotes, ClefSizeByReaction)
{
    struct Case {
        int level;
        TXeRect want;
    };
    const Case cases[] = {{6, XeRect(0, 0, 96, 240)}, {2, XeRect(16, 40, 80, 200)},
                          {0, XeRect(24, 60, 72, 180)}, {-3, XeRect(24, 60, 72, 180)}};
    for (const Case& c : cases)
        EXPECT_EQ(GClefRect(c.level), c.want) << c.level;
}


TEST(SheetNotes, DrawsCellsThenLabelsInsideTheSheetArea)
{
    // Note cells of grey 0x10 + pattern, key labels of grey 0x80 + lane; masks fully opaque.
    TXeRGBBits notes(nullptr), labels(nullptr), dest(nullptr);
    for (auto [bits, w, h] : {std::tuple{&notes, 135, 132}, {&labels, 270, 69}, {&dest, 486, 180}}) {
        bits->SetBitDepth(bd32);
        bits->Resize(w, h);
        bits->Create();
    }
    for (int p = 0; p < 10; ++p)
        notes.BoxFill(p % 5 * 27, p / 5 * 66, p % 5 * 27 + 26, p / 5 * 66 + 65, 0x10u + static_cast<std::uint32_t>(p));
    for (int lane = 0; lane < 30; ++lane)
        labels.BoxFill(lane % 10 * 27, lane / 10 * 23, lane % 10 * 27 + 26, lane / 10 * 23 + 22,
                       0x80u + static_cast<std::uint32_t>(lane));
    TXeAlpha noteMask(nullptr), labelMask(nullptr);
    noteMask.Resize(135, 132);
    noteMask.Create();
    labelMask.Resize(270, 69);
    labelMask.Create();

    constexpr std::uint32_t now = 88'200; // x = time / 441 - 116
    std::vector<TMusicNote> sheetNotes = {Note(116 * 441, 0), Note(216 * 441, 27), Note(416 * 441, 10)};
    SheetNotes sheet;
    std::int32_t first = 0;
    sheet.Rebuild(sheetNotes, first, now, 0);
    ASSERT_EQ(sheet.Count(), 3);
    sheet.Draw(dest, 0, 0, XeRect(0, 0, 486, 180), {&notes, &noteMask, &labels, &labelMask});
    struct Pixel {
        const char* what;
        int x, y;
        std::uint32_t grey;
    };
    const Pixel pixels[] = {
        {"left of the sheet area", 8, 100, 0},
        {"lane 0 cell at the area's edge", 9, 86, 0x10},
        {"lane 0 label at the foot", 9, 86 + 43, 0x80},
        {"lane 27 (pattern 5) label on top", 100, 34, 0x80 + 27},
        {"lane 27 cell below its label", 100, 34 + 23, 0x15},
        {"lane 27 cell's last row", 126, 34 + 65, 0x15},
        {"right of lane 27", 127, 34 + 30, 0},
        {"lane 10 (pattern 0) cell", 300, 86, 0x10},
        {"lane 10 label", 300, 86 + 65, 0x80 + 10},
    };
    for (const Pixel& p : pixels)
        EXPECT_EQ(dest.PGet(p.x, p.y) & 0xFF, p.grey) << p.what;

    // Only the part asked for is drawn, at the place the sheet's origin lands.
    TXeRGBBits part(nullptr);
    part.SetBitDepth(bd32);
    part.Resize(486, 180);
    part.Create();
    sheet.Draw(part, 10, 0, XeRect(0, 0, 200, 60), {&notes, &noteMask, &labels, &labelMask});
    EXPECT_EQ(part.PGet(110, 34) & 0xFF, 0x80u + 27);
    EXPECT_EQ(part.PGet(110, 60) & 0xFF, 0u);
    EXPECT_EQ(part.PGet(310, 40) & 0xFF, 0u);
}
