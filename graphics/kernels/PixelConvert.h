// Single-value colour converters: packed colour 0x00RRGGBB to a pixel value of each format and
// back (RGBto<format>, RGBfrom<format>), and their two tables indexed by TPixFormat.
//
// Narrowing keeps a channel's top bits (no rounding); widening repeats them (5 bits v become
// v<<3 | v>>2, 6 bits v<<2 | v>>4, 4 bits v*17). For the 16-bit formats only the low 16 bits of an
// RGBto result are the pixel.
#pragma once

#include "graphics/bitmaps/PixelFormat.h"

#include <cstdint>

constexpr std::uint32_t WidenChannel(std::uint32_t v, int bits)
{
    switch (bits) {
    case 1: return v;  // the one-bit alpha of 555 and 5551 stays 0 or 1
    case 4: return v * 17;
    case 5: return (v << 3) | (v >> 2);
    case 6: return (v << 2) | (v >> 4);
    default: return v;
    }
}

// Packed colour c (bits 31-24 are an alpha only for pf16_4444) to a pixel value of format F.
template <TPixFormat F> constexpr std::uint32_t RGBto(std::uint32_t c)
{
    if constexpr (PixFormatBytes(F) == 2) {
        constexpr TLayout16 L = Layout16Of<F>();
        std::uint32_t p = (((c >> 16) & 0xFF) >> (8 - L.rBits)) << L.rShift
                          | (((c >> 8) & 0xFF) >> (8 - L.gBits)) << L.gShift
                          | ((c & 0xFF) >> (8 - L.bBits)) << L.bShift;
        if constexpr (F == pf16_4444)
            p |= (c >> 28) << 12;
        return p;
    } else {
        return c;
    }
}

// Pixel value p of format F to a packed colour. 555 and 5551 put bit 15 into bit 24; 4444 widens
// its alpha nibble into bits 31-24; pf32_8888 clears bits 31-24; the other formats return p.
template <TPixFormat F> constexpr std::uint32_t RGBfrom(std::uint32_t p)
{
    if constexpr (PixFormatBytes(F) == 2) {
        constexpr TLayout16 L = Layout16Of<F>();
        const auto field = [p](int shift, int bits) {
            return WidenChannel((p >> shift) & ((1u << bits) - 1), bits);
        };
        std::uint32_t c = field(L.rShift, L.rBits) << 16 | field(L.gShift, L.gBits) << 8 | field(L.bShift, L.bBits);
        if constexpr (L.xBits != 0)
            c |= field(L.xShift, L.xBits) << 24;
        return c;
    } else if constexpr (F == pf32_8888) {
        return p & 0x00FFFFFF;
    } else {
        return p;
    }
}

using TPixelConvert = std::uint32_t(std::uint32_t);
extern const TPixFormatTable<TPixelConvert> RGBtoTable;
extern const TPixFormatTable<TPixelConvert> RGBfromTable;
