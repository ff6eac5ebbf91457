#include "tools/samplegen/Canvas.h"

#include "platform/codepage/CodePage.h"
#include "platform/font/LogicalFont.h"
#include "platform/font/TextRasterizer.h"

#include <algorithm>
#include <cmath>

namespace samplegen {
namespace {

constexpr int kGbk = 936;

int Channel(std::uint32_t colour, int shift) { return static_cast<int>((colour >> shift) & 0xFF); }

LogicalFont TextFont(int size, bool bold)
{
    LogicalFont font;
    font.height = -size;
    font.weight = bold ? 700 : 400;
    font.charSet = GB2312_CHARSET;
    font.quality = kAntialiasedQuality;
    return font;
}

// Coverage of a pixel whose centre lies `distance` inside an edge (negative: outside).
int EdgeCoverage(double distance) { return static_cast<int>(std::clamp(distance + 0.5, 0.0, 1.0) * 255.0 + 0.5); }

} // namespace

std::uint32_t Mix(std::uint32_t a, std::uint32_t b, int t)
{
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const int from = Channel(a, shift);
        const int to = Channel(b, shift);
        out |= static_cast<std::uint32_t>(from + (to - from) * t / 255) << shift;
    }
    return out;
}

Canvas::Canvas(int width, int height, std::uint32_t colour)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, colour)
{
}

bool Canvas::HasAlpha() const
{
    return std::any_of(pixels_.begin(), pixels_.end(), [](std::uint32_t p) { return (p >> 24) != 0xFF; });
}

void Canvas::Blend(int x, int y, std::uint32_t colour, int coverage)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return;
    const int a = Channel(colour, 24) * coverage / 255;
    if (a == 0)
        return;
    std::uint32_t& pixel = pixels_[static_cast<std::size_t>(y) * width_ + x];
    const int da = Channel(pixel, 24);
    // Porter-Duff "over" in 8-bit integers: out alpha and colours weighted by what each adds.
    const int outA = a + da * (255 - a) / 255;
    std::uint32_t out = static_cast<std::uint32_t>(outA) << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        const int src = Channel(colour, shift);
        const int dst = Channel(pixel, shift);
        const int value = outA == 0 ? 0 : (src * a + dst * da * (255 - a) / 255) / outA;
        out |= static_cast<std::uint32_t>(std::clamp(value, 0, 255)) << shift;
    }
    pixel = out;
}

void Canvas::Generate(const std::function<std::uint32_t(int x, int y)>& colour)
{
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            Set(x, y, colour(x, y));
}

void Canvas::FillRect(int x, int y, int w, int h, std::uint32_t colour)
{
    for (int row = std::max(y, 0); row < std::min(y + h, height_); ++row)
        for (int col = std::max(x, 0); col < std::min(x + w, width_); ++col)
            Blend(col, row, colour);
}

void Canvas::Gradient(int x, int y, int w, int h, std::uint32_t from, std::uint32_t to, bool across)
{
    const int steps = std::max((across ? w : h) - 1, 1);
    for (int row = std::max(y, 0); row < std::min(y + h, height_); ++row)
        for (int col = std::max(x, 0); col < std::min(x + w, width_); ++col)
            Blend(col, row, Mix(from, to, (across ? col - x : row - y) * 255 / steps));
}

void Canvas::RoundRect(int x, int y, int w, int h, int r, std::uint32_t colour)
{
    for (int row = std::max(y, 0); row < std::min(y + h, height_); ++row)
        for (int col = std::max(x, 0); col < std::min(x + w, width_); ++col) {
            // Distance inside the rounded outline: corners measure from their circle's centre.
            const double px = col + 0.5;
            const double py = row + 0.5;
            const double cx = std::clamp(px, x + r + 0.0, x + w - r + 0.0);
            const double cy = std::clamp(py, y + r + 0.0, y + h - r + 0.0);
            const double inside = r - std::hypot(px - cx, py - cy);
            const double edge = std::min({px - x, x + w - px, py - y, y + h - py});
            Blend(col, row, colour, EdgeCoverage(std::min(inside, edge) - 0.5));
        }
}

void Canvas::Frame(int x, int y, int w, int h, int thickness, std::uint32_t colour)
{
    FillRect(x, y, w, thickness, colour);
    FillRect(x, y + h - thickness, w, thickness, colour);
    FillRect(x, y + thickness, thickness, h - 2 * thickness, colour);
    FillRect(x + w - thickness, y + thickness, thickness, h - 2 * thickness, colour);
}

void Canvas::Disc(double cx, double cy, double radius, std::uint32_t colour)
{
    for (int row = std::max(static_cast<int>(cy - radius - 1), 0); row < std::min(static_cast<int>(cy + radius + 2), height_); ++row)
        for (int col = std::max(static_cast<int>(cx - radius - 1), 0); col < std::min(static_cast<int>(cx + radius + 2), width_); ++col)
            Blend(col, row, colour, EdgeCoverage(radius - std::hypot(col + 0.5 - cx, row + 0.5 - cy)));
}

void Canvas::Glow(double cx, double cy, double radius, std::uint32_t colour)
{
    for (int row = std::max(static_cast<int>(cy - radius - 1), 0); row < std::min(static_cast<int>(cy + radius + 2), height_); ++row)
        for (int col = std::max(static_cast<int>(cx - radius - 1), 0); col < std::min(static_cast<int>(cx + radius + 2), width_); ++col) {
            const double t = 1.0 - std::hypot(col + 0.5 - cx, row + 0.5 - cy) / radius;
            if (t > 0)
                Blend(col, row, colour, static_cast<int>(t * t * 255.0));
        }
}

void Canvas::Line(double x0, double y0, double x1, double y1, double width, std::uint32_t colour)
{
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    const double length2 = std::max(dx * dx + dy * dy, 1e-9);
    const double half = width / 2;
    const int left = std::max(static_cast<int>(std::min(x0, x1) - half - 1), 0);
    const int right = std::min(static_cast<int>(std::max(x0, x1) + half + 2), width_);
    const int top = std::max(static_cast<int>(std::min(y0, y1) - half - 1), 0);
    const int bottom = std::min(static_cast<int>(std::max(y0, y1) + half + 2), height_);
    for (int row = top; row < bottom; ++row)
        for (int col = left; col < right; ++col) {
            const double px = col + 0.5 - x0;
            const double py = row + 0.5 - y0;
            const double t = std::clamp((px * dx + py * dy) / length2, 0.0, 1.0);
            Blend(col, row, colour, EdgeCoverage(half - std::hypot(px - t * dx, py - t * dy)));
        }
}

void Canvas::Polygon(const std::vector<std::pair<double, double>>& points, std::uint32_t colour)
{
    for (int row = 0; row < height_; ++row) {
        const double py = row + 0.5;
        for (int col = 0; col < width_; ++col) {
            const double px = col + 0.5;
            bool inside = false;
            for (std::size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
                const auto [xi, yi] = points[i];
                const auto [xj, yj] = points[j];
                if ((yi > py) != (yj > py) && px < (xj - xi) * (py - yi) / (yj - yi) + xi)
                    inside = !inside;
            }
            if (inside)
                Blend(col, row, colour);
        }
    }
}

void Canvas::Draw(const Canvas& source, int x, int y)
{
    for (int row = 0; row < source.Height(); ++row)
        for (int col = 0; col < source.Width(); ++col)
            Blend(x + col, y + row, source.At(col, row));
}

int Canvas::Text(int x, int y, std::string_view utf8, int size, std::uint32_t colour, TextAlign align, bool bold,
                 std::uint32_t shadow)
{
    const std::string text = CodePage::FromUtf8(utf8, kGbk);
    const LogicalFont font = TextFont(size, bold);
    TextExtent extent;
    if (!TextRasterizer::Measure(font, text, &extent))
        return 0;
    const int left = align == TextAlign::Centre ? x - extent.cx / 2 : x;
    const auto paint = [&](int ox, int oy, std::uint32_t ink) {
        TextRasterizer::Rasterize(font, text, [&](const CoverageBlock& block) {
            for (int row = 0; row < block.height; ++row)
                for (int col = 0; col < block.width; ++col)
                    Blend(ox + block.x + col, oy + block.y + row, ink,
                          block.coverage[static_cast<std::size_t>(row) * block.pitch + col]);
        });
    };
    if ((shadow >> 24) != 0)
        paint(left + 1, y + 1, shadow);
    paint(left, y, colour);
    return extent.cx;
}

} // namespace samplegen
