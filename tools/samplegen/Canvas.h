// Canvas: a picture being drawn by the sample generator, 8-bit ARGB in memory, with the few flat
// shapes, gradients and the text the sample's pictures are made of.
//
// Colours are 0xAARRGGBB. Every shape is clipped to the canvas and drawn "over" what is there, so
// a transparent canvas gathers coverage in its alpha. Text is UTF-8 in the source, drawn in the
// CJK face through the platform's text rasteriser in GBK, the code page the game itself uses.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace samplegen {

inline constexpr std::uint32_t Rgb(int r, int g, int b) { return 0xFF000000u | (r << 16) | (g << 8) | b; }
inline constexpr std::uint32_t WithAlpha(std::uint32_t colour, int alpha)
{
    return (colour & 0xFFFFFFu) | (static_cast<std::uint32_t>(alpha) << 24);
}
// a + (b - a) x t / 255, per channel including alpha (t 0..255).
std::uint32_t Mix(std::uint32_t a, std::uint32_t b, int t);

enum class TextAlign { Left, Centre };

class Canvas {
public:
    // A canvas of the colour (transparent black by default).
    Canvas(int width, int height, std::uint32_t colour = 0);

    int Width() const { return width_; }
    int Height() const { return height_; }
    std::uint32_t At(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
    void Set(int x, int y, std::uint32_t colour) { pixels_[static_cast<std::size_t>(y) * width_ + x] = colour; }
    // Whether any pixel is less than opaque.
    bool HasAlpha() const;

    // Composites `colour` over the pixel with extra coverage (0..255).
    void Blend(int x, int y, std::uint32_t colour, int coverage = 255);
    // Every pixel from a function of its place (replacing, not blending).
    void Generate(const std::function<std::uint32_t(int x, int y)>& colour);

    void FillRect(int x, int y, int w, int h, std::uint32_t colour);
    // A top-to-bottom gradient (or left-to-right with `across`) over a rectangle.
    void Gradient(int x, int y, int w, int h, std::uint32_t from, std::uint32_t to, bool across = false);
    // A rectangle with rounded corners of radius r, edge-smoothed.
    void RoundRect(int x, int y, int w, int h, int r, std::uint32_t colour);
    // An outline `thickness` pixels wide inside the rectangle.
    void Frame(int x, int y, int w, int h, int thickness, std::uint32_t colour);
    // A smoothed filled disc, and a soft glow whose coverage falls from the centre to the radius.
    void Disc(double cx, double cy, double radius, std::uint32_t colour);
    void Glow(double cx, double cy, double radius, std::uint32_t colour);
    // A smoothed line of the width.
    void Line(double x0, double y0, double x1, double y1, double width, std::uint32_t colour);
    // A filled polygon (even-odd), sampled at pixel centres.
    void Polygon(const std::vector<std::pair<double, double>>& points, std::uint32_t colour);
    // Draws another canvas over this one with its top-left corner at (x, y).
    void Draw(const Canvas& source, int x, int y);

    // Text at (x, y) (the top of the text cell; with Centre, x is the middle), `size` pixels high;
    // with a shadow colour (alpha above 0) the text first goes down one pixel to the right in it.
    // Returns the text's width, 0 when no face could draw it.
    int Text(int x, int y, std::string_view utf8, int size, std::uint32_t colour, TextAlign align = TextAlign::Left,
             bool bold = false, std::uint32_t shadow = 0);

private:
    int width_;
    int height_;
    std::vector<std::uint32_t> pixels_;
};

} // namespace samplegen
