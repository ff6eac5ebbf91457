#include "shell/sound/DSoundGameDevice.h"

#include "base/PackFixture.h"
#include "base/packs/TFileMan.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "platform/audio/headless/ManualAudio.h"
#include "platform/classes/WinControl.h"
#include "shell/ShellTestSupport.h"
#include "shell/sound/GameSoundChannels.h"
#include "sound/TDSound.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

constexpr std::uint64_t kSecond = 44100;

// The sound device on the manual audio clock, with BGM and data folders of generated Ogg files
// and the channels over it.
class DSoundGameDeviceTest : public ::testing::Test {
protected:
    DSoundGameDeviceTest()
    {
        audio::SetDefaultBackEnd(back_);
        sound_ = new DirectX::TDSound(&form_); // owned by form_
        sound_->SetEnabled(true);
        folder_.Write("BGM/Track01.bgm", shelltest::OggOfSine(2.0, 440));
        folder_.Write("BGM/Track02.bgm", shelltest::OggOfSine(0.1, 330));
        folder_.Write("Data/se1.ogg", shelltest::OggOfSine(0.2, 880));
        bgmFiles_.InitDir(folder_.Name("BGM"));
        files_.InitDir(folder_.Name("Data"));
    }
    ~DSoundGameDeviceTest() override
    {
        sound_->SetEnabled(false);
        audio::SetDefaultBackEnd(nullptr);
    }

    // The loudest sample heard since the last call.
    int Loudest()
    {
        const std::vector<std::uint8_t> output = back_->TakeOutput();
        int loudest = 0;
        for (std::size_t i = 0; i + 1 < output.size(); i += 2) {
            std::int16_t sample;
            std::memcpy(&sample, &output[i], 2);
            loudest = std::max(loudest, std::abs(static_cast<int>(sample)));
        }
        return loudest;
    }

    std::shared_ptr<audio::ManualAudio> back_ = std::make_shared<audio::ManualAudio>();
    TWinControl form_{nullptr};
    DirectX::TDSound* sound_ = nullptr;
    PackFixture::ScratchFolder folder_;
    shelltest::ScopedGlobals globals_;
    TFileMan bgmFiles_{nullptr};
    TFileMan files_{nullptr};
};

} // namespace

TEST_F(DSoundGameDeviceTest, PlaysGeneratedOggThroughTheChannelsOnTheManualClock)
{
    ASSERT_TRUE(sound_->Enabled());
    DSoundGameDevice device(sound_);
    GameSoundChannels channels(MemMan, &bgmFiles_);
    channels.SetDevice(&device);
    channels.SetBGMVolume(100);
    ASSERT_TRUE(channels.PlayBGM(1, true, false));
    ASSERT_TRUE(channels.PlaySE("se1", &files_, 0, 0));
    back_->Advance(kSecond / 2);
    EXPECT_GT(Loudest(), 8000) << "two half-scale sines at full volume";
    EXPECT_TRUE(channels.IsBGMPlaying());
    EXPECT_FALSE(channels.IsSEPlaying()) << "a sound played once stops at its end";

    // The level glides down to silence; the streamed track keeps playing, silent.
    channels.SetBGMLevel(0);
    channels.GlideVolumes(50);
    back_->Advance(kSecond / 2);
    (void)back_->TakeOutput();
    back_->Advance(kSecond / 4);
    EXPECT_EQ(Loudest(), 0);
    EXPECT_TRUE(channels.IsBGMPlaying());

    channels.StopBGM(false);
    EXPECT_FALSE(channels.IsBGMPlaying());
    channels.SetDevice(nullptr);
    EXPECT_EQ(sound_->BufferList().size(), 1u) << "only the primary buffer is left";
    EXPECT_EQ(globals_.Listed(), 0u);
    EXPECT_TRUE(bgmFiles_.Pointers().empty());
}

TEST_F(DSoundGameDeviceTest, ASoundOutlivingItsDeviceBufferIsInert)
{
    DSoundGameDevice device(sound_);
    TStream* file = files_.Open("se1.ogg");
    ASSERT_NE(file, nullptr);
    std::unique_ptr<GameSound> sound = device.CreateBufferFromOgg(file);
    files_.Close(file);
    ASSERT_NE(sound, nullptr);
    EXPECT_TRUE(sound->Play(false));
    sound_->SetEnabled(false); // deletes every buffer the device made
    EXPECT_FALSE(sound->IsPlay());
    EXPECT_FALSE(sound->Play(true));
    sound->SetVolume(-100);
    sound.reset();
    EXPECT_EQ(device.CreateBufferMute(1), nullptr) << "a disabled device makes nothing";
}

TEST_F(DSoundGameDeviceTest, AFrameThreadGlidesWhileTheLogicThreadMakesSoundsAndObjects)
{
    DSoundGameDevice device(sound_);
    GameSoundChannels channels(MemMan, &bgmFiles_);
    channels.SetDevice(&device);
    constexpr int kRounds = 40;

    // The loading-time frame thread: glides that end fades, until the logic thread is done.
    std::atomic<bool> done{false};
    std::thread frames([&] {
        while (!done)
            channels.GlideVolumes(50);
    });
    // The logic thread: new tracks with fades, pictures through the registry and sound buffers
    // through the device outside the sound lock.
    for (int round = 0; round < kRounds; ++round) {
        EXPECT_TRUE(channels.PlayBGM(1 + round % 2, false, true));
        TXeRGBBits* bits = MemMan->CreateVCL<TXeRGBBits>();
        std::unique_ptr<DirectX::TDSoundBuffer> buffer(sound_->CreateBufferMute(1));
        EXPECT_NE(bits, nullptr);
        EXPECT_NE(buffer, nullptr);
        MemMan->Delete(bits);
    }
    done = true;
    frames.join();

    channels.SetDevice(nullptr);
    EXPECT_EQ(globals_.Listed(), 0u);
    EXPECT_EQ(sound_->BufferList().size(), 1u);
    EXPECT_TRUE(bgmFiles_.Pointers().empty());
}
