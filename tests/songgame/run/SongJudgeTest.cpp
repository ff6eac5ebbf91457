#include "songgame/run/SongJudge.h"

#include "songgame/chart/ChartReader.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct RecordingActions : JudgeActions {
    std::vector<int> sounds, lyrics;
    int shakes = 0;
    void PlayKeySound(int sound) override { sounds.push_back(sound); }
    void ShowLyric(int text) override { lyrics.push_back(text); }
    void ShakeCharacters() override { ++shakes; }
};

TMusicNote Note(std::uint32_t time, int sound, int lane, bool autoPlay = false, int text = -1)
{
    return {time, 0, sound, lane, text, static_cast<std::uint8_t>(autoPlay), 0, 0};
}

struct Fixture {
    std::vector<TMusicNote> notes;
    PlayState play;
    RecordingActions actions;
    SongJudge judge;
    explicit Fixture(std::vector<TMusicNote> n) : notes(std::move(n)), judge(notes, play, actions) {}
};

} // namespace

TEST(SongJudge, WindowAtItsExactBordersOnBothSides)
{
    constexpr std::uint32_t T = 1'000'000;
    struct Case {
        std::uint32_t now, prev;
        int want; // the press's judgement; -1: missed by the scan itself
    };
    const Case cases[] = {
        {T - 1764, T - 1764, JudgeBest}, {T - 1765, T - 1765, JudgeGood},
        {T - 7056, T - 7056, JudgeGood}, {T - 7057, T - 7057, JudgePoor},
        {T - 14112, T - 14112, JudgePoor}, {T - 14113, T - 14113, JudgeMiss}, // not in reach yet
        {T, T - 1, JudgeBest},                                                 // falls due now
        {T + 1763, T + 1763, JudgeBest}, {T + 1764, T + 1764, JudgeGood},      // late: prev - t + 1
        {T + 7056, T + 7056, JudgePoor}, {T + 14111, T + 14111, JudgePoor},
        {T + 14112, T + 14112, -1},
    };
    for (const Case& c : cases) {
        Fixture f({Note(T, 7, 3)});
        f.judge.Scan(c.now, c.prev);
        if (c.want < 0) {
            EXPECT_EQ(f.notes[0].state, 1) << c.now - T;
            EXPECT_EQ(f.play.gauge, 19);
            continue;
        }
        EXPECT_EQ(f.judge.Candidate(3), c.want == JudgeMiss ? -1 : 0) << int(c.now - T);
        f.judge.HitLane(3);
        const std::int32_t gauge[] = {19, 19, 20, 21};
        EXPECT_EQ(f.play.gauge, gauge[c.want]) << int(c.now - T);
        EXPECT_EQ(f.play.reaction, c.want >= JudgeGood ? 2 * c.want : 0) << int(c.now - T);
        EXPECT_EQ(f.notes[0].state, c.want == JudgeMiss ? 0 : SongJudge::StruckState);
    }
}

TEST(SongJudge, TiesKeepTheEarlierNoteAndABetterOneWins)
{
    Fixture f({Note(10'000, 1, 2), Note(10'000 + 2 * 1000, 2, 2), Note(30'000, 3, 5), Note(31'000, 4, 5)});
    f.judge.Scan(11'000, 11'000);
    EXPECT_EQ(f.judge.Candidate(2), 0);  // both best, the earlier wins
    f.judge.Scan(29'000, 29'000);
    EXPECT_EQ(f.judge.Candidate(5), 2); // best at 1,000 before good at 2,000
    f.judge.Scan(32'000, 32'000);
    EXPECT_EQ(f.judge.Candidate(5), 3); // good 2,001 behind, then best 1,001 behind
}

TEST(SongJudge, OnePressPerLaneAndFrame)
{
    Fixture f({Note(10'000, 4, 1), Note(10'100, 5, 1), Note(10'000, 6, 6)});
    f.judge.Scan(10'000, 9'000);
    f.judge.HitLane(1);
    f.judge.HitLane(1);
    f.judge.HitLane(6);
    EXPECT_EQ(f.actions.sounds, (std::vector<int>{4, 6}));
    EXPECT_EQ(f.play.combo, 2);
    EXPECT_EQ(f.notes[1].state, 0);
    f.judge.HitLane(30);  // no such lane: nothing
    f.judge.HitLane(-1);
    EXPECT_EQ(f.play.combo, 2);
    f.judge.Scan(10'100, 10'000); // the next frame takes the next press
    f.judge.HitLane(1);
    EXPECT_EQ(f.notes[1].state, SongJudge::StruckState);
    EXPECT_EQ(f.play.score, 35u + 55u + 75u);
}

TEST(SongJudge, PressWithoutANoteIsAMissThatRepeatsTheLastSound)
{
    Fixture f({Note(100'000, 9, 0)});
    f.judge.Scan(0, 0);
    f.judge.HitLane(0);
    EXPECT_TRUE(f.actions.sounds.empty());
    EXPECT_EQ(f.play.gauge, 19);
    EXPECT_EQ(f.actions.shakes, 1);
    f.judge.Scan(100'000, 99'000);
    f.judge.HitLane(0);
    f.judge.Scan(200'000, 100'000);
    f.judge.HitLane(0);
    EXPECT_EQ(f.actions.sounds, (std::vector<int>{9, 9}));
    f.judge.SetShakeOnMiss(false);
    f.judge.Scan(200'001, 200'000);
    f.judge.HitLane(0);
    EXPECT_EQ(f.actions.shakes, 2);
}

TEST(SongJudge, MissedNotesCountOnceAndMoveTheFirstPendingNote)
{
    Fixture f({Note(1000, 1, 0), Note(2000, 2, 1), Note(900'000, 3, 2)});
    f.judge.Scan(100'000, 50'000);
    EXPECT_EQ(f.play.gauge, 18);
    EXPECT_EQ(f.play.reaction, 0);
    EXPECT_EQ(f.judge.LastSound(), 2);
    EXPECT_EQ(f.actions.shakes, 2);
    f.judge.Scan(100'000, 100'000);
    f.judge.Scan(200'000, 100'000);
    EXPECT_EQ(f.play.gauge, 18);
    EXPECT_EQ(f.judge.FirstPending(), 2);
}

TEST(SongJudge, AutomaticNotesPlayOnceAtTheirTimeEvenWhenTheClockRepeats)
{
    Fixture f({Note(1000, 1, 0, true), Note(5000, 2, 3, true)});
    f.judge.Scan(999, 0);
    EXPECT_TRUE(f.actions.sounds.empty());
    f.judge.Scan(1000, 999);
    f.judge.Scan(1000, 999); // the same frame's clock read again
    f.judge.Scan(1000, 1000);
    f.judge.HitLane(0);      // never a candidate: a press is a miss
    f.judge.Scan(5000, 1000);
    EXPECT_EQ(f.actions.sounds, (std::vector<int>{1, 1, 2}));
    EXPECT_EQ(f.play.gauge, 21); // +1 +1 for the notes, -1 for the press
    EXPECT_EQ(f.play.score, 0u);
    EXPECT_EQ(f.notes[1].state, SongJudge::StruckState);
}

TEST(SongJudge, LyricFinishesItsNoteWhenDue)
{
    Fixture f({Note(1000, -1, -1, false, 0), Note(2000, 4, 2, false, 12)});
    f.judge.Scan(1000, 0);
    EXPECT_EQ(f.actions.lyrics, (std::vector<int>{0}));
    f.judge.Scan(2000, 1000);
    EXPECT_EQ(f.actions.lyrics, (std::vector<int>{0, 12}));
    EXPECT_EQ(f.notes[1].state, 1);
    EXPECT_EQ(f.judge.Candidate(2), -1);
    f.judge.Scan(100'000, 2000); // far past: not counted as a miss
    EXPECT_EQ(f.play.gauge, 20);
}

TEST(SongJudge, HitLampLightsForThreeFramesNearASound)
{
    Fixture f({Note(10'000, 1, 0, true)});
    f.judge.Scan(10'000 - 1765, 0);
    EXPECT_FALSE(f.judge.StepHitLamp());
    f.judge.Scan(10'000 - 1764, 0);
    EXPECT_TRUE(f.judge.StepHitLamp());
    EXPECT_TRUE(f.judge.StepHitLamp());
    EXPECT_TRUE(f.judge.StepHitLamp());
    EXPECT_FALSE(f.judge.StepHitLamp());
}

TEST(SongJudge, KeyLanesPerDifficulty)
{
    struct Case {
        std::uint32_t code;
        int normal, hard, easy;
    };
    const Case cases[] = {
        {0x1E, 0, 0, -1},   {0x20, 2, 2, 2},    {0x21, 3, 3, 3},    {0x22, -1, 8, -1},
        {0x23, -1, 9, -1},  {0x24, 4, 4, 4},    {0x25, 5, 5, 5},    {0x27, 7, 7, -1},
        {0x10, -1, 10, -1}, {0x19, -1, 17, -1}, {0x14, -1, 18, -1}, {0x2C, -1, 20, -1},
        {0x35, -1, 27, -1}, {0x31, -1, 29, -1}, {0x01, -1, -1, -1}, {0x28, -1, -1, -1},
        {0x1A, -1, -1, -1}, {0xB7, -1, -1, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(KeyPressLane(c.code, 0), c.normal) << std::hex << c.code;
        EXPECT_EQ(KeyPressLane(c.code, RankHard), c.hard) << std::hex << c.code;
        EXPECT_EQ(KeyPressLane(c.code, RankEasy), c.easy) << std::hex << c.code;
    }
}

TEST(SongJudge, JoystickLanesPassTheSameFilter)
{
    for (int lane = 0; lane < 8; ++lane) {
        EXPECT_TRUE(LaneAllowed(lane, 0));
        EXPECT_TRUE(LaneAllowed(lane, RankHard));
        EXPECT_EQ(LaneAllowed(lane, RankEasy), lane >= 2 && lane <= 5) << lane;
    }
    EXPECT_FALSE(LaneAllowed(8, 0));
    EXPECT_TRUE(LaneAllowed(29, RankHard));
    EXPECT_FALSE(LaneAllowed(30, RankHard));
}
