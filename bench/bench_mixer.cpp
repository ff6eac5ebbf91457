// The software mixer and the audible position: mixing 32 stream rings and 32 whole sounds at
// 44.1 kHz stereo as a multiple of real time (unity gain, and with volume and pan), next to SDL's
// own SDL_MixAudioFormat adding the same sources; 32 TDSoundStreams with their refills; and the
// error of GetPosition against the frames an output has consumed, under SDL's dummy driver and under
// the silent back end's steady timer; how late a sleeping notification thread wakes after a signal,
// EventSet next to std::counting_semaphore's timed wait.
#include "AudioTruth.h"

#include "platform/audio/AudioDevice.h"
#include "platform/audio/EventSet.h"
#include "platform/audio/headless/ManualAudio.h"
#include "platform/audio/sdl/SdlAudio.h"
#include "platform/audio/silent/SilentAudio.h"
#include "platform/classes/WinControl.h"
#include "sound/TDSound.h"
#include "sound/ZTStream.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <semaphore>
#include <thread>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kRate = 44100;
constexpr std::uint32_t kPeriod = 512;
constexpr int kStreams = 32;
constexpr int kSounds = 32;
constexpr audio::PcmFormat kStereo16{2, kRate, 16};

Bytes Noise(std::size_t bytes, unsigned seed)
{
    std::mt19937 random(seed);
    Bytes data(bytes);
    for (auto& b : data)
        b = static_cast<std::uint8_t>(random() & 0x0F); // quiet, so 64 voices do not saturate
    return data;
}

void Fill(audio::Buffer& buffer, const Bytes& data)
{
    audio::LockedRegion a, b;
    buffer.Lock(0, static_cast<std::uint32_t>(data.size()), a, b);
    std::memcpy(a.data, data.data(), a.bytes);
    buffer.Unlock(a, b);
}

// 32 four-second rings and 32 one-second sounds, all playing looped, on a manual output.
void MixVoices(benchmark::State& state)
{
    const bool shaped = state.range(0) != 0;
    audio::ManualAudio back;
    back.settings.periodFrames = kPeriod;
    back.settings.keepOutput = false;
    auto device = audio::Device::Create(back);
    auto primary = device->CreateSoundBuffer({audio::kBufPrimary, 0, {}});
    std::vector<std::shared_ptr<audio::Buffer>> voices;
    const std::uint32_t flags = audio::kBufCtrlVolume | audio::kBufCtrlPan;
    for (int i = 0; i < kStreams + kSounds; ++i) {
        const std::uint32_t bytes = (i < kStreams ? 4 : 1) * kRate * 4;
        auto voice = device->CreateSoundBuffer({flags, bytes, kStereo16});
        Fill(*voice, Noise(bytes, static_cast<unsigned>(i)));
        if (shaped) {
            voice->SetVolume(-100 * (i % 20));
            voice->SetPan(500 * (i % 9) - 2000);
        }
        voice->SetCurrentPosition(static_cast<std::uint32_t>(i) * 4000);
        voice->Play(true);
        voices.push_back(std::move(voice));
    }
    for (auto _ : state)
        back.Advance(kPeriod, audio::ManualAudio::Sync::NoWait);
    const double seconds = static_cast<double>(state.iterations()) * kPeriod / kRate;
    state.counters["x_realtime"] = benchmark::Counter(seconds, benchmark::Counter::kIsRate);
}
BENCHMARK(MixVoices)->Arg(0)->Arg(1)->ArgNames({"shaped"})->Unit(benchmark::kMicrosecond);

// The peer: SDL adding the same 64 sources (one period each) with its own mixing function.
void SdlMixAudioFormat(benchmark::State& state)
{
    SDL_Init(0);
    const std::size_t bytes = kPeriod * 4;
    std::vector<Bytes> sources;
    for (int i = 0; i < kStreams + kSounds; ++i)
        sources.push_back(Noise(bytes, static_cast<unsigned>(i)));
    Bytes out(bytes);
    for (auto _ : state) {
        std::fill(out.begin(), out.end(), 0);
        for (const Bytes& source : sources)
            SDL_MixAudioFormat(out.data(), source.data(), AUDIO_S16LSB, static_cast<Uint32>(bytes), SDL_MIX_MAXVOLUME);
        benchmark::DoNotOptimize(out.data());
    }
    const double seconds = static_cast<double>(state.iterations()) * kPeriod / kRate;
    state.counters["x_realtime"] = benchmark::Counter(seconds, benchmark::Counter::kIsRate);
}
BENCHMARK(SdlMixAudioFormat)->Unit(benchmark::kMicrosecond);

// A ZTStream over memory for the streams' WAVE files.
class MemoryStream : public ZTStream {
public:
    explicit MemoryStream(Bytes data) : data_(std::move(data)) {}
    bool IsOpen() override { return true; }
    bool CanSeek() override { return true; }
    int Read(void* buffer, int count) override
    {
        const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(count), data_.size() - position_);
        std::memcpy(buffer, data_.data() + position_, n);
        position_ += n;
        return static_cast<int>(n);
    }
    int Write(const void*, int) override { return 0; }
    int Seek(int offset, int origin) override
    {
        const long size = static_cast<long>(data_.size());
        const long base = origin == 0 ? 0 : origin == 1 ? static_cast<long>(position_) : size;
        if (base + offset < 0 || base + offset > size)
            return -1;
        position_ = static_cast<std::size_t>(base + offset);
        return static_cast<int>(position_);
    }
    int GetSize() override { return static_cast<int>(data_.size()); }
    bool SetSize(int) override { return false; }
    int GetPosition() override { return static_cast<int>(position_); }
    bool Rewind() override
    {
        position_ = 0;
        return true;
    }

private:
    Bytes data_;
    std::size_t position_ = 0;
};

Bytes Wave(const Bytes& pcm)
{
    Bytes file;
    auto put = [&](std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            file.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    file.insert(file.end(), {'R', 'I', 'F', 'F'});
    put(static_cast<std::uint32_t>(36 + pcm.size()), 4);
    file.insert(file.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put(16, 4);
    put(1, 2);
    put(2, 2);
    put(kRate, 4);
    put(kRate * 4, 4);
    put(4, 2);
    put(16, 2);
    file.insert(file.end(), {'d', 'a', 't', 'a'});
    put(static_cast<std::uint32_t>(pcm.size()), 4);
    file.insert(file.end(), pcm.begin(), pcm.end());
    return file;
}

// 32 looping TDSoundStreams of 10-second WAVE files and 32 whole sounds through the sound device,
// each refill decoded on its notification thread before the clock moves on.
void StreamsWithRefills(benchmark::State& state)
{
    auto back = std::make_shared<audio::ManualAudio>();
    back->settings.periodFrames = kPeriod;
    back->settings.keepOutput = false;
    audio::SetDefaultBackEnd(back);
    {
        TWinControl form(nullptr);
        auto* sound = new DirectX::TDSound(&form); // owned by form
        sound->SetEnabled(true);
        std::vector<std::unique_ptr<MemoryStream>> files;
        for (int i = 0; i < kStreams; ++i) {
            files.push_back(std::make_unique<MemoryStream>(Wave(Noise(10 * kRate * 4, static_cast<unsigned>(i)))));
            sound->CreateStreamFromWave(files.back().get(), false, false)->Play(true);
        }
        for (int i = 0; i < kSounds; ++i) {
            DirectX::TDSoundBuffer* buffer = sound->CreateBuffer(kRate * 4);
            const Bytes data = Noise(kRate * 4, static_cast<unsigned>(100 + i));
            buffer->WriteBuffer(0, data.data(), static_cast<std::uint32_t>(data.size()));
            buffer->Play(true);
        }
        for (auto _ : state)
            back->Advance(kPeriod);
        sound->SetEnabled(false);
    }
    audio::SetDefaultBackEnd(nullptr);
    const double seconds = static_cast<double>(state.iterations()) * kPeriod / kRate;
    state.counters["x_realtime"] = benchmark::Counter(seconds, benchmark::Counter::kIsRate);
}
BENCHMARK(StreamsWithRefills)->Unit(benchmark::kMicrosecond);

// ---- position error against the frames the output has consumed ----
//
// On SDL's dummy driver, which sleeps whole milliseconds and so is no steady clock, the truth is
// its consumption taken as linear between the periods it asked for; on the silent back end, whose
// pacing thread asks for each period at a deadline of a steady timer, the truth is that timer's
// schedule (the periods' asking times only add the thread's wake-up delays to it).

using benchaudio::RecordingBackEnd;
using benchaudio::SteadyNs;

// The output frame heard at time `ns`: the frames consumed less the latency.
using Truth = std::function<double(const RecordingBackEnd& rec, std::int64_t ns)>;

double HeardOnSchedule(const RecordingBackEnd& rec, std::int64_t ns)
{
    return benchaudio::HeardOnSchedule(rec, ns, kRate);
}

// Reads a 60-second buffer's play cursor for 6 s at uneven intervals; reports the errors against
// `heard` after the first 0.5 s (and the worst before), the readings that went back, and how far
// the output's own requests strayed (`steady`: from its schedule).
void PositionError(benchmark::State& state, audio::BackEnd& output, const Truth& heard, bool steady)
{
    constexpr double kSeconds = 6;
    constexpr double kSettleSeconds = 0.5;
    benchaudio::ErrorReport report;
    double worstEarly = 0;
    double jitter = 0;
    for (auto _ : state) {
        RecordingBackEnd rec(output);
        auto device = audio::Device::Create(rec);
        auto primary = device->CreateSoundBuffer({audio::kBufPrimary, 0, {}});
        auto buffer = device->CreateSoundBuffer({0, 60 * kRate * 4, kStereo16});
        rec.Watch(buffer.get());
        buffer->Play(true);
        struct Sample {
            std::int64_t ns;
            std::uint32_t frame;
        };
        std::vector<Sample> samples;
        const std::int64_t end = SteadyNs() + static_cast<std::int64_t>(kSeconds * 1e9);
        while (SteadyNs() < end) {
            const std::int64_t before = SteadyNs();
            std::uint32_t play = 0;
            buffer->GetCurrentPosition(&play, nullptr);
            const std::int64_t after = SteadyNs();
            report.rawBackwards += !samples.empty() && play / 4 < samples.back().frame;
            samples.push_back({(before + after) / 2, play / 4});
            std::this_thread::sleep_for(std::chrono::microseconds(300 + samples.size() % 700));
        }
        buffer->Stop();
        device.reset();
        buffer.reset();
        primary.reset();
        jitter = benchaudio::OutputJitterP99Ms(rec, steady, kRate);

        // The output frame at which the buffer's first frame was mixed.
        const std::size_t count = rec.Count();
        std::uint64_t start = 0;
        for (std::size_t i = 0; i < count; ++i)
            if (rec.At(i).bufferWrite != 0) {
                start = rec.At(i).first;
                break;
            }
        const std::int64_t t0 = rec.At(0).ns;
        for (const Sample& s : samples) {
            const double truth = heard(rec, s.ns) - static_cast<double>(start);
            if (std::isnan(truth))
                break;
            if (truth < 0)
                continue; // not heard yet
            const double errorMs = std::abs(s.frame - truth) * 1000.0 / kRate;
            if (static_cast<double>(s.ns - t0) < kSettleSeconds * 1e9)
                worstEarly = std::max(worstEarly, errorMs);
            else
                report.Note(errorMs);
        }
    }
    report.Report(state);
    state.counters["max_first_0.5s_ms"] = worstEarly;
    state.counters["output_jitter_p99_ms"] = jitter;
}

void PositionErrorOnDummyDriver(benchmark::State& state)
{
    audio::SdlAudio sdl;
    if (!benchaudio::StartDummyDriver(sdl, state))
        return;
    PositionError(state, sdl, benchaudio::HeardBetweenPeriods, false);
}
BENCHMARK(PositionErrorOnDummyDriver)->Iterations(1)->Unit(benchmark::kMillisecond);

void PositionErrorOnSteadyTimer(benchmark::State& state)
{
    audio::SilentAudio silent;
    PositionError(state, silent, HeardOnSchedule, true);
}
BENCHMARK(PositionErrorOnSteadyTimer)->Iterations(1)->Unit(benchmark::kMillisecond);

// ---- notification wake-up ----

// A thread sleeping in `wait` (which ends at a signal or after a second) is signalled once it has
// had 2 ms to fall asleep: how long from the signal until it runs, in microseconds.
template <class Wait, class Signal>
void WakeUpLatency(benchmark::State& state, Wait wait, Signal signal)
{
    std::atomic<bool> stop{false};
    std::atomic<std::int64_t> woke{0};
    std::thread waiter([&] {
        while (!stop.load())
            if (wait())
                woke.store(SteadyNs());
    });
    std::vector<double> latenciesUs;
    for (auto _ : state) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        woke.store(0);
        const std::int64_t signalled = SteadyNs();
        signal();
        while (woke.load() == 0 && SteadyNs() - signalled < 2'000'000'000)
            std::this_thread::yield();
        latenciesUs.push_back(static_cast<double>(woke.load() - signalled) / 1e3);
    }
    stop.store(true);
    signal();
    waiter.join();
    double sum = 0;
    for (double l : latenciesUs)
        sum += l;
    std::sort(latenciesUs.begin(), latenciesUs.end());
    state.counters["mean_us"] = sum / static_cast<double>(latenciesUs.size());
    state.counters["p99_us"] = latenciesUs[latenciesUs.size() * 99 / 100];
    state.counters["max_us"] = latenciesUs.back();
}

void WakeUpEventSet(benchmark::State& state)
{
    audio::EventSet events(1);
    WakeUpLatency(
        state, [&] { return events.Wait(std::chrono::seconds(1)) >= 0; }, [&] { events.Signal(0); });
}
BENCHMARK(WakeUpEventSet)->Iterations(300)->Unit(benchmark::kMillisecond);

// The peer: the semaphore's timed wait (in GCC 12's library it polls with growing sleeps).
void WakeUpCountingSemaphore(benchmark::State& state)
{
    std::counting_semaphore<> wake{0};
    WakeUpLatency(
        state,
        [&] { return wake.try_acquire_until(std::chrono::steady_clock::now() + std::chrono::seconds(1)); },
        [&] { wake.release(); });
}
BENCHMARK(WakeUpCountingSemaphore)->Iterations(300)->Unit(benchmark::kMillisecond);

} // namespace
