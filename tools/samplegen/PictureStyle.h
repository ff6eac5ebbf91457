// PictureStyle: the sample game's one look (its colours, buttons, digit strips, windows and
// backdrops), shared by every picture drawer, and the tables that name each drawer.
#pragma once

#include "tools/samplegen/Canvas.h"

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>
#include <vector>

namespace samplegen {

// The palette: a night-blue sky, teal glass, warm paper and a gold accent.
inline constexpr std::uint32_t kNight = Rgb(0x16, 0x1E, 0x3C);
inline constexpr std::uint32_t kDusk = Rgb(0x4A, 0x3C, 0x78);
inline constexpr std::uint32_t kTeal = Rgb(0x2A, 0x8C, 0x8E);
inline constexpr std::uint32_t kPaper = Rgb(0xF6, 0xEE, 0xDC);
inline constexpr std::uint32_t kGold = Rgb(0xF0, 0xB8, 0x48);
inline constexpr std::uint32_t kRose = Rgb(0xE0, 0x70, 0x84);
inline constexpr std::uint32_t kInk = Rgb(0x20, 0x20, 0x30);
inline constexpr std::uint32_t kWhite = Rgb(0xFF, 0xFF, 0xFF);
inline constexpr std::uint32_t kGrey = Rgb(0x80, 0x84, 0x90);

// The state a block of a button strip shows.
enum class Look { Normal, Focus, Selected, Down, Disabled };

// A button strip: one block per look, stacked downwards, each a rounded plate with the label.
void ButtonStrip(Canvas& canvas, std::string_view label, std::initializer_list<Look> looks, int textSize = 0);
// A strip of glyph blocks stacked downwards: block i shows glyphs[i] (UTF-8, one character each),
// centred, in the colour with a dark outline.
void GlyphStrip(Canvas& canvas, std::span<const std::string_view> glyphs, std::uint32_t colour, int textSize = 0);
// The ten digits as a glyph strip.
void DigitStrip(Canvas& canvas, std::uint32_t colour, int textSize = 0);
// A translucent rounded window with a light rim.
void GlassWindow(Canvas& canvas, int x, int y, int w, int h, std::uint32_t tint = kNight);
// A full backdrop: a vertical gradient with soft lights scattered from the seed.
void Backdrop(Canvas& canvas, std::uint32_t top, std::uint32_t bottom, unsigned seed);

// A deterministic random sequence for scattered decoration (the same seed, the same picture).
class Scatter {
public:
    explicit Scatter(unsigned seed) : state_(seed * 2654435761u + 1) {}
    // 0 .. n - 1.
    int Next(int n);

private:
    std::uint32_t state_;
};

// One picture drawer of the sample, named by its file; the canvas has the file's size.
struct PictureDrawer {
    std::string_view name;
    void (*draw)(Canvas& canvas);
};
// One data file made from nothing.
struct DataMaker {
    std::string_view name;
    std::vector<std::uint8_t> (*make)();
};

// The drawers and data makers of each subject.
std::span<const PictureDrawer> ShellPictures();
std::span<const PictureDrawer> AdventurePictures();
std::span<const PictureDrawer> SongPictures();
std::span<const PictureDrawer> TransitionPictures();
std::span<const DataMaker> AdventureData();
std::span<const DataMaker> TransitionData();

} // namespace samplegen
