// AvgWaits: what each wait state allows, and the frame on which timed and auto click waits end.
#include "scenario/adventure/AvgWaits.h"

#include <gtest/gtest.h>

namespace {

// Frames stepped one at a time until the step reports the end; 0 when it did not end in `limit`.
template <typename Step> int FramesUntil(Step step, int limit = 1000)
{
    for (int frame = 1; frame <= limit; ++frame)
        if (step())
            return frame;
    return 0;
}

TEST(AvgWaits, PermissionsFollowTheState)
{
    AvgWaits waits;
    EXPECT_FALSE(waits.MenuAllowed()) << "not before the first real wait";
    waits.Set(WaitState::Run);
    EXPECT_FALSE(waits.MenuAllowed());
    struct Case {
        WaitState state;
        bool hide, configure;
    };
    const Case cases[] = {
        {WaitState::Timed, false, false},  {WaitState::Click, true, true},        {WaitState::Choice, true, true},
        {WaitState::ExSel, false, true},   {WaitState::StageChange, false, false}, {WaitState::Movie, false, false},
    };
    for (const Case& c : cases) {
        waits.Set(c.state);
        EXPECT_EQ(waits.MayHideText(), c.hide);
        EXPECT_EQ(waits.MayOpenBacklog(), c.hide);
        EXPECT_EQ(waits.MayConfigure(), c.configure);
        EXPECT_EQ(waits.MaySaveOrLoad(), c.configure);
    }
    waits.Set(WaitState::Run);
    EXPECT_TRUE(waits.MenuAllowed()) << "allowed from the first wait on";
    waits.Reset();
    EXPECT_FALSE(waits.MenuAllowed());
}

TEST(AvgWaits, TimedWaitsEndOnAFixedFrame)
{
    struct Case {
        std::int64_t milliseconds;
        bool fast; // started while skipping: a one-frame wait
        int frame; // the update on which the script runs again
    };
    const Case cases[] = {
        {1000, false, 31}, {0, false, 2}, {10, false, 2}, {-5, false, 2}, {34, false, 2}, {1000, true, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.milliseconds);
        AvgWaits waits;
        waits.StartTimed(c.milliseconds, c.fast);
        EXPECT_EQ(waits.State(), WaitState::Timed);
        EXPECT_EQ(FramesUntil([&] { return waits.StepTimed(1, false); }), c.frame);
        EXPECT_EQ(waits.State(), WaitState::Run);
    }
    // Huge waits stay finite, several frames at once count, and fast ends any wait at once.
    AvgWaits waits;
    waits.StartTimed(INT64_C(1) << 40, false);
    EXPECT_EQ(waits.Countdown(), AvgWaits::NoEnd - 1);
    waits.StartTimed(1000, false);
    EXPECT_FALSE(waits.StepTimed(30, false));
    EXPECT_TRUE(waits.StepTimed(1, false));
    waits.StartTimed(1000, false);
    EXPECT_TRUE(waits.StepTimed(1, true));
}

TEST(AvgWaits, AutoModeCountsOnlyWhileNoVoicePlays)
{
    AvgWaits waits;
    waits.StartClick(2000);
    EXPECT_EQ(waits.State(), WaitState::Click);
    EXPECT_EQ(FramesUntil([&] { return waits.StepAuto(1, true); }, 500), 0) << "a playing voice holds the wait";
    EXPECT_EQ(FramesUntil([&] { return waits.StepAuto(1, false); }), 61) << "60 frames after the voice stopped";
    waits.StartClick(0);
    EXPECT_EQ(FramesUntil([&] { return waits.StepAuto(1, false); }), 2);
}

} // namespace
