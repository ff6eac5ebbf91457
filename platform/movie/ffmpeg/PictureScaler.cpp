// PictureScaler: scales a decoded picture into the movie output's size and pixel layout.
#include "platform/movie/ffmpeg/PictureScaler.h"

extern "C" {
#include <libswscale/swscale.h>
}

namespace movie {

PictureScaler::~PictureScaler() { sws_freeContext(context_); }

bool PictureScaler::Scale(const std::uint8_t* const planes[], const int pitches[], int width, int height, int format,
                          Frame& frame)
{
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
        return false;
    // 32-bit pixels as BGRA (the fourth byte 255): libswscale's fast converters write that order.
    const AVPixelFormat output = spec_.layout == PixelLayout::Bgr24 ? AV_PIX_FMT_BGR24 : AV_PIX_FMT_BGRA;
    context_ = sws_getCachedContext(context_, width, height, static_cast<AVPixelFormat>(format), spec_.width,
                                    spec_.height, output, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (context_ == nullptr)
        return false;
    frame.pitch = spec_.width * BytesPerPixel(spec_.layout);
    frame.pixels.resize(static_cast<std::size_t>(frame.pitch) * static_cast<std::size_t>(spec_.height));
    std::uint8_t* out[] = {frame.pixels.data()};
    const int outPitches[] = {frame.pitch};
    return sws_scale(context_, planes, pitches, 0, height, out, outPitches) == spec_.height;
}

} // namespace movie
