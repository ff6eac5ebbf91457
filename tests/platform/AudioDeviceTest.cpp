// The audio output service on the manual clock: exact mixing of every buffer layout, looping,
// volume and pan at their limits, notifications and the end count, the audible position, rates,
// locking, loss, the primary format, duplicates and 3-D gains.
#include "platform/audio/AudioDevice.h"
#include "platform/audio/EventSet.h"
#include "platform/audio/headless/ManualAudio.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <random>
#include <vector>

namespace {

using namespace audio;
using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

constexpr PcmFormat kStereo16{2, 44100, 16};

Bytes RandomBytes(std::size_t n, unsigned seed)
{
    std::mt19937 random(seed);
    Bytes bytes(n);
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>(random());
    return bytes;
}

std::int16_t Sample(const Bytes& b, std::size_t index)
{
    std::int16_t s;
    std::memcpy(&s, b.data() + 2 * index, 2);
    return s;
}

// A manual output with a primary buffer in `format`.
struct ManualDevice {
    explicit ManualDevice(PcmFormat format = kStereo16, std::uint32_t period = 256, std::uint32_t latency = 256)
    {
        back->settings.periodFrames = period;
        back->settings.latencyFrames = latency;
        device = Device::Create(*back);
        primary = device->CreateSoundBuffer({kBufPrimary, 0, {}});
        EXPECT_NE(primary, nullptr);
        EXPECT_TRUE(primary->SetFormat(format));
    }

    std::shared_ptr<Buffer> Make(const Bytes& data, PcmFormat format = kStereo16, std::uint32_t flags = 0)
    {
        auto buffer = device->CreateSoundBuffer({flags, static_cast<std::uint32_t>(data.size()), format});
        EXPECT_NE(buffer, nullptr);
        if (buffer != nullptr)
            Write(*buffer, 0, data);
        return buffer;
    }

    static void Write(Buffer& buffer, std::uint32_t offset, const Bytes& data)
    {
        LockedRegion a, b;
        ASSERT_TRUE(buffer.Lock(offset, static_cast<std::uint32_t>(data.size()), a, b));
        std::memcpy(a.data, data.data(), a.bytes);
        if (b.bytes != 0)
            std::memcpy(b.data, data.data() + a.bytes, b.bytes);
        ASSERT_TRUE(buffer.Unlock(a, b));
    }

    std::uint32_t PlayFrame(Buffer& buffer)
    {
        std::uint32_t play = 0;
        EXPECT_TRUE(buffer.GetCurrentPosition(&play, nullptr));
        return play / buffer.GetFormat().FrameBytes();
    }

    std::shared_ptr<ManualAudio> back = std::make_shared<ManualAudio>();
    std::unique_ptr<Device> device;
    std::shared_ptr<Buffer> primary;
};

// Expected 16-bit stereo output of one frame of `data` in `format` at unity gain.
std::pair<int, int> Expected(const Bytes& data, const PcmFormat& format, std::size_t frame)
{
    auto sample = [&](std::size_t i) {
        if (format.bitsPerSample == 8)
            return (data[i] - 128) * 256;
        return static_cast<int>(Sample(data, i));
    };
    const std::size_t i = frame * format.channels;
    return {sample(i), sample(format.channels == 2 ? i + 1 : i)};
}

TEST(AudioDevice, MixesEveryBufferLayoutExactlyAtUnityGain)
{
    for (const PcmFormat format : {PcmFormat{2, 44100, 16}, PcmFormat{1, 44100, 16}, PcmFormat{2, 44100, 8},
                                   PcmFormat{1, 44100, 8}}) {
        ManualDevice m;
        const std::size_t frames = 1000;
        const Bytes data = RandomBytes(frames * format.FrameBytes(), format.FrameBytes());
        auto buffer = m.Make(data, format);
        ASSERT_TRUE(buffer->Play(false));
        m.back->Advance(256 * 5);
        const Bytes out = m.back->TakeOutput();
        ASSERT_EQ(out.size(), 256u * 5 * 4);
        for (std::size_t f = 0; f < 256 * 5; ++f) {
            const auto [l, r] = f < frames ? Expected(data, format, f) : std::pair{0, 0};
            ASSERT_EQ(Sample(out, 2 * f), l) << format.channels << "ch " << format.bitsPerSample << "-bit frame " << f;
            ASSERT_EQ(Sample(out, 2 * f + 1), r) << "frame " << f;
        }
        EXPECT_EQ(buffer->GetStatus(), 0u) << "stopped at its end";
        EXPECT_EQ(buffer->EndCount(), 1u);
    }
}

TEST(AudioDevice, LoopsAndAddsBuffersWithSaturation)
{
    ManualDevice m;
    Bytes a(100 * 4), b(4 * 4);
    for (std::size_t i = 0; i < 100 * 2; ++i) {
        const auto s = static_cast<std::int16_t>(i * 100);
        std::memcpy(a.data() + 2 * i, &s, 2);
    }
    for (std::size_t i = 0; i < 4 * 2; ++i) {
        const std::int16_t s = 30000;
        std::memcpy(b.data() + 2 * i, &s, 2);
    }
    auto looped = m.Make(a);
    auto loud = m.Make(b);
    ASSERT_TRUE(looped->Play(true));
    ASSERT_TRUE(loud->Play(false));
    m.back->Advance(512);
    const Bytes out = m.back->TakeOutput();
    for (std::size_t f = 0; f < 512; ++f) {
        const int want = static_cast<int>((f % 100) * 2 * 100) + (f < 4 ? 30000 : 0);
        ASSERT_EQ(Sample(out, 2 * f), std::min(want, 32767)) << "frame " << f;
    }
    EXPECT_EQ(looped->GetStatus(), kStatusPlaying | kStatusLooping);
}

TEST(AudioDevice, VolumeAndPanAtTheirLimits)
{
    struct Case {
        long volume, pan;
        double left, right;
    };
    const Case cases[] = {
        {0, 0, 1, 1},           {kVolumeMin, 0, 0, 0},        {0, kPanLeft, 1, 0},
        {0, kPanRight, 0, 1},   {-600, 0, 0.501187, 0.501187}, {0, 600, 0.501187, 1},
        {-600, -600, 0.501187, 0.251189},
    };
    for (const Case& c : cases) {
        ManualDevice m;
        const Bytes data = RandomBytes(256 * 4, 3);
        auto buffer = m.Make(data, kStereo16, kBufCtrlVolume | kBufCtrlPan);
        ASSERT_TRUE(buffer->SetVolume(c.volume));
        ASSERT_TRUE(buffer->SetPan(c.pan));
        long v = 1, p = 1;
        EXPECT_TRUE(buffer->GetVolume(&v));
        EXPECT_TRUE(buffer->GetPan(&p));
        EXPECT_EQ(v, c.volume);
        EXPECT_EQ(p, c.pan);
        buffer->Play(false);
        m.back->Advance(256);
        const Bytes out = m.back->TakeOutput();
        for (std::size_t i = 0; i < 256 * 2; ++i) {
            const double gain = (i & 1) ? c.right : c.left;
            const double want = Sample(data, i) * gain;
            ASSERT_NEAR(Sample(out, i), want, 1.0) << "volume " << c.volume << " pan " << c.pan << " sample " << i;
        }
    }
    ManualDevice m;
    auto plain = m.Make(Bytes(64), kStereo16, kBufCtrlVolume);
    EXPECT_FALSE(plain->SetVolume(1));
    EXPECT_FALSE(plain->SetVolume(kVolumeMin - 1));
    long pan = 5;
    EXPECT_FALSE(plain->GetPan(&pan)) << "no pan control";
    EXPECT_EQ(pan, 0);
    EXPECT_FALSE(plain->SetPan(0));
    auto panned = m.Make(Bytes(64), kStereo16, kBufCtrlPan);
    EXPECT_FALSE(panned->SetPan(kPanRight + 1));
}

TEST(AudioDevice, MasterVolumeScalesTheOutput)
{
    ManualDevice m;
    const Bytes data = RandomBytes(256 * 4, 5);
    auto buffer = m.Make(data);
    ASSERT_TRUE(m.primary->SetVolume(kVolumeMin));
    buffer->Play(false);
    m.back->Advance(256);
    EXPECT_EQ(m.back->TakeOutput(), Bytes(256 * 4, 0));
}

TEST(AudioDevice, SignalsPositionsOnceAndTheStopEventOnEveryStop)
{
    ManualDevice m;
    const std::uint32_t frames = 1000;
    auto buffer = m.Make(Bytes(frames * 4), kStereo16, kBufCtrlPositionNotify);
    auto events = m.device->CreateEvents(4);
    const NotifyPosition positions[] = {{kNotifyAtStop, 0}, {0, 1}, {500 * 4, 2}, {999 * 4, 3}};
    ASSERT_TRUE(buffer->SetNotificationPositions(positions, events));

    ASSERT_TRUE(buffer->Play(false));
    m.back->Advance(256, ManualAudio::Sync::NoWait);
    EXPECT_EQ(events->Wait(0ms), 1) << "the start counts as reaching offset 0";
    EXPECT_EQ(events->Wait(0ms), -1);
    m.back->Advance(256 * 2, ManualAudio::Sync::NoWait); // frames 256..767
    EXPECT_EQ(events->Wait(0ms), 2);
    m.back->Advance(256, ManualAudio::Sync::NoWait); // 768..999, then the end
    EXPECT_EQ(events->Wait(0ms), 0);
    EXPECT_EQ(events->Wait(0ms), 3);
    EXPECT_EQ(buffer->EndCount(), 1u);

    // A requested stop signals the stop event too, but does not count as an end; restarting a
    // playing buffer never does.
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(buffer->Play(false));
        m.back->Advance(256, ManualAudio::Sync::NoWait);
        ASSERT_TRUE(buffer->Stop());
        ASSERT_TRUE(buffer->SetCurrentPosition(0));
    }
    EXPECT_EQ(buffer->EndCount(), 1u);
    EXPECT_EQ(events->Wait(0ms), 0);
    EXPECT_EQ(events->Wait(0ms), 1);
    ASSERT_TRUE(buffer->Stop());
    EXPECT_EQ(events->Wait(0ms), -1) << "stopping a stopped buffer signals nothing";

    ASSERT_TRUE(buffer->Play(true));
    EXPECT_FALSE(buffer->SetNotificationPositions(positions, events)) << "only while stopped";
    auto plain = m.Make(Bytes(64));
    EXPECT_FALSE(plain->SetNotificationPositions(positions, events)) << "no notify control";
}

TEST(AudioDevice, ReportsTheAudibleCursorAsTheClockMovesUnevenly)
{
    constexpr std::uint32_t kLatency = 300;
    ManualDevice m(kStereo16, 256, kLatency);
    const std::uint32_t frames = 44100;
    auto buffer = m.Make(Bytes(frames * 4));
    ASSERT_TRUE(buffer->SetCurrentPosition(1000 * 4));
    m.back->Advance(100); // the output is at frame 100; the play starts with the next period at 256
    ASSERT_TRUE(buffer->Play(true));
    EXPECT_EQ(m.PlayFrame(*buffer), 1000u) << "not heard yet: where it will start";
    const std::uint64_t startClock = 256 + kLatency; // when the first mixed frame is heard
    std::mt19937 random(9);
    std::uint64_t previous = 1000;
    for (int step = 0; step < 2000; ++step) {
        m.back->Advance(1 + random() % 700);
        const std::uint64_t clock = m.back->Clock();
        const std::uint64_t truth = (1000 + (clock > startClock ? clock - startClock : 0)) % frames;
        const std::uint32_t heard = m.PlayFrame(*buffer);
        ASSERT_LE(std::abs(static_cast<long>(heard) - static_cast<long>(truth)), 1) << "clock " << clock;
        ASSERT_TRUE(heard >= previous || previous - heard > frames / 2) << "went back without a wrap";
        previous = heard;
    }
    std::uint32_t write = 0;
    ASSERT_TRUE(buffer->Stop());
    ASSERT_TRUE(buffer->GetCurrentPosition(nullptr, &write));
    EXPECT_EQ(m.PlayFrame(*buffer) * 4, write) << "a stopped buffer reports where it stopped";
}

TEST(AudioDevice, FrequencyChangesTheRateAndIsChecked)
{
    ManualDevice m;
    auto buffer = m.Make(RandomBytes(4000 * 4, 1), kStereo16, kBufCtrlFrequency);
    std::uint32_t f = 0;
    EXPECT_TRUE(buffer->GetFrequency(&f));
    EXPECT_EQ(f, 44100u);
    ASSERT_TRUE(buffer->SetFrequency(88200));
    EXPECT_FALSE(buffer->SetFrequency(kFrequencyMax + 1));
    EXPECT_FALSE(buffer->SetFrequency(kFrequencyMin - 1));
    buffer->Play(false);
    m.back->Advance(256 * 8);
    EXPECT_EQ(buffer->GetStatus(), 0u) << "4000 frames at double speed end within 2000 output frames";
    std::uint32_t write = 1;
    buffer->GetCurrentPosition(nullptr, &write);
    EXPECT_EQ(write, 0u);
    auto fixed = m.Make(Bytes(64));
    EXPECT_FALSE(fixed->SetFrequency(22050));
    EXPECT_FALSE(fixed->GetFrequency(&f));
}

TEST(AudioDevice, LockWrapsAndRefusesBadRanges)
{
    ManualDevice m;
    auto buffer = m.Make(Bytes(100));
    LockedRegion a, b;
    ASSERT_TRUE(buffer->Lock(80, 40, a, b));
    EXPECT_EQ(a.bytes, 20u);
    EXPECT_EQ(b.bytes, 20u);
    EXPECT_EQ(b.data + 80, a.data);
    buffer->Unlock(a, b);
    EXPECT_FALSE(buffer->Lock(100, 1, a, b));
    EXPECT_FALSE(buffer->Lock(0, 101, a, b));
    EXPECT_FALSE(buffer->Lock(0, 0, a, b));
    EXPECT_FALSE(m.primary->Lock(0, 4, a, b));
    EXPECT_EQ(m.device->CreateSoundBuffer({0, 3, kStereo16}), nullptr) << "below 4 bytes";
    EXPECT_EQ(m.device->CreateSoundBuffer({0, 100, {3, 44100, 16}}), nullptr);
}

TEST(AudioDevice, LostBuffersRefuseUntilRestoredToSilence)
{
    ManualDevice m;
    auto buffer = m.Make(Bytes(400, 7));
    buffer->Play(true);
    m.device->LoseBuffers();
    EXPECT_EQ(buffer->GetStatus(), kStatusBufferLost);
    LockedRegion a, b;
    EXPECT_FALSE(buffer->Lock(0, 4, a, b));
    EXPECT_FALSE(buffer->Play(false));
    EXPECT_TRUE(buffer->Restore());
    EXPECT_EQ(buffer->GetStatus(), 0u);
    ASSERT_TRUE(buffer->Lock(0, 400, a, b));
    EXPECT_EQ(Bytes(a.data, a.data + 400), Bytes(400, 0));
}

TEST(AudioDevice, PrimaryFormatRestartsTheOutput)
{
    ManualDevice m;
    EXPECT_EQ(m.primary->GetCaps().flags & kBufPrimary, kBufPrimary);
    ASSERT_TRUE(m.primary->SetFormat({1, 22050, 8}));
    EXPECT_EQ(m.back->Format(), (PcmFormat{1, 22050, 8}));
    EXPECT_EQ(m.primary->GetFormat(), (PcmFormat{1, 22050, 8}));
    EXPECT_FALSE(m.primary->SetFormat({3, 22050, 8}));
    auto buffer = m.Make(Bytes{0x10, 0x00, 0x30, 0x00}, {2, 22050, 16});
    buffer->Play(false);
    m.back->Advance(256);
    const Bytes out = m.back->TakeOutput();
    ASSERT_EQ(out.size(), 256u);
    EXPECT_EQ(out[0], 0x80) << "(0x10 + 0x30) / 2 is far below one 8-bit step";
    EXPECT_FALSE(buffer->SetFormat(kStereo16)) << "only the primary buffer's format changes";
}

TEST(AudioDevice, DuplicateSharesMemoryButNotPlayState)
{
    ManualDevice m;
    auto original = m.Make(Bytes(400, 0));
    auto copy = m.device->DuplicateSoundBuffer(*original);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(m.device->DuplicateSoundBuffer(*m.primary), nullptr);
    ManualDevice::Write(*original, 0, Bytes(4, 0x11));
    LockedRegion a, b;
    ASSERT_TRUE(copy->Lock(0, 4, a, b));
    EXPECT_EQ(a.data[3], 0x11);
    copy->Play(true);
    EXPECT_EQ(original->GetStatus(), 0u);
    original.reset();
    m.back->Advance(256); // the copy still plays from the shared memory
    EXPECT_EQ(m.back->TakeOutput()[0], 0x11);
    DeviceCaps caps;
    m.device->GetCaps(caps);
    EXPECT_EQ(caps.maxBuffers - caps.freeBuffers, 1u);
}

TEST(AudioDevice, ThreeDimensionalBuffersFadeWithDistanceAndSide)
{
    ManualDevice m;
    Bytes data(256 * 4);
    for (std::size_t i = 0; i < 256 * 2; ++i) {
        const std::int16_t s = 8000;
        std::memcpy(data.data() + 2 * i, &s, 2);
    }
    auto buffer = m.Make(data, kStereo16, kBufCtrl3D);
    ASSERT_NE(buffer->Get3D(), nullptr);
    EXPECT_EQ(m.Make(data)->Get3D(), nullptr);
    buffer->Get3D()->SetPosition(2, 0, 0); // two units to the right
    buffer->Play(false);
    m.back->Advance(256);
    const Bytes out = m.back->TakeOutput();
    EXPECT_EQ(Sample(out, 0), 2000);
    EXPECT_EQ(Sample(out, 1), 4000);
}

} // namespace
