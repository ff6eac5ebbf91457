// PlaybackClock: which output frame is audible now, from the times at which the output asked for
// its periods, smoothed by a delay-locked loop and interpolated on the output's clock.
#pragma once

#include <atomic>
#include <cstdint>

namespace audio {

// Output frames are counted in 64 bits from the first frame the output ever played, so the count
// never wraps and never drifts. When the output asks for period k (frames first..first+frames-1)
// at time t, frame first - latency is the one being heard: the frames already handed over still
// have to play. Between periods the audible frame grows at the rate the loop has measured (not the
// nominal rate), so a device whose clock runs a little fast or slow is followed; the estimate
// never runs past the end of the frames handed over and never goes back.
//
// Where a period starts is filtered from the times the output asked. Outputs differ in how those
// times stray: a device with a steady clock asks late now and then but stays on its schedule
// (lateness to smooth away), while an output that sleeps from one period to the next carries every
// delay into all later periods (each period starts where the last one was asked for). The filter
// tells them apart by the period lengths' deviations: a steady clock's late period is followed by
// a short one (successive deviations correlate negatively), a free-running one's is not. From the
// two spreads it takes the gain that weighs them best (a local-level Kalman filter's steady-state
// gain): near 0 for a steady clock, where the loop below smooths, near 1 (start where the output
// asked) for a free-running one. Spreads taken over a hundred periods scatter: a steady clock's
// gain wanders up to about 0.7 under load while a free-running output's stays at 1, so the filter
// uses the gain's fourth power, which keeps the one on its loop and the other where it asked.
//
// The loop: a second-order delay-locked loop on the period start times gives the rate and the
// steady schedule, its bandwidth narrowing from kStartBandwidthHz to kBandwidthHz over the first
// periods (quick to lock, then smooth). It starts over when a period comes more than
// kResetPeriods periods off its predicted time (a stall or a burst) or when the period's length or
// rate changes.
//
// Threads: OnPeriod from the output's thread (one at a time), lock-free and allocation-free;
// AudibleFrame and Reset from any thread. The published state is a sequence-locked record: a
// reader retries while the output thread writes it, and the writer never waits.
class PlaybackClock {
public:
    static constexpr double kBandwidthHz = 1.0;
    static constexpr double kStartBandwidthHz = 8.0;
    static constexpr double kNarrowingPeriods = 8.0;
    static constexpr double kResetPeriods = 2.0;
    // Period deviations beyond this count as this much in the spreads (one stall does not make a
    // steady clock look free-running for long).
    static constexpr double kDeviationClipNs = 2e6;
    // The spreads' exponential weight (about the last 100 periods).
    static constexpr double kSpreadWeight = 0.01;

    // The output asked at `nowNs` for `frames` frames starting at output frame `first`.
    void OnPeriod(std::int64_t nowNs, std::uint64_t first, std::uint32_t frames, std::uint32_t latencyFrames,
                  std::uint32_t rate) noexcept;
    // The output frame heard at `nowNs` (a time of the same clock as OnPeriod's); 0 before the
    // first period. Never less than a value it returned before.
    std::uint64_t AudibleFrame(std::int64_t nowNs) noexcept;
    // The next period starts the loop over (the output was stopped or reopened).
    void Reset() noexcept { reset_.store(true, std::memory_order_release); }

private:
    struct Published {
        std::uint64_t anchor; // audible frame at t0 (may be "negative": stored as signed)
        std::int64_t t0;
        std::int64_t t1;
        std::uint32_t span;
    };
    void Publish(const Published& p) noexcept;
    bool Read(Published& p) const noexcept;

    // The weight of where a period was asked for against where it was predicted, before the
    // fourth power.
    double PhaseGain() const noexcept;
    // Starts the filter over at a period asked for at `now`; the spreads are kept when it is the
    // same output that stalled or burst.
    void Restart(double now, std::uint32_t frames, std::uint32_t rate, bool sameOutput) noexcept;
    // Takes the length of the period that ended at `now` into the spreads.
    void NoteDeviation(double now) noexcept;

    // Filter state, output thread only.
    bool running_ = false;
    double t1_ = 0;        // the loop's predicted start of the next period, ns
    double period_ = 0;    // the loop's measured period length, ns
    int periods_ = 0;      // since the last restart
    double lastNs_ = 0;    // when the last period was asked for
    double deviation_ = 0; // the last period's length less period_, clipped
    double spread_ = 0;    // mean square of the deviations
    double covariance_ = 0; // mean product of successive deviations
    std::uint32_t frames_ = 0;
    std::uint32_t rate_ = 0;
    std::atomic<bool> reset_{false};

    // Sequence-locked published record (odd sequence: being written).
    std::atomic<std::uint32_t> sequence_{0};
    std::atomic<std::int64_t> anchor_{0};
    std::atomic<std::int64_t> t0_{0};
    std::atomic<std::int64_t> t1Published_{0};
    std::atomic<std::uint32_t> span_{0};

    std::atomic<std::uint64_t> lastReported_{0};
};

} // namespace audio
