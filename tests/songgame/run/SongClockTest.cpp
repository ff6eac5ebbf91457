#include "songgame/run/SongClock.h"

#include <gtest/gtest.h>

TEST(SongClock, MillisecondsTable)
{
    struct Case {
        std::uint32_t ms, clock;
    };
    const Case cases[] = {{0, 0}, {1, 88}, {5, 441}, {1000, 88'200}, {60'000, 5'292'000}};
    for (const Case& c : cases) {
        const SongTime t = TimeOfMilliseconds(c.ms);
        EXPECT_EQ(t.clock, c.clock) << c.ms;
        EXPECT_EQ(t.milliseconds, c.ms);
    }
}

TEST(SongClock, StreamPositionByTheStreamsOwnRate)
{
    struct Case {
        std::uint64_t position;
        std::uint32_t bytesPerSecond, clock, ms;
    };
    const Case cases[] = {
        {176'400, 176'400, 88'200, 1000},   // 44.1 kHz 16-bit stereo: position / 2
        {2, 176'400, 1, 0},
        {44'100, 44'100, 88'200, 1000},     // 22,050 Hz 16-bit mono: one second, not a quarter
        {22'050, 44'100, 44'100, 500},
        {192'000, 192'000, 88'200, 1000},   // 48 kHz 16-bit stereo
    };
    for (const Case& c : cases) {
        const SongTime t = TimeOfStream(c.position, c.bytesPerSecond, {});
        EXPECT_EQ(t.clock, c.clock) << c.position << " " << c.bytesPerSecond;
        EXPECT_EQ(t.milliseconds, c.ms) << c.position << " " << c.bytesPerSecond;
    }
}

TEST(SongClock, StreamClockNeverGoesBack)
{
    const SongTime previous{88'200, 1000};
    const SongTime earlier = TimeOfStream(100, 176'400, previous);
    EXPECT_EQ(earlier.clock, previous.clock);
    const SongTime failed = TimeOfStream(std::nullopt, 176'400, previous);
    EXPECT_EQ(failed.clock, previous.clock);
    EXPECT_EQ(failed.milliseconds, previous.milliseconds);
    EXPECT_EQ(TimeOfStream(500'000, 0, previous).clock, previous.clock); // no format: no change
    EXPECT_EQ(TimeOfStream(176'402, 176'400, previous).clock, 88'201u);
}
