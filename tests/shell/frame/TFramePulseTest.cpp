#include "shell/frame/TFramePulse.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The ticks (1-based) that brought a pulse among the first `ticks`.
std::vector<int> PulseTicks(std::uint32_t periodMs, int ticks)
{
    TFramePulse pulse;
    std::vector<int> at;
    for (int t = 1; t <= ticks; ++t)
        if (pulse.Tick(periodMs))
            at.push_back(t);
    return at;
}

TEST(TFramePulse, MakesThirtyPulsesASecondFromEitherTickPeriod)
{
    EXPECT_EQ(PulseTicks(10, 20), (std::vector<int>{3, 6, 10, 13, 16, 20}));
    EXPECT_EQ(PulseTicks(5, 40), (std::vector<int>{6, 13, 20, 26, 33, 40}));
    for (const std::uint32_t period : {10u, 5u}) {
        TFramePulse pulse;
        const int ticksPerSecond = 1000 / static_cast<int>(period);
        for (int t = 0; t < ticksPerSecond; ++t)
            pulse.Tick(period);
        EXPECT_EQ(pulse.PulseCount(), 30) << period << " ms";
        EXPECT_EQ(pulse.MusicMs(), 1000);
        EXPECT_EQ(pulse.TickIndex(), 0);
    }
}

TEST(TFramePulse, ResetKeepsTheMillisecondCount)
{
    TFramePulse pulse;
    for (int t = 0; t < 7; ++t)
        pulse.Tick(10);
    pulse.TakeDue(fpsFull);
    pulse.Reset();
    EXPECT_EQ(pulse.TickIndex(), 0);
    EXPECT_EQ(pulse.PulseCount(), 0);
    EXPECT_EQ(pulse.PulsesDone(), 0);
    EXPECT_EQ(pulse.MusicMs(), 70);
}

TEST(TFramePulse, DecidesWhetherAFrameIsDuePerMode)
{
    struct Case {
        std::uint8_t mode;
        int pending;
        std::optional<int> dp;
    } cases[] = {
        {fps15, 0, std::nullopt}, {fps15, 1, std::nullopt}, {fps15, 2, 2},
        {fps30, 0, std::nullopt}, {fps30, 1, 1},           {fps30, 10, 10},
        {fpsFull, 0, 0},          {fpsFull, 3, 3},         {fpsNoSync, 0, 0},
    };
    for (const Case& c : cases) {
        TFramePulse pulse;
        int ticks = 0;
        while (pulse.PulseCount() < c.pending) {
            pulse.Tick(10);
            ++ticks;
        }
        EXPECT_EQ(pulse.TakeDue(c.mode), c.dp) << "mode " << int(c.mode) << " pending " << c.pending;
        if (c.dp)
            EXPECT_EQ(pulse.PulsesDone(), c.pending) << "a frame consumes every pulse before it";
        else
            EXPECT_EQ(pulse.PulsesDone(), 0) << "pulses stay pending for the next decision";
    }
}

TEST(TFramePulse, BringsBothCountersDownAfterAMillionPulses)
{
    TFramePulse pulse;
    // 1,000,001 pulses consumed, then 3 more pending: 10 ms ticks give 3 pulses per 10 ticks.
    const int ticks = (1000001 / 3 + 1) * 10;
    for (int t = 0; t < ticks; ++t)
        pulse.Tick(10);
    ASSERT_GT(pulse.PulseCount(), 1000000);
    pulse.TakeDue(fpsFull);
    for (int t = 0; t < 10; ++t)
        pulse.Tick(10);
    EXPECT_EQ(pulse.TakeDue(fps30), 3);
    EXPECT_EQ(pulse.PulsesDone(), 3);
    EXPECT_EQ(pulse.PulseCount(), 3);
}

} // namespace
