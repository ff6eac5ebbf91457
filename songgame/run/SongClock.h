// SongClock: the song's time in clock units (88,200 a second: a 16-bit stereo sample frame at
// 44.1 kHz counted twice) from the millisecond counter or from the music stream's play position.
#pragma once

#include <cstdint>
#include <optional>

struct SongTime {
    std::uint32_t clock = 0;
    std::uint32_t milliseconds = 0;
};

inline constexpr std::uint32_t ClockUnitsPerSecond = 88'200;

// 88.2 units a millisecond.
SongTime TimeOfMilliseconds(std::uint32_t ms);
// The audible sample: position x 88,200 / the stream's real bytes per second. Within the
// performance the clock never goes back: a failed read (no position) or one before the previous
// step's clock keeps the previous time.
SongTime TimeOfStream(std::optional<std::uint64_t> position, std::uint32_t bytesPerSecond,
                      SongTime previous);
