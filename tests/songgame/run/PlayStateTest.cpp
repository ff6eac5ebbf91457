#include "songgame/run/PlayState.h"

#include <gtest/gtest.h>

TEST(PlayState, ScoreTable)
{
    struct Case {
        std::int32_t gauge, combo;
        std::uint32_t score;
        int judgement;
        std::uint32_t wantScore;
        std::int32_t wantCombo;
    };
    const Case cases[] = {
        {59, 9, 0, JudgeBest, 311, 10},         // full gauge: 20 x 10 + 111
        {58, 9, 0, JudgeBest, 215, 10},         // 20 x 10 + 15
        {20, 10, 0, JudgeBest, 215, 10},        // the combo stays at 10
        {20, 0, 0, JudgeBest, 35, 1},
        {20, 7, 100, JudgeGood, 108, 0},
        {20, 7, 100, JudgePoor, 100, 0},
        {20, 7, 100, JudgeMiss, 100, 0},
        {58, 9, 999'999'900, JudgeBest, 999'999'999, 10}, // cut at the cap
        {20, 0, 999'999'999, JudgeGood, 999'999'999, 0},
    };
    for (const Case& c : cases) {
        PlayState play;
        play.gauge = c.gauge;
        play.combo = c.combo;
        play.score = c.score;
        play.AddScore(c.judgement);
        EXPECT_EQ(play.score, c.wantScore) << c.gauge << " " << c.combo << " " << c.judgement;
        EXPECT_EQ(play.combo, c.wantCombo);
        EXPECT_EQ(play.gauge, c.gauge);
    }
}

TEST(PlayState, GaugeTableHeldWithinItsRange)
{
    struct Case {
        std::int32_t gauge;
        int judgement;
        std::int32_t want;
    };
    const Case cases[] = {{20, JudgeBest, 21}, {20, JudgeGood, 20}, {20, JudgePoor, 19},
                          {20, JudgeMiss, 19}, {0, JudgeMiss, 0},   {59, JudgeBest, 59},
                          {0, JudgeBest, 1},   {59, JudgeMiss, 58}};
    for (const Case& c : cases) {
        PlayState play;
        play.gauge = c.gauge;
        play.AddGauge(c.judgement);
        EXPECT_EQ(play.gauge, c.want) << c.gauge << " " << c.judgement;
    }
}

TEST(PlayState, ReactionDriftsBackOneStepEveryFourTicks)
{
    PlayState play;
    play.SetReaction(JudgeBest);
    EXPECT_EQ(play.reaction, 6);
    play.DriftReaction(3);
    EXPECT_EQ(play.reaction, 6);
    play.DriftReaction(1);
    EXPECT_EQ(play.reaction, 5);
    play.DriftReaction(0);
    EXPECT_EQ(play.reaction, 5);
    play.DriftReaction(100); // stops at neutral
    EXPECT_EQ(play.reaction, 2);
    EXPECT_EQ(play.driftTicks, 0);

    play.SetReaction(JudgeMiss);
    play.DriftReaction(2);
    play.SetReaction(JudgeMiss); // no change: the drift keeps its ticks
    play.DriftReaction(2);
    EXPECT_EQ(play.reaction, 1);
    play.SetReaction(JudgeGood); // a change restarts the drift
    EXPECT_EQ(play.reaction, 4);
    EXPECT_EQ(play.driftTicks, 0);
}

TEST(PlayState, GaugeBlocks)
{
    struct Case {
        int gauge, glow, i, want;
    };
    const Case big[] = {
        {20, 0, 1, 6}, {20, 0, 2, 2}, {39, 3, 3, 3},  {39, 3, 2, 7},  {40, 0, 3, 8},
        {40, 1, 3, 13}, {40, 2, 3, 18}, {40, 3, 3, 13}, {40, 0, 4, 4}, {59, 2, 4, 19},
        {0, 0, 0, 0},
    };
    for (const Case& c : big)
        EXPECT_EQ(BigPopBlock(c.gauge, c.glow, c.i), c.want) << c.gauge << " " << c.glow << " " << c.i;
    const Case small[] = {{20, 0, 0, 10}, {20, 0, 1, 1}, {27, 0, 7, 17}, {27, 0, 8, 8}, {59, 0, 9, 19}};
    for (const Case& c : small)
        EXPECT_EQ(SmallPopBlock(c.gauge, c.i), c.want) << c.gauge << " " << c.i;
}

TEST(PlayState, ScoreDigitsHideLeadingZeros)
{
    struct Case {
        std::uint32_t score;
        int k, block;
        bool visible;
    };
    const Case cases[] = {{0, 0, 0, true},          {0, 1, 0, false},         {305, 1, 0, true},
                          {305, 2, 3, true},        {305, 3, 0, false},       {999'999'999, 8, 9, true},
                          {100'000'000, 7, 0, true}, {99'999'999, 8, 0, false}};
    for (const Case& c : cases) {
        const ScoreDigitLook look = ScoreDigit(c.score, c.k);
        EXPECT_EQ(look.block, c.block) << c.score << " " << c.k;
        EXPECT_EQ(look.visible, c.visible) << c.score << " " << c.k;
    }
}
