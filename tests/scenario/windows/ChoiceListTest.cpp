// ChoiceList through TSubWinUnit: the row cut, the cursor walking over empty rows, the rows under
// the mouse and the codes of clicks.
#include "scenario/windows/ChoiceList.h"

#include "scenario/windows/WindowTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class ChoiceListTest : public ::testing::Test {
protected:
    ChoiceListTest()
    {
        f_.unit->SelWinClearText();
        f_.unit->SelWinSetText(0, "yes");
        f_.unit->SelWinSetText(2, "no");
        f_.unit->SelWinOpen(true);
    }
    // SelText stands at (50 + 10, 180 + 14) on the screen.
    void ClickText(int y, TMouseButton button = mbLeft)
    {
        f_.screen->MouseDown(button, 0, 70, 194 + y);
        f_.screen->MouseUp(button, 0, 70, 194 + y);
    }
    WindowTest::UnitFixture f_;
};

} // namespace

TEST_F(ChoiceListTest, CutsAt52BytesOr51BeforeALeadByte)
{
    const std::string text = std::string(51, 'a') + "\xD6\xD0" + std::string(7, 'b');
    f_.unit->SelWinSetText(1, text);
    EXPECT_EQ(f_.unit->SelWin().Text(1), std::string(51, 'a'));
    f_.unit->SelWinSetText(1, std::string(60, 'c'));
    EXPECT_EQ(f_.unit->SelWin().Text(1), std::string(52, 'c'));
    EXPECT_TRUE(f_.unit->SelWin().Enabled(1));
    f_.unit->SelWinSetText(1, "");
    EXPECT_FALSE(f_.unit->SelWin().Enabled(1));
    f_.unit->SelWinSetText(4, "ignored");
}

TEST_F(ChoiceListTest, CursorWalksOverEmptyRows)
{
    f_.unit->SelWinCursorDown();
    EXPECT_EQ(f_.unit->SelWinGetCursor(), 2);
    EXPECT_EQ(f_.unit->Panel("SelCur")->OffsetY(), 24 * 2 + 14);
    f_.unit->SelWinCursorDown(); // nothing enabled below
    EXPECT_EQ(f_.unit->SelWinGetCursor(), 2);
    f_.unit->SelWinCursorUp();
    EXPECT_EQ(f_.unit->SelWinGetCursor(), 0);
    f_.unit->SelWinSetCursor(1); // refused: empty
    f_.unit->SelWinSetCursor(7);
    EXPECT_EQ(f_.unit->SelWinGetCursor(), 0);
}

TEST_F(ChoiceListTest, MouseMovesTheCursorAndClicksChoose)
{
    struct Case {
        int y;
        int cursor;
    };
    const Case moves[] = {{50, 2}, {21, 2} /* a gap */, {30, 2} /* empty row 1 */, {5, 0}};
    for (const Case& c : moves) {
        f_.screen->MouseMove(0, 70, 194 + c.y);
        EXPECT_EQ(f_.unit->SelWinGetCursor(), c.cursor) << c.y;
    }
    ClickText(30);         // empty row 1: 1, cursor stays
    EXPECT_EQ(f_.unit->SelWinGetCursor(), 0);
    ClickText(50);         // row 2: chosen
    EXPECT_EQ(f_.unit->SelWinGetCursor(), 2);
    ClickText(50, mbRight);
    ClickText(50, mbMiddle);
    f_.screen->MouseDown(mbLeft, 0, 55, 185); // the window outside the rows
    EXPECT_EQ(f_.codes, (std::vector<int>{1, 5, 2, 3, 1}));
}
