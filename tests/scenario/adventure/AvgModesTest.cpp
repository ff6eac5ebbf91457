// AvgModes: when skipping and fast hold, the auto and skip buttons, and a click's effect.
#include "scenario/adventure/AvgModes.h"

#include <gtest/gtest.h>

namespace {

TEST(AvgModes, SkippingNeedsNoSubScreenAndNoNoSkip)
{
    struct Case {
        bool skip, ctrl, hurry, noSkip;
        int subScreen;
        bool skipping, fast;
    };
    const Case cases[] = {
        {false, false, false, false, 0, false, false}, {true, false, false, false, 0, true, true},
        {false, true, false, false, 0, true, true},    {false, false, true, false, 0, false, true},
        {false, true, false, true, 0, false, false},   {false, true, true, false, 1, false, false},
        {true, false, false, false, 3, false, false},
    };
    for (const Case& c : cases) {
        AvgModes modes;
        if (c.skip)
            modes.ToggleSkip(WaitState::Click);
        modes.SetCtrl(c.ctrl);
        modes.SetHurry(c.hurry);
        modes.SetSubScreen(c.subScreen);
        EXPECT_EQ(modes.Skipping(c.noSkip), c.skipping);
        EXPECT_EQ(modes.Fast(c.noSkip), c.fast);
    }
}

TEST(AvgModes, ButtonsToggleOnlyInTheWaitsThatAllowThem)
{
    AvgModes modes;
    EXPECT_TRUE(modes.ToggleAuto(WaitState::Timed));
    EXPECT_TRUE(modes.Auto());
    EXPECT_TRUE(modes.ToggleSkip(WaitState::TextPrinting));
    EXPECT_TRUE(modes.Skip());
    EXPECT_FALSE(modes.Auto()) << "one mode switches the other off";
    EXPECT_TRUE(modes.ToggleSkip(WaitState::Click));
    EXPECT_FALSE(modes.Skip());
    for (const WaitState state : {WaitState::Run, WaitState::StageChange, WaitState::Choice, WaitState::ExSel, WaitState::Movie}) {
        EXPECT_FALSE(modes.ToggleAuto(state));
        EXPECT_FALSE(modes.ToggleSkip(state));
    }
    EXPECT_FALSE(modes.Auto());
}

TEST(AvgModes, ClicksEndTheModesAndHurryTheWait)
{
    struct Case {
        WaitState state;
        bool keepsModes, hurries;
    };
    const Case cases[] = {
        {WaitState::Run, false, false},         {WaitState::Timed, false, true},  {WaitState::Click, false, true},
        {WaitState::StageChange, false, true},  {WaitState::TextPrinting, false, true}, {WaitState::ChoiceOpening, false, false},
        {WaitState::Choice, true, false},       {WaitState::ExSel, true, false},  {WaitState::ExSelDecided, false, true},
        {WaitState::Movie, false, false},
    };
    for (const Case& c : cases) {
        AvgModes modes;
        modes.ToggleAuto(WaitState::Click);
        modes.Click(c.state);
        EXPECT_EQ(modes.Auto(), c.keepsModes);
        EXPECT_EQ(modes.Hurry(), c.hurries);
    }
    AvgModes modes;
    modes.ToggleSkip(WaitState::Click);
    modes.SetCtrl(true);
    modes.Reset();
    EXPECT_FALSE(modes.Skip() || modes.Ctrl() || modes.Hurry());
}

} // namespace
