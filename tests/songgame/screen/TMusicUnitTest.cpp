#include "songgame/screen/TMusicUnit.h"
#include "songgame/screen/MusicRun.h"

#include "songgame/sound/DSoundSongDevice.h"

#include "songgame/MusicScreen.h"

#include "shell/ShellTestSupport.h"

#include "base/packs/TFileMan.h"
#include "platform/audio/headless/ManualAudio.h"
#include "platform/classes/WinControl.h"
#include "sound/TDSound.h"
#include "support/ScopedState.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "platform/fs/FileSystem.h"
#include "platform/input/headless/ScriptedSongInput.h"
#include "shell/helpers/VolumeCurve.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using songtest::MusicScreen;
using songtest::SongData;

TEST(TMusicUnit, DefaultsAndSetters)
{
    MusicScreen s;
    auto unit = s.Unit();
    EXPECT_EQ(unit->IsSetup(), 0);
    EXPECT_EQ(unit->TimingMode(), 1);
    EXPECT_EQ(unit->MusicVolume(), 100);
    EXPECT_EQ(unit->WordMode(), 1);
    EXPECT_EQ(unit->CharaAnime(), 1);
    EXPECT_EQ(unit->StageAnime(), 1);
    EXPECT_EQ(unit->MemorySave(), 0);
    unit->SetVolume(30, 40);
    unit->SetRankMode(1);
    unit->SetTimingMode(0);
    ASSERT_TRUE(s.SetupOnce(*unit));
    EXPECT_EQ(unit->IsSetup(), 1);
    unit->SetVolume(1, 2);
    unit->SetRankMode(2);
    unit->SetAutoMode(1);
    unit->SetWordMode(0);
    unit->SetCharaAnime(0);
    unit->SetStageAnime(0);
    unit->SetMemorySave(1);
    unit->SetTimingMode(1);
    EXPECT_EQ(unit->MusicVolume(), 30);
    EXPECT_EQ(unit->KeyVolume(), 40);
    EXPECT_EQ(unit->RankMode(), 1);
    EXPECT_EQ(unit->AutoMode(), 0);
    EXPECT_EQ(unit->WordMode(), 1);
    EXPECT_EQ(unit->CharaAnime(), 1);
    EXPECT_EQ(unit->StageAnime(), 1);
    EXPECT_EQ(unit->MemorySave(), 0);
    EXPECT_EQ(unit->TimingMode(), 0);
    unit->SetEventPack(3);
    EXPECT_EQ(unit->PackNumber(), 3) << "the pack number is always taken";
}

TEST(TMusicUnit, SetupLoadsTheScreenAndTheSong)
{
    MusicScreen s;
    auto unit = s.Unit();
    unit->SetVolume(60, 80);
    const std::size_t before = s.globals.Listed();
    ASSERT_TRUE(s.SetupOnce(*unit));
    EXPECT_EQ(unit->SongVersion(), 150);
    TXeRGBPanel* curtain = unit->Panel("Curtain00");
    EXPECT_NE(curtain->Image(), nullptr);
    EXPECT_EQ(unit->Panel("Curtain18")->Image(), curtain->Image());
    EXPECT_EQ(unit->Panel("Curtain18")->OffsetY(), 288);
    EXPECT_EQ(unit->Panel("PopBig04")->Image(), unit->Panel("PopBig00")->Image());
    EXPECT_EQ(unit->Panel("Score08")->Image(), unit->Panel("Score00")->Image());
    EXPECT_TRUE(unit->Panel("TitleP")->Visible());
    EXPECT_EQ(unit->Panel("TitleP")->Image()->Width(), 480);
    EXPECT_FALSE(unit->Panel("CaptionPanel")->Visible());
    EXPECT_NE(unit->NotePicture().bits, nullptr);
    EXPECT_NE(unit->ClefPicture().alpha, nullptr);
    EXPECT_EQ(unit->Panel("WordP")->OffsetY(), 258);
    EXPECT_NE(unit->LyricFont(), nullptr);
    EXPECT_EQ(unit->Keys().Count(), 2);
    EXPECT_EQ(unit->Chart().count, 2);
    EXPECT_EQ(unit->Chart().notes[0].sound, 0 + (unit->Keys().Names()[0] == "CLAP.WAV" ? 0 : 1));
    ASSERT_NE(s.Music(), nullptr);
    EXPECT_EQ(s.Music()->kind, SongSoundKind::Wave);
    EXPECT_EQ(s.Music()->volumes, std::vector<std::int32_t>{VolumeToAttenuation(60)});
    EXPECT_EQ(unit->StageNow().characters[0].x, 10) << "[Init] entries ran";
    EXPECT_EQ(unit->StageNow().characters[0].active, 1);
    EXPECT_TRUE(s.input.KeyboardAcquired());
    EXPECT_GT(s.globals.Listed(), before);

    unit->Release();
    EXPECT_EQ(unit->IsSetup(), 0);
    EXPECT_EQ(s.globals.Listed(), before) << "everything made is given back";
    EXPECT_FALSE(s.input.KeyboardAcquired());
    for (const auto& log : s.device.made)
        EXPECT_TRUE(log->deleted);
}

TEST(TMusicUnit, SetupFailuresLeaveTheRegistryAsBefore)
{
    struct Case {
        const char* what;
        const char* remove; // a file removed, or null
        const char* damage; // a file made undecodable, or null
        int autoMode;
        bool noInput;
    };
    const Case cases[] = {
        {"curtain", "Game_Pak\\SongCurtain.png", nullptr, 0, false},
        {"sheet", "Game_Pak\\SongSheet.bmp", nullptr, 0, false},
        {"notes", "Game_Pak\\SongNote.png", nullptr, 0, false},
        {"alphabet", "Game_Pak\\SongAlphabet.png", nullptr, 0, false},
        {"score frame", "Game_Pak\\SongScoreFrame.bmp", nullptr, 0, false},
        {"large pop-ups", "Game_Pak\\SongPopLarge.bmp", nullptr, 0, false},
        {"small pop-ups", "Game_Pak\\SongPopSmall.bmp", nullptr, 0, false},
        {"score digits", "Game_Pak\\SongScore.bmp", nullptr, 0, false},
        {"hit lamp", "Game_Pak\\SongHitLamp.bmp", nullptr, 0, false},
        {"clef", "Game_Pak\\SongGclef.png", nullptr, 0, false},
        {"a frame that does not decode", nullptr, "Game_Pak\\SongFrameTop.png", 0, false},
        {"auto caption", "Game_Pak\\SongCapAuto.png", nullptr, 1, false},
        {"demonstration caption", "Game_Pak\\SongCapDemo.png", nullptr, 2, false},
        {"no input service", nullptr, nullptr, 0, true},
        {"no key folder", "Song\\TV01\\key", nullptr, 0, false},
        {"a key sound that does not decode", nullptr, "Song\\TV01\\key\\drum.wav", 0, false},
        {"no SONG.ID", "Song\\TV01\\song\\SONG.ID", nullptr, 0, false},
        {"a broken chart", nullptr, "Song\\TV01\\song\\Song.txt", 0, false},
        {"a broken stage script", nullptr, "Song\\TV01\\song\\Anime.txt", 0, false},
        {"no music", "Song\\TV01\\song.wav", nullptr, 0, false},
        {"music that does not decode", nullptr, "Song\\TV01\\song.wav", 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MusicScreen s;
        if (c.remove != nullptr) {
            std::filesystem::remove_all(s.tree.Native(c.remove));
            FileSystem::NoteChanged(s.tree.Native(c.remove));
        }
        if (c.damage != nullptr)
            s.tree.WriteText(c.damage, "bad data");
        auto unit = s.Unit();
        if (c.noInput) {
            SongDevices none = s.devices;
            none.input = nullptr;
            unit->SetDevices(none);
        }
        unit->SetAutoMode(static_cast<std::uint8_t>(c.autoMode));
        const std::size_t before = s.globals.Listed();
        EXPECT_FALSE(s.SetupOnce(*unit));
        EXPECT_EQ(unit->IsSetup(), 0);
        EXPECT_EQ(s.globals.Listed(), before);
        EXPECT_FALSE(s.input.KeyboardAcquired());
        for (const auto& log : s.device.made)
            EXPECT_TRUE(log->deleted);
    }
}

TEST(TMusicUnit, IdentityFailureBeforeAnyAllocation)
{
    MusicScreen s;
    auto unit = s.Unit();
    const std::size_t before = s.globals.Listed();
    EXPECT_FALSE(unit->Setup(&s.gameFiles, TSongID::FromText("TV02")));
    EXPECT_EQ(s.globals.Listed(), before);
    EXPECT_TRUE(s.device.made.empty());
    EXPECT_FALSE(s.input.KeyboardAcquired());
}

TEST(TMusicUnit, FailureAfterTheTitleStillOpensTheMusic)
{
    MusicScreen s;
    s.tree.WriteText(std::string(SongData) + "\\Song.txt", "x,1,CLAP,a\r\n");
    auto unit = s.Unit();
    EXPECT_FALSE(s.SetupOnce(*unit));
    ASSERT_NE(s.Music(), nullptr) << "the music was opened after the chart failed";
    EXPECT_EQ(s.device.made.size(), 4u) << "two keys, the stage effect and the music";
    EXPECT_GE(s.device.made[2]->plays, 1) << "the [Init] entries ran";
}

TEST(TMusicUnit, MusicChoiceByVersion)
{
    struct Case {
        const char* version;
        std::vector<const char*> files;
        bool ok;
        SongSoundKind kind;
    };
    const Case cases[] = {
        {"VER1.50", {".ogg"}, false, SongSoundKind::Ogg},
        {"VER1.50", {".ogg", ".adp"}, true, SongSoundKind::Adpcm},
        {"VER2.00", {".ogg", ".adp", ".wav"}, true, SongSoundKind::Ogg},
        {"VER2.00", {".adp", ".wav"}, true, SongSoundKind::Adpcm},
        {"VER1.99", {".wav"}, true, SongSoundKind::Wave},
        {"VER2.00", {}, false, SongSoundKind::Wave},
    };
    for (const Case& c : cases) {
        MusicScreen s;
        std::filesystem::remove(s.tree.Native("Song\\TV01\\song.wav"));
        FileSystem::NoteChanged(s.tree.Native("Song\\TV01\\song.wav"));
        s.tree.WriteIdentity(SongData, c.version, "TV01");
        std::string made;
        for (const char* ext : c.files) {
            s.tree.WriteText(std::string("Song\\TV01\\song") + ext, std::string("MUSIC") + ext);
            made += ext;
        }
        auto unit = s.Unit();
        EXPECT_EQ(s.SetupOnce(*unit), c.ok) << c.version << " " << made;
        if (c.ok) {
            ASSERT_NE(s.Music(), nullptr);
            EXPECT_EQ(s.Music()->kind, c.kind) << c.version << " " << made;
        } else {
            EXPECT_EQ(s.Music(), nullptr) << c.version << " " << made;
        }
    }
}

TEST(TMusicUnit, FramesAroundTheStage)
{
    MusicScreen s;
    s.tree.Write("Game_Pak\\SongFrameLeft.png", songtest::Png(20, 300));
    auto unit = s.Unit();
    ASSERT_TRUE(s.SetupOnce(*unit));
    EXPECT_TRUE(unit->Panel("FrameLeft")->Visible());
    EXPECT_EQ(unit->Panel("FrameLeft")->OffsetX(), 0);
    for (const char* other : {"FrameBottom", "FrameRight", "FrameTop"})
        EXPECT_FALSE(unit->Panel(other)->Visible()) << other;
    unit.reset();

    s.tree.Write("Game_Pak\\SongFrameBottom.png", songtest::Png(600, 12));
    s.tree.Write("Game_Pak\\SongFrameRight.png", songtest::Png(24, 300));
    auto framed = s.Unit();
    ASSERT_TRUE(s.SetupOnce(*framed));
    TXeRGBPanel* bottom = framed->Panel("FrameBottom");
    EXPECT_TRUE(bottom->Visible());
    EXPECT_EQ(bottom->OffsetX(), 20);
    EXPECT_EQ(bottom->OffsetY(), 288);
    EXPECT_EQ(framed->Panel("FrameRight")->OffsetX(), 616);
}

TEST(TMusicUnit, LyricSurfacesByWordMode)
{
    for (const int mode : {0, 1, 2}) {
        MusicScreen s;
        auto unit = s.Unit();
        unit->SetWordMode(static_cast<std::uint8_t>(mode));
        ASSERT_TRUE(s.SetupOnce(*unit)) << mode;
        EXPECT_EQ(unit->LyricFont() != nullptr, mode != 0) << mode;
        EXPECT_EQ(unit->Panel("WordP")->Image() != nullptr, mode != 0) << mode;
        EXPECT_EQ(unit->LyricAlpha() != nullptr, mode == 2) << mode;
        EXPECT_EQ(unit->LyricBits(1) != nullptr, mode == 2) << mode;
        if (mode != 0) {
            EXPECT_EQ(unit->LyricFont()->height, mode == 2 ? -48 : -24);
            EXPECT_EQ(unit->Panel("WordP")->MaskMode(), mmColorKey);
        }
    }
}

TEST(TMusicUnit, CaptionByPlayMode)
{
    MusicScreen s;
    auto unit = s.Unit();
    unit->SetAutoMode(2);
    ASSERT_TRUE(s.SetupOnce(*unit));
    EXPECT_TRUE(unit->Panel("CaptionPanel")->Visible());
    EXPECT_EQ(unit->Chart().notes[0].autoPlay, 1);
}

TEST(TMusicUnit, StartAndStop)
{
    MusicScreen s;
    auto unit = s.Unit();
    ASSERT_TRUE(s.SetupOnce(*unit));
    unit->Start();
    EXPECT_EQ(unit->Phase(), 1);
    unit->Stop();
    EXPECT_EQ(s.mutes, 0) << "the music was not playing";
    EXPECT_EQ(unit->Phase(), 0);
    unit->Music()->Play(false);
    unit->Stop();
    EXPECT_EQ(s.mutes, 1);
    EXPECT_EQ(s.Music()->stops, 1);
    EXPECT_FALSE(unit->Music()->IsPlay());
}

TEST(TMusicUnit, MemorySaveKeySoundsThroughTheScreen)
{
    MusicScreen s;
    auto unit = s.Unit();
    unit->SetMemorySave(1);
    ASSERT_TRUE(s.SetupOnce(*unit));
    const std::size_t made = s.device.made.size();
    unit->PlayKeySound(1);
    ASSERT_EQ(s.device.made.size(), made + 1);
    EXPECT_EQ(s.device.made.back()->plays, 1);
    unit->PlayKeySound(5);
    EXPECT_EQ(s.device.made.size(), made + 1);
}

TEST(TMusicUnit, SongAndKeysFromPacks)
{
    MusicScreen s;
    s.tree.PackFolder(SongData);
    s.tree.PackFolder("Song\\TV01\\key");
    ASSERT_FALSE(std::filesystem::exists(s.tree.Native(SongData)));
    auto unit = s.Unit();
    unit->SetMemorySave(1);
    ASSERT_TRUE(s.SetupOnce(*unit));
    EXPECT_EQ(unit->Keys().Count(), 2);
    EXPECT_EQ(unit->Chart().count, 2);
    EXPECT_EQ(unit->StageNow().characters[0].x, 10);
    unit->PlayKeySound(0);
    EXPECT_EQ(s.device.made.back()->head.substr(0, 4), "RIFF") << "a cached key sound made from its packed file";
    ASSERT_NE(s.Music(), nullptr) << "the music beside the pack";
}

TEST(TMusicUnit, SetupOnTheRealSoundDevice)
{
    MusicScreen s;
    s.tree.Write("Song\\TV01\\song.wav", songtest::WaveOfRamp(44100));
    auto back = std::make_shared<audio::ManualAudio>();
    TestSupport::ScopedAudioBackEnd audioGuard(back);
    TWinControl form(nullptr);
    auto* sound = new DirectX::TDSound(&form); // owned by the form
    sound->SetEnabled(true);
    DSoundSongDevice device(sound);
    SongDevices devices = s.devices;
    devices.sounds = &device;
    {
        auto unit = std::make_unique<TMusicUnit>(nullptr);
        unit->SetDevices(devices);
        unit->SetMemorySave(1);
        const std::size_t before = sound->BufferList().size();
        ASSERT_TRUE(s.SetupOnce(*unit));
        ASSERT_NE(unit->Music(), nullptr);
        const std::size_t made = sound->BufferList().size();
        EXPECT_EQ(made, before + 2) << "the stage effect and the music stream; no key sound before it is played";
        unit->PlayKeySound(0);
        EXPECT_EQ(sound->BufferList().size(), made + 1);
        ASSERT_TRUE(unit->Music()->Play(false));
        unit->Stop();
        EXPECT_EQ(s.mutes, 1);
        unit->Release();
        EXPECT_EQ(sound->BufferList().size(), before) << "every sound is given back";
    }
    sound->SetEnabled(false);
}

TEST(TMusicUnit, RunStrikesMissesContinuesAndAborts)
{
    MusicScreen s;
    s.tree.WriteText(std::string(SongData) + "\\Song.txt", "88200,1,CLAP,a,Hi\r\n176400,1,DRUM,s\r\n");
    std::uint32_t ms = 0;
    std::vector<int> results;
    std::vector<std::string> systemSounds;
    s.devices.musicMs = [&ms] { return ms; };
    s.devices.setResult = [&results](int result) { results.push_back(result); };
    s.devices.playSystemSound = [&systemSounds](const char* name) { systemSounds.emplace_back(name); };
    auto unit = s.Unit();
    unit->SetTimingMode(0);
    ASSERT_TRUE(s.SetupOnce(*unit));
    input::ScriptedSongInput keys(s.input);
    unit->Start();
    for (int i = 0; i < 60 + 21 + 1; ++i)
        unit->Step(1);
    EXPECT_EQ(unit->Phase(), 2);
    EXPECT_FALSE(unit->Panel("TitleP")->Visible());
    unit->Step(1);
    ASSERT_EQ(unit->Phase(), 3);
    ASSERT_NE(s.Music(), nullptr);
    EXPECT_EQ(s.Music()->plays, 1);

    ms = 990; // 882 units before the first note: a best
    keys.Press(0x1E);
    unit->Step(1);
    EXPECT_EQ(unit->GetGauge(), 21);
    EXPECT_EQ(unit->GetScore(), 35);
    EXPECT_TRUE(unit->Panel("Score01")->Visible());
    EXPECT_FALSE(unit->Panel("Score02")->Visible());
    EXPECT_EQ(unit->Panel("Score00")->BlockIndex(), 5);
    for (const std::uint32_t later : {2000u, 3000u, 4000u}) { // the second note goes by
        ms = later;
        unit->Step(1);
    }
    EXPECT_EQ(unit->GetGauge(), 20);
    EXPECT_EQ(unit->Panel("PopBig01")->BlockIndex(), 6);
    EXPECT_EQ(unit->Panel("PopBig02")->BlockIndex(), 2);

    s.Music()->ended = true;
    unit->Step(1);
    EXPECT_EQ(unit->Phase(), 4);
    unit->Step(1);
    EXPECT_EQ(unit->Phase(), 6); // gauge 20: the continue prompt
    EXPECT_EQ(systemSounds, (std::vector<std::string>{"SysSEPage"}));
    EXPECT_TRUE(unit->Panel("ContinueInfo")->Visible());
    keys.Press(0x15); // Y
    unit->Step(1);
    EXPECT_EQ(unit->Phase(), 3);
    EXPECT_FALSE(unit->Panel("ContinueInfo")->Visible());
    EXPECT_EQ(s.Music()->plays, 2);
    EXPECT_EQ(unit->GetScore(), 0);
    EXPECT_EQ(unit->Chart().notes[0].state, 0);

    keys.Press(0x01); // Escape held for more than 30 ticks in the performance
    for (int i = 0; i < 31; ++i)
        unit->Step(1);
    EXPECT_TRUE(results.empty());
    EXPECT_EQ(unit->Phase(), 5);
    for (int i = 0; i < 21; ++i)
        unit->Step(1);
    EXPECT_EQ(results, (std::vector<int>{2}));
    EXPECT_EQ(unit->Phase(), 0);
    EXPECT_GE(s.mutes, 1);
}

TEST(TMusicUnit, WaveClockFollowsTheStreamsOwnFormatAndNeverGoesBack)
{
    MusicScreen s;
    s.tree.WriteText(std::string(SongData) + "\\Song.txt", "88200,1,CLAP,a\r\n176400,1,DRUM,s\r\n");
    auto unit = s.Unit();
    unit->SetAutoMode(1); // the notes play themselves at their time
    ASSERT_TRUE(s.SetupOnce(*unit));
    ASSERT_EQ(unit->TimingMode(), 1);
    unit->Start();
    for (int i = 0; i < 60 + 21 + 2; ++i)
        unit->Step(1);
    ASSERT_EQ(unit->Phase(), 3);
    auto* music = s.Music();
    auto keyPlays = [&s] { return s.KeyPlays(); };
    const int before = keyPlays();
    music->bytesPerSecond = 44'100; // 22,050 Hz mono: one second is 44,100 bytes, not 176,400
    struct Read {
        std::uint64_t position;
        std::uint32_t bytesPerSecond;
        int plays;
        std::uint32_t clock;
    };
    const Read reads[] = {
        {44'099, 44'100, 0, 88'198},
        {44'100, 44'100, 1, 88'200}, // the first note falls due
        {100, 44'100, 1, 88'200},    // a read behind: no change, nothing sounds twice
        {44'100, 44'100, 1, 88'200},
        {90'000, 0, 1, 88'200},      // a failed read
        {88'200, 44'100, 2, 176'400},
    };
    for (const Read& r : reads) {
        music->position = r.position;
        music->bytesPerSecond = r.bytesPerSecond;
        unit->Step(1);
        EXPECT_EQ(keyPlays() - before, r.plays) << r.position;
        EXPECT_EQ(unit->Run()->Clock().clock, r.clock) << r.position;
    }
    EXPECT_EQ(unit->GetGauge(), 22);
    EXPECT_EQ(unit->GetScore(), 0);
}
