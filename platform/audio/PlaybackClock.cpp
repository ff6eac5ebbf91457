// PlaybackClock: which output frame is audible now, from the times at which the output asked for
// its periods, smoothed by a delay-locked loop and interpolated on the output's clock.
#include "platform/audio/PlaybackClock.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace audio {

void PlaybackClock::OnPeriod(std::int64_t nowNs, std::uint64_t first, std::uint32_t frames,
                             std::uint32_t latencyFrames, std::uint32_t rate) noexcept
{
    if (frames == 0 || rate == 0)
        return;
    const double now = static_cast<double>(nowNs);
    const double nominal = static_cast<double>(frames) * 1e9 / rate;
    double t0;
    const double error = now - t1_;
    if (reset_.exchange(false, std::memory_order_acq_rel) || !running_ || frames != frames_ || rate != rate_ ||
        std::abs(error) > kResetPeriods * period_) {
        running_ = true;
        frames_ = frames;
        rate_ = rate;
        period_ = nominal;
        periods_ = 0;
        t0 = now;
        t1_ = now + nominal;
    } else {
        // Wide at first so that a device off its nominal rate is caught within a few periods,
        // then narrowing to kBandwidthHz so that scheduling jitter is smoothed away.
        ++periods_;
        const double bandwidth = std::max(kBandwidthHz, kStartBandwidthHz / (1.0 + periods_ / kNarrowingPeriods));
        const double omega = 2 * std::numbers::pi * bandwidth * period_ * 1e-9;
        const double b = std::numbers::sqrt2 * omega;
        const double c = omega * omega;
        t0 = t1_;
        t1_ += b * error + period_;
        period_ += c * error;
    }
    Published p;
    p.anchor = first - latencyFrames; // wraps below 0; read back as signed
    p.t0 = static_cast<std::int64_t>(std::llround(t0));
    p.t1 = std::max<std::int64_t>(std::llround(t1_), p.t0 + 1);
    p.span = frames;
    Publish(p);
}

void PlaybackClock::Publish(const Published& p) noexcept
{
    const std::uint32_t s = sequence_.load(std::memory_order_relaxed);
    sequence_.store(s + 1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    anchor_.store(static_cast<std::int64_t>(p.anchor), std::memory_order_relaxed);
    t0_.store(p.t0, std::memory_order_relaxed);
    t1Published_.store(p.t1, std::memory_order_relaxed);
    span_.store(p.span, std::memory_order_relaxed);
    sequence_.store(s + 2, std::memory_order_release);
}

bool PlaybackClock::Read(Published& p) const noexcept
{
    for (;;) {
        const std::uint32_t s1 = sequence_.load(std::memory_order_acquire);
        if (s1 == 0)
            return false;
        if (s1 & 1)
            continue;
        p.anchor = static_cast<std::uint64_t>(anchor_.load(std::memory_order_relaxed));
        p.t0 = t0_.load(std::memory_order_relaxed);
        p.t1 = t1Published_.load(std::memory_order_relaxed);
        p.span = span_.load(std::memory_order_relaxed);
        std::atomic_thread_fence(std::memory_order_acquire);
        if (sequence_.load(std::memory_order_relaxed) == s1)
            return true;
    }
}

std::uint64_t PlaybackClock::AudibleFrame(std::int64_t nowNs) noexcept
{
    Published p;
    if (!Read(p))
        return lastReported_.load(std::memory_order_acquire);
    const std::int64_t length = p.t1 - p.t0;
    const std::int64_t elapsed = std::clamp<std::int64_t>(nowNs - p.t0, 0, length);
    // Rounded to the nearest frame: the times carry nanosecond rounding.
    const auto into = static_cast<std::int64_t>(
        (static_cast<unsigned __int128>(elapsed) * p.span + static_cast<unsigned __int128>(length / 2)) /
        static_cast<unsigned __int128>(length));
    const std::int64_t frame = static_cast<std::int64_t>(p.anchor) + into;
    std::uint64_t estimate = frame > 0 ? static_cast<std::uint64_t>(frame) : 0;
    std::uint64_t last = lastReported_.load(std::memory_order_acquire);
    while (estimate > last && !lastReported_.compare_exchange_weak(last, estimate, std::memory_order_acq_rel)) {
    }
    return std::max(estimate, last);
}

} // namespace audio
