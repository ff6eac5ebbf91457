// The area-averaging reduction of a rectangle of blue, green, red pixels (the save thumbnail's
// filter), from 3-byte pixels or from 4-byte pixels whose fourth byte is not a colour.
#pragma once

#include <cstdint>

// Reduces the source rectangle (first pixel, width, height, pitch) into the destination rectangle
// of 3-byte pixels: each destination pixel is the average of the source area it covers, every
// source pixel weighted by the part of it inside that area, rounded to the nearest value. False,
// drawing nothing, for a size <= 0, a destination larger than the source in either direction, or
// no memory for the work rows.
bool ReduceRect24(const std::uint8_t* src, int srcWidth, int srcHeight, int srcPitch, std::uint8_t* dst,
                  int dstWidth, int dstHeight, int dstPitch);
// The same from 4-byte source pixels, the fourth byte of each ignored.
bool ReduceRect32To24(const std::uint8_t* src, int srcWidth, int srcHeight, int srcPitch, std::uint8_t* dst,
                      int dstWidth, int dstHeight, int dstPitch);
