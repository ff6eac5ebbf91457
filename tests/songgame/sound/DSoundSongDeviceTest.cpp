#include "songgame/sound/DSoundSongDevice.h"

#include "songgame/SongTree.h"

#include "shell/ShellTestSupport.h"

#include "platform/audio/headless/ManualAudio.h"
#include "platform/classes/Stream.h"
#include "platform/classes/WinControl.h"
#include "sound/TDSound.h"

#include <gtest/gtest.h>

namespace {

void Fill(TMemoryStream& stream, const songtest::Bytes& bytes)
{
    stream.WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
    stream.SetPosition(0);
}

} // namespace

// The device's decoders by kind, on the manual audio clock.
TEST(DSoundSongDevice, MakesSoundsByKind)
{
    auto back = std::make_shared<audio::ManualAudio>();
    audio::SetDefaultBackEnd(back);
    TWinControl form(nullptr);
    auto* sound = new DirectX::TDSound(&form); // owned by the form
    sound->SetEnabled(true);
    {
        DSoundSongDevice device(sound);
        TMemoryStream wave;
        TMemoryStream ogg;
        TMemoryStream junk;
        Fill(wave, songtest::WaveOfRamp(441));
        Fill(ogg, shelltest::OggOfSine(0.1, 440));
        Fill(junk, songtest::Bytes(64, 7));
        EXPECT_NE(device.CreateBuffer(SongSoundKind::Wave, &wave), nullptr);
        EXPECT_NE(device.CreateBuffer(SongSoundKind::Ogg, &ogg), nullptr);
        EXPECT_EQ(device.CreateBuffer(SongSoundKind::Ogg, &wave), nullptr) << "WAVE data is no Ogg Vorbis";
        EXPECT_EQ(device.CreateBuffer(SongSoundKind::Adpcm, &junk), nullptr);
        EXPECT_EQ(device.CreateBuffer(SongSoundKind::Wave, &junk), nullptr);
        auto again = device.CreateBuffer(SongSoundKind::Wave, &wave);
        EXPECT_NE(again, nullptr) << "a kept stream makes its sound again from the start";
        auto music = device.CreateStream(SongSoundKind::Ogg, &ogg);
        ASSERT_NE(music, nullptr);
        EXPECT_TRUE(music->Play(false));
        EXPECT_TRUE(music->IsPlay());
        music->Stop();
        EXPECT_FALSE(music->IsPlay());
        sound->SetEnabled(false); // deletes every buffer: the sounds become inert
        EXPECT_FALSE(music->Play(false));
    }
    audio::SetDefaultBackEnd(nullptr);
}
