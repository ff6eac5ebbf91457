#include "tools/samplegen/PictureStyle.h"

#include <algorithm>

namespace samplegen {
namespace {

struct LookColours {
    std::uint32_t top, bottom, text;
};

LookColours ColoursOf(Look look)
{
    switch (look) {
    case Look::Focus: return {Rgb(0x5C, 0xC8, 0xC4), kTeal, kWhite};
    case Look::Selected: return {kGold, Rgb(0xC0, 0x80, 0x28), kInk};
    case Look::Down: return {Rgb(0x18, 0x5A, 0x5C), Rgb(0x22, 0x74, 0x76), kPaper};
    case Look::Disabled: return {Rgb(0x70, 0x74, 0x80), Rgb(0x58, 0x5C, 0x66), Rgb(0xA8, 0xAC, 0xB4)};
    case Look::Normal: break;
    }
    return {Rgb(0x3A, 0x4A, 0x7C), kNight, kPaper};
}

} // namespace

int Scatter::Next(int n)
{
    state_ = state_ * 1664525u + 1013904223u;
    return static_cast<int>((state_ >> 8) % static_cast<std::uint32_t>(n));
}

void ButtonStrip(Canvas& canvas, std::string_view label, std::initializer_list<Look> looks, int textSize)
{
    const int h = canvas.Height() / static_cast<int>(looks.size());
    const int w = canvas.Width();
    const int size = textSize > 0 ? textSize : std::max(std::min(h - 6, 18), 8);
    int y = 0;
    for (Look look : looks) {
        const LookColours colours = ColoursOf(look);
        const int radius = std::min(h, w) / 4;
        canvas.RoundRect(0, y, w, h, radius, WithAlpha(kPaper, 200));
        Canvas plate(w - 2, h - 2);
        plate.Gradient(0, 0, w - 2, h - 2, colours.top, colours.bottom);
        Canvas shaped(w - 2, h - 2);
        shaped.RoundRect(0, 0, w - 2, h - 2, std::max(radius - 1, 0), kWhite);
        for (int row = 0; row < h - 2; ++row)
            for (int col = 0; col < w - 2; ++col)
                canvas.Blend(col + 1, y + row + 1, plate.At(col, row), static_cast<int>(shaped.At(col, row) >> 24));
        const int dy = look == Look::Down ? 1 : 0;
        if (!label.empty())
            canvas.Text(w / 2 + dy, y + (h - size) / 2 + dy, label, size, colours.text, TextAlign::Centre, false,
                        WithAlpha(kInk, 140));
        y += h;
    }
}

void GlyphStrip(Canvas& canvas, std::span<const std::string_view> glyphs, std::uint32_t colour, int textSize)
{
    const int h = canvas.Height() / static_cast<int>(glyphs.size());
    const int size = textSize > 0 ? textSize : std::max(h - 2, 6);
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
        const int y = static_cast<int>(i) * h + (h - size) / 2;
        for (const auto& [ox, oy] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}})
            canvas.Text(canvas.Width() / 2 + ox, y + oy, glyphs[i], size, kInk, TextAlign::Centre, true);
        canvas.Text(canvas.Width() / 2, y, glyphs[i], size, colour, TextAlign::Centre, true);
    }
}

void DigitStrip(Canvas& canvas, std::uint32_t colour, int textSize)
{
    static constexpr std::string_view Digits[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
    GlyphStrip(canvas, Digits, colour, textSize);
}

void GlassWindow(Canvas& canvas, int x, int y, int w, int h, std::uint32_t tint)
{
    const int radius = std::min({w, h, 48}) / 4;
    canvas.RoundRect(x, y, w, h, radius, WithAlpha(kPaper, 220));
    canvas.RoundRect(x + 2, y + 2, w - 4, h - 4, std::max(radius - 2, 0), WithAlpha(tint, 200));
    canvas.Gradient(x + radius, y + 3, w - 2 * radius, 2, WithAlpha(kWhite, 90), WithAlpha(kWhite, 0), true);
}

void Backdrop(Canvas& canvas, std::uint32_t top, std::uint32_t bottom, unsigned seed)
{
    canvas.Gradient(0, 0, canvas.Width(), canvas.Height(), top, bottom);
    Scatter scatter(seed);
    for (int i = 0; i < 12; ++i) {
        const double radius = 20 + scatter.Next(60);
        canvas.Glow(scatter.Next(canvas.Width()), scatter.Next(canvas.Height()), radius, WithAlpha(kWhite, 40 + scatter.Next(40)));
    }
}

} // namespace samplegen
