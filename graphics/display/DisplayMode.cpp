// Display modes and pixel-format detection: TScreenSize, DirectX::TDisplayMode, and the conversions
// between a display pixel format (DDPIXELFORMAT) and the library's TBitDepth / TPixFormat.
#include "graphics/display/DisplayMode.h"

#include <array>
#include <initializer_list>

namespace {

struct TSizeEntry {
    int width;
    int height;
};

constexpr std::array<TSizeEntry, kScreenSizeCount> kScreenSizes{{
    {320, 240}, {640, 480}, {800, 600}, {1024, 768}, {1152, 864}, {1280, 960}, {1280, 1024},
}};

struct TMasks {
    std::uint32_t red, green, blue, alpha;
};

// Channel masks of each TPixFormat, in the enumeration's order.
constexpr std::array<TMasks, kPixFormatCount> kFormatMasks{{
    {0, 0, 0, 0},
    {0xF800, 0x07E0, 0x001F, 0},
    {0x7C00, 0x03E0, 0x001F, 0},
    {0x7C00, 0x03E0, 0x001F, 0x8000},
    {0x0F00, 0x00F0, 0x000F, 0xF000},
    {0xFF0000, 0x00FF00, 0x0000FF, 0},
    {0xFF0000, 0x00FF00, 0x0000FF, 0},
    {0xFF0000, 0x00FF00, 0x0000FF, 0xFF000000},
}};

bool MasksMatch(const TMasks& m, TPixFormat format)
{
    const TMasks& f = kFormatMasks[format];
    return m.red == f.red && m.green == f.green && m.blue == f.blue && m.alpha == f.alpha;
}

} // namespace

bool ScreenSizeDimensions(TScreenSize size, int& width, int& height)
{
    if (size >= kScreenSizeCount)
        return false;
    width = kScreenSizes[size].width;
    height = kScreenSizes[size].height;
    return true;
}

bool ScreenSizeOf(int width, int height, TScreenSize& size)
{
    for (int i = 0; i < kScreenSizeCount; ++i)
        if (kScreenSizes[static_cast<std::size_t>(i)].width == width &&
            kScreenSizes[static_cast<std::size_t>(i)].height == height) {
            size = static_cast<TScreenSize>(i);
            return true;
        }
    return false;
}

DDPIXELFORMAT PixelFormatOf(const video::PixelLayout& layout)
{
    DDPIXELFORMAT pf;
    pf.dwSize = 32;
    pf.dwRGBBitCount = static_cast<std::uint32_t>(layout.bitCount);
    if (layout.Palettised()) {
        pf.dwFlags = DDPF_PALETTEINDEXED8;
        return pf;
    }
    pf.dwFlags = DDPF_RGB | (layout.alpha != 0 ? DDPF_ALPHAPIXELS : 0);
    pf.dwRBitMask = layout.red;
    pf.dwGBitMask = layout.green;
    pf.dwBBitMask = layout.blue;
    pf.dwRGBAlphaBitMask = layout.alpha;
    return pf;
}

video::PixelLayout LayoutOf(const DDPIXELFORMAT& pf)
{
    if (pf.dwFlags & DDPF_PALETTEINDEXED8)
        return video::kLayout8;
    const std::uint32_t alpha = (pf.dwFlags & DDPF_ALPHAPIXELS) ? pf.dwRGBAlphaBitMask : 0;
    return {static_cast<int>(pf.dwRGBBitCount), pf.dwRBitMask, pf.dwGBitMask, pf.dwBBitMask, alpha};
}

namespace DirectX {

bool TDisplayMode::ModeCmp(const TDisplayMode& other) const
{
    return BitDepth == other.BitDepth && PixFormat == other.PixFormat && ScreenSize == other.ScreenSize;
}

void DDPFToFormat(const DDPIXELFORMAT& pf, TBitDepth& depth, TPixFormat& format)
{
    format = pfNone;
    if (pf.dwFlags & DDPF_PALETTEINDEXED8) {
        depth = pf.dwRGBBitCount == 8 ? bd8 : bdNone;
        return;
    }
    depth = bdNone;
    if (!(pf.dwFlags & DDPF_RGB))
        return;
    const TMasks masks{pf.dwRBitMask, pf.dwGBitMask, pf.dwBBitMask,
                       (pf.dwFlags & DDPF_ALPHAPIXELS) ? pf.dwRGBAlphaBitMask : 0};
    const auto firstMatch = [&](std::initializer_list<TPixFormat> candidates) {
        for (TPixFormat f : candidates)
            if (MasksMatch(masks, f)) {
                format = f;
                return;
            }
    };
    switch (pf.dwRGBBitCount) {
    case 16:
        depth = bd16;
        firstMatch({pf16_565, pf16_555, pf16_5551, pf16_4444});
        break;
    case 24:
        depth = bd24;
        firstMatch({pf24_888});
        break;
    case 32:
        depth = bd32;
        firstMatch({pf32_888, pf32_8888});
        break;
    default:
        break;
    }
}

void FormatToDDPF(DDPIXELFORMAT& pf, TBitDepth depth, TPixFormat format)
{
    pf.dwSize = 32;
    if (depth == bd8) {
        pf.dwFlags = DDPF_PALETTEINDEXED8;
        return;
    }
    pf.dwFlags = DDPF_RGB;
    TPixFormat masks = pf16_565;
    switch (depth) {
    case bd16:
        pf.dwRGBBitCount = 16;
        masks = PixFormatBytes(format) == 2 ? format : pf16_565;
        break;
    case bd24:
        pf.dwRGBBitCount = 24;
        masks = pf24_888;
        break;
    default:
        pf.dwRGBBitCount = 32;
        masks = format == pf32_8888 ? pf32_8888 : pf32_888;
        break;
    }
    const TMasks& m = kFormatMasks[masks];
    pf.dwRBitMask = m.red;
    pf.dwGBitMask = m.green;
    pf.dwBBitMask = m.blue;
    if (m.alpha != 0) {
        pf.dwFlags |= DDPF_ALPHAPIXELS;
        pf.dwRGBAlphaBitMask = m.alpha;
    }
}

} // namespace DirectX
