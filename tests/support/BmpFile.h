// BmpFile: small uncompressed BMP files for the tests that load pictures from disk.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace TestSupport {

// A 24-bit bottom-up BMP whose pixel (x, y) is colour(x, y), given as 0xRRGGBB.
std::vector<std::uint8_t> Bmp24(int width, int height, const std::function<std::uint32_t(int x, int y)>& colour);
// An 8-bit bottom-up BMP with the grey palette (entry i is grey level i) whose pixel (x, y) is
// value(x, y).
std::vector<std::uint8_t> GreyBmp(int width, int height, const std::function<std::uint8_t(int x, int y)>& value);

} // namespace TestSupport
