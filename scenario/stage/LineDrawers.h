// The additive line drawers of the stage's weather: one straight line in a 24- or 32-bit bitmap,
// clipped to a rectangle, that brightens (DrawLineAdd), darkens (DrawLineSub) or brightens through
// an alpha plane (DrawLineAddMasked) each pixel it covers by a constant colour.
#pragma once

#include "base/util/TXeRect.h"

#include <cstdint>

class TXeAlpha;
class TXeRGBBits;

// Each colour byte (blue bits 0-7, green 8-15, red 16-23) is added to the pixel's first, second
// and third byte with saturation; a 32-bit pixel's fourth byte is left alone. End points are
// clamped to -32768..32768 and the clip (right and bottom exclusive) is cut to the bitmap. False
// when the bitmap is not created, not 24 or 32 bits per pixel, or cannot be locked; true otherwise,
// also when nothing of the line lies inside the clip.
bool DrawLineAdd(TXeRGBBits* dst, int x1, int y1, int x2, int y2, std::uint32_t colour, const TXeRect& clip);
// As DrawLineAdd with a saturating subtraction.
bool DrawLineSub(TXeRGBBits* dst, int x1, int y1, int x2, int y2, std::uint32_t colour, const TXeRect& clip);
// Adds (colour byte x a) >> 8, a being the plane's value at the same pixel; pixels where a is 0
// stay. Without a created plane at least as wide and high as the bitmap, DrawLineAdd.
bool DrawLineAddMasked(TXeRGBBits* dst, int x1, int y1, int x2, int y2, std::uint32_t colour, const TXeRect& clip,
                       const TXeAlpha* alpha);
