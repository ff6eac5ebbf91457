// Types of the movie-decoding service: the output a movie is decoded to and one decoded picture.
#pragma once

#include "platform/audio/AudioTypes.h"

#include <cstdint>
#include <vector>

namespace movie {

// Byte layouts of decoded pictures: blue, green, red, and for Bgrx32 a fourth byte that carries
// no colour.
enum class PixelLayout : std::uint8_t { Bgr24, Bgrx32 };

inline int BytesPerPixel(PixelLayout layout) { return layout == PixelLayout::Bgr24 ? 3 : 4; }

// What a movie is decoded to: every picture scaled to width x height in `layout`, the sound
// resampled and remixed to `pcm` (16-bit linear PCM).
struct OutputSpec {
    int width = 640;
    int height = 480;
    PixelLayout layout = PixelLayout::Bgrx32;
    audio::PcmFormat pcm;
};

// One decoded picture: shown from timeMs (movie time, 0 at the movie's start) for durationMs.
struct Frame {
    std::int64_t timeMs = 0;
    std::int64_t durationMs = 0;
    int pitch = 0; // bytes per row; rows are packed
    std::vector<std::uint8_t> pixels;
};

// Movie time in milliseconds of `bytes` bytes of `pcm`.
inline std::int64_t PcmBytesToMs(std::uint64_t bytes, const audio::PcmFormat& pcm)
{
    const std::uint64_t perSecond = std::uint64_t{pcm.samplesPerSec} * pcm.FrameBytes();
    return perSecond == 0 ? 0 : static_cast<std::int64_t>(bytes * 1000 / perSecond);
}

} // namespace movie
