// Colour effect row kernels: tone (per-channel factors in 1/128 steps) and monochrome, for 24- and
// 32-bit pixels.
//
// Each takes (dst, src, [factor,] count), count in pixels, returns dst; dst may be src.
//   RGBTone: byte k of the pixel becomes min((src_k x f_k) >> 7, 255) for k = 0, 1, 2, f_k being
//     byte k of the factor (0x80 keeps a channel). RGBTone32 leaves the destination's byte 3 as it
//     was; RGBTone32_MMX also writes byte 3 = min((src_3 x f_3) >> 7, 255) with f_3 = bits 31-24
//     of the factor, so a factor whose top byte is 0 clears the fourth byte (the alpha of
//     pf32_8888). RGBTone24_MMX gives RGBTone24's results.
//   RGBMonochrome: bytes 0, 1, 2 become (byte0 + byte1 + byte2) div 3; byte 3 is left as it was.
#pragma once

#include <cstdint>

using TToneRow = void*(void* dst, const void* src, std::uint32_t factor, unsigned count);
using TMonochromeRow = void*(void* dst, const void* src, unsigned count);

void* RGBTone24(void* dst, const void* src, std::uint32_t factor, unsigned count);
void* RGBTone32(void* dst, const void* src, std::uint32_t factor, unsigned count);
void* RGBTone24_MMX(void* dst, const void* src, std::uint32_t factor, unsigned count);
void* RGBTone32_MMX(void* dst, const void* src, std::uint32_t factor, unsigned count);

void* RGBMonochrome24(void* dst, const void* src, unsigned count);
void* RGBMonochrome32(void* dst, const void* src, unsigned count);
