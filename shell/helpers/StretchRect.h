// Nearest-neighbour stretch copies of raw pixel rectangles, and the two 3:1 blending stretches that
// leave the trails of the zoom transitions.
//
// Each takes the source's first pixel, width, height and pitch (bytes from one row to the next,
// negative for bottom-up rows), then the same of the destination. Sizes <= 0 on either side draw
// nothing. Stepping: a row makes max(source width, destination width) steps, each visiting the pair
// (source x, destination x) and then advancing either x when its accumulator (plus its own width a
// step) reaches the step count; rows pair up the same way with the heights. Enlarging repeats
// source pixels, reducing skips them; a blending member blends a destination pixel once for every
// source pixel that maps onto it. Integer accumulators only, no division per pixel.
#pragma once

#include <cstdint>

// 1-byte pixels copied.
void StretchRect8(const std::uint8_t* src, int srcWidth, int srcHeight, int srcPitch, std::uint8_t* dst, int dstWidth,
                  int dstHeight, int dstPitch);
// 3-byte pixels copied.
void StretchRect16(const std::uint8_t* src, int srcWidth, int srcHeight, int srcPitch, std::uint8_t* dst,
                   int dstWidth, int dstHeight, int dstPitch);
// 4-byte pixels copied.
void StretchRect32(const std::uint8_t* src, int srcWidth, int srcHeight, int srcPitch, std::uint8_t* dst,
                   int dstWidth, int dstHeight, int dstPitch);
// 3-byte pixels: each byte becomes (3 x destination + source) >> 2.
void StretchBlendRect24(const std::uint8_t* src, int srcWidth, int srcHeight, int srcPitch, std::uint8_t* dst,
                        int dstWidth, int dstHeight, int dstPitch);
// 4-byte pixels: the first three bytes as StretchBlendRect24, the fourth becomes 0.
void StretchBlendRect32(const std::uint8_t* src, int srcWidth, int srcHeight, int srcPitch, std::uint8_t* dst,
                        int dstWidth, int dstHeight, int dstPitch);
