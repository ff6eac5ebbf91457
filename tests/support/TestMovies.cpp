// TestMovies: MPEG movies the movie tests make with FFmpeg's own encoders.
#include "support/TestMovies.h"

#include "support/Tools.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace TestSupport {

namespace {

constexpr const char* kEncode = "ffmpeg -v error -y ";
constexpr const char* kVideoCodec = " -c:v mpeg1video -q:v 2 ";
constexpr const char* kSoundCodec = " -ac 2 -c:a mp2 -b:a 128k ";

// The lavfi graph of the colour segments, concatenated.
std::string ColourGraph()
{
    std::string graph;
    std::string labels;
    const double seconds = static_cast<double>(kMovieFramesPerColour) / kMovieFps;
    for (std::size_t i = 0; i < kMovieColours.size(); ++i) {
        char segment[160];
        std::snprintf(segment, sizeof segment, "color=c=0x%06X:s=320x240:r=%d:d=%.3f[c%zu];",
                      static_cast<unsigned>(kMovieColours[i]), kMovieFps, seconds, i);
        graph += segment;
        labels += "[c" + std::to_string(i) + "]";
    }
    return graph + labels + "concat=n=" + std::to_string(kMovieColours.size());
}

std::string SoundSource(double seconds)
{
    return " -f lavfi -i 'sine=f=440:d=" + std::to_string(seconds) + ":r=44100' ";
}

} // namespace

std::optional<std::filesystem::path> ColourMovie(bool withSound)
{
    if (!HaveTool("ffmpeg"))
        return std::nullopt;
    const double seconds = static_cast<double>(kMovieFrames) / kMovieFps;
    std::string command = std::string(kEncode) + "-f lavfi -i '" + ColourGraph() + "'";
    if (withSound)
        command += SoundSource(seconds) + kSoundCodec;
    command += std::string(kVideoCodec) + "-f mpeg {}";
    return CachedFile(withSound ? "colours.mpg" : "colours-silent.mpg", command);
}

std::optional<std::filesystem::path> SoundOnlyMovie()
{
    if (!HaveTool("ffmpeg"))
        return std::nullopt;
    return CachedFile("sound-only.mpg", std::string(kEncode) + SoundSource(1.0) + kSoundCodec + "-f mpeg {}");
}

std::optional<std::filesystem::path> LongMovie()
{
    if (!HaveTool("ffmpeg"))
        return std::nullopt;
    const std::string graph = "color=c=gray:s=320x240:r=" + std::to_string(kMovieFps) + ":d=" +
                              std::to_string(kLongMovieSeconds);
    return CachedFile("long.mpg", std::string(kEncode) + "-f lavfi -i '" + graph + "'" +
                                      SoundSource(kLongMovieSeconds) + kSoundCodec + kVideoCodec + "-f mpeg {}");
}

std::optional<std::filesystem::path> TruncatedMovie(int bytes)
{
    const auto whole = ColourMovie(true);
    if (!whole)
        return std::nullopt;
    return CachedFile("colours-cut-" + std::to_string(bytes) + ".mpg",
                      "dd status=none bs=" + std::to_string(bytes) + " count=1 if=" + Quoted(*whole) + " of={}");
}

bool ShowsMovieColourAt(std::uint32_t shown, std::int64_t clock)
{
    return ColourNear(shown, MovieColourAt(clock)) || ColourNear(shown, MovieColourAt(clock - kMovieFrameMs / 2));
}

bool ColourNear(std::uint32_t a, std::uint32_t b, int tolerance)
{
    for (int shift = 0; shift < 24; shift += 8) {
        const int ca = static_cast<int>((a >> shift) & 0xFF);
        const int cb = static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(ca - cb) > tolerance)
            return false;
    }
    return true;
}

} // namespace TestSupport
