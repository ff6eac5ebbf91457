// DeviceContext: a memory device context that draws text into the DibSection selected into it,
// in the manner of the system's text output (TextOutA with a selected font, text colour and
// background mode).
//
// Colours are COLORREF values: red in the low byte, then green, then blue. Text pixels change only
// the colour channels of the bitmap's layout (bits outside its red, green and blue masks keep their
// value); an 8-bit bitmap gets the index of its nearest table colour. Anti-aliased fonts blend the
// text colour over the old pixels by coverage; plain fonts write whole pixels only. Output is
// clipped to the bitmap. A context is used by one thread at a time.
#pragma once

#include "platform/font/DibSection.h"
#include "platform/font/LogicalFont.h"
#include "platform/font/TextRasterizer.h"

#include <cstdint>

using COLORREF = std::uint32_t;

inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;

constexpr COLORREF RGB(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return r | (std::uint32_t{g} << 8) | (std::uint32_t{b} << 16);
}

class DeviceContext {
public:
    // A new context has no bitmap, the stock font, opaque background mode, black text on white.
    DeviceContext() = default;
    DeviceContext(const DeviceContext&) = delete;
    DeviceContext& operator=(const DeviceContext&) = delete;

    // Each returns what was selected before; a null font selects the stock font again.
    DibSection* SelectBitmap(DibSection* bitmap);
    const LogicalFont* SelectFont(const LogicalFont* font);
    DibSection* Bitmap() const { return bitmap_; }
    const LogicalFont* Font() const { return font_; }

    // TRANSPARENT or OPAQUE (which fills the text cell with the background colour first); the
    // previous mode, or 0 (nothing changed) for another value.
    int SetBkMode(int mode);
    COLORREF SetTextColor(COLORREF colour);
    COLORREF SetBkColor(COLORREF colour);

    // Draws len bytes of text with the top-left corner of its cell at (x, y). False for a
    // negative length, null text with a positive length, or a font without a face; true with
    // nothing drawn when no bitmap is selected.
    bool TextOutA(int x, int y, const char* text, int len);
    // The cell size of the text in the selected font.
    bool GetTextExtentPoint32A(const char* text, int len, TextExtent* size);

private:
    const LogicalFont& CurrentFont() const;

    DibSection* bitmap_ = nullptr;
    const LogicalFont* font_ = nullptr;
    int bkMode_ = OPAQUE;
    COLORREF textColour_ = RGB(0, 0, 0);
    COLORREF bkColour_ = RGB(255, 255, 255);
};
