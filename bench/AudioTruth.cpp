#include "AudioTruth.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace benchaudio {

std::int64_t SteadyNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

RecordingBackEnd::RecordingBackEnd(audio::BackEnd& inner) : inner_(inner)
{
    periods_.resize(200000);
}

std::unique_ptr<audio::OutputStream> RecordingBackEnd::Open(const audio::PcmFormat& format, audio::Renderer& renderer)
{
    renderer_ = &renderer;
    frameBytes_ = format.FrameBytes();
    return inner_.Open(format, *this);
}

void RecordingBackEnd::Render(std::span<std::uint8_t> out, std::uint32_t frames, std::int64_t nowNs,
                              std::uint32_t latencyFrames) noexcept
{
    renderer_->Render(out, frames, nowNs, latencyFrames);
    const std::size_t i = count_.load(std::memory_order_relaxed);
    if (i >= periods_.size())
        return;
    if (firstSound_.load(std::memory_order_relaxed) == NoSound) {
        for (std::size_t b = 0; b < out.size(); ++b)
            if (out[b] != 0) {
                firstSound_.store(first_ + b / frameBytes_, std::memory_order_release);
                break;
            }
    }
    std::uint32_t write = 0;
    if (audio::Buffer* watched = watched_.load())
        watched->GetCurrentPosition(nullptr, &write);
    periods_[i] = {nowNs, first_, frames, latencyFrames, write};
    first_ += frames;
    count_.store(i + 1, std::memory_order_release);
}

double HeardBetweenPeriods(const RecordingBackEnd& rec, std::int64_t ns)
{
    const std::size_t count = rec.Count();
    std::size_t k = 0;
    while (k + 1 < count && rec.At(k + 1).ns <= ns)
        ++k;
    if (k + 1 >= count)
        return std::nan("");
    const auto& a = rec.At(k);
    const auto& b = rec.At(k + 1);
    const double into = static_cast<double>(ns - a.ns) / static_cast<double>(b.ns - a.ns);
    return static_cast<double>(a.first) - a.latency + into * a.frames;
}

namespace {

// The earliest start time a steady timer at `rate` can have had, from the periods it asked for.
double ScheduleStart(const RecordingBackEnd& rec, std::uint32_t rate)
{
    double start = std::numeric_limits<double>::max();
    for (std::size_t i = 0; i < rec.Count(); ++i)
        start = std::min(start, static_cast<double>(rec.At(i).ns) - static_cast<double>(rec.At(i).first) * 1e9 / rate);
    return start;
}

double P99(std::vector<double>& values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? std::nan("") : values[values.size() * 99 / 100];
}

} // namespace

double HeardOnSchedule(const RecordingBackEnd& rec, std::int64_t ns, std::uint32_t rate)
{
    const std::size_t count = rec.Count();
    if (count == 0 || ns > rec.At(count - 1).ns)
        return std::nan("");
    return (static_cast<double>(ns) - ScheduleStart(rec, rate)) * rate / 1e9 - rec.At(0).latency;
}

double OutputJitterP99Ms(const RecordingBackEnd& rec, bool steady, std::uint32_t rate)
{
    const std::size_t count = rec.Count();
    std::vector<double> strayMs;
    if (steady) {
        const double start = ScheduleStart(rec, rate);
        for (std::size_t i = 0; i < count; ++i)
            strayMs.push_back((static_cast<double>(rec.At(i).ns) - start) / 1e6 -
                              static_cast<double>(rec.At(i).first) * 1e3 / rate);
    } else if (count > 1) {
        const double meanMs = static_cast<double>(rec.At(count - 1).ns - rec.At(0).ns) / 1e6 / (count - 1);
        for (std::size_t i = 1; i < count; ++i)
            strayMs.push_back(std::abs(static_cast<double>(rec.At(i).ns - rec.At(i - 1).ns) / 1e6 - meanMs));
    }
    return P99(strayMs);
}

bool StartDummyDriver(audio::SdlAudio& sdl, benchmark::State& state)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (sdl.Start())
        return true;
    state.SkipWithError("SDL audio cannot start");
    return false;
}

void ErrorReport::Report(benchmark::State& state)
{
    if (errorsMs.empty()) {
        state.SkipWithError("no readings");
        return;
    }
    double sum = 0;
    for (double e : errorsMs)
        sum += e;
    state.counters["mean_error_ms"] = sum / static_cast<double>(errorsMs.size());
    state.counters["p99_error_ms"] = P99(errorsMs);
    state.counters["max_error_ms"] = errorsMs.back();
    state.counters["readings"] = static_cast<double>(errorsMs.size());
    state.counters["raw_backwards"] = rawBackwards;
    if (clockBackwards >= 0)
        state.counters["clock_backwards"] = clockBackwards;
}

} // namespace benchaudio
