// SplashPicture: the start-up window's picture, drawn by the game itself (it needs no data file).
#pragma once

#include <cstdint>
#include <vector>

namespace SplashPicture {

inline constexpr int kWidth = 320;
inline constexpr int kHeight = 240;

// kWidth x kHeight pixels, rows of 0x00RRGGBB from the top: a night-blue to dusk-red gradient with
// a light band across the middle.
std::vector<std::uint32_t> Make();

} // namespace SplashPicture
