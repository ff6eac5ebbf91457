// PlaybackClock: which output frame is audible now, from the times at which the output asked for
// its periods, smoothed by a delay-locked loop and interpolated on the output's clock.
#include "platform/audio/PlaybackClock.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace audio {

void PlaybackClock::Restart(double now, std::uint32_t frames, std::uint32_t rate, bool sameOutput) noexcept
{
    running_ = true;
    frames_ = frames;
    rate_ = rate;
    period_ = static_cast<double>(frames) * 1e9 / rate;
    periods_ = 0;
    t1_ = now;
    lastNs_ = now;
    deviation_ = 0;
    if (!sameOutput)
        spread_ = covariance_ = 0;
}

double PlaybackClock::PhaseGain() const noexcept
{
    // Successive deviations of a clock whose periods come late by white noise of variance r
    // correlate at -r and spread 2r; a free-running one's deviations (variance q) do not
    // correlate. Weighing the two, a local-level Kalman filter settles at this gain.
    const double lateness = std::max(-covariance_, 0.0);
    const double drift = std::max(spread_ - 2 * lateness, 0.0);
    if (drift <= 0)
        return 0;
    const double ratio = drift / std::max(lateness, 1.0); // at least 1 ns squared
    return (std::sqrt(ratio * ratio + 4 * ratio) - ratio) / 2;
}

void PlaybackClock::NoteDeviation(double now) noexcept
{
    ++periods_;
    const double deviation = std::clamp(now - lastNs_ - period_, -kDeviationClipNs, kDeviationClipNs);
    lastNs_ = now;
    if (periods_ > 1) {
        const double weight = std::max(kSpreadWeight, 1.0 / periods_);
        spread_ += weight * (deviation * deviation - spread_);
        covariance_ += weight * (deviation * deviation_ - covariance_);
    }
    deviation_ = deviation;
}

void PlaybackClock::OnPeriod(std::int64_t nowNs, std::uint64_t first, std::uint32_t frames,
                             std::uint32_t latencyFrames, std::uint32_t rate) noexcept
{
    if (frames == 0 || rate == 0)
        return;
    const double now = static_cast<double>(nowNs);
    if (reset_.exchange(false, std::memory_order_acq_rel) || !running_ || frames != frames_ || rate != rate_)
        Restart(now, frames, rate, false);
    else if (std::abs(now - t1_) > kResetPeriods * period_)
        Restart(now, frames, rate, true); // a stall or a burst: the output's nature stays
    else
        NoteDeviation(now);
    // The loop: wide at first so that a device off its nominal rate is caught within a few
    // periods, then narrowing to kBandwidthHz so that scheduling jitter is smoothed away.
    const double bandwidth = std::max(kBandwidthHz, kStartBandwidthHz / (1.0 + periods_ / kNarrowingPeriods));
    const double omega = 2 * std::numbers::pi * bandwidth * period_ * 1e-9;
    const double loopGain = std::numbers::sqrt2 * omega;
    const double error = now - t1_;
    // This period starts between the loop's prediction and the time the output asked, as far
    // towards the latter as the output's pacing calls for; the loop itself goes on undisturbed.
    const double gain = PhaseGain();
    const double t0 = t1_ + std::max(gain * gain * gain * gain, loopGain) * error;
    t1_ += loopGain * error + period_;
    period_ += omega * omega * error;

    Published p;
    p.anchor = first - latencyFrames; // wraps below 0; read back as signed
    p.t0 = static_cast<std::int64_t>(std::llround(t0));
    p.t1 = std::max<std::int64_t>(std::llround(t0 + period_), p.t0 + 1);
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
