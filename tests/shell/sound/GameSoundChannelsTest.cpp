#include "shell/sound/GameSoundChannels.h"

#include "RecordingSoundDevice.h"
#include "base/PackFixture.h"
#include "base/packs/TFileMan.h"
#include "shell/ShellTestSupport.h"
#include "shell/helpers/VolumeCurve.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

using shelltest::RecordingSoundDevice;
using Log = std::vector<std::string>;

namespace {

// Channels on a recording device; every file holds the name its sound is known by.
class GameSoundChannelsTest : public ::testing::Test {
protected:
    GameSoundChannelsTest()
    {
        for (int track = 1; track <= 4; ++track)
            Put("BGM\\Track0" + std::to_string(track) + ".bgm", "bgm" + std::to_string(track));
        Put("BGM\\Track05.bgm", "bad");
        for (const char* name : {"v1", "v2", "se1", "se2", "amb1", "amb2"})
            Put(std::string("Data\\") + name + ".ogg", name);
        Put("Data\\bad.ogg", "bad");
        // Stored in lower case; the game asks with the case its callers use.
        Put("Data\\sysseerr.ogg", "syserr");
        Put("Data\\SysSeOk.ogg", "sysok");
        bgmFiles_.InitDir(folder_.Name("BGM"));
        files_.InitDir(folder_.Name("Data"));
        channels_.SetDevice(&device_);
        device_.TakeLog();
    }
    ~GameSoundChannelsTest() override
    {
        channels_.SetDevice(nullptr);
        EXPECT_EQ(globals_.Listed(), 0u) << "every sound released through the registry";
        EXPECT_TRUE(bgmFiles_.Pointers().empty()) << "every BGM file closed";
        EXPECT_TRUE(files_.Pointers().empty());
    }

    void Put(const std::string& name, const std::string& text)
    {
        std::string native = name;
        for (char& c : native)
            if (c == '\\')
                c = '/';
        folder_.Write(native, PackFixture::Bytes(text.begin(), text.end()));
    }

    PackFixture::ScratchFolder folder_;
    shelltest::ScopedGlobals globals_;
    TFileMan bgmFiles_{nullptr};
    TFileMan files_{nullptr};
    RecordingSoundDevice device_;
    GameSoundChannels channels_{MemMan, &bgmFiles_};
};

} // namespace

TEST_F(GameSoundChannelsTest, BGMReplacesPlaysAndReleasesTracksAsTheTableSays)
{
    ASSERT_TRUE(channels_.PlayBGM(1, true, false));
    EXPECT_EQ(device_.TakeLog(), (Log{"bgm1 play loop"}));
    EXPECT_EQ(device_.Volume("bgm1"), VolumeToAttenuation(70)) << "the default BGM volume";
    EXPECT_TRUE(channels_.IsBGMPlaying());

    // The same track with the same loop flag changes nothing, also after it has ended.
    device_.EndPlaying("bgm1");
    EXPECT_TRUE(channels_.PlayBGM(1, true, true));
    EXPECT_EQ(device_.TakeLog(), Log{});
    EXPECT_FALSE(channels_.IsBGMPlaying());

    // Another loop flag restarts it; without a fade the old stream goes at once, after the silence.
    ASSERT_TRUE(channels_.PlayBGM(1, false, false));
    EXPECT_EQ(device_.TakeLog(), (Log{"mute play", "bgm1 stop", "bgm1 deleted", "bgm1 play"}));
    EXPECT_EQ(device_.Made("bgm1"), 2);

    // With a fade the old track keeps playing in the other slot; a third track releases it at once.
    ASSERT_TRUE(channels_.PlayBGM(2, true, true));
    EXPECT_NE(device_.Live("bgm1"), nullptr) << "fading out";
    ASSERT_TRUE(channels_.PlayBGM(3, true, true));
    EXPECT_EQ(device_.Live("bgm1"), nullptr);
    EXPECT_NE(device_.Live("bgm2"), nullptr);
    device_.TakeLog();

    // A missing or undecodable track leaves the BGM silent with track 0, and is tried again.
    EXPECT_FALSE(channels_.PlayBGM(9, true, false));
    EXPECT_FALSE(channels_.IsBGMPlaying());
    EXPECT_FALSE(channels_.PlayBGM(5, true, false));
    EXPECT_TRUE(channels_.PlayBGM(3, true, false)) << "track 0 was stored, so 3 opens again";
    EXPECT_EQ(device_.Made("bgm3"), 2);
}

TEST_F(GameSoundChannelsTest, AFadedStopAtVolumeZeroReleasesAtOnce)
{
    channels_.SetBGMVolume(0);
    ASSERT_TRUE(channels_.PlayBGM(1, true, false));
    EXPECT_EQ(device_.Volume("bgm1"), -10000);
    channels_.StopBGM(true);
    EXPECT_EQ(device_.Live("bgm1"), nullptr);
    EXPECT_FALSE(channels_.IsBGMPlaying());
    // After a stop the same track plays again.
    EXPECT_TRUE(channels_.PlayBGM(1, true, false));
    EXPECT_EQ(device_.Made("bgm1"), 2);
}

TEST_F(GameSoundChannelsTest, GlidesTwoPointsAPulse)
{
    channels_.SetBGMVolume(100);
    ASSERT_TRUE(channels_.PlayBGM(1, true, false));
    ASSERT_TRUE(channels_.PlayBGM(2, true, true));
    // bgm1 fades out from 100 while bgm2 glides from 100 to the new level 0.
    channels_.SetBGMLevel(0);
    EXPECT_EQ(device_.Volume("bgm2"), 0) << "a level is reached by the glide only";
    channels_.GlideVolumes(0);
    EXPECT_EQ(device_.Volume("bgm2"), 0) << "nothing happens for no pulse";
    for (int pulse = 1; pulse < 50; ++pulse)
        channels_.GlideVolumes(1);
    EXPECT_EQ(device_.Volume("bgm1"), VolumeToAttenuation(2));
    EXPECT_EQ(device_.Volume("bgm2"), VolumeToAttenuation(2));
    channels_.GlideVolumes(1);
    EXPECT_EQ(device_.Live("bgm1"), nullptr) << "100 to 0 takes 50 pulses";
    EXPECT_EQ(device_.Volume("bgm2"), -10000);

    // The step is scaled by the pulses a frame stands for, and never passes the target.
    channels_.SetBGMLevel(100);
    channels_.GlideVolumes(10);
    EXPECT_EQ(device_.Volume("bgm2"), VolumeToAttenuation(20));
    channels_.GlideVolumes(1000);
    EXPECT_EQ(device_.Volume("bgm2"), 0);

    // A volume change applies at once.
    channels_.SetBGMVolume(50);
    EXPECT_EQ(device_.Volume("bgm2"), VolumeToAttenuation(50));
}

TEST_F(GameSoundChannelsTest, AGlideOnAnotherThreadLeavesTheDeletionToTheSoundThread)
{
    ASSERT_TRUE(channels_.PlayBGM(1, true, false));
    ASSERT_TRUE(channels_.PlayBGM(2, true, true));
    ASSERT_TRUE(channels_.PlayRear("amb1", &files_, false, 0, 0));
    channels_.StopRear(true);
    device_.TakeLog();
    std::thread([this] { channels_.GlideVolumes(50); }).join();
    ASSERT_NE(device_.Live("bgm1"), nullptr);
    EXPECT_FALSE(device_.Live("bgm1")->playing) << "faded out and stopped";
    ASSERT_NE(device_.Live("amb1"), nullptr);
    EXPECT_FALSE(device_.Live("amb1")->playing);
    EXPECT_FALSE(channels_.IsRearPlaying());
    EXPECT_EQ(bgmFiles_.Pointers().size(), 2u);

    // The sound thread's next frame deletes them and closes the file.
    channels_.GlideVolumes(1);
    EXPECT_EQ(device_.Live("bgm1"), nullptr);
    EXPECT_EQ(device_.Live("amb1"), nullptr);
    EXPECT_EQ(bgmFiles_.Pointers().size(), 1u);
}

TEST_F(GameSoundChannelsTest, EffectiveVolumesFollowTheChannelsKindAndLevel)
{
    channels_.SetVoiceVolume(60);
    channels_.SetSEVolume(80);
    channels_.SetRearVolume(40);
    channels_.SetSELevel(50);

    // A rear voice follows the ambient volume, not the voice volume.
    ASSERT_TRUE(channels_.PlayVoice("v1.ogg", &files_, 7, 1));
    EXPECT_EQ(device_.Volume("v1"), VolumeToAttenuation(40));
    channels_.SetVoiceVolume(10);
    EXPECT_EQ(device_.Volume("v1"), VolumeToAttenuation(40));
    channels_.SetRearVolume(30);
    EXPECT_EQ(device_.Volume("v1"), VolumeToAttenuation(30));
    channels_.SetVoiceLevel(50);
    EXPECT_EQ(device_.Volume("v1"), VolumeToAttenuation(15));

    // A plain sound effect: its own volume and level.
    ASSERT_TRUE(channels_.PlaySE("se1", &files_, 0, 0));
    EXPECT_EQ(device_.Volume("se1"), VolumeToAttenuation(40));
    channels_.SetRearVolume(90);
    EXPECT_EQ(device_.Volume("se1"), VolumeToAttenuation(40));

    // The system sound: the sound-effect volume without a level.
    ASSERT_TRUE(channels_.PlaySystemSE("SysSEErr", &files_));
    EXPECT_EQ(device_.Volume("syserr"), VolumeToAttenuation(80));
    channels_.SetSELevel(20);
    EXPECT_EQ(device_.Volume("syserr"), VolumeToAttenuation(80));
    channels_.SetSEVolume(70);
    EXPECT_EQ(device_.Volume("syserr"), VolumeToAttenuation(70));
    EXPECT_EQ(device_.Volume("se1"), VolumeToAttenuation(14));

    // The ambient sound: the sound-effect volume times the ambient level, or the ambient volume
    // for a rear sound; volume changes reach it through the glide.
    channels_.SetRearLevel(50);
    ASSERT_TRUE(channels_.PlayRear("amb1", &files_, false, 0, 0));
    EXPECT_EQ(device_.Volume("amb1"), VolumeToAttenuation(35));
    channels_.SetSEVolume(100);
    EXPECT_EQ(device_.Volume("amb1"), VolumeToAttenuation(35));
    channels_.GlideVolumes(100);
    EXPECT_EQ(device_.Volume("amb1"), VolumeToAttenuation(50));
    ASSERT_TRUE(channels_.PlayRear("amb2", &files_, false, 0, 1));
    EXPECT_EQ(device_.Volume("amb2"), VolumeToAttenuation(45));
}

TEST_F(GameSoundChannelsTest, SettersIgnoreValuesOutsideZeroToHundred)
{
    struct Setting {
        const char* name;
        std::function<void(int)> set;
        std::function<int()> get;
    };
    const Setting settings[] = {
        {"BGM", [this](int v) { channels_.SetBGMVolume(v); }, [this] { return channels_.GetBGMVolume(); }},
        {"voice", [this](int v) { channels_.SetVoiceVolume(v); }, [this] { return channels_.GetVoiceVolume(); }},
        {"SE", [this](int v) { channels_.SetSEVolume(v); }, [this] { return channels_.GetSEVolume(); }},
        {"rear", [this](int v) { channels_.SetRearVolume(v); }, [this] { return channels_.GetRearVolume(); }},
    };
    for (const Setting& s : settings) {
        for (const int value : {0, 100, 37}) {
            s.set(value);
            EXPECT_EQ(s.get(), value) << s.name;
        }
        for (const int value : {101, -1}) {
            s.set(value);
            EXPECT_EQ(s.get(), 37) << s.name << " kept for " << value;
        }
    }
    // Levels: an ignored level leaves the glide's target alone.
    channels_.SetBGMVolume(100);
    ASSERT_TRUE(channels_.PlayBGM(1, true, false));
    for (const int value : {101, -1}) {
        channels_.SetBGMLevel(value);
        channels_.GlideVolumes(50);
        EXPECT_EQ(device_.Volume("bgm1"), 0) << value;
    }
}

TEST_F(GameSoundChannelsTest, VoiceAndEffectReplayTheSameSoundAndReplaceAnother)
{
    ASSERT_TRUE(channels_.PlayVoice("v1.ogg", &files_, 3, 0));
    device_.EndPlaying("v1");
    EXPECT_FALSE(channels_.IsVoicePlaying());
    ASSERT_TRUE(channels_.PlayVoice("v1.ogg", &files_, 3, 0));
    EXPECT_EQ(device_.Made("v1"), 1) << "the same name and pair replay the loaded buffer";
    EXPECT_TRUE(channels_.IsVoicePlaying());
    ASSERT_TRUE(channels_.PlayVoice("v1.ogg", &files_, 4, 0));
    EXPECT_EQ(device_.Made("v1"), 2) << "the pair is part of the identity";

    device_.TakeLog();
    EXPECT_FALSE(channels_.PlayVoice("missing.ogg", &files_, 0, 0));
    EXPECT_EQ(device_.TakeLog(), (Log{"mute play", "v1 stop", "v1 deleted"}));
    EXPECT_FALSE(channels_.IsVoicePlaying());
    EXPECT_FALSE(channels_.PlaySE("bad", &files_, 0, 0)) << "an undecodable file";
    EXPECT_FALSE(channels_.PlaySE("se1", nullptr, 0, 0)) << "no file manager";

    ASSERT_TRUE(channels_.PlaySE("se1", &files_, 0, 0));
    EXPECT_TRUE(channels_.IsSEPlaying());
    channels_.StopSE();
    EXPECT_EQ(device_.Live("se1"), nullptr);
    EXPECT_FALSE(channels_.IsSEPlaying());

    // The system sound is known by its name alone; names keep their case ("SysSE", "SysSe").
    ASSERT_TRUE(channels_.PlaySystemSE("SysSEErr", &files_));
    ASSERT_TRUE(channels_.PlaySystemSE("SysSEErr", &files_));
    EXPECT_EQ(device_.Made("syserr"), 1);
    ASSERT_TRUE(channels_.PlaySystemSE("SysSeOk", &files_));
    EXPECT_EQ(device_.Live("syserr"), nullptr);
    EXPECT_TRUE(channels_.IsSystemSEPlaying());
    channels_.ReleaseSystemSE();
    EXPECT_FALSE(channels_.IsSystemSEPlaying());
}

TEST_F(GameSoundChannelsTest, AmbientFadesInAndOutAndAReRequestCancelsTheFadeOut)
{
    channels_.SetSEVolume(100);
    ASSERT_TRUE(channels_.PlayRear("amb1", &files_, true, 0, 0));
    EXPECT_EQ(device_.TakeLog(), (Log{"amb1 play loop"}));
    EXPECT_EQ(device_.Volume("amb1"), -10000) << "a fade-in starts at 0";
    channels_.GlideVolumes(25);
    EXPECT_EQ(device_.Volume("amb1"), VolumeToAttenuation(50));
    channels_.GlideVolumes(25);
    EXPECT_EQ(device_.Volume("amb1"), 0);
    EXPECT_TRUE(channels_.IsRearPlaying());

    channels_.StopRear(true);
    EXPECT_FALSE(channels_.IsRearPlaying()) << "false while fading out";
    channels_.GlideVolumes(10);
    EXPECT_EQ(device_.Volume("amb1"), VolumeToAttenuation(80));
    EXPECT_TRUE(channels_.PlayRear("amb1", &files_, false, 0, 0));
    EXPECT_EQ(device_.Made("amb1"), 1) << "the playing sound is kept";
    EXPECT_TRUE(channels_.IsRearPlaying());
    channels_.GlideVolumes(5);
    EXPECT_EQ(device_.Volume("amb1"), VolumeToAttenuation(90)) << "the fade-out turned into a glide back up";

    channels_.StopRear(true);
    channels_.GlideVolumes(45);
    EXPECT_EQ(device_.Live("amb1"), nullptr) << "released when the fade-out reaches 0";

    // Another sound replaces the ambient sound at once; a stop without a fade releases it.
    ASSERT_TRUE(channels_.PlayRear("amb1", &files_, false, 0, 0));
    ASSERT_TRUE(channels_.PlayRear("amb2", &files_, false, 0, 0));
    EXPECT_EQ(device_.Live("amb1"), nullptr);
    channels_.StopRear(false);
    EXPECT_EQ(device_.Live("amb2"), nullptr);
    EXPECT_FALSE(channels_.PlayRear("bad", &files_, false, 0, 0));
    EXPECT_FALSE(channels_.IsRearPlaying());
}

TEST_F(GameSoundChannelsTest, WithoutADevicePlaysSucceedSilentlyAndSettersOnlyStore)
{
    channels_.SetDevice(nullptr);
    EXPECT_EQ(device_.TakeLog(), (Log{"mute stop", "mute deleted"}));
    EXPECT_TRUE(channels_.PlayBGM(1, true, true));
    EXPECT_TRUE(channels_.OpenBGMTrack(0, 1, true, 50));
    EXPECT_TRUE(channels_.PlayVoice("v1.ogg", &files_, 0, 0));
    EXPECT_TRUE(channels_.PlaySE("missing", &files_, 0, 0));
    EXPECT_TRUE(channels_.PlayRear("amb1", &files_, true, 0, 0));
    EXPECT_TRUE(channels_.PlaySystemSE("SysSEErr", &files_));
    EXPECT_TRUE(channels_.PlayRear2());
    channels_.StopBGM(false);
    channels_.StopRear(true);
    channels_.PlayMute();
    channels_.GlideVolumes(3);
    EXPECT_FALSE(channels_.IsBGMPlaying());
    EXPECT_FALSE(channels_.IsVoicePlaying());
    EXPECT_FALSE(channels_.IsSEPlaying());
    EXPECT_FALSE(channels_.IsRearPlaying());
    EXPECT_FALSE(channels_.IsSystemSEPlaying());
    EXPECT_FALSE(channels_.IsRear2Playing());
    channels_.SetVoiceVolume(12);
    EXPECT_EQ(channels_.GetVoiceVolume(), 12);
    EXPECT_EQ(device_.TakeLog(), Log{});
}

TEST_F(GameSoundChannelsTest, DetachingTheDeviceReleasesEverySoundAndFile)
{
    ASSERT_TRUE(channels_.PlayBGM(1, true, false));
    ASSERT_TRUE(channels_.PlayBGM(2, true, true));
    ASSERT_TRUE(channels_.PlayVoice("v1.ogg", &files_, 0, 0));
    ASSERT_TRUE(channels_.PlaySE("se1", &files_, 0, 0));
    ASSERT_TRUE(channels_.PlayRear("amb1", &files_, false, 0, 0));
    ASSERT_TRUE(channels_.PlaySystemSE("SysSeOk", &files_));
    EXPECT_EQ(globals_.Listed(), 7u);
    EXPECT_EQ(bgmFiles_.Pointers().size(), 2u) << "streams keep their files open";
    channels_.SetDevice(nullptr);
    for (const char* name : {"bgm1", "bgm2", "v1", "se1", "amb1", "sysok", "mute"})
        EXPECT_EQ(device_.Live(name), nullptr) << name;
}
