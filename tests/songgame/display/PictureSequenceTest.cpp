#include "songgame/display/PictureSequence.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

PictureEntry Entry(int frames, std::int32_t mode, std::int32_t duration = 2)
{
    PictureEntry entry;
    entry.frameCount = frames;
    entry.playMode = mode;
    entry.durations.fill(duration);
    return entry;
}

// The frames shown over `ticks` ticks, one tick a step.
std::vector<int> Frames(const PictureEntry& entry, bool loop, int ticks)
{
    std::vector<int> shown;
    std::int32_t state = 0, time = 0;
    for (int i = 0; i < ticks; ++i) {
        shown.push_back(state & SequenceFrameMask);
        ++time;
        StepSequence(entry, state, time, loop);
    }
    return shown;
}

} // namespace

TEST(PictureSequence, PlayModes)
{
    struct Case {
        std::int32_t mode;
        bool loop;
        std::vector<int> want; // one frame a tick, duration 1
    };
    const Case cases[] = {
        {pepTurn, true, {0, 1, 2, 1, 0, 0, 0, 0}},
        {pepRound, true, {0, 1, 2, 1, 0, 1, 2, 1}},
        {pepRound, false, {0, 1, 2, 1, 0, 0, 0, 0}},
        {pepPlain, true, {0, 1, 2, 0, 1, 2, 0, 1}},
        {pepPlain, false, {0, 1, 2, 2, 2, 2, 2, 2}},
        {pepOff, true, {0, 1, 2, 2, 2, 2, 2, 2}},
        {7, true, {0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Frames(Entry(3, c.mode, 1), c.loop, 8), c.want) << c.mode << c.loop;
}

TEST(PictureSequence, DurationsAndTheFinishedFlag)
{
    PictureEntry entry = Entry(3, pepTurn, 2);
    std::int32_t state = 0, time = 5; // a long step takes two frames at once
    EXPECT_TRUE(StepSequence(entry, state, time, false));
    EXPECT_EQ(state, 2);
    EXPECT_EQ(time, 1);
    state = 0;
    time = 100;
    StepSequence(entry, state, time, false);
    EXPECT_EQ(state, SequenceFinished);

    PictureEntry single = Entry(1, pepPlain, 3);
    state = 0;
    time = 3;
    EXPECT_FALSE(StepSequence(single, state, time, true));
    EXPECT_EQ(state, SequenceFinished);

    PictureEntry zero = Entry(2, pepPlain, 0); // each 0 frame first takes a tick off
    state = 0;
    time = 1;
    StepSequence(zero, state, time, true);
    EXPECT_EQ(time, -1);
    EXPECT_EQ(state, 1);

    PictureEntry negative = Entry(2, pepPlain, -5); // a bad duration cannot run away
    state = 0;
    time = 1;
    StepSequence(negative, state, time, true);
    EXPECT_LT(time, 0);
}
