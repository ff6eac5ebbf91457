// Row converters between every pixel format and 32-bit quad rows (blue, green, red, reserved) or
// 24-bit triple rows (blue, green, red), their four tables indexed by TPixFormat, and palette
// expansion of 8-bit index rows.
//
// Each converter takes (dst, src, count) with count in pixels and returns dst. Rows must not
// overlap; nothing beyond count pixels of dst is written; a count of 0 writes nothing. The
// 16-bit conversions narrow and widen exactly as the single-value converters (PixelConvert.h):
//   quad -> 16-bit: RGBto of the quad (4444 takes its alpha nibble from the reserved byte);
//   16-bit -> quad: RGBfrom (reserved = bit 15 for 555/5551, the widened nibble for 4444, else 0);
//   triple -> format: 4444 gets alpha 0, 32-bit formats get a fourth byte 0;
//   format -> triple: the alpha is dropped.
// Between a 32-bit format and quads, and between pf24_888 and triples, the row is copied as is.
#pragma once

#include "graphics/bitmaps/PixelFormat.h"
#include "graphics/bitmaps/TXeRGB.h"

using TRowConvert = void*(void* dst, const void* src, unsigned count);
// src holds count 8-bit indices into 256 tagRGBQUAD palette entries.
using TPaletteRow = void*(void* dst, const void* src, const void* palette, unsigned count);

template <TPixFormat F> void* RGBQUADcpyTo(void* dst, const void* src, unsigned count);
template <TPixFormat F> void* RGBQUADcpyFrom(void* dst, const void* src, unsigned count);
template <TPixFormat F> void* RGBTRIPLEcpyTo(void* dst, const void* src, unsigned count);
template <TPixFormat F> void* RGBTRIPLEcpyFrom(void* dst, const void* src, unsigned count);

extern const TPixFormatTable<TRowConvert> RGBQUADcpyToTable;
extern const TPixFormatTable<TRowConvert> RGBQUADcpyFromTable;
extern const TPixFormatTable<TRowConvert> RGBTRIPLEcpyToTable;
extern const TPixFormatTable<TRowConvert> RGBTRIPLEcpyFromTable;

// dst quad i = palette[src[i]], all four bytes.
void* RGBQUADcpyFrom8(void* dst, const void* src, const void* palette, unsigned count);
// dst triple i = blue, green, red of palette[src[i]].
void* RGBTRIPLEcpyFrom8(void* dst, const void* src, const void* palette, unsigned count);
