// TDSoundStream on the manual clock: the mixed output is the decoder's PCM, bit for bit, through
// many ring wraps with and without a loop point (WAVE, ADP1, Ogg Vorbis); the end notice and
// when playback stops; stop during a refill; the audible position under uneven clock steps,
// across loop wraps and after three simulated hours; seeking and the loop point's bounds; 8-bit,
// mono and other-rate streams, and an Ogg file read through a file stream.
#include "SoundDeviceSupport.h"
#include "SoundTestSupport.h"

#include "platform/classes/Stream.h"
#include "platform/fs/FileSystem.h"
#include "sound/TDSound.h"
#include "sound/ZTAdpStream.h"
#include "sound/ZTOggStream.h"
#include "sound/ZTWaveStream.h"
#include "support/Tools.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <random>
#include <string>
#include <thread>

namespace {

using namespace SoundTest;
using namespace DirectX;
using namespace std::chrono_literals;

constexpr std::uint32_t kRate = 44100;
constexpr std::uint32_t kFrameBytes = 4;

enum class Codec { Wave, Adp1, Ogg };

// A sound file of `seconds` in `codec`, with the PCM its decoder gives.
struct Sound {
    Bytes file;
    Bytes pcm;
    bool seekable = true;
};

Sound MakeSound(Codec codec, double seconds, std::uint32_t rate = kRate)
{
    const auto frames = static_cast<std::uint32_t>(seconds * rate);
    Sound s;
    switch (codec) {
    case Codec::Wave:
        s.file = PcmWave(2, rate, 16, Noise16(frames, 2, frames));
        break;
    case Codec::Adp1:
        s.file = Adp1File(frames, 2, rate, frames);
        s.seekable = false;
        break;
    case Codec::Ogg:
        s.file = LoadFile(MadeFile("sines.ogg", "sox -n -r " + std::to_string(rate) + " -c 2 {} synth " +
                                                    std::to_string(seconds) + " sine 440 sine 660"));
        break;
    }
    MemoryZTStream source(s.file);
    std::unique_ptr<ZTPcmStream> decoder;
    if (codec == Codec::Wave)
        decoder = std::make_unique<ZTWaveStream>(&source, true);
    else if (codec == Codec::Adp1)
        decoder = std::make_unique<ZTAdpStream>(&source);
    else
        decoder = std::make_unique<ZTOggStream>(&source);
    s.pcm = ReadAll(*decoder, 65536);
    return s;
}

TDSoundStream* MakeStream(ManualSound& m, Codec codec, MemoryZTStream& source)
{
    switch (codec) {
    case Codec::Wave:
        return m.sound->CreateStreamFromWave(&source, false, false);
    case Codec::Adp1:
        return m.sound->CreateStreamFromAdp(&source, false, false);
    case Codec::Ogg:
        return m.sound->CreateStreamFromOgg(&source, false, false);
    }
    return nullptr;
}

// What the output must be from the start of play: the PCM, then from the loop start again and
// again (looping) or silence.
Bytes Expected(const Bytes& pcm, bool loop, std::size_t loopStart, std::size_t bytes)
{
    Bytes out(pcm.begin(), pcm.begin() + static_cast<std::ptrdiff_t>(std::min(bytes, pcm.size())));
    while (loop && out.size() < bytes) {
        const std::size_t n = std::min(bytes - out.size(), pcm.size() - loopStart);
        out.insert(out.end(), pcm.begin() + static_cast<std::ptrdiff_t>(loopStart),
                   pcm.begin() + static_cast<std::ptrdiff_t>(loopStart + n));
    }
    out.resize(bytes, 0);
    return out;
}

// The first differing byte, or -1.
long FirstDifference(const Bytes& a, const Bytes& b)
{
    const auto [x, y] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    if (x == a.end() && y == b.end())
        return -1;
    return static_cast<long>(x - a.begin());
}

struct ExactCase {
    Codec codec;
    double seconds;
    bool loop;
    double loopPoint; // seconds; ignored by decoders that cannot seek
};

class TDSoundStreamExact : public testing::TestWithParam<ExactCase> {};

TEST_P(TDSoundStreamExact, MixedOutputIsTheDecodedPcm)
{
    const ExactCase c = GetParam();
    if (c.codec == Codec::Ogg && !HaveTool("sox"))
        GTEST_SKIP() << "sox is not installed";
    const Sound sound = MakeSound(c.codec, c.seconds);
    ASSERT_FALSE(sound.pcm.empty());
    ManualSound m;
    MemoryZTStream source(sound.file);
    TDSoundStream* stream = MakeStream(m, c.codec, source);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->GetStreamSize(), sound.pcm.size());
    const auto loopPoint = static_cast<int>(c.loopPoint * kRate) * static_cast<int>(kFrameBytes);
    stream->SetLoopPoint(loopPoint);
    std::atomic<int> notices{0};
    stream->SetOnNotify([&](TObject*) { ++notices; });

    const std::size_t seconds = 11; // the 4-second ring wraps more than twice
    m.TakeOutput();
    ASSERT_TRUE(stream->Play(c.loop));
    m.Advance(seconds * kRate);
    const Bytes out = m.TakeOutput();
    const std::size_t restart = sound.seekable ? static_cast<std::size_t>(loopPoint) : 0;
    const Bytes want = Expected(sound.pcm, c.loop, restart, out.size());
    EXPECT_EQ(FirstDifference(out, want), -1) << "output frame " << FirstDifference(out, want) / 4;
    EXPECT_EQ(notices, c.loop ? 0 : 1);
    EXPECT_EQ(stream->IsPlay(), c.loop);
}

std::string CaseName(const ExactCase& c)
{
    const char* codec = c.codec == Codec::Wave ? "Wave" : c.codec == Codec::Adp1 ? "Adp1" : "Ogg";
    const auto hundredths = [](double seconds) { return std::to_string(static_cast<int>(seconds * 100 + 0.5)); };
    const std::string play = c.loop ? "_LoopFrom" + hundredths(c.loopPoint) : "_Once";
    return std::string(codec) + "_" + hundredths(c.seconds) + play;
}

void PrintTo(const ExactCase& c, std::ostream* os)
{
    *os << CaseName(c);
}

INSTANTIATE_TEST_SUITE_P(
    Sounds, TDSoundStreamExact,
    testing::Values(ExactCase{Codec::Wave, 0.5, false, 0}, ExactCase{Codec::Wave, 2.0, false, 0},
                    ExactCase{Codec::Wave, 2.5, false, 0}, ExactCase{Codec::Wave, 0.5, true, 0},
                    ExactCase{Codec::Wave, 2.0, true, 0}, ExactCase{Codec::Wave, 2.5, true, 0},
                    ExactCase{Codec::Wave, 2.5, true, 0.7}, ExactCase{Codec::Wave, 0.5, true, 0.3},
                    ExactCase{Codec::Wave, 2.0, true, 1.9},  // looped section of a tenth of a quarter
                    ExactCase{Codec::Wave, 2.5, true, 2.49}, // ... and of a hundredth
                    ExactCase{Codec::Adp1, 2.5, false, 0}, ExactCase{Codec::Adp1, 2.5, true, 1.0},
                    ExactCase{Codec::Ogg, 2.5, false, 0}, ExactCase{Codec::Ogg, 2.5, true, 1.2}),
    [](const testing::TestParamInfo<ExactCase>& info) { return CaseName(info.param); });

// A non-looping sound and the output frame at which the cursor enters the quarter after its data.
struct EndCase {
    double seconds;
    std::uint32_t stopsAt; // output frame where the cursor enters the quarter after the data
};

TEST(TDSoundStream, StopsWhenTheCursorEntersTheQuarterAfterTheData)
{
    for (const EndCase c : {EndCase{0.5, kRate}, EndCase{2.0, 2 * kRate}, EndCase{2.5, 3 * kRate}}) {
        const Sound sound = MakeSound(Codec::Wave, c.seconds);
        ManualSound m;
        MemoryZTStream source(sound.file);
        TDSoundStream* stream = MakeStream(m, Codec::Wave, source);
        ASSERT_NE(stream, nullptr);
        std::atomic<int> notices{0};
        stream->SetOnNotify([&](TObject*) { ++notices; });
        ASSERT_TRUE(stream->Play(false));
        m.Advance(c.stopsAt - 256);
        EXPECT_TRUE(stream->IsPlay()) << c.seconds;
        EXPECT_EQ(notices, 0);
        m.Advance(512);
        EXPECT_FALSE(stream->IsPlay()) << c.seconds;
        EXPECT_EQ(notices, 1);
        m.Advance(3 * kRate);
        EXPECT_EQ(notices, 1) << "once";
    }
}

// At the end of a non-looping sound the ring stops once the mixer enters the quarter after the
// data; what is heard then lags by the output's latency, inside the last filled quarter.
TEST(TDSoundStream, SelfStopKeepsTheLastAudiblePosition)
{
    constexpr std::uint32_t kPeriod = 256, kLatency = 1024;
    const Sound sound = MakeSound(Codec::Wave, 2.0);
    ManualSound m(kPeriod, kLatency);
    MemoryZTStream source(sound.file);
    TDSoundStream* stream = MakeStream(m, Codec::Wave, source);
    ASSERT_NE(stream, nullptr);
    ASSERT_TRUE(stream->Play(false));
    m.Advance(2 * kRate + 2 * kPeriod);
    ASSERT_FALSE(stream->IsPlay());
    const std::uint32_t position = stream->GetPosition();
    EXPECT_LT(position, sound.pcm.size());
    EXPECT_GE(position, sound.pcm.size() - (kLatency + kPeriod) * kFrameBytes);
    m.Advance(kRate);
    EXPECT_EQ(stream->GetPosition(), position);
}

TEST(TDSoundStream, StopAndRestartGiveNoNotice)
{
    const Sound sound = MakeSound(Codec::Wave, 1.5);
    ManualSound m;
    MemoryZTStream source(sound.file);
    TDSoundStream* stream = MakeStream(m, Codec::Wave, source);
    std::atomic<int> notices{0};
    stream->SetOnNotify([&](TObject*) { ++notices; });
    for (int i = 0; i < 50; ++i) {
        ASSERT_TRUE(stream->Play(false));
        m.Advance(256 * (1 + i % 7));
    }
    ASSERT_TRUE(stream->Stop());
    m.Advance(4 * kRate);
    EXPECT_EQ(notices, 0);
    ASSERT_TRUE(stream->Play(false));
    m.Advance(4 * kRate);
    EXPECT_EQ(notices, 1);
}

TEST(TDSoundStream, StopWaitsForARunningRefill)
{
    const Sound sound = MakeSound(Codec::Wave, 6.0);
    ManualSound m;
    MemoryZTStream source(sound.file);
    auto gateOwner = std::make_unique<GateStream>(std::make_unique<ZTWaveStream>(&source, true));
    GateStream* gate = gateOwner.get();
    auto* stream = new TDSoundStream(m.sound);
    ASSERT_TRUE(stream->OpenPcmStream(std::move(gateOwner)));
    ASSERT_TRUE(stream->Create());
    std::atomic<int> notices{0};
    stream->SetOnNotify([&](TObject*) { ++notices; });
    ASSERT_TRUE(stream->Play(false));

    gate->Arm();
    m.back->Advance(256, audio::ManualAudio::Sync::NoWait); // quarter 0 starts: quarter 2 is refilled
    ASSERT_TRUE(gate->WaitHeld());
    std::atomic<bool> stopped{false};
    bool refillDoneFirst = false;
    std::thread stopper([&] {
        stream->Stop();
        refillDoneFirst = gate->ReadFinished();
        stopped = true;
    });
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(stopped) << "Stop must wait for the refill";
    gate->Release();
    stopper.join();
    EXPECT_TRUE(refillDoneFirst);
    EXPECT_FALSE(stream->IsPlay());
    m.Advance(2 * kRate);
    EXPECT_EQ(notices, 0);
}

// The true decoded frame heard at `heard` frames into the play.
std::uint64_t TrueFrame(std::uint64_t heard, std::uint64_t frames, std::uint64_t loopStart)
{
    if (heard < frames)
        return heard;
    return loopStart + (heard - frames) % (frames - loopStart);
}

// Distance of two decoded frames, across the wrap where both lie in the looped section.
std::uint64_t LoopDistance(std::uint64_t a, std::uint64_t b, std::uint64_t frames, std::uint64_t loopStart)
{
    const std::uint64_t d = std::max(a, b) - std::min(a, b);
    if (a < loopStart || b < loopStart)
        return d;
    return std::min(d, frames - loopStart - d);
}

TEST(TDSoundStream, PositionFollowsTheAudibleFrameWithinAMillisecond)
{
    constexpr std::uint32_t kLatency = 700;
    // A loop longer than a quarter, and one of a tenth of a quarter.
    for (const auto& [seconds, loopSeconds] : {std::pair{2.5, 0.7}, std::pair{2.0, 1.9}}) {
        const Sound sound = MakeSound(Codec::Wave, seconds);
        const std::uint64_t frames = sound.pcm.size() / kFrameBytes;
        const auto loopStart = static_cast<std::uint64_t>(loopSeconds * kRate);
        ManualSound m(256, kLatency);
        MemoryZTStream source(sound.file);
        TDSoundStream* stream = MakeStream(m, Codec::Wave, source);
        stream->SetLoopPoint(static_cast<int>(loopStart * kFrameBytes));
        m.Advance(512);
        ASSERT_TRUE(stream->Play(true));
        EXPECT_EQ(stream->GetPosition(), 0u);
        const std::uint64_t start = m.Clock() + kLatency; // when the first frame is heard
        std::mt19937 random(3);
        std::uint64_t previous = 0;
        int wraps = 0;
        while (m.Clock() < start + 12 * kRate) {
            m.Advance(1 + random() % 1500);
            const std::uint64_t heard = m.Clock() > start ? m.Clock() - start : 0;
            const std::uint64_t truth = TrueFrame(heard, frames, loopStart);
            const std::uint64_t position = stream->GetPosition() / kFrameBytes;
            ASSERT_LE(LoopDistance(position, truth, frames, loopStart), kRate / 1000)
                << "at " << heard << " frames into the play of " << seconds << " s looping from " << loopSeconds;
            ASSERT_LT(position, frames);
            if (position < previous) {
                ++wraps;
                EXPECT_GE(position, loopStart) << "goes back only to the loop point";
            }
            previous = position;
        }
        EXPECT_GE(wraps, 5);
        ASSERT_TRUE(stream->Stop());
        const std::uint32_t stoppedAt = stream->GetPosition();
        const std::uint64_t truth = TrueFrame(m.Clock() - start, frames, loopStart);
        EXPECT_LE(LoopDistance(stoppedAt / kFrameBytes, truth, frames, loopStart), kRate / 1000)
            << "a stopped stream reports the frame last heard, not the mixer's read position";
        m.Advance(kRate);
        EXPECT_EQ(stream->GetPosition(), stoppedAt) << "a stopped stream stays where it stopped";
    }
}

TEST(TDSoundStream, PositionIsExactAfterThreeHours)
{
    constexpr std::uint32_t kSlowRate = 8000;
    constexpr std::uint32_t kPeriod = 1024;
    const Sound sound = MakeSound(Codec::Wave, 2.5, kSlowRate);
    const std::uint64_t frames = sound.pcm.size() / kFrameBytes;
    const std::uint64_t loopStart = kSlowRate * 7 / 10;
    ManualSound m(kPeriod, kPeriod, kSlowRate);
    m.back->settings.keepOutput = false;
    MemoryZTStream source(sound.file);
    TDSoundStream* stream = MakeStream(m, Codec::Wave, source);
    stream->SetLoopPoint(static_cast<int>(loopStart * kFrameBytes));
    ASSERT_TRUE(stream->Play(true));
    const std::uint64_t start = m.Clock() + kPeriod;
    const std::uint64_t threeHours = std::uint64_t{3} * 3600 * kSlowRate;
    m.Advance(threeHours);
    std::mt19937 random(5);
    for (int i = 0; i < 200; ++i) {
        m.Advance(1 + random() % 3000);
        const std::uint64_t truth = TrueFrame(m.Clock() - start, frames, loopStart);
        const std::uint64_t position = stream->GetPosition() / kFrameBytes;
        ASSERT_LE(LoopDistance(position, truth, frames, loopStart), 1u) << "step " << i;
    }
}

TEST(TDSoundStream, PlaysFromAPositionWhereTheDecoderCanSeek)
{
    const Sound wave = MakeSound(Codec::Wave, 2.0);
    const Sound adp = MakeSound(Codec::Adp1, 2.0);
    for (const auto& [codec, sound] : {std::pair{Codec::Wave, &wave}, std::pair{Codec::Adp1, &adp}}) {
        ManualSound m;
        MemoryZTStream source(sound->file);
        TDSoundStream* stream = MakeStream(m, codec, source);
        m.TakeOutput();
        ASSERT_TRUE(stream->Play(false, 10002)); // not a whole frame
        m.Advance(kRate / 2);
        const Bytes out = m.TakeOutput();
        const std::size_t from = codec == Codec::Wave ? 10000 : 0;
        EXPECT_TRUE(std::equal(out.begin(), out.end(), sound->pcm.begin() + static_cast<std::ptrdiff_t>(from)))
            << (codec == Codec::Wave ? "WAVE seeks to the frame" : "ADP1 plays from its start");
    }
}

TEST(TDSoundStream, LoopPointAndSizeBounds)
{
    const Sound sound = MakeSound(Codec::Wave, 1.0);
    ManualSound m;
    MemoryZTStream source(sound.file);
    auto* uncreated = new TDSoundStream(m.sound);
    uncreated->SetLoopPoint(100);
    EXPECT_EQ(uncreated->LoopPoint(), 0u);
    EXPECT_EQ(uncreated->GetStreamSize(), 0u);
    EXPECT_EQ(uncreated->GetPosition(), 0u);
    EXPECT_FALSE(uncreated->Play(false));

    TDSoundStream* stream = MakeStream(m, Codec::Wave, source);
    const auto size = static_cast<int>(sound.pcm.size());
    stream->SetLoopPoint(4000);
    EXPECT_EQ(stream->LoopPoint(), 4000u);
    stream->SetLoopPoint(-1);
    EXPECT_EQ(stream->LoopPoint(), 0u);
    stream->SetLoopPoint(4000);
    stream->SetLoopPoint(size);
    EXPECT_EQ(stream->LoopPoint(), 0u);
    stream->SetLoopPoint(size - 4);
    EXPECT_EQ(stream->LoopPoint(), static_cast<std::uint32_t>(size - 4));
}

// The loop point moves from a game thread while the refill thread wraps the sound many times a
// quarter (a data race here is what ThreadSanitizer would report).
TEST(TDSoundStream, LoopPointMovesWhileTheRingRefills)
{
    const Sound sound = MakeSound(Codec::Wave, 0.05);
    ManualSound m;
    MemoryZTStream source(sound.file);
    TDSoundStream* stream = MakeStream(m, Codec::Wave, source);
    ASSERT_NE(stream, nullptr);
    ASSERT_TRUE(stream->Play(true));
    std::atomic<bool> done{false};
    std::thread mover([&] {
        for (int i = 0; !done; ++i)
            stream->SetLoopPoint(static_cast<int>(i % 2000) * 4);
    });
    m.Advance(3 * kRate);
    done = true;
    mover.join();
    EXPECT_TRUE(stream->IsPlay());
    EXPECT_LT(stream->GetPosition(), sound.pcm.size());
    EXPECT_LT(stream->LoopPoint(), sound.pcm.size());
}

TEST(TDSoundStream, RefusesAMismatchedDecoderAndClosesOnFailure)
{
    ManualSound m;
    auto* stream = new TDSoundStream(m.sound, 2, kRate, 16, false, false);
    ASSERT_TRUE(stream->Created());
    EXPECT_EQ(stream->Length(), kRate * 4 * 4);
    MemoryZTStream mono(PcmWave(1, kRate, 16, Noise16(1000, 1, 1)));
    EXPECT_FALSE(stream->OpenStream(&mono)) << "the ring is stereo";
    EXPECT_FALSE(stream->IsOpen());
    MemoryZTStream stereo(PcmWave(2, kRate, 16, Noise16(1000, 2, 1)));
    EXPECT_TRUE(stream->OpenStream(&stereo));
    EXPECT_FALSE(stream->OpenStream(&stereo)) << "one decoder at a time";
    EXPECT_TRUE(stream->CloseStream());
    EXPECT_FALSE(stream->Play(false)) << "no decoder";

    MemoryZTStream odd(PcmWave(2, 3, 16, Noise16(100, 2, 1))); // 3 Hz: a ring the output refuses
    auto* refused = new TDSoundStream(m.sound);
    EXPECT_FALSE(refused->Create(&odd, false, false));
    EXPECT_FALSE(refused->IsOpen()) << "the decoder is detached again";
}

// The ring takes the decoder's own format: 8-bit, mono and other rates play as they are on an
// output of that format, and an Ogg file on disk reaches the stream through a file stream (the
// song game's path).
TEST(TDSoundStream, PlaysItsDecodersFormatBitForBit)
{
    struct Case {
        const char* what;
        Codec codec;
        unsigned channels, rate, bits;
    };
    const Case cases[] = {
        {"8-bit mono WAVE", Codec::Wave, 1, 22050, 8},
        {"16-bit mono WAVE at 11,025 Hz", Codec::Wave, 1, 11025, 16},
        {"mono Ogg file at 22,050 Hz", Codec::Ogg, 1, 22050, 16},
        {"stereo Ogg file at 32,000 Hz", Codec::Ogg, 2, 32000, 16},
    };
    const TestSupport::TempFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::uint32_t frames = c.rate * 3 / 2;
        Bytes file;
        if (c.codec == Codec::Wave) {
            Bytes data = Noise16(frames, c.channels, 3);
            if (c.bits == 8)
                data.resize(data.size() / 2);
            file = PcmWave(c.channels, c.rate, c.bits, data);
        } else {
            if (!HaveTool("sox"))
                GTEST_SKIP() << "sox is not installed";
            file = LoadFile(MadeFile("formats-" + std::to_string(c.channels) + "-" + std::to_string(c.rate) + ".ogg",
                                     "sox -n -r " + std::to_string(c.rate) + " -c " + std::to_string(c.channels) +
                                         " {} synth 1.5 sine 440 sine 660"));
        }
        MemoryZTStream memory(file);
        const Bytes pcm = c.codec == Codec::Wave ? ReadAll(*std::make_unique<ZTWaveStream>(&memory, true), 65536)
                                                 : ReadAll(*std::make_unique<ZTOggStream>(&memory), 65536);
        ASSERT_FALSE(pcm.empty());

        ManualSound m(256, 256, c.rate);
        m.sound->SetChannels(static_cast<unsigned short>(c.channels));
        m.sound->SetBitsPerSample(static_cast<unsigned short>(c.bits));
        const std::filesystem::path path = folder.Path() / "sound";
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()),
                                                    static_cast<std::streamsize>(file.size()));
        TFileStream onDisk(FileSystem::FromNative(path), fmOpenRead);
        MemoryZTStream inMemory(file);
        TDSoundStream* stream = c.codec == Codec::Wave ? m.sound->CreateStreamFromWave(&inMemory, false, false)
                                                       : m.sound->CreateStreamFromOgg(&onDisk, false, false);
        ASSERT_NE(stream, nullptr);
        EXPECT_EQ(stream->GetStreamSize(), pcm.size());
        m.TakeOutput();
        ASSERT_TRUE(stream->Play(false));
        m.Advance(frames + c.rate);
        const Bytes out = m.TakeOutput();
        ASSERT_GE(out.size(), pcm.size());
        EXPECT_EQ(FirstDifference(Bytes(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(pcm.size())), pcm), -1);
        const std::uint8_t silence = c.bits == 8 ? 0x80 : 0;
        EXPECT_TRUE(std::all_of(out.begin() + static_cast<std::ptrdiff_t>(pcm.size()), out.end(),
                                [&](std::uint8_t b) { return b == silence; }));
        EXPECT_FALSE(stream->IsPlay());
    }
}

TEST(TDSoundStream3D, IsNeverPannedAndCanBePlaced)
{
    const Sound sound = MakeSound(Codec::Wave, 1.0);
    ManualSound m;
    MemoryZTStream source(sound.file);
    auto* stream = new TDSoundStream3D(m.sound, &source, true);
    ASSERT_TRUE(stream->Created());
    EXPECT_FALSE(stream->PanEnabled());
    EXPECT_TRUE(stream->FreqEnabled());
    EXPECT_TRUE(stream->Buffer()->GetCaps().flags & audio::kBufCtrl3D);
    EXPECT_TRUE(stream->SetPosition(1, 2, 3));
    ASSERT_TRUE(stream->Play(false));
    m.Advance(kRate);
    EXPECT_GT(stream->GetPosition(), 0u);
}

} // namespace
