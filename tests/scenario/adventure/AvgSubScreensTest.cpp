// AvgSubScreens on the real sub-windows: the hidden text windows, the backlog, the side menu with
// its buttons and the exit question, and which codes and keys fall back to a click.
#include "scenario/adventure/AvgSubScreens.h"

#include "graphics/panels/TXeRGBBtn.h"
#include "platform/host/VirtualKeys.h"
#include "scenario/adventure/AvgSubScreensFixture.h"

#include <gtest/gtest.h>

namespace {

using AvgSubTest::AvgSubScreensFixture;
using Calls = std::vector<std::string>;
using Phase = AvgSubScreens::Phase;

class AvgSubScreensTest : public AvgSubScreensFixture {
protected:
    void OpenBacklog()
    {
        Enter(WaitState::Click);
        ASSERT_TRUE(subs->OpenBacklog());
        ASSERT_TRUE(FramesUntil([this] { return subs->Backlog() == Phase::Open; }));
    }
    // Opens the side menu, presses button i with the mouse and lets the menu slide out again.
    void ChooseButton(int i)
    {
        ASSERT_TRUE(subs->OpenSideMenu());
        ASSERT_TRUE(FramesUntil([this] { return subs->SideMenu() == Phase::Open; }));
        SideMenuButton(i)->CallOnClick();
        ASSERT_EQ(subs->SideMenu(), Phase::Closing);
        ASSERT_TRUE(FramesUntil([this] { return subs->SideMenu() == Phase::Closed; }));
    }
    bool Enabled(int i) const { return static_cast<TXeRGBBtn*>(SideMenuButton(i))->Enabled(); }
};

TEST_F(AvgSubScreensTest, TheBacklogOpensOnItsLastPage)
{
    struct Case {
        int lines;
        bool emptyNewest;
        int view;
    };
    for (const Case c : {Case{10, false, 0}, Case{40, false, 24}, Case{40, true, 24}, Case{16, true, 0}, Case{17, false, 1}}) {
        SCOPED_TRACE(c.lines);
        ResetScreen();
        FillBacklog(c.lines, c.emptyNewest);
        Enter(WaitState::Click);
        ASSERT_TRUE(subs->OpenBacklog());
        EXPECT_EQ(subs->Backlog(), Phase::Opening);
        EXPECT_EQ(host.modes.SubScreen(), 1);
        EXPECT_EQ(subs->BacklogView(), c.view);
        EXPECT_EQ(windows->LogWinGetScrollPos(), c.view);
        EXPECT_EQ(BacklogRow(0), Line(c.view));
        EXPECT_EQ(BacklogRow(std::min(15, c.lines - 1 - c.view)), Line(std::min(c.view + 15, c.lines - 1)));
        if (c.lines - c.view < 16) {
            EXPECT_EQ(BacklogRow(c.lines - c.view), "") << "nothing below the last line";
        }
        ASSERT_TRUE(FramesUntil([this] { return subs->Backlog() == Phase::Open; }));
    }
}

TEST_F(AvgSubScreensTest, TheBacklogScrollsByKeysWheelAndItsOwnButtonsAndTakesClicks)
{
    FillBacklog(40, true);
    OpenBacklog();
    EXPECT_TRUE(subs->KeyDown(VK_UP));
    EXPECT_EQ(subs->BacklogView(), 23);
    EXPECT_TRUE(subs->Wheel(2)); // two notches towards the oldest
    EXPECT_EQ(subs->BacklogView(), 21);
    subs->Wheel(-1);
    EXPECT_EQ(subs->BacklogView(), 22);
    windows->LogWin().UpClick(); // the window's own arrow hands code 4
    EXPECT_EQ(subs->BacklogView(), 21);
    EXPECT_EQ(BacklogRow(0), Line(21));
    EXPECT_TRUE(subs->KeyDown(VK_DOWN));
    EXPECT_EQ(BacklogRow(15), Line(37));

    host.Click();
    subs->BacklogCode(1);
    EXPECT_EQ(host.calls, Calls{}) << "clicks on the backlog never reach the wait beneath";
    EXPECT_EQ(host.waits.State(), WaitState::Click);

    EXPECT_TRUE(subs->KeyDown(VK_SPACE));
    EXPECT_EQ(subs->Backlog(), Phase::Closing);
    EXPECT_EQ(host.modes.SubScreen(), 1);
    ASSERT_TRUE(FramesUntil([this] { return subs->Backlog() == Phase::Closed; }));
    EXPECT_EQ(host.modes.SubScreen(), 0);
    EXPECT_FALSE(windows->Panel("LogWin")->Visible());
}

TEST_F(AvgSubScreensTest, TheBacklogOpensOnlyInTheClickAndChoiceWaits)
{
    FillBacklog(3, false);
    struct Case {
        WaitState state;
        bool opens;
    };
    for (const Case c : {Case{WaitState::Run, false}, Case{WaitState::Timed, false}, Case{WaitState::TextPrinting, false},
                         Case{WaitState::ExSel, false}, Case{WaitState::Click, true}, Case{WaitState::Choice, true}}) {
        SCOPED_TRACE(static_cast<int>(c.state));
        ResetScreen();
        EXPECT_FALSE(subs->Wheel(-1)) << "no sub-screen: the wheel is the screen's";
        Enter(c.state);
        EXPECT_EQ(subs->OpenBacklog(), c.opens);
        EXPECT_EQ(subs->Backlog() != Phase::Closed, c.opens);
        EXPECT_EQ(subs->Wheel(-1), c.opens);
    }
}

TEST_F(AvgSubScreensTest, HiddenTextWindowsComeBackOnAClickOrKey)
{
    host.records.current.SetTextWindow(true);
    windows->MesWinOpen(true);
    windows->TimeWinOpen(true);
    Enter(WaitState::Click);

    ASSERT_TRUE(subs->HideText());
    EXPECT_EQ(subs->HiddenText(), Phase::Opening);
    EXPECT_EQ(host.modes.SubScreen(), 1);
    host.Click(); // while the windows still fade out
    EXPECT_EQ(subs->HiddenText(), Phase::Opening);
    ASSERT_TRUE(FramesUntil([this] { return subs->HiddenText() == Phase::Open; }));
    EXPECT_FALSE(windows->Panel("MesWin")->Visible());
    EXPECT_FALSE(windows->TimeWinIsReady());

    EXPECT_TRUE(subs->KeyDown(VK_RETURN));
    EXPECT_EQ(subs->HiddenText(), Phase::Closing);
    EXPECT_TRUE(windows->MesWinIsReady());
    ASSERT_TRUE(FramesUntil([this] { return subs->HiddenText() == Phase::Closed; }));
    EXPECT_TRUE(windows->TimeWinIsReady());
    EXPECT_EQ(host.modes.SubScreen(), 0);
    EXPECT_EQ(host.calls, Calls{}) << "the clicks went to the hidden text";

    Enter(WaitState::Timed);
    EXPECT_FALSE(subs->HideText()) << "text cannot hide in a timed wait";
    EXPECT_EQ(subs->HiddenText(), Phase::Closed);
}

TEST_F(AvgSubScreensTest, TheSideMenuCannotOpenBeforeTheFirstWait)
{
    EXPECT_FALSE(subs->OpenSideMenu());
    EXPECT_EQ(subs->SideMenu(), Phase::Closed);
    Enter(WaitState::Timed);
    Enter(WaitState::Run); // once allowed, the menu stays allowed
    EXPECT_TRUE(subs->OpenSideMenu());
    EXPECT_EQ(subs->SideMenu(), Phase::Opening);
    EXPECT_EQ(host.modes.SubScreen(), 2);
    EXPECT_FALSE(subs->OpenSideMenu()) << "not twice";
    host.Click();
    EXPECT_EQ(host.calls, Calls{}) << "the open menu takes clicks";
}

TEST_F(AvgSubScreensTest, SideMenuButtonsFollowTheWaitAndTheOpenSubScreens)
{
    struct Case {
        WaitState state;
        bool backlog; // the menu opened over the backlog
        std::array<bool, 9> enabled;
    };
    const Case cases[] = {
        {WaitState::Click, false, {true, true, true, true, true, true, true, true, true}},
        {WaitState::Timed, false, {false, true, true, false, false, false, false, true, true}},
        {WaitState::Choice, false, {true, false, false, true, true, true, true, true, true}},
        {WaitState::ExSel, false, {false, false, false, false, true, true, true, true, true}},
        {WaitState::Click, true, {false, false, false, false, true, true, true, true, true}},
    };
    FillBacklog(3, false);
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.state));
        ResetScreen();
        Enter(c.state);
        if (c.backlog) {
            subs->OpenBacklog();
            ASSERT_TRUE(FramesUntil([this] { return subs->Backlog() == Phase::Open; }));
        }
        ASSERT_TRUE(subs->OpenSideMenu());
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(Enabled(i), c.enabled[static_cast<std::size_t>(i)]) << i;
    }
    ResetScreen(); // the open menu follows a new wait state at once
    Enter(WaitState::Click);
    subs->OpenSideMenu();
    Enter(WaitState::Timed);
    EXPECT_FALSE(Enabled(0));
    EXPECT_TRUE(Enabled(1));
}

TEST_F(AvgSubScreensTest, SideMenuButtonsActOnceTheMenuHasClosed)
{
    Enter(WaitState::Click);
    ChooseButton(AvgSubScreens::kSkip);
    EXPECT_TRUE(host.modes.Skip());
    ChooseButton(AvgSubScreens::kAuto);
    EXPECT_TRUE(host.modes.Auto());
    EXPECT_FALSE(host.modes.Skip());
    ChooseButton(AvgSubScreens::kHideText);
    EXPECT_EQ(subs->HiddenText(), Phase::Opening);
    ASSERT_TRUE(FramesUntil([this] { return subs->HiddenText() == Phase::Open; }));
    host.Click();
    ASSERT_TRUE(FramesUntil([this] { return subs->HiddenText() == Phase::Closed; }));
    ChooseButton(AvgSubScreens::kBacklog);
    EXPECT_EQ(subs->Backlog(), Phase::Opening);
    ASSERT_TRUE(FramesUntil([this] { return subs->Backlog() == Phase::Open; }));
    subs->BacklogCode(6);
    ASSERT_TRUE(FramesUntil([this] { return subs->Backlog() == Phase::Closed; }));
    EXPECT_EQ(host.calls, Calls{});
    ChooseButton(AvgSubScreens::kTitle);
    EXPECT_EQ(host.calls, Calls{"result 0"});
}

TEST_F(AvgSubScreensTest, ExitAsksFirstOnlyWithExitConfirm)
{
    Enter(WaitState::Click);
    host.userConfig.ExitConfirm = 0;
    ChooseButton(AvgSubScreens::kExit);
    EXPECT_EQ(host.calls, Calls{"result 5"});
    EXPECT_FALSE(dialog->IsOpen());

    TakeCalls();
    host.userConfig.ExitConfirm = 1;
    ChooseButton(AvgSubScreens::kExit);
    EXPECT_TRUE(dialog->IsOpen());
    EXPECT_EQ(dialog->DlgWin()->Parent(), host.avgPanel);
    EXPECT_EQ(subs->Dialog(), Phase::Open);
    EXPECT_EQ(host.modes.SubScreen(), 2);
    EXPECT_TRUE(subs->KeyDown(VK_RETURN)) << "keys belong to the dialog";
    dialog->DlgWin()->MouseDown(mbRight, 0, 10, 10); // beside the buttons: nothing
    EXPECT_TRUE(dialog->IsOpen());
    dialog->DlgNo()->CallOnClick();
    EXPECT_FALSE(dialog->IsOpen());
    EXPECT_EQ(dialog->DlgWin()->Parent(), nullptr);
    EXPECT_EQ(host.modes.SubScreen(), 0);
    EXPECT_EQ(host.calls, Calls{});

    ChooseButton(AvgSubScreens::kExit);
    EXPECT_TRUE(subs->KeyDown(VK_ESCAPE));
    EXPECT_FALSE(dialog->IsOpen()) << "Escape answers no";
    EXPECT_EQ(host.calls, Calls{});

    ChooseButton(AvgSubScreens::kExit);
    dialog->DlgYes()->CallOnClick();
    EXPECT_EQ(host.calls, Calls{"result 5"});
    EXPECT_FALSE(dialog->IsOpen());
}

TEST_F(AvgSubScreensTest, KeysWorkTheOpenSideMenu)
{
    Enter(WaitState::Click);
    subs->OpenSideMenu();
    ASSERT_TRUE(FramesUntil([this] { return subs->SideMenu() == Phase::Open; }));
    EXPECT_TRUE(subs->KeyDown(VK_DOWN));
    EXPECT_TRUE(subs->KeyDown(VK_DOWN));
    EXPECT_TRUE(subs->KeyDown(VK_UP));
    EXPECT_EQ(windows->MenuWin().Hovered(), 1);
    EXPECT_TRUE(subs->KeyDown(VK_RETURN));
    ASSERT_TRUE(FramesUntil([this] { return subs->SideMenu() == Phase::Closed; }));
    EXPECT_TRUE(host.modes.Skip());

    subs->OpenSideMenu();
    ASSERT_TRUE(FramesUntil([this] { return subs->SideMenu() == Phase::Open; }));
    EXPECT_TRUE(subs->KeyDown(VK_ESCAPE)); // cancels
    ASSERT_TRUE(FramesUntil([this] { return subs->SideMenu() == Phase::Closed; }));
    EXPECT_TRUE(host.modes.Skip()) << "a cancelled menu does nothing";
    EXPECT_FALSE(subs->KeyDown(VK_RETURN)) << "no sub-screen: the screen's own key";
    EXPECT_FALSE(subs->KeyDown(VK_ESCAPE));
    EXPECT_EQ(host.calls, Calls{});
}

} // namespace
