// FILETIME: a file's time as 100-nanosecond ticks since 1601-01-01 UTC, low 32 bits first, as pack
// archives and the file manager store and report it; conversions to and from Unix time.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

struct FILETIME {
    std::uint32_t dwLowDateTime = 0;
    std::uint32_t dwHighDateTime = 0;
};

inline constexpr std::int64_t FileTimeUnixEpoch = 116444736000000000; // 1970-01-01 in ticks

inline std::uint64_t FileTimeTicks(const FILETIME& time)
{
    return std::uint64_t(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

inline FILETIME FileTimeFromTicks(std::uint64_t ticks)
{
    return {static_cast<std::uint32_t>(ticks), static_cast<std::uint32_t>(ticks >> 32)};
}

// Nanoseconds since 1970-01-01 UTC (the path layer's unit), truncated to whole ticks; times before
// 1601 become 0.
inline FILETIME FileTimeFromUnixNanoseconds(std::int64_t nanoseconds)
{
    const std::int64_t ticks = nanoseconds / 100 + FileTimeUnixEpoch;
    return FileTimeFromTicks(ticks < 0 ? 0 : static_cast<std::uint64_t>(ticks));
}

// Saturates at the limits of the result for times past the year 2262.
inline std::int64_t UnixNanosecondsFromFileTime(const FILETIME& time)
{
    constexpr std::int64_t limit = std::numeric_limits<std::int64_t>::max() / 100;
    const std::int64_t ticks = static_cast<std::int64_t>(FileTimeTicks(time) & 0x7FFFFFFFFFFFFFFF) - FileTimeUnixEpoch;
    return std::clamp(ticks, -limit, limit) * 100;
}
