// PlaybackClock: the audible output frame from period times: exact on a steady clock for hours,
// within a millisecond under jitter and a drifting device, never going back.
#include "platform/audio/PlaybackClock.h"

#include "platform/audio/AudioTypes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace {

using audio::FramesToNs;
using audio::PlaybackClock;

constexpr std::uint32_t kRate = 44100;

TEST(PlaybackClock, ReportsNothingBeforeTheFirstPeriod)
{
    PlaybackClock clock;
    EXPECT_EQ(clock.AudibleFrame(123456789), 0u);
}

TEST(PlaybackClock, FollowsASteadyOutputToTheFrameForThreeHours)
{
    // Periods of 512 frames asked for exactly on time; 512 frames of latency. Sampled at uneven
    // times, the estimate is the true audible frame (within the nanosecond rounding of the times).
    constexpr std::uint32_t kPeriod = 512;
    constexpr std::uint32_t kLatency = 512;
    PlaybackClock clock;
    std::mt19937 random(7);
    const std::uint64_t end = std::uint64_t{3} * 3600 * kRate;
    std::uint64_t last = 0;
    std::uint64_t worst = 0;
    for (std::uint64_t first = 0; first < end + kPeriod; first += kPeriod) {
        clock.OnPeriod(FramesToNs(first, kRate), first, kPeriod, kLatency, kRate);
        // A few readings inside this period, in time order.
        const std::uint64_t a = random() % kPeriod, b = random() % kPeriod;
        for (const std::uint64_t into : {std::min(a, b), std::max(a, b)}) {
            const std::uint64_t t = first + into;
            const std::uint64_t heard = clock.AudibleFrame(FramesToNs(t, kRate));
            const std::uint64_t truth = t >= kLatency ? t - kLatency : 0;
            ASSERT_GE(heard, last);
            last = heard;
            const std::uint64_t error = heard > truth ? heard - truth : truth - heard;
            worst = std::max(worst, error);
        }
    }
    EXPECT_LE(worst, 1u);
    EXPECT_GE(last, end - kPeriod - kLatency);
}

// How an output's period requests stray from its clock.
enum class Pacing {
    Steady,     // on a schedule, each request late by up to `jitterNs`
    FreeRunning // each period starts where the last one was asked for, up to `jitterNs` later
};

// Simulates an output whose clock runs at `speed` x the nominal rate, paced as `pacing` says.
// Returns the largest error in frames, from period `from` on, against the frames it has really
// played: on a steady output, linear on its schedule; on a free-running one, linear between the
// times it asked (it sleeps a period after each request, so that is when the periods play).
double WorstErrorFrames(Pacing pacing, double speed, std::int64_t jitterNs, int from, unsigned seed)
{
    PlaybackClock clock;
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::int64_t> jitter(0, jitterNs);
    constexpr std::uint32_t period = 512;
    constexpr int periods = 3000;
    const double truePeriodNs = period * 1e9 / kRate / speed;
    // The times at which the device's clock passes each period's start, and when it asks.
    std::vector<double> knots(periods + 1), asks(periods + 1);
    for (int k = 0; k <= periods; ++k) {
        const std::int64_t late = jitter(random);
        if (pacing == Pacing::Steady) {
            knots[k] = k * truePeriodNs;
            asks[k] = knots[k] + static_cast<double>(late);
        } else {
            knots[k] = k == 0 ? 0 : knots[k - 1] + truePeriodNs + static_cast<double>(late);
            asks[k] = knots[k];
        }
    }
    std::uint64_t last = 0;
    double worst = 0;
    for (int k = 0; k < periods; ++k) {
        clock.OnPeriod(static_cast<std::int64_t>(asks[k]), static_cast<std::uint64_t>(k) * period, period, period,
                       kRate);
        for (int s = 1; s < 8; ++s) {
            const double into = (s + 0.5) / 8.0;
            const auto t = static_cast<std::int64_t>(knots[k] + into * (knots[k + 1] - knots[k]));
            const std::uint64_t heard = clock.AudibleFrame(t);
            EXPECT_GE(heard, last);
            last = heard;
            // Frame (k - 1 + into) x period is heard at t.
            const double truth = std::max(0.0, (k - 1 + into) * period);
            if (k >= from)
                worst = std::max(worst, std::abs(static_cast<double>(heard) - truth));
        }
    }
    return worst;
}

TEST(PlaybackClock, StaysWithinAMillisecondOfAJitteryDriftingDevice)
{
    const double oneMs = kRate / 1000.0;
    // Clean devices 0.5 % and 5 % off their nominal rate (SDL's dummy driver, which sleeps whole
    // milliseconds, runs about 5 % fast): within a millisecond from the first period, exact once locked.
    for (const double speed : {1.005, 0.95, 1.05}) {
        EXPECT_LT(WorstErrorFrames(Pacing::Steady, speed, 0, 0, 1), oneMs) << speed;
        EXPECT_LT(WorstErrorFrames(Pacing::Steady, speed, 0, 300, 1), 1.0) << speed;
    }
    // Callbacks up to half a millisecond late, at random: within a millisecond once the loop has
    // seen a few dozen periods (lateness on average is an offset no clock can see).
    for (const double speed : {1.0, 0.95, 1.05})
        EXPECT_LT(WorstErrorFrames(Pacing::Steady, speed, 500000, 50, 2), oneMs) << speed;
}

// An output that sleeps after each period carries every delay on: the clock follows where it asked
// instead of a schedule it has left long ago (a schedule's error would grow as a random walk).
TEST(PlaybackClock, FollowsAFreeRunningOutputWhoseDelaysAddUp)
{
    const double oneMs = kRate / 1000.0;
    for (const double speed : {1.0, 1.05})
        for (const std::int64_t jitterNs : {300000, 900000})
            EXPECT_LT(WorstErrorFrames(Pacing::FreeRunning, speed, jitterNs, 100, 3), oneMs)
                << speed << " x, " << jitterNs << " ns";
}

TEST(PlaybackClock, HoldsAtTheFramesHandedOverWhenTheOutputStalls)
{
    constexpr std::uint32_t kPeriod = 256;
    PlaybackClock clock;
    for (std::uint64_t k = 0; k < 100; ++k)
        clock.OnPeriod(FramesToNs(k * kPeriod, kRate), k * kPeriod, kPeriod, kPeriod, kRate);
    // Period 99 was asked for with frame 98 x 256 heard: at most 99 x 256 can be heard however long we wait.
    const std::uint64_t limit = 99 * kPeriod;
    EXPECT_EQ(clock.AudibleFrame(FramesToNs(200 * kPeriod, kRate)), limit);
    // The output comes back late: the loop starts over there and the position goes on from the limit.
    clock.OnPeriod(FramesToNs(300 * kPeriod, kRate), 100 * kPeriod, kPeriod, kPeriod, kRate);
    EXPECT_EQ(clock.AudibleFrame(FramesToNs(300 * kPeriod, kRate)), limit);
    EXPECT_EQ(clock.AudibleFrame(FramesToNs(300 * kPeriod + 100, kRate)), limit + 100);
}

TEST(PlaybackClock, NeverGoesBackWhenTheLatencyGrowsOrTheClockResets)
{
    PlaybackClock clock;
    clock.OnPeriod(0, 0, 512, 0, kRate);
    clock.OnPeriod(FramesToNs(512, kRate), 512, 512, 0, kRate);
    const std::uint64_t before = clock.AudibleFrame(FramesToNs(1000, kRate));
    EXPECT_EQ(before, 1000u);
    clock.Reset();
    clock.OnPeriod(FramesToNs(1024, kRate), 1024, 512, 2048, kRate);
    EXPECT_EQ(clock.AudibleFrame(FramesToNs(1100, kRate)), before);
}

} // namespace
