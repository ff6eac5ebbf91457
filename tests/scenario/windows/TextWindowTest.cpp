// TextWindow through TSubWinUnit: printing pace and the rectangles it flags, the open and close
// life cycle with its children, the transparency table, codes for clicks and buttons, and the
// novel window's wait sign.
#include "scenario/windows/TextWindow.h"

#include "graphics/panels/TXeRGBBtn.h"
#include "scenario/windows/WindowTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string Zhong = "\xD6\xD0";

std::string Doubles(int n)
{
    std::string out;
    for (int i = 0; i < n; ++i)
        out += Zhong;
    return out;
}

class TextWindowTest : public ::testing::Test {
protected:
    TXeRGBPanel* P(const char* name) { return f_.unit->Panel(name); }
    // The text layer's flagged rectangles after one update.
    std::vector<TXeRect> StepFlags(int frames, bool finish = false)
    {
        TXeRGBPanel* text = P("MesText");
        text->ClrModify();
        f_.unit->MesWinUpdate(frames, finish);
        return {text->ModifiedSet().begin(), text->ModifiedSet().end()};
    }
    int Coverage(int column, int row = 0) const
    {
        const TXeAlpha* layer = f_.unit->Panel("MesText")->Alpha();
        int sum = 0;
        for (int y = 24 * row; y < 24 * row + 18; ++y)
            for (int x = 18 * column; x < 18 * column + 18; ++x)
                sum += layer->PGet(x, y);
        return sum;
    }

    WindowTest::UnitFixture f_;
};

} // namespace

TEST_F(TextWindowTest, PrintsAtTheSpeedAndFlagsOnlyTheNewCharacters)
{
    struct Case {
        int speed;
        std::vector<int> shownAfterEachFrame;
    };
    const Case cases[] = {{300, {0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4}}, {100, {1, 2, 3, 4}}, {50, {2, 4}}};
    for (const Case& c : cases) {
        f_.unit->MesWinClearText();
        f_.unit->MesWinOpen(true);
        ASSERT_TRUE(f_.unit->MesWinSetText(Doubles(4), c.speed));
        EXPECT_TRUE(f_.unit->MesWinIsOpen());
        int shown = 0;
        for (std::size_t frame = 0; frame < c.shownAfterEachFrame.size(); ++frame) {
            const int now = c.shownAfterEachFrame[frame];
            const std::vector<TXeRect> flags = StepFlags(1);
            if (now == shown) {
                EXPECT_TRUE(flags.empty()) << c.speed << " frame " << frame;
            } else {
                ASSERT_EQ(flags.size(), 1u) << c.speed << " frame " << frame;
                EXPECT_EQ(flags[0], XeRect(18 * shown, 0, 18 * now, 18)) << c.speed << " frame " << frame;
            }
            shown = now;
        }
        EXPECT_FALSE(f_.unit->MesWinIsActive()) << c.speed;
        for (int column = 0; column < 4; ++column)
            EXPECT_GT(Coverage(column), 0) << c.speed << " column " << column;
    }
}

TEST_F(TextWindowTest, FinishShowsTheRowAndAHiddenWindowPrintsAtOnce)
{
    f_.unit->MesWinOpen(true);
    f_.unit->MesWinSetText(Doubles(5), 300);
    StepFlags(3);
    const std::vector<TXeRect> flags = StepFlags(1, true);
    ASSERT_EQ(flags.size(), 1u);
    EXPECT_EQ(flags[0], XeRect(18, 0, 90, 18));
    EXPECT_FALSE(f_.unit->MesWinIsActive());

    f_.unit->MesWinClose(true);
    f_.unit->MesWinNewLine();
    EXPECT_FALSE(f_.unit->MesWinSetText(Doubles(2), 300));
    EXPECT_GT(Coverage(1, 1), 0);
}

TEST_F(TextWindowTest, AppendingWhilePrintingKeepsTheUnshownCharacters)
{
    f_.unit->MesWinOpen(true);
    f_.unit->MesWinSetText(Doubles(4), 100);
    StepFlags(1); // one of four shown
    f_.unit->MesWinSetText(Doubles(2), 100);
    for (int frame = 0; frame < 5; ++frame)
        StepFlags(1);
    EXPECT_FALSE(f_.unit->MesWinIsActive());
    for (int column = 0; column < 6; ++column)
        EXPECT_GT(Coverage(column), 0) << column;
}

TEST_F(TextWindowTest, TheSixthRowTakesNothing)
{
    f_.unit->MesWinOpen(true);
    for (int i = 0; i < 5; ++i)
        f_.unit->MesWinNewLine();
    EXPECT_FALSE(f_.unit->MesWinSetText(Doubles(3), 100));
    EXPECT_EQ(f_.unit->MesWin().Rows().Count(), 0);
}

TEST_F(TextWindowTest, OpensAndClosesInFiveStepsWithTheChildrenHidden)
{
    const char* children[] = {"MesText", "MesLook", "MesAuto", "MesSkip"};
    const char* kept[] = {"MesLog", "MesSave", "MesLoad", "MesConfig"};
    f_.unit->MesWinSetWaitSign(true);
    f_.unit->MesWinOpen(false);
    EXPECT_TRUE(P("MesWin")->Visible());
    int steps = 0;
    while (f_.unit->MesWinUpdate(1, false)) {
        ++steps;
        for (const char* child : children)
            EXPECT_FALSE(P(child)->Visible()) << child << " at step " << steps;
        EXPECT_FALSE(P("MesWait")->Visible());
    }
    EXPECT_EQ(steps, 5); // five drawn steps, then the one that finishes
    for (const char* child : children)
        EXPECT_TRUE(P(child)->Visible()) << child;
    for (const char* child : kept)
        EXPECT_FALSE(P(child)->Visible()) << child;
    EXPECT_TRUE(P("MesWait")->Visible());

    f_.unit->MesWinClose(false);
    EXPECT_TRUE(f_.unit->MesWinUpdate(1, false));
    EXPECT_FALSE(f_.unit->MesWinIsReady());
    EXPECT_FALSE(f_.unit->MesWinUpdate(1, true)); // finish ends it at the next step
    EXPECT_FALSE(P("MesWin")->Visible());
    EXPECT_TRUE(P("MesText")->Visible());
    EXPECT_FALSE(P("MesWait")->Visible());
}

TEST_F(TextWindowTest, TransparencyGivesTheBackgroundLevel)
{
    const std::pair<int, int> cases[] = {{25, 96}, {0, 128}, {100, 0}, {-5, 128}, {150, 0}, {50, 64}};
    for (const auto& [percent, level] : cases) {
        f_.unit->MesWinSetTransparency(percent);
        EXPECT_EQ(f_.unit->BackgroundLevel(), level) << percent;
    }
}

TEST_F(TextWindowTest, ClicksAndButtonsHandTheirCodes)
{
    f_.unit->MesWinOpen(true);
    f_.screen->MouseDown(mbRight, 0, 25 + 10, 303 + 10);
    f_.screen->MouseUp(mbRight, 0, 25 + 10, 303 + 10);
    f_.screen->MouseDown(mbLeft, 0, 25 + 300, 303 + 100);
    f_.screen->MouseUp(mbLeft, 0, 25 + 300, 303 + 100);
    // MesAuto at (552, 91) in the frame.
    f_.screen->MouseMove(0, 25 + 555, 303 + 95);
    f_.screen->MouseDown(mbLeft, 0, 25 + 555, 303 + 95);
    f_.screen->MouseUp(mbLeft, 0, 25 + 555, 303 + 95);
    f_.unit->NovelWinOpen(true); // the full-screen novel window lies above
    f_.screen->MouseDown(mbMiddle, 0, 300, 100);
    EXPECT_EQ(f_.codes, (std::vector<int>{2, 1, 15, 3}));
}

TEST_F(TextWindowTest, NovelWaitSignFollowsTheLastCharacter)
{
    f_.unit->NovelWinOpen(true);
    f_.unit->NovelWinNewLine();
    f_.unit->NovelWinNewLine();
    f_.unit->NovelWinSetText(Doubles(3), 0);
    f_.unit->NovelWinSetWaitSign(true);
    const TXeRGBPanel* sign = P("NovelWait");
    EXPECT_EQ(sign->OffsetX(), 60 + 60);
    EXPECT_EQ(sign->OffsetY(), 48 + 48);
    EXPECT_TRUE(sign->Visible());
    f_.unit->NovelWinSetWaitSign(false);
    EXPECT_FALSE(sign->Visible());
}

TEST_F(TextWindowTest, ClosingOrOpeningDoesNotLoseText)
{
    f_.unit->MesWinOpen(true);
    f_.unit->MesWinSetText(Doubles(4), 300);
    f_.unit->MesWinClose(false); // the row still printing is shown whole first
    for (int column = 0; column < 4; ++column)
        EXPECT_GT(Coverage(column), 0) << column;
    while (f_.unit->MesWinUpdate(1, false)) {
    }
    f_.unit->MesWinOpen(false);
    f_.unit->MesWinSetText(Doubles(2), 100); // ends the fade so that the text can be seen
    EXPECT_TRUE(P("MesText")->Visible());
    EXPECT_TRUE(P("MesAuto")->Visible());
    EXPECT_TRUE(f_.unit->MesWinIsOpen());
}
