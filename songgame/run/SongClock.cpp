#include "songgame/run/SongClock.h"

SongTime TimeOfMilliseconds(std::uint32_t ms)
{
    return {ms * 88 + ms / 5, ms};
}

SongTime TimeOfStream(std::optional<std::uint64_t> position, std::uint32_t bytesPerSecond,
                      SongTime previous)
{
    if (!position || bytesPerSecond == 0)
        return previous;
    const std::uint64_t clock = *position * ClockUnitsPerSecond / bytesPerSecond;
    if (clock <= previous.clock || clock > UINT32_MAX)
        return previous;
    return {static_cast<std::uint32_t>(clock), static_cast<std::uint32_t>(clock * 5 / 441)};
}
