// The lyric line: one line of lyric text rendered in white with the lyric font, centred across the
// lyric panel at 12 pixels a byte, with a dark outline so that it stays readable over the stage.
//
// Normal quality draws straight into the panel's picture over its key colour. High quality draws at
// twice the size into an 8-bit map, averages each 2 x 2 block into a grey text image (white text on
// black), adds the grey image shifted one pixel left, up, right and down into an outline image, and
// keeps that outline as the mask through which the panel's drawing hook lays the grey image over
// the stage: white text inside a black edge.
//
// Logic thread only.
#pragma once

#include "base/util/TXeRect.h"

#include <string_view>

class LogicalFont;
class TXeAlpha;
class TXeAlphaDib;
class TXeRGBBits;
class TXeRGBDib;

struct LyricSurfaces {
    TXeRGBDib* line = nullptr;     // the panel's picture (both qualities)
    TXeAlphaDib* large = nullptr;  // high quality: the line at twice the size
    TXeRGBBits* grey = nullptr;    // high quality: the grey text image
    TXeRGBBits* outline = nullptr; // high quality: the outline image
    TXeAlpha* mask = nullptr;      // high quality: the outline as the drawing mask
    const LogicalFont* font = nullptr;
};

inline constexpr int LyricBytePixels = 12;
// The line's transparent colour in normal quality.
inline constexpr std::uint32_t LyricKeyColour = 0x00FF00;

// The left edge of a line of `length` bytes centred in `width` pixels.
int LyricLeft(int width, int length);

// Renders the text (its bytes in the ANSI code page) for word mode 1 (normal) or 2 (high quality);
// false when a surface the mode needs is missing or cannot be drawn on.
bool RenderLyricLine(const LyricSurfaces& surfaces, int wordMode, std::string_view text);

// High quality: lays the composed line of `length` bytes over the part `part` of the panel (panel
// coordinates) whose origin lands on (x, y) of dest, only across the text widened by 4 pixels on
// each side.
void DrawLyricLine(TXeRGBBits& dest, int x, int y, const TXeRect& part, const LyricSurfaces& surfaces, int length);
