// AvgTalking: the talking animation's countdown and when the stage is told to show or stop it.
#include "scenario/adventure/AvgTalking.h"

#include <gtest/gtest.h>

namespace {

TEST(AvgTalking, CountdownRunsOutInFrames)
{
    AvgTalking talking;
    talking.Start(100); // 3 frames
    EXPECT_EQ(talking.Update(false, false), true);
    EXPECT_EQ(talking.Update(false, false), std::nullopt) << "only changes are reported";
    talking.Count(2);
    EXPECT_EQ(talking.Update(false, false), std::nullopt);
    talking.Count(5);
    EXPECT_EQ(talking.Countdown(), 0);
    EXPECT_EQ(talking.Update(false, false), false);
    EXPECT_TRUE(talking.On()) << "still on: a voice or printing shows it again";
    EXPECT_EQ(talking.Update(true, false), true);

    talking.Start(1);
    EXPECT_EQ(talking.Countdown(), 1) << "at least one frame";
    talking.Start(2'000'000'000);
    EXPECT_EQ(talking.Countdown(), 60'000'000);
}

TEST(AvgTalking, WithoutCountdownOnlyWhileAVoicePlaysOrTextPrints)
{
    struct Case {
        bool voice, printing, shown;
    };
    const Case cases[] = {{false, false, false}, {true, false, true}, {false, true, true}, {true, true, true}};
    for (const Case& c : cases) {
        AvgTalking talking;
        talking.Start(0);
        talking.Update(c.voice, c.printing);
        EXPECT_EQ(talking.Shown(), c.shown);
        talking.Stop();
        talking.Update(c.voice, c.printing);
        EXPECT_FALSE(talking.Shown()) << "stopped talking is never shown";
    }
}

} // namespace
