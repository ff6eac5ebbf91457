// Pixel layouts and depths: agreement rules and the per-depth pixel access tables.
#include "graphics/bitmaps/PixelFormat.h"

bool ChkDepthAndFormat(TBitDepth depth, TPixFormat format)
{
    switch (format) {
    case pfNone: return true;
    case pf16_565:
    case pf16_555:
    case pf16_5551:
    case pf16_4444: return depth == bd16;
    case pf24_888: return depth == bd24;
    case pf32_888:
    case pf32_8888: return depth == bd32;
    default: return false;
    }
}

bool ChkFormatCompatible(TPixFormat a, TPixFormat b)
{
    const auto is32 = [](TPixFormat f) { return f == pf32_888 || f == pf32_8888; };
    const auto is555 = [](TPixFormat f) { return f == pf16_555 || f == pf16_5551; };
    return a == b || (is32(a) && is32(b)) || (is555(a) && is555(b));
}

namespace {

template <int Bytes> void PixelSet(void* p, std::uint32_t value)
{
    auto* d = static_cast<std::uint8_t*>(p);
    for (int i = 0; i < Bytes; ++i)
        d[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

template <int Bytes> std::uint32_t PixelGet(const void* p)
{
    const auto* s = static_cast<const std::uint8_t*>(p);
    std::uint32_t value = 0;
    for (int i = 0; i < Bytes; ++i)
        value |= std::uint32_t{s[i]} << (8 * i);
    return value;
}

template <int Bytes> void PixelCpy(void* dst, const void* src)
{
    std::memcpy(dst, src, Bytes);
}

}  // namespace

const std::array<TPixelSet*, kBitDepthCount> XePixelSet = {
    nullptr, &PixelSet<1>, &PixelSet<2>, &PixelSet<3>, &PixelSet<4>};
const std::array<TPixelGet*, kBitDepthCount> XePixelGet = {
    nullptr, &PixelGet<1>, &PixelGet<2>, &PixelGet<3>, &PixelGet<4>};
const std::array<TPixelCpy*, kBitDepthCount> XePixelCpy = {
    nullptr, &PixelCpy<1>, &PixelCpy<2>, &PixelCpy<3>, &PixelCpy<4>};

TPixFormat DefaultFormatOf(TBitDepth depth, TPixFormat current)
{
    switch (depth) {
    case bd8: return pfNone;
    case bd16: return pf16_565;
    case bd24: return pf24_888;
    case bd32: return pf32_888;
    default: return current;
    }
}

TBitDepth DepthOf(TPixFormat format, TBitDepth current)
{
    switch (PixFormatBytes(format)) {
    case 2: return bd16;
    case 3: return bd24;
    case 4: return bd32;
    default: return current;
    }
}
