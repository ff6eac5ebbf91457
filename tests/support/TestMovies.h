// TestMovies: MPEG movies the movie tests make with FFmpeg's own encoders (MPEG-1 video, MP2 sound
// in an MPEG program stream), kept in the build folder's cache of made files.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>

namespace TestSupport {

// The colour movie shows these flat colours (0xRRGGBB) one after another, each for
// kMovieFramesPerColour pictures of 320 x 240 at kMovieFps pictures a second.
inline constexpr std::array<std::uint32_t, 6> kMovieColours = {0xC02020, 0x20C020, 0x2020C0,
                                                               0xC0C020, 0xC020C0, 0x20C0C0};
inline constexpr int kMovieFps = 25;
inline constexpr int kMovieFramesPerColour = 5;
inline constexpr int kMovieFrameMs = 1000 / kMovieFps;
inline constexpr int kMovieFrames = static_cast<int>(kMovieColours.size()) * kMovieFramesPerColour;

// The colour shown at movie time `ms` (the last picture's after the end).
inline std::uint32_t MovieColourAt(std::int64_t ms)
{
    const std::int64_t segment = ms < 0 ? 0 : ms / kMovieFrameMs / kMovieFramesPerColour;
    return kMovieColours[static_cast<std::size_t>(std::min<std::int64_t>(segment, kMovieColours.size() - 1))];
}

// True when `shown` is the colour of the picture due at movie time `clock`: the muxer may start
// the pictures up to half a picture after the sound, so the one before may still be due.
bool ShowsMovieColourAt(std::uint32_t shown, std::int64_t clock);

// The colour movie with a 440 Hz tone of the same length, or without sound; nullopt when ffmpeg
// is missing (the caller skips).
std::optional<std::filesystem::path> ColourMovie(bool withSound);
// A movie that holds sound but no picture.
std::optional<std::filesystem::path> SoundOnlyMovie();
// A grey movie with the tone, kLongMovieSeconds long: longer than the sound kept ahead of its reader.
inline constexpr int kLongMovieSeconds = 12;
std::optional<std::filesystem::path> LongMovie();
// The colour movie with sound cut after its first `bytes` bytes.
std::optional<std::filesystem::path> TruncatedMovie(int bytes);

// True when the two colours differ by at most `tolerance` in every channel.
bool ColourNear(std::uint32_t a, std::uint32_t b, int tolerance = 16);

} // namespace TestSupport
