#include "AudioTruth.h"

#include <chrono>
#include <cmath>

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

} // namespace benchaudio
