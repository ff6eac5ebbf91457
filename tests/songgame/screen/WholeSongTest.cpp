// Whole songs played from the set-up screen to the result by a perfect player, on the timer clock
// with a recording sound device and on the music's own clock with the real sound device on the
// manual audio clock.
#include "songgame/screen/TMusicUnit.h"
#include "songgame/screen/MusicRun.h"

#include "songgame/MusicScreen.h"
#include "songgame/SongPlayer.h"

#include "songgame/sound/DSoundSongDevice.h"

#include "platform/audio/headless/ManualAudio.h"
#include "platform/classes/WinControl.h"
#include "sound/TDSound.h"
#include "support/ScopedState.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using songtest::MusicScreen;

namespace {

// 24 notes a quarter second apart from 1 s over every lane of the normal sheet (G and H fold onto
// lanes 3 and 4), two lines of lyrics (one on a note, one alone), and a stage that changes its
// background and moves a character while the song plays.
constexpr int Notes = 24;
constexpr double SongSeconds = 8;

void WriteSong(MusicScreen& s)
{
    // In time order: a chart out of order loses notes.
    const char keys[] = "asdfjkl;gh";
    std::string chart;
    for (int i = 0; i < Notes; ++i) {
        const int time = 88'200 + 22'050 * i;
        chart += std::to_string(time) + ",1," + (i % 2 != 0 ? "CLAP," : "DRUM,") + keys[i % 10] + "\r\n";
        if (i == 0)
            chart += "110000,1,,,Sing\r\n";
        if (i == 20)
            chart += std::to_string(time + 1000) + ",1,CLAP,a,Along\r\n";
    }
    s.WriteChart(chart);
    s.tree.Write(std::string(songtest::SongData) + "\\bg.png", songtest::Png(16, 8));
    s.WriteStage("[Load]\nWAVE,0,se.wav\nBGPIC,0,bg.png\nBGPIC,1,bg.png\n[Init]\n0,BGPIC,0\n0,POS00,10,20\n"
                 "[Before]\n[Perform]\n2,BGPIC,1,2\n2.5,POS00,200,20,30\n[After]\n0.5,WAVE,0\n");
}

// Best on every note: the gauge climbs from 20 by one a note; the combo reaches 10 on the tenth.
constexpr int Gauge = 20 + Notes;
constexpr int Score = (20 * 55 + 15 * 10) + (Notes - 10) * (20 * 10 + 15);

} // namespace

TEST(WholeSong, PerfectPlayOnTheTimerClock)
{
    MusicScreen s;
    WriteSong(s);
    std::uint32_t ms = 0;
    std::vector<int> results;
    s.devices.musicMs = [&ms] { return ms; };
    s.devices.setResult = [&results](int result) { results.push_back(result); };
    auto unit = s.Unit();
    unit->SetTimingMode(0);
    ASSERT_TRUE(s.SetupOnce(*unit));
    input::ScriptedSongInput keys(s.input);
    int frame = 0;
    const songtest::SongPlay play = songtest::PlayWholeSong(*unit, keys, [&] {
        ms += 33 + (++frame % 3 == 0); // 30 frames a second
        if (unit->Phase() == 3 && unit->Run()->Now().milliseconds > SongSeconds * 1000)
            s.Music()->ended = true;
    });
    ASSERT_TRUE(play.ended);
    EXPECT_EQ(play.taps, Notes);
    EXPECT_EQ(results, std::vector<int>{0});
    EXPECT_EQ(unit->GetGauge(), Gauge);
    EXPECT_EQ(unit->GetScore(), Score);
    EXPECT_EQ(unit->StageNow().characters[0].x, 200) << "the stage moved during the song";
    EXPECT_EQ(unit->StageNow().current.slot, 1);
    EXPECT_EQ(unit->LyricLength(), 5) << "the last lyric shown";
}

TEST(WholeSong, OnTheMusicsClockWithTheRealSoundDevice)
{
    // Perfect at once, and perfect after a silent go that fails and is continued: the music starts
    // again from its beginning on the real stream, with a fresh play state.
    for (const int silentGoes : {0, 1}) {
        SCOPED_TRACE(silentGoes);
        MusicScreen s;
        WriteSong(s);
        s.tree.Write("Song\\TV01\\song.wav", songtest::WaveOfRamp(static_cast<int>(SongSeconds * 44'100)));
        auto back = std::make_shared<audio::ManualAudio>();
        back->settings.keepOutput = false;
        TestSupport::ScopedAudioBackEnd audioGuard(back);
        TWinControl form(nullptr);
        auto* sound = new DirectX::TDSound(&form); // owned by the form
        sound->SetEnabled(true);
        DSoundSongDevice device(sound);
        std::uint32_t ms = 0;
        std::vector<int> results;
        std::vector<std::string> systemSounds;
        s.devices.sounds = &device;
        s.devices.musicMs = [&ms] { return ms; };
        s.devices.setResult = [&results](int result) { results.push_back(result); };
        s.devices.playSystemSound = [&systemSounds](const char* name) { systemSounds.emplace_back(name); };
        {
            auto unit = s.Unit();
            ASSERT_EQ(unit->TimingMode(), 1);
            ASSERT_TRUE(s.SetupOnce(*unit));
            input::ScriptedSongInput keys(s.input);
            const songtest::SongPlay play = songtest::PlayWholeSong(*unit, keys, [&] {
                ms += 33;
                ASSERT_TRUE(back->Advance(1470)); // one frame of 44.1 kHz audio
            }, {.silentGoes = silentGoes});
            ASSERT_TRUE(play.ended);
            EXPECT_EQ(play.goes, 1 + silentGoes);
            EXPECT_EQ(play.taps, Notes);
            EXPECT_EQ(systemSounds.size(), silentGoes != 0 ? 1u : 0u) << "the continue prompt's page sound";
            EXPECT_EQ(results, std::vector<int>{0});
            EXPECT_EQ(unit->GetGauge(), Gauge);
            EXPECT_EQ(unit->GetScore(), Score);
        }
        sound->SetEnabled(false);
    }
}
