// FirstDifference: where two byte arrays first differ, as a message for a failed comparison.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace TestSupport {

// Empty when `actual` and `expected` are equal. Otherwise names the different sizes, or the first
// differing unit of `unitBytes` bytes (a pixel, say) with both values; with `width` units to a
// row, the unit's position is given as (x, y).
std::string FirstDifference(std::span<const std::uint8_t> actual, std::span<const std::uint8_t> expected,
                            int unitBytes = 1, int width = 0);

} // namespace TestSupport
