// TextRasterizer: lays out code-page text in a logical font and rasterises it with FreeType, in
// the installed face that fontconfig picks for the font (FontMatch.h).
//
// Text is bytes in the code page of the font's character set (CodePageOfCharset); it is converted
// to Unicode with iconv here, at the edge, and nowhere else. Layout is one line from the top-left
// corner of the text cell: the baseline lies `ascent` pixels below it, each character advances by
// its own whole-pixel width (no kerning), and control characters are drawn as the face's glyphs,
// as the system's text output does. A font whose quality is kNonAntialiasedQuality is rendered
// with one-bit glyphs, so its coverage is 0 or 255 only; every other quality is anti-aliased.
// Bold and italic are synthesised when the face found has no such style; underline and strike-out
// are drawn as bars across the whole text.
//
// Thread-safe: one lock guards FreeType, fontconfig and the face cache, and the coverage sink runs
// under it, so a sink must not call back into this service.
#pragma once

#include "platform/font/LogicalFont.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// The size of a text's cell: advance width and cell height (ascent plus descent), in pixels.
struct TextExtent {
    int cx = 0;
    int cy = 0;
};

// Coverage (0 none .. 255 full) of a block of pixels placed relative to the top-left corner of
// the text cell; row r starts at coverage + r x pitch (pitch 0 repeats one row).
struct CoverageBlock {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int pitch = 0;
    const std::uint8_t* coverage = nullptr;
};

using CoverageSink = std::function<void(const CoverageBlock& block)>;

namespace TextRasterizer {

// Font heights are clamped to this many pixels; larger requests would only make huge glyphs.
inline constexpr int kMaxPixelHeight = 2048;
// The character height of a font whose height is 0 ("any size").
inline constexpr int kDefaultPixelHeight = 16;

// The cell of `text`; false (extent untouched) when no face can be loaded.
bool Measure(const LogicalFont& font, std::string_view text, TextExtent* extent);
// Hands the coverage of every glyph, then of the underline and strike-out bars, to `sink`, and
// stores the cell in `extent` when given; false when no face can be loaded.
bool Rasterize(const LogicalFont& font, std::string_view text, const CoverageSink& sink, TextExtent* extent = nullptr);
// The family name (UTF-8) of the face the font is drawn with; empty when there is none.
std::string FamilyOf(const LogicalFont& font);
// Whether the font is rendered with grey levels.
bool IsAntialiased(const LogicalFont& font);

} // namespace TextRasterizer
