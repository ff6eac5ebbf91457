// Display modes and pixel-format detection: TScreenSize, DirectX::TDisplayMode, and the conversions
// between a display pixel format (DDPIXELFORMAT) and the library's TBitDepth / TPixFormat.
#pragma once

#include "graphics/bitmaps/PixelFormat.h"
#include "platform/video/VideoTypes.h"

#include <cstdint>

// The screen sizes the display can open, in this order.
enum TScreenSize : std::uint8_t {
    ss320x240 = 0,
    ss640x480 = 1,
    ss800x600 = 2,
    ss1024x768 = 3,
    ss1152x864 = 4,
    ss1280x960 = 5,
    ss1280x1024 = 6,
};
inline constexpr int kScreenSizeCount = 7;

// Width and height of a screen size; false for a value outside the table.
bool ScreenSizeDimensions(TScreenSize size, int& width, int& height);
// The screen size of exactly width x height; false when no entry has that size.
bool ScreenSizeOf(int width, int height, TScreenSize& size);

// The pixel-format record of the display interface: flags, bit count and channel masks.
inline constexpr std::uint32_t DDPF_ALPHAPIXELS = 0x00000001;
inline constexpr std::uint32_t DDPF_PALETTEINDEXED8 = 0x00000020;
inline constexpr std::uint32_t DDPF_RGB = 0x00000040;

struct DDPIXELFORMAT {
    std::uint32_t dwSize = 0;
    std::uint32_t dwFlags = 0;
    std::uint32_t dwRGBBitCount = 0;
    std::uint32_t dwRBitMask = 0;
    std::uint32_t dwGBitMask = 0;
    std::uint32_t dwBBitMask = 0;
    std::uint32_t dwRGBAlphaBitMask = 0;
};

// The record of a video-service layout, and back (a palettised record is an 8-bit layout).
DDPIXELFORMAT PixelFormatOf(const video::PixelLayout& layout);
video::PixelLayout LayoutOf(const DDPIXELFORMAT& pf);

namespace DirectX {

// One mode the monitor offers.
struct TDisplayMode {
    TBitDepth BitDepth = bdNone;
    TPixFormat PixFormat = pfNone; // pfNone when the masks match no layout or the mode is palettised
    TScreenSize ScreenSize = ss640x480;
    std::uint32_t RMask = 0;
    std::uint32_t GMask = 0;
    std::uint32_t BMask = 0;
    std::uint32_t AMask = 0; // 0 when the mode has no alpha

    // True when depth, format and size agree; the masks are not compared.
    bool ModeCmp(const TDisplayMode& other) const;
};

// Classifies a display pixel format.
void DDPFToFormat(const DDPIXELFORMAT& pf, TBitDepth& depth, TPixFormat& format);
// Describes a depth and format (a pair that agrees, never bdNone) to the display.
void FormatToDDPF(DDPIXELFORMAT& pf, TBitDepth depth, TPixFormat format);

} // namespace DirectX
