// TDSound: enabling and its failures, the property setters, reformatting the primary buffer,
// the whole-sound and silent-buffer factories, restoring, and deleting every buffer on release.
#include "SoundDeviceSupport.h"
#include "SoundTestSupport.h"

#include "platform/audio/headless/ManualAudio.h"
#include "platform/classes/Stream.h"
#include "sound/TDSound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

using namespace SoundTest;
using namespace DirectX;

Bytes BufferBytes(TCustomDSoundBuffer& buffer)
{
    audio::LockedRegion a, b;
    EXPECT_TRUE(buffer.Buffer()->Lock(0, buffer.Length(), a, b));
    return Bytes(a.data, a.data + a.bytes);
}

TEST(TDSound, NeedsAWindowAndAWorkingOutput)
{
    auto back = std::make_shared<audio::ManualAudio>();
    const TestSupport::ScopedAudioBackEnd installed(back);
    {
        TComponent plain(nullptr);
        auto* sound = new TDSound(&plain);
        EXPECT_FALSE(sound->DSoundCreate()) << "no windowed owner";
        EXPECT_FALSE(sound->Enabled());
    }
    {
        back->settings.openFails = true;
        TWinControl form(nullptr);
        auto* sound = new TDSound(&form);
        sound->SetEnabled(true);
        EXPECT_FALSE(sound->Enabled());
        EXPECT_EQ(sound->DirectSound(), nullptr);
        EXPECT_EQ(sound->PrimaryBuffer(), nullptr);
        EXPECT_TRUE(sound->BufferList().empty());
    }
}

TEST(TDSound, SettersKeepOnlyValidValues)
{
    ManualSound m;
    TDSound& s = *m.sound;
    s.SetChannels(3);
    s.SetBitsPerSample(24);
    s.SetSamplesPerSec(0);
    EXPECT_EQ(s.Channels(), 2);
    EXPECT_EQ(s.BitsPerSample(), 16);
    EXPECT_EQ(s.SamplesPerSec(), 44100u);
    s.SetUse3D(true);
    EXPECT_FALSE(s.Use3D()) << "taken only while disabled";
    EXPECT_EQ(s.PrimaryBuffer()->Buffer()->GetCaps().flags, audio::kBufPrimary | audio::kBufCtrlVolume);
}

TEST(TDSound, ChangingTheRateReformatsThePlayingPrimaryBuffer)
{
    ManualSound m;
    TDSound& s = *m.sound;
    ASSERT_TRUE(s.IsPlay());
    s.SetSamplesPerSec(22050);
    EXPECT_EQ(m.back->Format(), (audio::PcmFormat{2, 22050, 16}));
    EXPECT_TRUE(s.IsPlay()) << "restarted looping";
    EXPECT_EQ(s.PrimaryBuffer()->SamplesPerSec(), 22050u);
    s.SetBitsPerSample(8);
    s.SetChannels(1);
    EXPECT_EQ(m.back->Format(), (audio::PcmFormat{1, 22050, 8}));
}

TEST(TDSound, WholeSoundFactoriesIgnoreTheirFlags)
{
    ManualSound m;
    const Bytes pcm = Noise16(1000, 2, 1);
    TMemoryStream wave;
    const Bytes file = PcmWave(2, 44100, 16, pcm);
    wave.WriteBuffer(file.data(), static_cast<int>(file.size()));
    TDSoundBuffer* buffer = m.sound->CreateBufferFromWave(&wave, true, true, true);
    ASSERT_NE(buffer, nullptr);
    EXPECT_FALSE(buffer->PanEnabled());
    EXPECT_FALSE(buffer->FreqEnabled());
    EXPECT_FALSE(buffer->StaticFlag());
    EXPECT_EQ(buffer->Buffer()->GetCaps().flags,
              audio::kBufGetCurrentPosition2 | audio::kBufCtrlVolume | audio::kBufLocSoftware | audio::kBufGlobalFocus);
    EXPECT_EQ(BufferBytes(*buffer), pcm);
    EXPECT_EQ(buffer->Owner(), m.sound);

    MemoryZTStream adp(Adp1File(4410, 1, 22050, 2));
    TDSoundBuffer3D* three = m.sound->CreateBuffer3DFromAdp(&adp, true);
    ASSERT_NE(three, nullptr);
    EXPECT_TRUE(three->StaticFlag()) << "3-D whole sounds are made static";
    EXPECT_FALSE(three->FreqEnabled());
    EXPECT_NE(three->Buffer3D(), nullptr);
    EXPECT_EQ(three->Length(), 4410u * 2);
}

TEST(TDSound, MakesBuffersAndStreamsOfWidePcm)
{
    ManualSound m;
    Bytes wide, want;
    for (int i = 0; i < 4410; ++i) {
        const auto sample = static_cast<std::uint16_t>(i * 37);
        wide.insert(wide.end(), {0, 0});
        Put16(wide, sample);
        Put16(want, sample);
    }
    MemoryZTStream file(PcmWave(2, 44100, 32, wide));
    TDSoundBuffer* buffer = m.sound->CreateBufferFromWave(&file, false, false, false);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer->BitsPerSample(), 16);
    EXPECT_EQ(BufferBytes(*buffer), want);
    MemoryZTStream streamed(PcmWave(1, 22050, 24, Bytes(3000, 0x11)));
    TDSoundStream* stream = m.sound->CreateStreamFromWave(&streamed, false, false);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->BitsPerSample(), 16);
    EXPECT_EQ(stream->GetStreamSize(), 2000u);
}

TEST(TDSound, MakesNoBufferFromAStreamThatYieldsNothing)
{
    ManualSound m;
    MemoryZTStream empty(PcmWave(2, 44100, 16, {}));
    EXPECT_EQ(m.sound->CreateBufferFromWave(&empty, false, false, false), nullptr);
    MemoryZTStream broken(Bytes(64, 0x42));
    EXPECT_EQ(m.sound->CreateBufferFromOgg(&broken, false, false, false), nullptr);
    EXPECT_EQ(m.sound->CreateBufferFromMp3(&broken, false, false, false), nullptr);
    EXPECT_EQ(m.sound->CreateStreamFromAdp(&broken, false, false), nullptr);
    EXPECT_EQ(m.sound->BufferList().size(), 1u) << "only the primary buffer";
}

TEST(TDSound, MakesSilentBuffersOfWholeSeconds)
{
    {
        ManualSound m;
        TDSoundBuffer* mute = m.sound->CreateBufferMute(1);
        ASSERT_NE(mute, nullptr);
        EXPECT_EQ(mute->Length(), 176400u);
        EXPECT_EQ(BufferBytes(*mute), Bytes(176400, 0));
        EXPECT_EQ(m.sound->CreateBufferMute(0), nullptr);
        EXPECT_EQ(m.sound->CreateBufferMute(-3), nullptr);
        EXPECT_EQ(m.sound->CreateBufferMute(2000), nullptr) << "past the largest buffer";
    }
    ManualSound m;
    m.sound->SetBitsPerSample(8);
    m.sound->SetChannels(1);
    TDSoundBuffer* mute = m.sound->CreateBufferMute(1);
    ASSERT_NE(mute, nullptr);
    EXPECT_EQ(BufferBytes(*mute), Bytes(44100, 0x80));
}

TEST(TDSound, RestoresLostBuffersAndDeletesAllOnRelease)
{
    ManualSound m;
    TDSoundBuffer* a = m.sound->CreateBuffer(400);
    TDSoundBuffer* b = m.sound->CreateBuffer(1, 22050, 8, 100, true, true, true);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_TRUE(b->StaticFlag());
    EXPECT_TRUE(b->Buffer()->GetCaps().flags & audio::kBufStatic);
    MemoryZTStream source(PcmWave(2, 44100, 16, Noise16(44100, 2, 3)));
    TDSoundStream* stream = m.sound->CreateStreamFromWave(&source, false, false);
    ASSERT_NE(stream, nullptr);
    int restored = 0;
    a->OnRestore = b->OnRestore = [&](TObject*) { ++restored; };
    m.sound->DirectSound()->LoseBuffers();
    EXPECT_TRUE(a->IsLost());
    EXPECT_TRUE(m.sound->RestoreAllBuffers());
    EXPECT_EQ(restored, 2);
    EXPECT_FALSE(b->IsLost());
    EXPECT_EQ(m.sound->BufferList().size(), 4u);

    int deleted = 0;
    struct Watch : TComponent {
        Watch(int& count) : TComponent(nullptr), count(count) {}
        void Notification(TComponent*, TOperation op) override { count += op == opRemove; }
        int& count;
    } watch(deleted);
    for (TCustomDSoundBuffer* buffer : m.sound->BufferList())
        watch.FreeNotification(buffer);
    m.sound->SetEnabled(false);
    EXPECT_EQ(deleted, 4);
    EXPECT_TRUE(m.sound->BufferList().empty());
    EXPECT_EQ(m.sound->CreateBuffer(400), nullptr) << "disabled";
    EXPECT_FALSE(m.sound->RestoreAllBuffers());
}

TEST(TDSound, ReportsCapabilitiesEnabledOrNot)
{
    ManualSound m;
    audio::DeviceCaps caps;
    ASSERT_TRUE(m.sound->GetCaps(&caps));
    EXPECT_EQ(caps.size, 96u);
    EXPECT_EQ(caps.maxSecondaryRate, audio::kFrequencyMax);
    m.sound->SetEnabled(false);
    audio::DeviceCaps again;
    ASSERT_TRUE(m.sound->GetCaps(&again));
    EXPECT_EQ(again.freeBuffers, again.maxBuffers);
    EXPECT_FALSE(m.back->IsOpen()) << "the temporary device opened no output";
}

TEST(TDSound, ThreeDimensionalDeviceHasAListener)
{
    ManualSound m(256, 256, 44100, true);
    ASSERT_TRUE(m.sound->Enabled());
    EXPECT_NE(m.sound->Listener(), nullptr);
    EXPECT_TRUE(m.sound->PrimaryBuffer()->Buffer()->GetCaps().flags & audio::kBufCtrl3D);
}

} // namespace
