// Pixel layouts and depths (TPixFormat, TBitDepth), their agreement rules, per-layout traits,
// one-pixel load/store helpers and the per-depth pixel access tables.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>

// The value indexes every per-format table of the library.
enum TPixFormat : std::uint8_t {
    pfNone = 0,
    pf16_565 = 1,   // red 15-11, green 10-5, blue 4-0
    pf16_555 = 2,   // bit 15 zero, red 14-10, green 9-5, blue 4-0
    pf16_5551 = 3,  // as pf16_555, bit 15 a one-bit alpha
    pf16_4444 = 4,  // alpha 15-12, red 11-8, green 7-4, blue 3-0
    pf24_888 = 5,   // bytes blue, green, red
    pf32_888 = 6,   // bytes blue, green, red, a byte without colour
    pf32_8888 = 7,  // bytes blue, green, red, alpha
};
inline constexpr int kPixFormatCount = 8;

// The value is the number of bytes per pixel.
enum TBitDepth : std::uint8_t { bdNone = 0, bd8 = 1, bd16 = 2, bd24 = 3, bd32 = 4 };
inline constexpr int kBitDepthCount = 5;

// True when a bitmap of this depth can hold this format (pfNone agrees with every depth).
bool ChkDepthAndFormat(TBitDepth depth, TPixFormat format);
// True when pixels of the two formats can be copied as they are.
bool ChkFormatCompatible(TPixFormat a, TPixFormat b);
// The format a new depth brings when the current format does not fit it (bdNone keeps `current`).
TPixFormat DefaultFormatOf(TBitDepth depth, TPixFormat current);
// The depth a new format brings when the current depth does not fit it (pfNone keeps `current`).
TBitDepth DepthOf(TPixFormat format, TBitDepth current);

// Bytes per pixel of a format; 0 for pfNone and for values outside the enumeration.
constexpr int PixFormatBytes(TPixFormat format)
{
    switch (format) {
    case pf16_565:
    case pf16_555:
    case pf16_5551:
    case pf16_4444: return 2;
    case pf24_888: return 3;
    case pf32_888:
    case pf32_8888: return 4;
    default: return 0;
    }
}

// A table of row kernels indexed by TPixFormat; the pfNone entry stays empty.
template <typename Fn> using TPixFormatTable = std::array<Fn*, kPixFormatCount>;

// The kernel of `format`, or null for pfNone, a missing entry or a value outside the enumeration.
template <typename Fn> Fn* KernelFor(const TPixFormatTable<Fn>& table, TPixFormat format)
{
    return format < kPixFormatCount ? table[format] : nullptr;
}

// Bit positions of a 16-bit layout: red, green, blue and the fourth field (x; width 0 = none).
struct TLayout16 {
    int rShift, rBits, gShift, gBits, bShift, bBits, xShift, xBits;
};

template <TPixFormat F> constexpr TLayout16 Layout16Of()
{
    static_assert(PixFormatBytes(F) == 2, "only the 16-bit formats have a packed layout");
    if constexpr (F == pf16_565)
        return {11, 5, 5, 6, 0, 5, 16, 0};
    else if constexpr (F == pf16_4444)
        return {8, 4, 4, 4, 0, 4, 12, 4};
    else
        return {10, 5, 5, 5, 0, 5, 15, 1};
}

// One pixel of format F read into the low bytes of a 32-bit value (upper bytes zero), and the
// low bytes of a value stored as one pixel. Pointers need no alignment.
template <TPixFormat F> inline std::uint32_t LoadPixel(const std::uint8_t* p)
{
    if constexpr (PixFormatBytes(F) == 2) {
        std::uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
    } else if constexpr (PixFormatBytes(F) == 3) {
        return p[0] | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16);
    } else {
        std::uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
}

template <TPixFormat F> inline void StorePixel(std::uint8_t* p, std::uint32_t v)
{
    if constexpr (PixFormatBytes(F) == 2) {
        const auto w = static_cast<std::uint16_t>(v);
        std::memcpy(p, &w, 2);
    } else if constexpr (PixFormatBytes(F) == 3) {
        p[0] = static_cast<std::uint8_t>(v);
        p[1] = static_cast<std::uint8_t>(v >> 8);
        p[2] = static_cast<std::uint8_t>(v >> 16);
    } else {
        std::memcpy(p, &v, 4);
    }
}

// Per-depth pixel access, indexed by TBitDepth (entry 0 empty). None checks bounds.
using TPixelSet = void(void* p, std::uint32_t value);  // stores the low BitDepth bytes
using TPixelGet = std::uint32_t(const void* p);        // reads into the low bytes, upper zero
using TPixelCpy = void(void* dst, const void* src);    // copies one pixel
extern const std::array<TPixelSet*, kBitDepthCount> XePixelSet;
extern const std::array<TPixelGet*, kBitDepthCount> XePixelGet;
extern const std::array<TPixelCpy*, kBitDepthCount> XePixelCpy;
