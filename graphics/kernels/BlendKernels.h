// Constant-level blend row kernels: RGBAlpha (a + (b - a) x level / 128 per channel, level from
// SetAlphaParam) and RGBHalf (floor((a + b) / 2) per channel), plain and MMX forms, with their
// tables indexed by TPixFormat and the 8-bit members for alpha maps.
//
// Every kernel takes (dst, a, b, count), count in pixels (bytes for the 8-bit members), returns
// dst and touches nothing for a count of 0; dst may be the same row as a or b.
//   RGBAlpha, 16-bit: red, green and blue blended in their own widths; bit 15 of 555/5551 and the
//     alpha nibble of 4444 are written 0. 24-, 32- and 8-bit: every byte alike, the fourth included.
//   RGBHalf, 16-bit: ((a ^ b) & mask) >> 1 + (a & b) on the whole pixel, so the 4444 alpha nibble
//     is averaged like a colour and bit 15 of 555/5551 becomes a15 & b15. Others: every byte.
// The MMX forms give the plain forms' results bit for bit; the 16-bit formats have no MMX form
// and their MMX table entries are the plain kernels.
#pragma once

#include "graphics/bitmaps/PixelFormat.h"

using TBlendRow = void*(void* dst, const void* a, const void* b, unsigned count);

template <TPixFormat F> void* RGBAlpha(void* dst, const void* a, const void* b, unsigned count);
template <TPixFormat F> void* RGBAlpha_MMX(void* dst, const void* a, const void* b, unsigned count);
template <TPixFormat F> void* RGBHalf(void* dst, const void* a, const void* b, unsigned count);
template <TPixFormat F> void* RGBHalf_MMX(void* dst, const void* a, const void* b, unsigned count);

void* RGBAlpha8(void* dst, const void* a, const void* b, unsigned count);
void* RGBAlpha8_MMX(void* dst, const void* a, const void* b, unsigned count);
void* RGBHalf8(void* dst, const void* a, const void* b, unsigned count);
void* RGBHalf8_MMX(void* dst, const void* a, const void* b, unsigned count);

extern const TPixFormatTable<TBlendRow> RGBAlphaTable;
extern const TPixFormatTable<TBlendRow> RGBAlphaTableMMX;
extern const TPixFormatTable<TBlendRow> RGBHalfTable;
extern const TPixFormatTable<TBlendRow> RGBHalfTableMMX;
