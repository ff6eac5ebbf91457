// The script's operations on the adventure screen: voices from their packs, the choice window
// with the chosen value, a record in choice mode opening the window at once, the extra selection,
// a movie in place of the screen (refused without a player or under a menu), and the end of the game.
#include "scenario/adventure/AvgTestSupport.h"

#include "support/Eventually.h"
#include "support/TestMovies.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "graphics/panels/TXeRGBPanel.h"
#include "platform/host/VirtualKeys.h"
#include "scenario/adventure/VoiceBank.h"
#include "scenario/choice/TExSelUnit.h"
#include "scenario/movie/MovieHost.h"
#include "scenario/movie/TMovieUnit.h"
#include "scenario/records/TGameState.h"
#include "scenario/stage/TStageUnit.h"
#include "scenario/windows/TSubWinUnit.h"

using namespace AvgTest;

namespace {

const std::string kYes = "\xCA\xC7";  // GBK "shi"
const std::string kNo = "\xB7\xF1";   // GBK "fou"

class TAvgUnitCommands : public AvgFixture {
protected:
    void Key(std::uint16_t key) { unit_->AvgPanelKeyDown(nullptr, key, 0); }
    // The voices played.
    std::vector<std::string> Plays()
    {
        std::vector<std::string> plays;
        for (const std::string& line : SoundLog())
            if (line.starts_with("v") && line.ends_with(" play"))
                plays.push_back(line);
        return plays;
    }
};

TEST_F(TAvgUnitCommands, VoicesComeFromTheirPackAndStartTheTalking)
{
    WriteVoicePack(12, {1234567, 1200001});
    const struct {
        const char* code;
        std::vector<std::string> plays;
        int binds;
        bool talking;
    } cases[] = {
        {"voice 1234567\nvoice 1200001", {"v1234567 play", "v1200001 play"}, 1, true},
        {"voice 1300000", {}, 1, false}, // pack 13 is missing
        {"voice 1200002", {}, 1, false}, // pack 12 lacks it
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        WriteScene(std::string(c.code) + "\nclickwait");
        Start();
        EXPECT_EQ(Plays(), c.plays);
        EXPECT_EQ(unit_->Voices().Binds(), c.binds);
        EXPECT_EQ(unit_->Talking().On(), c.talking);
        unit_.reset();
    }
}

TEST_F(TAvgUnitCommands, TheChoiceOpensTakesTheCursorAndPushesIt)
{
    WriteScene("choice \"" + kYes + "\" \"" + kNo + "\" 0 0\npush 1\nswap\nsetvar\nclickwait");
    Start();
    EXPECT_EQ(Wait(), WaitState::ChoiceOpening);
    EXPECT_EQ(Record().GetGameMode(), 2);
    EXPECT_TRUE(Record().GetStop());
    ASSERT_GE(FramesUntil([&] { return Wait() == WaitState::Choice; }), 1);
    Frames(5);
    EXPECT_EQ(Wait(), WaitState::Choice) << "the choice waits for the player";
    unit_->OnEvent(1);
    EXPECT_EQ(Wait(), WaitState::Choice) << "a click elsewhere decides nothing";
    Key(VK_DOWN);
    Key(VK_RETURN);
    EXPECT_EQ(Wait(), WaitState::ChoiceClosing);
    ASSERT_GE(FramesUntil([&] { return Wait() == WaitState::Click; }), 1);
    EXPECT_EQ(Record().GetVar(1), 1);
}

TEST_F(TAvgUnitCommands, ARecordInChoiceModeOpensTheChoiceAtOnce)
{
    WriteScene("choice \"" + kYes + "\" \"" + kNo + "\" 0 0\npush 1\nswap\nsetvar\nclickwait");
    Start();
    ASSERT_GE(FramesUntil([&] { return Wait() == WaitState::Choice; }), 1);
    const TGameState saved = Record();
    unit_.reset();
    Record() = saved;
    Start(false);
    unit_->LoadResume();
    EXPECT_EQ(Wait(), WaitState::Choice);
    EXPECT_TRUE(unit_->Windows().SelWinIsReady());
    EXPECT_FALSE(unit_->Windows().SelWinIsActive()) << "opened at once";
    unit_->OnEvent(5);
    ASSERT_GE(FramesUntil([&] { return Wait() == WaitState::Click; }), 1);
    EXPECT_EQ(Record().GetVar(1), 0) << "the first row was under the cursor";
}

TEST_F(TAvgUnitCommands, TheExtraSelectionDecidesOnTheLeftButtonAndCloses)
{
    WriteScene("windowopen\nextraselect 3\npush 1\nswap\nsetvar\nsetvar 2 1\nclickwait");
    Start();
    ASSERT_GE(FramesUntil([&] { return Wait() == WaitState::ExSelOpening; }), 1);
    EXPECT_EQ(unit_->ExSel().GetIndex(), 3);
    EXPECT_EQ(FramesUntil([&] { return Wait() == WaitState::ExSel; }), TExSelUnit::kFadeFrames);
    EXPECT_FALSE(unit_->Windows().MesWin().IsReady()) << "the message window makes way";
    unit_->OnExSelEvent(TExSelUnit::kCodeLeftClick);
    EXPECT_EQ(Wait(), WaitState::ExSelDecided);
    ASSERT_GE(FramesUntil([&] { return Record().GetVar(2) == 1; }), TExSelUnit::kFadeFrames);
    EXPECT_EQ(Record().GetVar(1), 0) << "the selection's value";
    EXPECT_FALSE(unit_->ExSel().IsBusy());
    EXPECT_TRUE(unit_->Windows().MesWin().IsReady()) << "and comes back";
}

TEST_F(TAvgUnitCommands, WithoutAPlayerMoviesArePassedOver)
{
    WriteScene("openingmovie\nmovie 3\nendingmovie 2\nsetvar 1 1");
    Start();
    EXPECT_EQ(Record().GetVar(1), 1);
    EXPECT_EQ(host_.rootPanels, std::vector<std::string>{"AvgPanel"});
}

// A movie host without sound whose millisecond clock the test moves.
class SilentMovieHost : public MovieHost {
public:
    TXeRGBBits* CreateMovieSurface() override
    {
        surfaces.push_back(std::make_unique<TXeRGBBits>(nullptr));
        TXeRGBBits* bits = surfaces.back().get();
        bits->SetBitDepth(bd32);
        bits->Resize(640, 480);
        bits->Create();
        return bits;
    }
    void DeleteMovieSurface(TXeRGBBits* surface) override
    {
        std::erase_if(surfaces, [&](const auto& s) { return s.get() == surface; });
    }
    DirectX::TDSound* SoundDevice() override { return nullptr; }
    int BgmVolume() override { return 100; }
    void PlayMute() override {}
    bool TryLockFrame() override { return true; }
    void UnlockFrame() override {}
    void SetOnMovieDraw(MovieDraw) override {}
    void DrawMovie() override {}
    void SetThreadResult(int) override {}
    void SetDisplayListener(DisplayListener) override {}
    std::uint32_t TickCount() override { return tick; }

    std::uint32_t tick = 1000;
    std::vector<std::unique_ptr<TXeRGBBits>> surfaces;
};

TEST_F(TAvgUnitCommands, AMoviePlaysInPlaceOfTheScreenUnlessAMenuIsOpen)
{
    const auto made = TestSupport::ColourMovie(false);
    if (!made)
        GTEST_SKIP() << "ffmpeg is not installed";
    std::filesystem::create_directories(folder_.Native() / "Movie");
    std::filesystem::copy_file(*made, folder_.Native() / "Movie" / "TV03.mpg");
    SilentMovieHost movieHost;
    TMovieUnit movie(nullptr);
    ASSERT_TRUE(movie.Initialize(movieHost, nullptr, true, -1));
    movie_ = &movie;
    WriteScene("wait 100\nmovie 3\nsetvar 1 1");
    Start();

    // A movie asked for while a menu covers the screen plays nothing.
    unit_->Modes().SetSubScreen(3);
    unit_->PlayMovie(3);
    EXPECT_FALSE(movie.IsOpen());
    EXPECT_EQ(host_.rootPanels, std::vector<std::string>{"AvgPanel"});
    unit_->Modes().SetSubScreen(0);

    ASSERT_GE(FramesUntil([&] { return Wait() == WaitState::Movie; }), 1);
    EXPECT_TRUE(movie.Running());
    EXPECT_EQ(host_.rootPanels, std::vector<std::string>{movie.MoviePanel()->Name});
    EXPECT_EQ(unit_->Modes().SubScreen(), 3);
    EXPECT_TRUE(unit_->SubScreens().MoviePlaying());
    EXPECT_EQ(unit_->SubScreens().Bits(), 4) << "the sub-screens hold the movie's level";
    EXPECT_TRUE(TestSupport::Eventually([&] {
        movieHost.tick += 40;
        unit_->Update(1);
        return Wait() != WaitState::Movie;
    }));
    EXPECT_FALSE(movie.IsOpen()) << "the player is closed after the movie";
    EXPECT_EQ(host_.rootPanels, std::vector<std::string>{"AvgPanel"});
    EXPECT_EQ(unit_->Modes().SubScreen(), 0);
    EXPECT_FALSE(unit_->SubScreens().MoviePlaying());
    Frames(1);
    EXPECT_EQ(Record().GetVar(1), 1);
    unit_.reset();
    movie.Finalize();
}

TEST_F(TAvgUnitCommands, GameEndAndHaltHandBackTheirResults)
{
    for (const auto& [code, result] : {std::pair{"gameend 2", TAvgUnit::kResultEndGame}, {"halt", TAvgUnit::kResultHalted}}) {
        WriteScene(code);
        host_.results.clear();
        Start();
        EXPECT_FALSE(unit_->IsRunning());
        EXPECT_EQ(host_.results, std::vector<int>{result});
        unit_.reset();
    }
}

TEST_F(TAvgUnitCommands, AMissingSceneHandsBackAtOnce)
{
    WriteScene("clickwait");
    Start(false);
    unit_->StartScenario("nowhere");
    Frames(1);
    EXPECT_FALSE(unit_->IsRunning());
    EXPECT_EQ(host_.results, std::vector<int>{TAvgUnit::kResultHalted});
}

} // namespace
