#include "game/thread/TCommonThread.h"

#include "shell/GameExceptions.h"
#include "shell/GameGlobals.h"
#include "tests/game/thread/ThreadFixture.h"

namespace {

using namespace GameTest;

class TCommonThreadTest : public ThreadFixture {
protected:
    bool SystemSaveWritten() const { return std::filesystem::exists(folder.Path() / "TVQESys.sav"); }
    bool SettingsWritten() const { return std::filesystem::exists(folder.Path() / "Tvqe.ini"); }
};

TEST_F(TCommonThreadTest, TheEndOfTheGameReleasesTheDialogThenWritesTheSystemSaveAndTheSettings)
{
    auto thread = MakeThread<CommonThread>();
    thread->body = [](CommonThread& t) { t.AbortGame(); };
    thread->Execute();
    EXPECT_EQ(log, (Log{"dialog Initialize", "dialog Finalize", "dialog delete", "save system", "save settings"}));
    EXPECT_TRUE(SystemSaveWritten());
    EXPECT_TRUE(SettingsWritten());
    EXPECT_EQ(form->GetState(), fsClosing);
    EXPECT_EQ(closes, 1);
}

TEST_F(TCommonThreadTest, ABrokenGameClosesWithoutSaving)
{
    auto thread = MakeThread<CommonThread>();
    thread->body = [](CommonThread&) { throw EGameErr(); };
    thread->Execute();
    EXPECT_EQ(log, (Log{"dialog Initialize", "dialog Finalize", "dialog delete"}));
    EXPECT_FALSE(SystemSaveWritten());
    EXPECT_FALSE(SettingsWritten());
    EXPECT_EQ(closes, 1);
}

TEST_F(TCommonThreadTest, ADialogThatCannotBeMadeOrSetUpEndsTheGameBeforeTheMainProgram)
{
    for (const char* how : {"missing", "failing"}) {
        log.clear();
        auto thread = MakeThread<CommonThread>();
        (std::string(how) == "missing" ? maker->missing : maker->failing).insert("dialog");
        bool ran = false;
        thread->body = [&](CommonThread&) { ran = true; };
        thread->Execute();
        EXPECT_FALSE(ran) << how;
        EXPECT_EQ(log.back(), "save settings") << how;
        EXPECT_EQ(Count("dialog Finalize"), std::string(how) == "missing" ? 0u : 1u) << how;
    }
}

TEST_F(TCommonThreadTest, EndAdventureTurnsTheResultIntoTheNextRequest)
{
    auto thread = MakeThread<CommonThread>();
    const struct {
        int result;
        std::int8_t request;
        bool finished;
    } cases[] = {{0, 0, true}, {1, 1, false}, {2, 2, false}, {3, 3, false}, {4, 4, false}, {6, 0, true}, {-1, 0, true}};
    for (const auto& c : cases) {
        thread->SetAdventureFinished(false);
        thread->SetResultValue(c.result);
        thread->EndAdventure();
        EXPECT_EQ(thread->Request(), c.request) << c.result;
        EXPECT_EQ(thread->AdventureFinished(), c.finished) << c.result;
    }
    thread->SetResultValue(5);
    EXPECT_THROW(thread->EndAdventure(), EGameEnd) << "5 ends the game";
    EXPECT_TRUE(thread->Terminated());
}

TEST_F(TCommonThreadTest, EndAdventureWithTheScreenStillRunningRunsTheLoopAgain)
{
    auto thread = MakeThread<CommonThread>();
    thread->CreateScreens();
    maker->adventure->running = true;
    thread->SetResultValue(1);
    thread->EndAdventure();
    EXPECT_EQ(thread->Request(), 0);
    EXPECT_FALSE(thread->AdventureFinished());
    thread->ReleaseScreens();
}

TEST_F(TCommonThreadTest, ScreensAreMadeAndSetUpInOrderAndAFailureReleasesThemAll)
{
    auto thread = MakeThread<CommonThread>();
    thread->CreateScreens();
    thread->CreateScreens(); // made already: nothing
    EXPECT_TRUE(thread->ScreensMade());
    thread->ReleaseScreens();
    EXPECT_EQ(log, (Log{"adventure Initialize", "config Initialize", "save Initialize", "movie Initialize",
                        "adventure Finalize", "config Finalize", "save Finalize", "movie Finalize", "adventure delete",
                        "config delete", "save delete", "movie delete"}));

    log.clear();
    maker->failing.insert("save");
    EXPECT_THROW(thread->CreateScreens(), EGameEnd);
    EXPECT_FALSE(thread->ScreensMade());
    EXPECT_EQ(Count("movie Initialize"), 0u) << "set-up stops at the first failure";
    EXPECT_EQ(Count("movie Finalize"), 1u) << "what was made is released";
    EXPECT_EQ(maker->adventure, nullptr);
}

TEST_F(TCommonThreadTest, AScreenThatCannotBeMadeDeletesTheOthersUnprepared)
{
    auto thread = MakeThread<CommonThread>();
    maker->missing.insert("movie");
    EXPECT_THROW(thread->CreateScreens(), EGameEnd);
    EXPECT_EQ(Count("adventure Initialize"), 0u);
    EXPECT_EQ(Count("adventure delete"), 1u);
}

// The song's results by its thread result and the auto mode it was asked for.
TEST_F(TCommonThreadTest, RunMusicResultTable)
{
    const struct {
        bool setup;
        int result;
        std::uint8_t autoMode;
        std::uint8_t forced;
        int gauge;
        int score;
        std::uint8_t playedAuto;
    } cases[] = {
        {true, 0, 0, 0, 40, 1234, 0}, // cleared
        {true, 1, 0, 0, 40, 0, 0},    // failed
        {true, 2, 0, 0, 0, 0, 0},     // aborted
        {true, 2, 1, 0, 59, 0, 1},    // aborted in auto mode: the full gauge
        {true, 2, 2, 0, 0, 0, 2},     // the demo
        {true, 0, 0, 1, 40, 1234, 1}, // forced auto plays itself; the results are the argument's
        {true, 2, 0, 1, 0, 0, 1},
        {false, 0, 0, 0, 40, 0, 0},   // no set-up: result 1, the screen's gauge
    };
    for (const auto& c : cases) {
        log.clear();
        MusicForceAuto = c.forced;
        auto thread = MakeThread<CommonThread>();
        maker->musicSetup = c.setup;
        maker->musicResult = c.result;
        std::int32_t gauge = -1;
        std::int32_t score = -1;
        thread->body = [&](CommonThread& t) { t.RunMusic(0, c.autoMode, &gauge, &score, 0, StringToTag4("TV07")); };
        thread->Execute();
        MusicForceAuto = 0;
        const std::string row = std::to_string(c.result) + "/" + std::to_string(c.autoMode) + (c.setup ? "" : " no set-up");
        EXPECT_EQ(gauge, c.gauge) << row;
        EXPECT_EQ(score, c.score) << row;
        EXPECT_EQ(maker->options.autoMode, c.playedAuto) << row;
        EXPECT_EQ(Count("music Start"), c.setup ? 1u : 0u) << row;
        const std::size_t stop = Find("music Stop");
        ASSERT_NE(stop, std::string::npos) << row;
        EXPECT_EQ(log[stop + 1], "music Release") << row;
        EXPECT_EQ(log[stop + 2], "music delete") << row;
    }
}

TEST_F(TCommonThreadTest, RunMusicHandsTheSettingsToTheSongScreen)
{
    auto thread = MakeThread<CommonThread>();
    TUserConfig& config = thread->Records().config;
    config.MusicTimingMode = 0;
    config.VolumeMainPlay = 80;
    config.VolumeKeyboard = 60;
    config.MusicWordMode = 2;
    config.MusicAnime = 0;
    MusicMemorySave = 1;
    thread->body = [](CommonThread& t) { t.RunMusic(1, 0, nullptr, nullptr, 3, StringToTag4("TV12")); };
    thread->Execute();
    MusicMemorySave = 0;
    MusicOptions expected;
    expected.timingMode = 0;
    expected.musicVolume = 80;
    expected.keyVolume = 60;
    expected.rankMode = 1;
    expected.wordMode = 2;
    expected.anime = 0;
    expected.autoMode = 0;
    expected.memorySave = 1;
    expected.pack = 3;
    EXPECT_EQ(maker->options, expected);
    EXPECT_TRUE(Logged_("music Setup TV12 pack 3"));
}

// The scenario's song by number: its code and pack, the gauge stored for the scenario, and the
// adventure screens released before it and made again after it.
TEST_F(TCommonThreadTest, RunMusicByNumberTable)
{
    const struct {
        std::int32_t number;
        const char* setup; // empty: no song
        std::int32_t gauge;
    } cases[] = {{7, "music Setup TV07 pack 1", 40}, {105, "music Setup TV05 pack 2", 40},
                 {212, "music Setup TV12 pack 3", 40}, {-5, "", 0}};
    for (const auto& c : cases) {
        log.clear();
        auto thread = MakeThread<CommonThread>();
        thread->Records().config.AvgAutoMode = 1;
        thread->Records().scenario.current.SetMovie(c.number);
        thread->Records().scenario.current.SetResultValue(-1);
        thread->body = [](CommonThread& t) {
            t.CreateScreens();
            t.RunMusicByNumber();
            t.ReleaseScreens();
        };
        thread->Execute();
        const std::string row = std::to_string(c.number);
        EXPECT_EQ(thread->Records().scenario.current.GetResultValue(), c.gauge) << row;
        if (*c.setup != 0) {
            EXPECT_TRUE(Logged_(c.setup)) << row;
            EXPECT_EQ(maker->options.autoMode, 1) << row << ": the adventure's auto mode";
            EXPECT_LT(Find("adventure delete"), Find("music SetOptions")) << row;
        } else {
            EXPECT_EQ(Count("music SetOptions"), 0u) << row << ": no song has a negative number";
        }
        const std::size_t resumed = Find("adventure Resume");
        ASSERT_NE(resumed, std::string::npos) << row;
        EXPECT_EQ(Count("adventure Initialize"), 2u) << row;
        EXPECT_EQ(thread->Request(), 0) << row;
    }
}

// A scenario that asks for a rebuild through black, then a loaded game, then halts.
TEST_F(TCommonThreadTest, RunAdventureActsOnEachRequestUntilTheScenarioEnds)
{
    auto thread = MakeThread<CommonThread>();
    std::deque<int> results{2, 4, 0};
    maker->adventureStep = [&](FakeAdventure& adventure) {
        adventure.running = false;
        SetThreadResult(results.front());
        results.pop_front();
    };
    thread->body = [](CommonThread& t) {
        t.CreateScreens();
        t.Adventure()->StartScenario("GameStart");
        t.EndAdventure();
        t.RunAdventure();
        t.ReleaseScreens();
    };
    thread->Execute();
    EXPECT_TRUE(results.empty());
    EXPECT_TRUE(thread->AdventureFinished());
    const std::size_t rebuilt = Find("adventure Resume");
    ASSERT_NE(rebuilt, std::string::npos);
    EXPECT_NE(Find("adventure delete"), std::string::npos);
    EXPECT_LT(Find("adventure delete"), rebuilt) << "the screens are made again for the rebuild";
    EXPECT_NE(Find("adventure LoadResume", rebuilt), std::string::npos);
    EXPECT_EQ(Count("save system"), 3u) << "after every adventure loop";
    EXPECT_EQ(Count("adventure OnConfigMenuClose 6"), 0u);
}

TEST_F(TCommonThreadTest, TheAdventureLoopLendsTheMenusTheAdventuresCloseMethodsWhileItRuns)
{
    auto thread = MakeThread<CommonThread>();
    bool lent = false;
    maker->adventureStep = [&](FakeAdventure& adventure) {
        lent = maker->config->HasOnClose() && maker->save->HasOnClose();
        maker->config->CloseWith(6);
        adventure.running = false;
        SetThreadResult(0);
    };
    thread->body = [&](CommonThread& t) {
        t.CreateScreens();
        t.Adventure()->StartScenario("GameStart");
        t.EndAdventure();
        t.RunAdventure();
        EXPECT_FALSE(maker->config->HasOnClose());
        EXPECT_EQ(form->GetState(), fsAdventure);
        t.ReleaseScreens();
    };
    thread->Execute();
    EXPECT_TRUE(lent);
    EXPECT_TRUE(Logged_("adventure OnConfigMenuClose 6"));
}

TEST_F(TCommonThreadTest, MakeTag4)
{
    EXPECT_EQ(std::string(TCommonThread::MakeTag4(TCommonThread::SongText(7)).FCode, 4), "TV07");
    EXPECT_EQ(std::string(TCommonThread::MakeTag4(TCommonThread::SongText(123)).FCode, 4), std::string(4, '\0'));
}

} // namespace
