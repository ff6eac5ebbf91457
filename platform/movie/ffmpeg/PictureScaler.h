// PictureScaler: scales a decoded picture into the movie output's size and pixel layout
// (libswscale), converting its colours; one per movie, used by one thread at a time.
#pragma once

#include "platform/movie/MovieTypes.h"

#include <cstdint>

struct SwsContext;

namespace movie {

class PictureScaler {
public:
    explicit PictureScaler(const OutputSpec& spec) : spec_(spec) {}
    ~PictureScaler();
    PictureScaler(const PictureScaler&) = delete;
    PictureScaler& operator=(const PictureScaler&) = delete;

    // Pictures larger than this are refused: no movie of the game comes near, and a damaged
    // header must not make the scaler allocate gigabytes.
    static constexpr int kMaxSide = 4096;

    // Scales a width x height picture of FFmpeg pixel format `format` (its planes and their
    // pitches) into `frame`'s pixels, reusing its buffer; false when it cannot.
    bool Scale(const std::uint8_t* const planes[], const int pitches[], int width, int height, int format,
               Frame& frame);

private:
    OutputSpec spec_;
    SwsContext* context_ = nullptr;
};

} // namespace movie
