#include "songgame/display/SheetNotes.h"

#include <gtest/gtest.h>

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
