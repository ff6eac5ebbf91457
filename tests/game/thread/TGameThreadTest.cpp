#include "game/thread/TGameThread.h"

#include "scenario/saves/SystemSave.h"
#include "shell/GameGlobals.h"
#include "tests/game/thread/ThreadFixture.h"

#include <algorithm>

namespace {

using namespace GameTest;

class TGameThreadTest : public ThreadFixture {
protected:
    // The game's thread on the recording screens, the title answering `choices` and then exit.
    std::unique_ptr<GameThread> Run(std::deque<int> choices, const std::function<void(GameThread&)>& prepare = {})
    {
        auto thread = MakeThread<GameThread>();
        maker->titleChoices = std::move(choices);
        if (prepare)
            prepare(*thread);
        thread->Execute();
        return thread;
    }
};

TEST_F(TGameThreadTest, TheTitleCallRunsOnlyOnTheFirstPassAndEveryPassEndsWithOneSystemSave)
{
    const auto thread = Run({5, 6, 7});
    EXPECT_EQ(Count("title TitleCallStart"), 1u);
    EXPECT_LT(Find("title TitleCallStep"), Find("title Release"));
    EXPECT_LT(Find("title Release"), Find("title Show"));
    EXPECT_FALSE(thread->FirstTitle());
    EXPECT_EQ(Count("title Show"), 4u) << "the hidden buttons lead back to a fresh title";
    // Each pass: the title's screens released, then one system save before the next title.
    for (const char* choice : {"choice 5", "choice 6", "choice 7"}) {
        const std::size_t chosen = Find(choice);
        const std::size_t deleted = Find("title delete", chosen);
        const std::size_t next = Find("title Initialize", chosen);
        ASSERT_NE(next, std::string::npos) << choice;
        EXPECT_LT(deleted, Find("save system", chosen)) << choice;
        EXPECT_EQ(std::count(log.begin() + static_cast<std::ptrdiff_t>(chosen), log.begin() + static_cast<std::ptrdiff_t>(next),
                             "save system"),
                  1)
            << choice;
    }
    // Exit: the system save, then the end of the game with its own saves.
    const std::size_t exit = Find("choice 10");
    EXPECT_EQ(Count("save system"), 3u + 2u);
    EXPECT_EQ(log.back(), "save settings");
    EXPECT_EQ(log[log.size() - 2], "save system");
    EXPECT_EQ(log[log.size() - 3], "dialog delete");
    EXPECT_LT(exit, Find("title Finalize", exit));
    EXPECT_EQ(form->GetState(), fsClosing);
}

TEST_F(TGameThreadTest, NewGameRunsTheScenarioOnItsOwnScreensAndComesBackToTheTitle)
{
    auto thread = Run({1, 1}, [&](GameThread&) {
        maker->adventureStep = [](FakeAdventure& adventure) {
            adventure.running = false;
            SetThreadResult(0);
        };
    });
    EXPECT_EQ(Count("adventure StartScenario GameStart"), 2u) << "a second game runs too";
    const std::size_t start = Find("adventure StartScenario GameStart");
    EXPECT_LT(Find("title delete"), start) << "the title is gone before the game";
    EXPECT_LT(start, Find("adventure Finalize", start));
    EXPECT_EQ(Count("title TitleCallStart"), 1u);
    EXPECT_EQ(form->GetCursorKind(), 0);
}

TEST_F(TGameThreadTest, ClosingTheLoadMenuKeepsTheTitleWaitingAndALoadedSlotResumesTheGame)
{
    auto thread = Run({2, 2}, [&](GameThread&) {
        maker->loadCodes = {6, 5};
        maker->adventureStep = [](FakeAdventure& adventure) {
            adventure.running = false;
            SetThreadResult(0);
        };
    });
    const std::size_t firstOpen = Find("save Open 1");
    const std::size_t secondOpen = Find("save Open 1", firstOpen + 1);
    ASSERT_NE(secondOpen, std::string::npos);
    EXPECT_EQ(Find("title Finalize", firstOpen), Find("title Finalize", secondOpen)) << "one title pass for both";
    EXPECT_EQ(Count("save Close"), 2u);
    EXPECT_NE(Find("adventure LoadResume", secondOpen), std::string::npos);
    EXPECT_EQ(Count("adventure StartScenario GameStart"), 0u);
}

// Free play: the score is recorded only when strictly higher than the stored best, the song was
// cleared, and it did not play itself.
TEST_F(TGameThreadTest, FreePlayScoreRecordingTable)
{
    const struct {
        std::uint32_t best;
        int score;
        int result;
        std::uint8_t autoMode;
        std::uint8_t forced;
        bool recorded;
    } cases[] = {
        {0, 100, 0, 0, 0, true},   {99, 100, 0, 0, 0, true},  {100, 100, 0, 0, 0, false},
        {200, 100, 0, 0, 0, false}, {0, 100, 1, 0, 0, false},  {0, 100, 2, 0, 0, false},
        {0, 100, 0, 1, 0, false},  {0, 100, 0, 0, 1, false},
    };
    const TSongID code = StringToTag4("TV07");
    for (const auto& c : cases) {
        log.clear();
        std::filesystem::remove(folder.Path() / "TVQESys.sav"); // the last row's exit wrote one
        MusicForceAuto = c.forced;
        auto thread = Run({3}, [&](GameThread& t) {
            t.Records().config.MusicRankMode = 1;
            t.Records().config.MusicAutoMode = c.autoMode;
            if (c.best > 0)
                t.Records().system.SetScoreEntry(1, code, c.best, "OLD");
            maker->score = c.score;
            maker->musicResult = c.result;
        });
        MusicForceAuto = 0;
        const std::string row = std::to_string(c.best) + " vs " + std::to_string(c.score) + " result " +
                                std::to_string(c.result) + " auto " + std::to_string(c.autoMode) + "/" +
                                std::to_string(c.forced);
        EXPECT_TRUE(Logged_("music Setup TV07 pack 0")) << row;
        EXPECT_EQ(Count("name Begin " + std::to_string(c.score)), c.recorded ? 1u : 0u) << row;
        const TSystemState& system = thread->Records().system;
        EXPECT_EQ(system.GetScoreValue(1, code), c.recorded ? 100u : c.best) << row;
        if (c.recorded) {
            EXPECT_EQ(system.GetScoreName(1, code), "ABCD") << row;
            EXPECT_LT(Find("name delete"), Find("save system")) << row << ": saved after the free play";
        }
    }
}

TEST_F(TGameThreadTest, ANameEntryThatDoesNotBeginStoresTheScoreWithoutAName)
{
    const TSongID code = StringToTag4("TV07");
    auto thread = Run({3}, [&](GameThread&) { maker->nameBegins = false; });
    EXPECT_EQ(thread->Records().system.GetScoreValue(0, code), 1234u);
    EXPECT_EQ(thread->Records().system.GetScoreName(0, code), "    ") << "the record's blanks for no name";
    EXPECT_EQ(Count("name Finalize"), 1u);
}

TEST_F(TGameThreadTest, TheScoresTheDemoAndTheConfigurationMenu)
{
    auto thread = Run({4, 9, 8}, [&](GameThread& t) { t.Records().config.MusicRankMode = 2; });
    EXPECT_TRUE(Logged_("scores Open 2"));
    EXPECT_EQ(Count("scores Finalize"), 1u);
    EXPECT_TRUE(Logged_("music Setup TV07 pack 0"));
    EXPECT_EQ(maker->options.autoMode, 2) << "the demo plays itself";
    EXPECT_EQ(maker->options.rankMode, 0);
    const std::size_t refresh = Find("config Refresh");
    ASSERT_NE(refresh, std::string::npos);
    EXPECT_EQ(log[refresh + 1], "save settings") << "written when the menu closes";
    EXPECT_EQ(log[refresh + 2], "choice 10") << "the title waits again after the menu";
}

TEST_F(TGameThreadTest, TheTitleMenusThatCannotBeMadeOrSetUpEndTheGame)
{
    for (const char* what : {"missing", "failing"}) {
        log.clear();
        auto thread = Run({}, [&](GameThread&) {
            (std::string(what) == "missing" ? maker->missing : maker->failing).insert("config");
        });
        EXPECT_EQ(Count("title TitleCallStart"), 0u) << what;
        EXPECT_EQ(Count("title Finalize"), std::string(what) == "missing" ? 0u : 1u)
            << what << ": what was never prepared is not finalized";
        EXPECT_EQ(Count("title delete"), 1u) << what;
        EXPECT_EQ(log.back(), "save settings") << what;
    }
}

// Terminated during a scenario song: the song screen goes, then (the adventure screens having gone
// before the song) the dialog, then the saves.
TEST_F(TGameThreadTest, TerminationDuringAScenarioSongUnwindsInOrder)
{
    auto thread = Run({1}, [&](GameThread& t) {
        maker->adventureStep = [&t](FakeAdventure& adventure) {
            t.Records().scenario.current.SetMovie(3);
            adventure.running = false;
            SetThreadResult(1);
        };
        maker->musicStep = [&t] { t.Terminate(); };
    });
    const std::size_t song = Find("music Setup TV03 pack 1");
    ASSERT_NE(song, std::string::npos);
    EXPECT_LT(Find("adventure delete"), song);
    const Log tail(log.begin() + static_cast<std::ptrdiff_t>(Find("music Stop")), log.end());
    EXPECT_EQ(tail, (Log{"music Stop", "music Release", "music delete", "dialog Finalize", "dialog delete",
                         "save system", "save settings"}));
}

TEST_F(TGameThreadTest, TheGameEndingDuringTheTitleCallTakesTheTitlesDrawingHooksAway)
{
    bool drawn = false;
    auto thread = Run({}, [&](GameThread& t) {
        maker->titleCallStep = [&] {
            form->SetOnRedraw([&](TXeRGBBits*) { drawn = true; });
            form->SetOnDraw([&](TXeRGBBits*, TXeRectSet*) { drawn = true; });
            t.Terminate();
        };
    });
    EXPECT_LT(Find("title Release"), Find("title Finalize")) << "the call released before the title";
    drawn = false; // the frame that ended the call drew through them
    form->SetState(fsRunning);
    form->Redraw();
    EXPECT_FALSE(drawn);
}

TEST_F(TGameThreadTest, TheSystemSaveIsReadWhenTheThreadIsMade)
{
    const TSongID code = StringToTag4("TV07");
    {
        GameRecords records;
        records.system.SetScoreEntry(0, code, 777, "ZED");
        ASSERT_TRUE(SaveSystemData(folder.GameName(), records.system, records.readMes));
    }
    auto thread = MakeThread<GameThread>();
    EXPECT_EQ(thread->Records().system.GetScoreValue(0, code), 777u);
    EXPECT_TRUE(thread->FirstTitle());
}

} // namespace
