// BacklogWindow through TSubWinUnit: the scroll range, thumb and bar maths, the codes of its
// panels, the darkening while it opens, and text set during a fade.
#include "scenario/windows/BacklogWindow.h"

#include "scenario/windows/WindowTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class BacklogWindowTest : public ::testing::Test {
protected:
    TXeRGBPanel* P(const char* name) { return f_.unit->Panel(name); }
    void Click(int x, int y, TMouseButton button = mbLeft)
    {
        f_.screen->MouseMove(0, x, y);
        f_.screen->MouseDown(button, 0, x, y);
        f_.screen->MouseUp(button, 0, x, y);
    }
    WindowTest::UnitFixture f_;
};

} // namespace

TEST_F(BacklogWindowTest, NoLinesKeepTheScrollPartsHidden)
{
    f_.unit->LogWinSetRange(-3);
    EXPECT_EQ(f_.unit->LogWin().Lines(), 0);
    EXPECT_EQ(f_.unit->LogWinGetScrollPos(), 0);
    f_.unit->LogWinOpen(true);
    for (const char* name : {"LogBar", "LogUp", "LogDown"})
        EXPECT_FALSE(P(name)->Visible()) << name;
    for (const char* name : {"LogWin", "LogText", "LogClose"})
        EXPECT_TRUE(P(name)->Visible()) << name;
    f_.unit->LogWinScrollTo(5); // nothing to scroll
    EXPECT_EQ(f_.unit->LogWinGetScrollPos(), 0);
}

TEST_F(BacklogWindowTest, ThumbAndBarFollowTheScrollPosition)
{
    f_.unit->LogWinSetRange(10);
    EXPECT_EQ(f_.unit->LogWinGetScrollPos(), 10);
    EXPECT_EQ(P("LogPos")->OffsetY(), 322);
    f_.unit->LogWinScrollTo(5);
    EXPECT_EQ(P("LogPos")->OffsetY(), 161);
    f_.unit->LogWinScrollTo(-4);
    EXPECT_EQ(f_.unit->LogWinGetScrollPos(), 0);
    f_.unit->LogWinOpen(true);
    EXPECT_TRUE(P("LogBar")->Visible());
    // The bar at (584, 68): a press at its y 322 scrolls to line 10.
    Click(584 + 5, 68 + 322);
    EXPECT_EQ(f_.unit->LogWinGetScrollPos(), 10);
    f_.screen->MouseMove(ssLeft, 584 + 5, 68 + 161);
    EXPECT_EQ(f_.unit->LogWinGetScrollPos(), 5);
    f_.unit->LogWinScrollTo(0);
    Click(584 + 5, 48 + 5); // LogUp at 0 stays at 0
    EXPECT_EQ(f_.unit->LogWinGetScrollPos(), 0);
    Click(584 + 5, 408 + 5);
    EXPECT_EQ(f_.unit->LogWinGetScrollPos(), 1);
    // Every backlog panel but the bar hands its clicks on too, the arrows included.
    EXPECT_EQ(f_.codes, (std::vector<int>{4, 4, 1, 4, 1, 4}));
}

TEST_F(BacklogWindowTest, ClicksHandTheirCodes)
{
    f_.unit->LogWinSetRange(3);
    f_.unit->LogWinOpen(true);
    Click(300, 200, mbRight);
    Click(300, 200, mbMiddle);
    Click(300, 200, mbLeft);
    Click(584 + 5, 68 + 100, mbRight); // on the bar
    Click(5, 5);                       // the close button: its press, then its click
    EXPECT_EQ(f_.codes, (std::vector<int>{6, 3, 1, 6, 1, 6}));
}

TEST_F(BacklogWindowTest, OpeningDarkensStepByStepToHalf)
{
    f_.unit->LogWinOpen(false);
    std::vector<int> tones{FadeTone(f_.unit->LogWin().State(), f_.unit->LogWin().Counter())};
    while (f_.unit->LogWinUpdate(1, false))
        tones.push_back(FadeTone(f_.unit->LogWin().State(), f_.unit->LogWin().Counter()));
    tones.push_back(FadeTone(f_.unit->LogWin().State(), f_.unit->LogWin().Counter()));
    EXPECT_EQ(tones, (std::vector<int>{128, 116, 103, 90, 77, 64, 64}));
}

TEST_F(BacklogWindowTest, TextSetDuringAFadeLeavesTheFadeRunning)
{
    f_.unit->LogWinOpen(false);
    f_.unit->LogWinSetText("\xD6\xD0\xD6\xD0");
    EXPECT_TRUE(f_.unit->LogWinIsActive());
    EXPECT_EQ(f_.unit->LogWin().Rows().Count(), 2);
    EXPECT_GT(P("LogText")->Alpha()->PGet(9, 10) + P("LogText")->Alpha()->PGet(10, 9), 0);
}
