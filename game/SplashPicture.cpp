// SplashPicture: the start-up window's picture, drawn by the game itself.
#include "game/SplashPicture.h"

#include <algorithm>
#include <cstdlib>

namespace SplashPicture {

namespace {

constexpr std::uint32_t Mix(int from, int to, int step, int steps)
{
    return static_cast<std::uint32_t>(from + (to - from) * step / steps);
}

} // namespace

std::vector<std::uint32_t> Make()
{
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y) {
        // The band lightens the rows nearest the middle, fading out over 24 rows either side.
        const int band = std::max(0, 24 - std::abs(y - kHeight / 2)) * 4;
        const std::uint32_t red = std::min<std::uint32_t>(255, Mix(16, 176, y, kHeight - 1) + band);
        const std::uint32_t green = std::min<std::uint32_t>(255, Mix(24, 64, y, kHeight - 1) + band);
        const std::uint32_t blue = std::min<std::uint32_t>(255, Mix(96, 48, y, kHeight - 1) + band);
        const std::uint32_t pixel = red << 16 | green << 8 | blue;
        std::fill_n(pixels.begin() + static_cast<std::ptrdiff_t>(y) * kWidth, kWidth, pixel);
    }
    return pixels;
}

} // namespace SplashPicture
