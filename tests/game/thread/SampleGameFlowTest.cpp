// The game's main program on its real screens and the sample game, run frame by frame on the test's
// thread: the story from New Game through its song, played by a perfect player at the keys, back
// to the title, with the song's best gauge kept in the system save; free play of the song with the
// new best score's name entered, the song scores shown, the exit, and the score read back by the
// next run.
#include "game/thread/FormScreenMaker.h"
#include "game/thread/TGameThread.h"
#include "platform/audio/headless/ManualAudio.h"
#include "platform/host/VirtualKeys.h"
#include "platform/input/headless/ScriptedSongInput.h"
#include "scenario/records/TReadMesTable.h"
#include "scenario/records/TSystemState.h"
#include "scenario/saves/SystemSave.h"
#include "songgame/menus/TSongScoreMenu.h"
#include "songgame/run/PlayState.h"
#include "songgame/screen/MusicRun.h"
#include "songgame/screen/TMusicUnit.h"
#include "sound/TDSound.h"
#include "tests/game/SampleGame.h"
#include "tests/game/thread/ThreadFixture.h"
#include "tests/songgame/SongPlayer.h"

#include <algorithm>
#include <fstream>

namespace {

using namespace GameTest;

class SampleGameFlowTest : public ThreadFixture {
protected:
    void PrepareFolder() override
    {
        audioBack->settings.keepOutput = false; // nobody listens; kept, the whole story's sound would pile up
        audio::SetDefaultBackEnd(audioBack);
        ASSERT_TRUE(CopySampleGame(folder.Path()));
        // The song's clock is the frame timer's; leaving the title asks nothing.
        std::ofstream(folder.Path() / "Tvqe.ini") << "[Game]\r\nMusicTimingMode=Timer\r\nExitConfirm=OFF\r\n";
    }
    void SetUp() override
    {
        ThreadFixture::SetUp();
        GameForm = form.get();
        form->SoundDevice()->SetEnabled(true);
        ASSERT_TRUE(form->SoundDevice()->Enabled());
    }
    void TearDown() override
    {
        GameForm = nullptr;
        ThreadFixture::TearDown();
        form.reset();
        audio::SetDefaultBackEnd(nullptr);
    }

    std::unique_ptr<GameThread> MakeGameThread()
    {
        auto thread = std::make_unique<GameThread>(
            *form,
            [this](TGameForm& f, GameRecords& records) {
                auto made = std::make_unique<FormScreenMaker>(f, records);
                screens = made.get();
                return made;
            },
            log);
        MainThread = thread.get();
        return thread;
    }

    // A left click through the form's input handlers, as the UI thread would give it.
    void Click(int x, int y)
    {
        form->FormMouseMove(nullptr, 0, x, y);
        form->FormMouseDown(nullptr, mbLeft, 0, x, y);
        form->FormMouseUp(nullptr, mbLeft, 0, x, y);
    }
    void Type(char c)
    {
        form->FormKeyPress(nullptr, c);
    }

    // Taps the keys of the notes due by the clock the coming frame reads, as a perfect player.
    void PlayTheKeys()
    {
        TMusicUnit* music = screens->Music();
        if (music == nullptr || music->Phase() != kPhasePerform || music->Run() == nullptr)
            return;
        const auto notes = music->Chart().notes.first(static_cast<std::size_t>(music->Chart().count));
        const MusicRun& run = *music->Run();
        for (const std::uint8_t key : songtest::KeysDue(notes, run.Clock().clock, run.Now().clock)) {
            keys.Tap(key);
            ++taps;
        }
    }

    // Runs the thread to its end: `menus` in order, each once the form has entered the menu state
    // anew; `adventure` in every frame of the adventure screen; the keys while a song plays.
    void Play(GameThread& thread, const std::vector<std::function<void()>>& menus,
              const std::function<void()>& adventure = {})
    {
        std::size_t next = 0;
        std::uint8_t last = fsNone;
        onFrame = [&] {
            audioBack->Advance(1470);
            const std::uint8_t state = form->GetState();
            sang = sang || state == fsMusic;
            if (state == fsMenu && last != fsMenu && next < menus.size())
                menus[next++]();
            if (state == fsAdventure && adventure)
                adventure();
            last = state;
            if (TMusicUnit* music = screens->Music())
                songGauge = music->GetGauge();
            PlayTheKeys();
        };
        thread.Execute();
        EXPECT_EQ(next, menus.size()) << "the game waited in every menu";
    }

    static constexpr int kPhasePerform = 3;
    std::shared_ptr<audio::ManualAudio> audioBack = std::make_shared<audio::ManualAudio>();
    input::ScriptedSongInput keys{input::ProcessSongInput()};
    std::uint16_t key = 0;
    FormScreenMaker* screens = nullptr;
    int taps = 0;
    bool sang = false;
    int songGauge = -1;
};

TEST_F(SampleGameFlowTest, TheStoryPlaysItsSongAtTheKeysAndEndsOnTheTitle)
{
    auto thread = MakeGameThread();
    int frame = 0;
    int handedBack = -1; // the record's result value when the adventure first runs after the song
    Play(*thread,
         {
             [&] { Click(320, 240); }, // the title call: cut short
             [&] { Click(75, 35); },   // the title: start
             [&] { Click(75, 365); },  // the title again after the story: exit
         },
         [&] {
             if (sang && handedBack < 0)
                 handedBack = thread->Records().scenario.current.GetResultValue();
             // A reader: Enter, a click on the picture (which also skips a movie), Down (which
             // moves a choice's cursor), in turn every few frames.
             switch (++frame % 18) {
             case 0: form->FormKeyDown(nullptr, key = VK_RETURN, 0); break;
             case 6: Click(320, 200); break;
             case 12: form->FormKeyDown(nullptr, key = VK_DOWN, 0); break;
             default: break;
             }
         });
    EXPECT_TRUE(sang);
    EXPECT_GT(taps, 10) << "the song was played at the keys";
    EXPECT_EQ(songGauge, std::min(PlayState::MaxGauge, PlayState::StartGauge + taps)) << "every note best";
    EXPECT_EQ(handedBack, songGauge) << "the gauge went to the scenario";
    EXPECT_EQ(log.back(), "save settings") << "the game ended by the title's exit";

    // The story keeps the song's best gauge in a system value, which the system save holds.
    TSystemState system;
    TReadMesTable readMes;
    ASSERT_TRUE(LoadSystemData(folder.GameName(), system, readMes));
    EXPECT_EQ(system.GetSystemValue(0), songGauge) << "the best gauge read back";
}

TEST_F(SampleGameFlowTest, AFreePlayBestIsNamedShownAndReadBackByTheNextRun)
{
    auto thread = MakeGameThread();
    TListedSong listed;
    bool nameShown = false;
    Play(*thread, {
                      [&] { Click(320, 240); }, // the title call: cut short
                      [&] { Click(75, 190); },  // the title: free play
                      [&] {                     // the name entry: "ABCD", then the end button
                          for (char c : std::string("ABCD"))
                              Type(c);
                          Click(575, 344);
                      },
                      [&] { Click(75, 240); },  // the title: the song scores
                      [&] {                     // the score screen: the best listed, then its exit button
                          TSongScoreMenu::TPageRows rows;
                          ASSERT_NE(screens->Scores(), nullptr);
                          ASSERT_TRUE(screens->Scores()->GetListedSong(0, rows));
                          listed = rows[0];
                          nameShown = screens->Scores()->FindPanel("PanelName0")->Visible();
                          Click(570, 432);
                      },
                      [&] { Click(75, 365); },  // the title: exit
                  });
    EXPECT_TRUE(sang);
    EXPECT_GT(taps, 10) << "the song was played at the keys";
    const TSongID code = StringToTag4("TV07");
    const TSystemState& system = thread->Records().system;
    EXPECT_GT(system.GetScoreValue(0, code), 0u);
    EXPECT_EQ(system.GetScoreName(0, code), "ABCD");
    const std::uint32_t best = system.GetScoreValue(0, code);
    EXPECT_EQ(SongIdCode(listed.code), "TV07") << "the score screen lists the song";
    EXPECT_EQ(listed.score, best);
    EXPECT_TRUE(nameShown);

    // The next run reads the best back from the system save.
    auto nextRun = MakeGameThread();
    EXPECT_EQ(nextRun->Records().system.GetScoreValue(0, code), best);
    EXPECT_EQ(nextRun->Records().system.GetScoreName(0, code), "ABCD");
}

} // namespace
