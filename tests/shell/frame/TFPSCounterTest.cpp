#include "shell/frame/TFPSCounter.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

// Draws frames every `stepMs` from `now` for `ms` milliseconds; the last value.
int DrawFrames(TFPSCounter& meter, std::uint32_t& now, std::uint32_t stepMs, std::uint32_t ms)
{
    int value = 0;
    for (std::uint32_t t = 0; t < ms; t += stepMs, now += stepMs)
        value = meter.Tick(now);
    return value;
}

TEST(TFPSCounter, CountsTheFramesOfTheLastSecond)
{
    struct Case {
        std::uint32_t start;
        std::uint32_t stepMs;
        int fps;
    } cases[] = {
        {5000, 20, 50},          // 50 frames a second
        {5000, 33, 30},          // about 30
        {0xFFFFF000u, 20, 50},   // across the millisecond clock's wrap: no stall
    };
    for (const Case& c : cases) {
        TFPSCounter meter;
        std::uint32_t now = c.start;
        meter.Tick(now); // the first tick starts a window after the reset's zero
        const int value = DrawFrames(meter, now, c.stepMs, 3000);
        EXPECT_NEAR(value, c.fps, 2) << "start " << c.start << " step " << c.stepMs;
    }
}

TEST(TFPSCounter, ShowsZeroAfterAStallAndNeverMoreThan999)
{
    TFPSCounter meter;
    std::uint32_t now = 10000;
    meter.Tick(now);
    EXPECT_GT(DrawFrames(meter, now, 10, 2000), 90);
    now += 1000;
    EXPECT_EQ(meter.Tick(now), 0) << "a second without frames";
    EXPECT_EQ(meter.GetFPS(), 0);

    TFPSCounter fast;
    for (int f = 0; f < 2000; ++f)
        fast.Tick(20000 + f / 10); // 2,000 frames in 200 ms
    EXPECT_EQ(fast.Tick(20250), 999);
}

} // namespace
