// Per-pixel alpha row kernels: a source row laid over a destination row through an 8-bit alpha
// row (OutChannel) or through the alpha byte of each 32-bit source pixel (InChannel), in plain,
// MMX and double-alpha forms, forward and mirrored (R), with tables indexed by TPixFormat.
//
// Alpha 255 takes the source, 0 keeps the destination. Bytes 0, 1, 2 of a pixel are mixed; byte 3
// of a 32-bit destination is never changed. count is in pixels; dst is returned; dst may be the
// same row as src.
//   Plain: w = (a + 1) >> 1 (0..128); dst += floor((src - dst) x w / 128).
//   MMX: pixel pairs; a pair whose two alphas are 0 is skipped, otherwise each pixel takes
//     dst += floor((src - dst) x W / 256), W = a for 0..254 and 256 for 255. The last pixel of an
//     odd count, or the last two of an even count, take the plain rule. For even alphas and 255
//     this equals the plain rule; an odd alpha 1..253 can land one step nearer the destination.
//   Double: w = T[a] from the selected double-alpha table (SetDoubleAlphaParam), then as plain;
//     its MMX forms give identical results.
// R forms read the source (and alpha) right to left: src (and alpha) address the right-most source
// pixel, and destination pixel i takes the source pixel i places to its left.
// Pixel strides: 3 bytes for RGBAlphaOutChannel(R) and its double form, 4 bytes for the 32 forms
// and for InChannel (alpha in the source's byte 3).
#pragma once

#include "graphics/bitmaps/PixelFormat.h"

using TAlphaMapRow = void*(void* dst, const void* src, const void* alpha, unsigned count);
using TAlphaInRow = void*(void* dst, const void* src, unsigned count);

void* RGBAlphaOutChannel(void* dst, const void* src, const void* alpha, unsigned count);
void* RGBAlphaOutChannel32(void* dst, const void* src, const void* alpha, unsigned count);
void* RGBAlphaOutChannelR(void* dst, const void* src, const void* alpha, unsigned count);
void* RGBAlphaOutChannelR32(void* dst, const void* src, const void* alpha, unsigned count);
void* RGBAlphaOutChannel_MMX(void* dst, const void* src, const void* alpha, unsigned count);
void* RGBAlphaOutChannel32_MMX(void* dst, const void* src, const void* alpha, unsigned count);
void* RGBAlphaOutChannelR_MMX(void* dst, const void* src, const void* alpha, unsigned count);
void* RGBAlphaOutChannelR32_MMX(void* dst, const void* src, const void* alpha, unsigned count);

void* RGBAlphaInChannel(void* dst, const void* src, unsigned count);
void* RGBAlphaInChannelR(void* dst, const void* src, unsigned count);
void* RGBAlphaInChannel_MMX(void* dst, const void* src, unsigned count);
void* RGBAlphaInChannelR_MMX(void* dst, const void* src, unsigned count);

void* RGBDoubleAlphaOutChannel(void* dst, const void* src, const void* alpha, unsigned count);
void* RGBDoubleAlphaOutChannel32(void* dst, const void* src, const void* alpha, unsigned count);
void* RGBDoubleAlphaOutChannelR(void* dst, const void* src, const void* alpha, unsigned count);
void* RGBDoubleAlphaOutChannelR32(void* dst, const void* src, const void* alpha, unsigned count);
void* RGBDoubleAlphaOutChannel_MMX(void* dst, const void* src, const void* alpha, unsigned count);
void* RGBDoubleAlphaOutChannel32_MMX(void* dst, const void* src, const void* alpha, unsigned count);
void* RGBDoubleAlphaOutChannelR_MMX(void* dst, const void* src, const void* alpha, unsigned count);
void* RGBDoubleAlphaOutChannelR32_MMX(void* dst, const void* src, const void* alpha, unsigned count);
void* RGBDoubleAlphaInChannel(void* dst, const void* src, unsigned count);
void* RGBDoubleAlphaInChannelR(void* dst, const void* src, unsigned count);
void* RGBDoubleAlphaInChannel_MMX(void* dst, const void* src, unsigned count);
void* RGBDoubleAlphaInChannelR_MMX(void* dst, const void* src, unsigned count);

// Forward kernels for 16-bit rows whose source and destination share layout F: the result of
// widening both rows to quads, running the 32-bit kernel of the same rule and narrowing back
// (so bit 15 of 555/5551 comes out 0 and the 4444 alpha nibble is kept), without the quad rows.
// The double-alpha rule has one form, its MMX form being identical.
template <TPixFormat F> void* RGBAlphaOutChannel16(void* dst, const void* src, const void* alpha, unsigned count);
template <TPixFormat F> void* RGBAlphaOutChannel16_MMX(void* dst, const void* src, const void* alpha, unsigned count);
template <TPixFormat F> void* RGBDoubleAlphaOutChannel16(void* dst, const void* src, const void* alpha, unsigned count);

// Forward kernels by the destination's layout: the 16-bit kernels above (for a source of the same
// layout), the 3-byte kernel for pf24_888, the 4-byte kernel for pf32_888 and pf32_8888.
extern const TPixFormatTable<TAlphaMapRow> RGBAlphaOutChannelTable;
extern const TPixFormatTable<TAlphaMapRow> RGBAlphaOutChannelTableMMX;
extern const TPixFormatTable<TAlphaMapRow> RGBDoubleAlphaOutChannelTable;
extern const TPixFormatTable<TAlphaMapRow> RGBDoubleAlphaOutChannelTableMMX;
