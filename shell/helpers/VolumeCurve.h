// The curve that turns a volume percentage (0 to 100) into a buffer attenuation in hundredths of a
// decibel, shared by the game's sound channels and the song screen.
#pragma once

#include <cstdint>

// Below 1: -10000 (silence); 100 and above: 0; between, the table at every 10 % below full volume,
// interpolated linearly with the division rounding toward zero.
std::int32_t VolumeToAttenuation(std::int32_t percent);
// VolumeToAttenuation(volume x level / 100), the product taken in 64 bits so no pair overflows.
std::int32_t ScaledVolumeToAttenuation(std::int32_t volume, std::int32_t level);
