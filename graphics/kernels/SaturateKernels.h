// Saturating add and subtract row kernels (RGBAdd, RGBSub), plain and MMX forms, with their tables
// indexed by TPixFormat.
//
// Each takes (dst, src, count): dst is read and written, count is in pixels, dst is returned and a
// count of 0 touches nothing.
//   RGBAdd: each channel min(dst + src, channel maximum) (31/63/31, 31/31/31, 15/15/15; 255 per
//     byte for 24- and 32-bit pixels, the fourth byte included). The fourth field of the 16-bit
//     formats wraps: bit 15 of 555/5551 becomes dst15 ^ src15, the 4444 alpha (dA + sA) mod 16.
//   RGBSub: each channel max(dst - src, 0); the fourth field of the 16-bit formats is written 0,
//     every byte of 24- and 32-bit pixels is subtracted.
// The MMX forms give the plain forms' results bit for bit; the 16-bit formats have no MMX form.
#pragma once

#include "graphics/bitmaps/PixelFormat.h"

using TSaturateRow = void*(void* dst, const void* src, unsigned count);

template <TPixFormat F> void* RGBAdd(void* dst, const void* src, unsigned count);
template <TPixFormat F> void* RGBAdd_MMX(void* dst, const void* src, unsigned count);
template <TPixFormat F> void* RGBSub(void* dst, const void* src, unsigned count);
template <TPixFormat F> void* RGBSub_MMX(void* dst, const void* src, unsigned count);

extern const TPixFormatTable<TSaturateRow> RGBAddTable;
extern const TPixFormatTable<TSaturateRow> RGBAddTableMMX;
extern const TPixFormatTable<TSaturateRow> RGBSubTable;
extern const TPixFormatTable<TSaturateRow> RGBSubTableMMX;
