// What an audio output really played, for the benchmarks that measure positions against it: a back
// end that passes another's periods on and notes when each came, which output frames it asked for,
// a watched buffer's write cursor, and the first output frame that carried sound; the two truths
// of what was heard when; and the report of a position's errors against them.
#pragma once

#include "platform/audio/AudioBackEnd.h"
#include "platform/audio/AudioBuffer.h"
#include "platform/audio/sdl/SdlAudio.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>
#include <limits>
#include <vector>

namespace benchaudio {

// The monotonic clock in nanoseconds.
std::int64_t SteadyNs();

class RecordingBackEnd : public audio::BackEnd, private audio::Renderer {
public:
    struct Period {
        std::int64_t ns;
        std::uint64_t first;
        std::uint32_t frames;
        std::uint32_t latency;
        std::uint32_t bufferWrite; // the watched buffer's write cursor after the period
    };
    static constexpr std::uint64_t NoSound = std::numeric_limits<std::uint64_t>::max();

    explicit RecordingBackEnd(audio::BackEnd& inner);

    const char* Name() const override { return "recording"; }
    std::unique_ptr<audio::OutputStream> Open(const audio::PcmFormat& format, audio::Renderer& renderer) override;
    std::int64_t NowNs() const override { return inner_.NowNs(); }
    std::shared_ptr<audio::NotifyTracker> Tracker() const override { return inner_.Tracker(); }

    void Watch(audio::Buffer* buffer) { watched_ = buffer; }
    std::size_t Count() const { return count_.load(std::memory_order_acquire); }
    const Period& At(std::size_t i) const { return periods_[i]; }
    // The first output frame with a sample other than 0, or NoSound.
    std::uint64_t FirstSoundFrame() const { return firstSound_.load(std::memory_order_acquire); }

private:
    void Render(std::span<std::uint8_t> out, std::uint32_t frames, std::int64_t nowNs,
                std::uint32_t latencyFrames) noexcept override;

    audio::BackEnd& inner_;
    audio::Renderer* renderer_ = nullptr;
    std::uint32_t frameBytes_ = 4;
    std::vector<Period> periods_;
    std::atomic<std::size_t> count_{0};
    std::uint64_t first_ = 0;
    std::atomic<audio::Buffer*> watched_{nullptr};
    std::atomic<std::uint64_t> firstSound_{NoSound};
};

// The output frame heard at `ns` on an output that consumes linearly between the periods it asked
// for (SDL's dummy driver sleeps whole milliseconds, so no steady clock is the truth): the frames
// consumed less the latency; NaN past the last period.
double HeardBetweenPeriods(const RecordingBackEnd& rec, std::int64_t ns);

// The output frame heard at `ns` on an output paced by a steady timer at `rate` frames a second:
// its schedule starts where the least late of its periods puts it (a period is never asked for
// before its deadline). NaN past the last period.
double HeardOnSchedule(const RecordingBackEnd& rec, std::int64_t ns, std::uint32_t rate);

// Starts `sdl` on SDL's dummy driver; false, with the benchmark skipped, when it cannot start.
bool StartDummyDriver(audio::SdlAudio& sdl, benchmark::State& state);

// How far the output's own requests strayed, in ms at the 99th percentile: against the schedule
// (`steady`), or a period's length against the mean. No position can follow a truth that moves
// by more than this between two periods, so it tells what the error figures can reach.
double OutputJitterP99Ms(const RecordingBackEnd& rec, bool steady, std::uint32_t rate);

// A position's errors against the truth and how often its readings went back, reported as the
// benchmark's counters mean, p99 and max error (ms), and the backward readings.
struct ErrorReport {
    std::vector<double> errorsMs;
    int rawBackwards = 0;    // raw position readings below an earlier one
    int clockBackwards = -1; // readings of a clock kept monotonic below an earlier one; -1: none read

    void Note(double errorMs) { errorsMs.push_back(errorMs); }
    void Report(benchmark::State& state);
};

} // namespace benchaudio
