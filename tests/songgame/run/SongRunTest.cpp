#include "songgame/run/SongRun.h"

#include <gtest/gtest.h>

#include <array>
#include <utility>
#include <vector>

namespace {

// A stage on a script: the music plays until told, the sections end when told.
struct ScriptedHost : SongRunHost {
    bool escape = false;
    bool keyDown = false;
    bool musicPlaying = false;
    bool beforeDone = true, afterDone = true;
    int gauge = 40;
    int continueAnswer = -1;
    std::array<int, SongRun::CurtainStrips> curtain{};
    int title = 56;
    std::vector<int> results, sections, reactions;
    int phaseChanges = 0, musicStarts = 0, stops = 0, judged = 0, animated = 0, backgrounds = 0;
    int displays = 0, blinks = 0, continues = 0, resets = 0, sheetClears = 0;

    bool ReadEscapeDown() override { return escape; }
    bool DrainKeysForAbort() override { return std::exchange(keyDown, false); }
    void SetCurtain(int strip, int block) override { curtain[static_cast<std::size_t>(strip)] = block; }
    void SetTitleOffset(int y) override { title = y; }
    void SetCaptionBlink() override { ++blinks; }
    void PhaseChanged() override { ++phaseChanges; }
    void SetSection(int section) override { sections.push_back(section); }
    bool RunEntries(int section) override { return section == 1 ? beforeDone : afterDone; }
    void StartMusic() override
    {
        ++musicStarts;
        musicPlaying = true;
    }
    bool MusicPlaying() override { return musicPlaying; }
    void StopMusic() override
    {
        ++stops;
        musicPlaying = false;
    }
    void BeginPerformance() override {}
    void DriftReaction(int) override {}
    void Judge(int) override { ++judged; }
    void SetReaction(int judgement) override { reactions.push_back(judgement); }
    int Gauge() override { return gauge; }
    void AnimateCharacters(int) override { ++animated; }
    void StepDisplay(int) override { ++displays; }
    void StepBackground(int) override { ++backgrounds; }
    void HideLyrics() override {}
    void ClearSheet() override { ++sheetClears; }
    void ShowContinue() override { ++continues; }
    int StepContinue(int) override { return continueAnswer; }
    void CloseContinue() override {}
    void ResetForContinue() override { ++resets; }
    void SetResult(int result) override { results.push_back(result); }
};

void Ticks(SongRun& run, int n)
{
    for (int i = 0; i < n; ++i)
        run.Step(1);
}

// A run stepped into the performance.
void ToPerformance(SongRun& run)
{
    run.Start();
    Ticks(run, 60 + 21 + 1 + 1);
    ASSERT_EQ(run.CurrentPhase(), SongRun::Perform);
}

} // namespace

TEST(SongRun, PhaseTimelineOfAClearedSong)
{
    ScriptedHost host;
    host.beforeDone = false;
    SongRun run(host, {});
    run.Start();
    Ticks(run, 60);
    EXPECT_EQ(run.SubState(), 0);
    EXPECT_EQ(host.title, 56);
    run.Step(1); // the first opening tick
    EXPECT_EQ(run.SubState(), 1);
    EXPECT_EQ(run.TickCount(), 1);
    run.Step(1);
    EXPECT_EQ(host.curtain[17], 1);
    EXPECT_EQ(host.curtain[18], 2);
    EXPECT_EQ(host.title, 56 - 32);
    run.Step(1);
    EXPECT_EQ(host.curtain[16], 1);
    EXPECT_EQ(host.curtain[17], 2);
    EXPECT_EQ(host.curtain[18], -1);
    Ticks(run, 13);
    EXPECT_EQ(host.title, 56 - 16 * 16);
    run.Step(1);
    EXPECT_EQ(host.title, -1);
    Ticks(run, 4);
    EXPECT_EQ(run.CurrentPhase(), SongRun::Opening);
    for (const int block : host.curtain)
        EXPECT_EQ(block, -1); // all open
    run.Step(1);
    EXPECT_EQ(run.CurrentPhase(), SongRun::Before);
    EXPECT_EQ(host.sections, (std::vector<int>{1}));

    Ticks(run, 5); // [Before] still running
    EXPECT_EQ(host.musicStarts, 0);
    host.beforeDone = true;
    run.Step(1);
    EXPECT_EQ(run.CurrentPhase(), SongRun::Perform);
    EXPECT_EQ(host.musicStarts, 1);
    EXPECT_EQ(host.sections, (std::vector<int>{1, 2}));
    run.Step(1);
    EXPECT_EQ(host.judged, 1);

    host.musicPlaying = false; // the stream ended
    run.Step(1);
    EXPECT_EQ(run.CurrentPhase(), SongRun::After);
    EXPECT_EQ(host.sections, (std::vector<int>{1, 2, 3}));
    run.Step(1);
    EXPECT_EQ(run.CurrentPhase(), SongRun::Closing);
    Ticks(run, 20);
    EXPECT_EQ(host.curtain[18], 1);
    EXPECT_EQ(host.curtain[17], 0);
    run.Step(1);
    EXPECT_EQ(host.curtain[18], 0);
    EXPECT_TRUE(host.results.empty());
    run.Step(1);
    EXPECT_EQ(host.results, (std::vector<int>{SongCleared}));
    EXPECT_EQ(run.CurrentPhase(), SongRun::Idle);
}

TEST(SongRun, GaugeDecidesTheEnd)
{
    struct Case {
        int gauge, answer, result;
    };
    const Case cases[] = {{40, -1, SongCleared}, {39, 0, SongFailed}, {0, 0, SongFailed}};
    for (const Case& c : cases) {
        ScriptedHost host;
        host.gauge = c.gauge;
        host.continueAnswer = c.answer;
        SongRun run(host, {});
        ToPerformance(run);
        host.musicPlaying = false;
        Ticks(run, 30);
        EXPECT_EQ(host.continues, c.gauge < 40 ? 1 : 0) << c.gauge;
        EXPECT_EQ(host.results, (std::vector<int>{c.result})) << c.gauge;
    }
}

TEST(SongRun, ContinueYesPlaysAgainFromTheStart)
{
    ScriptedHost host;
    host.gauge = 39;
    SongRun run(host, {});
    ToPerformance(run);
    host.musicPlaying = false;
    Ticks(run, 4);
    EXPECT_EQ(run.CurrentPhase(), SongRun::Continue);
    host.continueAnswer = 1;
    run.Step(1);
    EXPECT_EQ(run.CurrentPhase(), SongRun::Perform);
    EXPECT_EQ(host.resets, 1);
    EXPECT_EQ(host.musicStarts, 2);
    EXPECT_EQ(host.sections.back(), 2);
}

TEST(SongRun, EscapeHeldForMoreThanThirtyTicksAborts)
{
    ScriptedHost host;
    SongRun run(host, {});
    run.Start();
    host.escape = true;
    Ticks(run, 29);
    host.escape = false;
    run.Step(1); // released: the count starts again
    host.escape = true;
    Ticks(run, 30);
    EXPECT_TRUE(host.results.empty());
    run.Step(1);
    EXPECT_EQ(host.results, (std::vector<int>{SongAborted}));
    EXPECT_EQ(run.CurrentPhase(), SongRun::Idle);
    Ticks(run, 40); // held on after the end: nothing more
    EXPECT_EQ(host.results.size(), 1u);
}

TEST(SongRun, AbortPerPhase)
{
    // The phases are reached and held by the script; Escape is then held for 31 ticks.
    for (const SongRun::Phase phase : {SongRun::Opening, SongRun::Before, SongRun::Perform,
                                       SongRun::After, SongRun::Continue}) {
        ScriptedHost host;
        host.gauge = 10;
        host.beforeDone = phase != SongRun::Before;
        host.afterDone = phase != SongRun::After;
        SongRun run(host, {});
        run.Start();
        for (int i = 0; i < 200 && run.CurrentPhase() != phase; ++i) {
            run.Step(1);
            if (run.CurrentPhase() == SongRun::Perform && phase != SongRun::Perform)
                host.musicPlaying = false;
        }
        ASSERT_EQ(run.CurrentPhase(), phase);
        host.escape = true;
        Ticks(run, 30);
        EXPECT_TRUE(host.results.empty());
        run.Step(1);
        if (phase == SongRun::Perform) {
            EXPECT_TRUE(host.results.empty());
            EXPECT_EQ(run.CurrentPhase(), SongRun::Closing);
            Ticks(run, 21);
        }
        EXPECT_EQ(host.results, (std::vector<int>{SongAborted})) << int(phase);
        EXPECT_EQ(host.sheetClears, 1);
        EXPECT_EQ(host.reactions.back(), 1);
        EXPECT_FALSE(host.musicPlaying);
    }
}

TEST(SongRun, DemonstrationAbortsOnAnyKey)
{
    for (const int ticks : {10, 100}) {
        ScriptedHost host;
        SongRun run(host, {2, true, true});
        run.Start();
        Ticks(run, ticks);
        host.keyDown = true;
        run.Step(1);
        Ticks(run, 25); // an abort in the performance closes the curtain first
        EXPECT_EQ(host.results, (std::vector<int>{SongAborted})) << ticks;
    }
    ScriptedHost host; // in play mode keys do not abort
    SongRun run(host, {});
    run.Start();
    host.keyDown = true;
    run.Step(1);
    EXPECT_TRUE(host.results.empty());
}

TEST(SongRun, ElapsedZeroMovesNothing)
{
    ScriptedHost host;
    SongRun run(host, {1, true, true});
    run.Start();
    for (int i = 0; i < 100; ++i)
        run.Step(0);
    EXPECT_EQ(run.CurrentPhase(), SongRun::Opening);
    EXPECT_EQ(run.TickCount(), 0);
    EXPECT_EQ(host.animated, 0);
    EXPECT_EQ(host.backgrounds, 0);
    EXPECT_EQ(host.blinks, 0);
    EXPECT_EQ(host.displays, 100);
    Ticks(run, 16);
    EXPECT_EQ(host.blinks, 1);
}

TEST(SongRun, StageOptionsSpareOnlyThePerformance)
{
    ScriptedHost host;
    SongRun run(host, {0, false, false});
    ToPerformance(run);
    const int animated = host.animated, backgrounds = host.backgrounds;
    Ticks(run, 5);
    EXPECT_EQ(host.animated, animated);
    EXPECT_EQ(host.backgrounds, backgrounds);
    EXPECT_GT(animated, 0);
}

TEST(SongRun, CurtainBlocksPerTickOnClosing)
{
    ScriptedHost host;
    host.gauge = 50;
    SongRun run(host, {});
    ToPerformance(run);
    host.musicPlaying = false;
    Ticks(run, 2); // into the closing
    ASSERT_EQ(run.CurrentPhase(), SongRun::Closing);
    run.Step(1);
    EXPECT_EQ(host.curtain[0], 2);
    run.Step(2);
    EXPECT_EQ(host.curtain[0], 0);
    EXPECT_EQ(host.curtain[1], 1);
    EXPECT_EQ(host.curtain[2], 2);
}
