// The song run's performance step and its clock.
//
// The step on the densest chart (1,023 notes, 256 of them on the sheet) with every display option
// on: judgement scan, presses, sheet rebuild, the four characters animating and sorted, and the
// background animating through a cross-fade that blends the whole stage each step; the lyric line
// (rendered only when a lyric falls due) in both qualities; next to memcpy of one 640 x 480 frame
// of 32-bit pixels. Goals: a step at most 1/3 of the 3 ms sleep between steps and at most 8 x the
// memcpy.
//
// The song clock (the music stream's play position through the clock conversion) against the
// sample actually audible: on the manual audio clock, where the truth is the clock less the
// latency, the error must be exactly 0; on SDL's dummy driver and on the silent back end's steady
// timer over 60 s, mean, p99 and maximum error, how often a raw position read or the clock went
// back, and how far the output's own requests strayed. Goals: p99 at most 1 ms, the clock never back.
#include "AudioTruth.h"

#include "songgame/display/CharacterDisplay.h"
#include "songgame/display/LyricLine.h"
#include "songgame/display/SheetNotes.h"
#include "songgame/display/StageBackground.h"
#include "songgame/run/PlayState.h"
#include "songgame/run/SongClock.h"
#include "songgame/run/SongJudge.h"
#include "songgame/sound/DSoundSongDevice.h"

#include "base/util/FontUtils.h"
#include "graphics/bitmaps/TXeAlpha.h"
#include "graphics/bitmaps/TXeAlphaDib.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "graphics/bitmaps/TXeRGBDib.h"
#include "platform/audio/headless/ManualAudio.h"
#include "platform/audio/sdl/SdlAudio.h"
#include "platform/audio/silent/SilentAudio.h"
#include "platform/classes/Stream.h"
#include "platform/classes/WinControl.h"
#include "sound/TDSound.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// ---- the performance step ----

struct NoActions : JudgeActions {
    void PlayKeySound(int sound) override { benchmark::DoNotOptimize(sound); }
    void ShowLyric(int text) override { benchmark::DoNotOptimize(text); }
    void ShakeCharacters() override {}
};

struct NoFlags : RectSink {
    void Flag(const TXeRect& rect) override { benchmark::DoNotOptimize(rect); }
};

std::unique_ptr<TXeRGBBits> StageBitmap()
{
    auto bits = std::make_unique<TXeRGBBits>(nullptr);
    bits->SetBitDepth(bd32);
    bits->Resize(640, 300);
    bits->Create();
    return bits;
}

// A 24-bit BMP of the stage's size in one colour, kept as a picture stream.
std::unique_ptr<TMemoryStream> StagePictureStream(std::uint8_t level)
{
    constexpr int w = 640, h = 300, row = w * 3;
    Bytes bmp(54 + row * h, level);
    const auto put = [&bmp](int at, std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            bmp[static_cast<std::size_t>(at + i)] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    std::fill(bmp.begin(), bmp.begin() + 54, 0);
    bmp[0] = 'B';
    bmp[1] = 'M';
    put(2, static_cast<std::uint32_t>(bmp.size()), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, w, 4);
    put(22, h, 4);
    put(26, 1, 2);
    put(28, 24, 2);
    auto stream = std::make_unique<TMemoryStream>();
    stream->Write(bmp.data(), static_cast<int>(bmp.size()));
    return stream;
}

// 1,023 notes 441 units (one sheet pixel) apart over 30 lanes: 256 and more are on the sheet at once.
std::vector<TMusicNote> DenseChart()
{
    std::vector<TMusicNote> notes;
    for (int i = 0; i < MaxNotes - 1; ++i)
        notes.push_back({static_cast<std::uint32_t>(88'200 + 441 * i), 0, i % 16, i % 30, -1, 0, 0, 0});
    return notes;
}

void BM_PerformanceStep(benchmark::State& state)
{
    std::vector<TMusicNote> notes = DenseChart();
    PlayState play;
    NoActions actions;
    SongJudge judge(notes, play, actions);
    SheetNotes sheet;
    StageState stage;
    StageResources resources;
    NoFlags flags;
    CharacterDisplay characters(stage, resources, flags);
    for (int c = 0; c < StageCharacters; ++c) {
        PictureEntry& entry = resources.characters[static_cast<std::size_t>(c)].entries[0];
        entry = {8, 120, 200, 4, 2, pepRound, nullptr, nullptr, {}, {}};
        entry.durations.fill(1);
        characters.SetPicture(c, 0);
        characters.SetPosition(c, 100 * c, 50, 0, true);
        characters.SetPosition(c, 100 * c + 60, 80, 1000, true);
    }
    // Two animations of two frames a tick each, fading into each other a step a tick.
    std::vector<std::unique_ptr<TMemoryStream>> pictures;
    for (int a = 0; a < 2; ++a) {
        BackgroundAnimation& animation = resources.animations[static_cast<std::size_t>(a)];
        animation.frameCount = 2;
        for (int f = 0; f < 2; ++f) {
            pictures.push_back(StagePictureStream(static_cast<std::uint8_t>(0x20 + 0x40 * a + 0x10 * f)));
            animation.frames[static_cast<std::size_t>(f)] = {pictures.back().get(), spfBmp};
            animation.durations[static_cast<std::size_t>(f)] = 1;
        }
    }
    const auto target = StageBitmap();
    StageBackground background(stage, resources);
    background.SetTarget(target.get(), &flags);
    background.ShowAnimation(0, 0, true);
    background.ShowAnimation(1, 1, true);

    const std::uint32_t now = 88'200 + 441 * 100;
    for (auto _ : state) {
        for (TMusicNote& note : notes)
            note.state = 0;
        judge.Restart();
        judge.Scan(now, now - 1470);
        for (int lane = 0; lane < SongJudge::Lanes; ++lane)
            judge.HitLane(lane);
        sheet.Rebuild(notes, judge.firstDrawn, now, 1);
        characters.Animate(1);
        characters.SortDepth();
        if (!background.Fading()) {
            state.PauseTiming();
            background.ShowAnimation(stage.current.slot ^ 1, 1, true);
            state.ResumeTiming();
        }
        background.Step(1);
        benchmark::DoNotOptimize(sheet.Count());
    }
    state.counters["drawn"] = sheet.Count();
}
BENCHMARK(BM_PerformanceStep)->Unit(benchmark::kMicrosecond);

// One lyric line of 40 bytes, in normal (1) and high (2) quality.
void BM_LyricLine(benchmark::State& state)
{
    const int mode = static_cast<int>(state.range(0));
    constexpr int w = 576, h = 26;
    auto line = std::make_unique<TXeRGBDib>(nullptr);
    line->SetBitDepth(bd32);
    line->Resize(w, h);
    line->Create();
    auto large = std::make_unique<TXeAlphaDib>(nullptr);
    large->Resize(2 * w, 2 * h);
    large->Create();
    auto grey = std::make_unique<TXeRGBBits>(nullptr), outline = std::make_unique<TXeRGBBits>(nullptr);
    for (TXeRGBBits* bits : {grey.get(), outline.get()}) {
        bits->SetBitDepth(bd32);
        bits->Resize(w, h);
        bits->Create();
    }
    auto mask = std::make_unique<TXeAlpha>(nullptr);
    mask->Resize(w, h);
    mask->Create();
    TFont font;
    font.Name = "DFMaruMoji-W9";
    font.Pitch = fpFixed;
    font.Height = mode == 2 ? -48 : -24;
    const FontHandle handle = GetAntiAliasedFont(&font);
    const LyricSurfaces surfaces{line.get(), large.get(), grey.get(), outline.get(), mask.get(), handle.get()};
    const std::string text = "Sing along \xC4\xE3\xBA\xC3 with the lyric line here";
    for (auto _ : state)
        benchmark::DoNotOptimize(RenderLyricLine(surfaces, mode, text));
}
BENCHMARK(BM_LyricLine)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

void BM_FrameMemcpy(benchmark::State& state)
{
    std::vector<std::uint8_t> from(640 * 480 * 4, 7), to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FrameMemcpy)->Unit(benchmark::kMicrosecond);

// ---- the song clock against the audible sample ----

constexpr std::uint32_t Rate = 44'100;
constexpr double Seconds = 60;

// A 16-bit stereo 44.1 kHz WAVE file of `seconds` in which no sample is 0, so that the first frame
// heard shows in the output.
Bytes MusicWave(double seconds)
{
    const auto frames = static_cast<std::uint32_t>(seconds * Rate);
    const std::uint32_t data = frames * 4;
    Bytes wave(44 + data, 0x11);
    const auto put = [&wave](std::size_t at, std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            wave[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    std::memcpy(wave.data(), "RIFF", 4);
    put(4, 36 + data, 4);
    std::memcpy(wave.data() + 8, "WAVEfmt ", 8);
    put(16, 16, 4);
    put(20, 1, 2);
    put(22, 2, 2);
    put(24, Rate, 4);
    put(28, Rate * 4, 4);
    put(32, 4, 2);
    put(34, 16, 2);
    std::memcpy(wave.data() + 36, "data", 4);
    put(40, data, 4);
    return wave;
}

// The music made as the song screen makes it, on the process's default audio back end.
struct MusicOnDevice {
    TWinControl form{nullptr};
    DirectX::TDSound* sound = new DirectX::TDSound(&form); // owned by the form
    std::unique_ptr<DSoundSongDevice> device;
    TMemoryStream file;
    std::unique_ptr<SongSound> music;

    explicit MusicOnDevice(double seconds)
    {
        sound->SetEnabled(true);
        device = std::make_unique<DSoundSongDevice>(sound);
        const Bytes wave = MusicWave(seconds);
        file.Write(wave.data(), static_cast<int>(wave.size()));
        file.SetPosition(0);
        music = device->CreateStream(SongSoundKind::Wave, &file);
    }
    ~MusicOnDevice()
    {
        music.reset();
        sound->SetEnabled(false);
    }
    // The song clock read now, never behind `previous`; `raw` is the clock of the position read.
    SongTime Read(SongTime previous, std::uint64_t& raw) const
    {
        std::uint64_t position = 0;
        std::uint32_t bytesPerSecond = 0;
        const bool read = music->GetPlayPosition(position, bytesPerSecond);
        raw = read && bytesPerSecond != 0 ? position * ClockUnitsPerSecond / bytesPerSecond : 0;
        return TimeOfStream(read ? std::optional<std::uint64_t>(position) : std::nullopt, bytesPerSecond, previous);
    }
};

// A song clock's report: errors against the truth, backward raw positions and clock readings.
benchaudio::ErrorReport ClockReport()
{
    benchaudio::ErrorReport report;
    report.clockBackwards = 0;
    return report;
}

void SongClockOnManualClock(benchmark::State& state)
{
    benchaudio::ErrorReport report = ClockReport();
    for (auto _ : state) {
        auto manual = std::make_shared<audio::ManualAudio>();
        manual->settings.keepOutput = false;
        auto rec = std::make_shared<benchaudio::RecordingBackEnd>(*manual);
        audio::SetDefaultBackEnd(rec);
        {
            MusicOnDevice music(Seconds + 2);
            music.music->Play(false);
            SongTime clock{};
            std::uint64_t lastRaw = 0;
            std::uint32_t step = 1;
            while (manual->Clock() < static_cast<std::uint64_t>(Seconds * Rate)) {
                step = step * 1103515245u + 12345u;
                manual->Advance(1 + (step >> 16) % 1500);
                std::uint64_t raw = 0;
                const SongTime now = music.Read(clock, raw);
                report.rawBackwards += raw < lastRaw;
                report.clockBackwards += now.clock < clock.clock;
                lastRaw = std::max(lastRaw, raw);
                clock = now;
                const std::uint64_t start = rec->FirstSoundFrame();
                const std::int64_t heard = static_cast<std::int64_t>(manual->Clock()) -
                                           static_cast<std::int64_t>(manual->settings.latencyFrames) -
                                           static_cast<std::int64_t>(start);
                if (start == benchaudio::RecordingBackEnd::NoSound || heard <= 0)
                    continue;
                const double truth = static_cast<double>(heard) * ClockUnitsPerSecond / Rate;
                report.Note(std::abs(now.clock - truth) * 1000.0 / ClockUnitsPerSecond);
            }
        }
        audio::SetDefaultBackEnd(nullptr);
    }
    report.Report(state);
}
BENCHMARK(SongClockOnManualClock)->Iterations(1)->Unit(benchmark::kMillisecond);

// The clock over 60 s of music on `output`, read at uneven intervals, against `heard` (the output
// frame heard at a time); `steady` tells how the output's own jitter is measured.
void SongClockOnOutput(benchmark::State& state, audio::BackEnd& output,
                       double (*heard)(const benchaudio::RecordingBackEnd&, std::int64_t), bool steady)
{
    benchaudio::ErrorReport report = ClockReport();
    double jitter = 0;
    for (auto _ : state) {
        auto rec = std::make_shared<benchaudio::RecordingBackEnd>(output);
        audio::SetDefaultBackEnd(rec);
        struct Sample {
            std::int64_t ns;
            double clock;
        };
        std::vector<Sample> samples;
        {
            MusicOnDevice music(Seconds + 2);
            music.music->Play(false);
            SongTime clock{};
            std::uint64_t lastRaw = 0;
            const std::int64_t end = benchaudio::SteadyNs() + static_cast<std::int64_t>(Seconds * 1e9);
            while (benchaudio::SteadyNs() < end) {
                const std::int64_t before = benchaudio::SteadyNs();
                std::uint64_t raw = 0;
                const SongTime now = music.Read(clock, raw);
                const std::int64_t after = benchaudio::SteadyNs();
                report.rawBackwards += raw < lastRaw;
                report.clockBackwards += now.clock < clock.clock;
                lastRaw = std::max(lastRaw, raw);
                clock = now;
                samples.push_back({(before + after) / 2, static_cast<double>(now.clock)});
                std::this_thread::sleep_for(std::chrono::microseconds(300 + samples.size() % 700));
            }
        }
        jitter = benchaudio::OutputJitterP99Ms(*rec, steady, Rate);
        const std::uint64_t start = rec->FirstSoundFrame();
        for (const Sample& s : samples) {
            const double frame = heard(*rec, s.ns) - static_cast<double>(start);
            if (start == benchaudio::RecordingBackEnd::NoSound || std::isnan(frame))
                break;
            if (frame <= 0)
                continue; // not heard yet
            report.Note(std::abs(s.clock - frame * ClockUnitsPerSecond / Rate) * 1000.0 / ClockUnitsPerSecond);
        }
        audio::SetDefaultBackEnd(nullptr);
    }
    report.Report(state);
    state.counters["output_jitter_p99_ms"] = jitter;
}

// SDL's dummy driver sleeps from one period to the next, so no steady clock is its truth: what it
// consumed, taken as linear between the periods it asked for.
void SongClockOnDummyDriver(benchmark::State& state)
{
    audio::SdlAudio sdl;
    if (!benchaudio::StartDummyDriver(sdl, state))
        return;
    SongClockOnOutput(state, sdl, benchaudio::HeardBetweenPeriods, false);
}
BENCHMARK(SongClockOnDummyDriver)->Iterations(1)->Unit(benchmark::kMillisecond);

// The silent back end asks for each period at a deadline of a steady timer, as a device with its
// own clock does: the truth is that timer's schedule.
void SongClockOnSteadyTimer(benchmark::State& state)
{
    audio::SilentAudio silent;
    SongClockOnOutput(
        state, silent, [](const benchaudio::RecordingBackEnd& rec, std::int64_t ns) {
            return benchaudio::HeardOnSchedule(rec, ns, Rate);
        },
        true);
}
BENCHMARK(SongClockOnSteadyTimer)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
