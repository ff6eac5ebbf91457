#include "songgame/display/LyricLine.h"

#include "graphics/bitmaps/TXeAlphaDib.h"
#include "graphics/bitmaps/TXeRGBDib.h"
#include "graphics/panels/PanelGeometry.h"
#include "platform/font/DeviceContext.h"

#include <cstring>

namespace {

constexpr int LineTop = 1;
constexpr int SpanMargin = 4;
constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Black = RGB(0, 0, 0);

struct Offset {
    int dx, dy;
};
constexpr Offset Around[] = {{-1, 0}, {0, -1}, {1, 0}, {0, 1}};

// Draws text through a surface's device context; false when it has none.
template <typename Surface, typename Draw> bool WithContext(Surface* surface, const LogicalFont* font, Draw&& draw)
{
    void* dc = nullptr;
    if (surface == nullptr || font == nullptr || !surface->GetDC(&dc))
        return false;
    auto* context = static_cast<DeviceContext*>(dc);
    context->SelectFont(font);
    context->SetBkMode(TRANSPARENT);
    const bool drawn = draw(*context);
    context->SelectFont(nullptr);
    return surface->ReleaseDC(dc) && drawn;
}

bool RenderNormal(const LyricSurfaces& s, std::string_view text)
{
    TXeRGBDib* line = s.line;
    if (line == nullptr || !line->Created())
        return false;
    line->BoxFill(0, 0, line->Width() - 1, line->Height() - 1, line->TXeRGBtoPixel(LyricKeyColour));
    const int x = LyricLeft(line->Width(), static_cast<int>(text.size()));
    const int len = static_cast<int>(text.size());
    return WithContext(line, s.font, [&](DeviceContext& dc) {
        dc.SetTextColor(Black);
        for (const Offset& o : Around)
            dc.TextOutA(x + o.dx, LineTop + o.dy, text.data(), len);
        dc.SetTextColor(White);
        return dc.TextOutA(x, LineTop, text.data(), len);
    });
}

// Each 2 x 2 block of the large map averaged into one grey pixel.
bool Reduce(const TXeAlphaDib& large, TXeRGBBits& grey)
{
    const int w = grey.Width();
    const int h = grey.Height();
    if (large.Width() < 2 * w || large.Height() < 2 * h || !grey.Lock())
        return false;
    const int bytes = grey.BitDepth();
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* top = large.Bits() + std::ptrdiff_t{2 * y} * large.Pitch();
        const std::uint8_t* bottom = top + large.Pitch();
        std::uint8_t* out = grey.Bits() + std::ptrdiff_t{y} * grey.Pitch();
        for (int x = 0; x < w; ++x, out += bytes) {
            const unsigned level = (top[2 * x] + top[2 * x + 1] + bottom[2 * x] + bottom[2 * x + 1]) / 4;
            const std::uint32_t pixel = grey.TXeRGBtoPixel(level * 0x010101u);
            std::memcpy(out, &pixel, static_cast<std::size_t>(bytes));
        }
    }
    grey.Unlock();
    return true;
}

// The outline image's level (its blue channel) as the mask.
bool OutlineToMask(TXeRGBBits& outline, TXeAlpha& mask)
{
    if (mask.Width() < outline.Width() || mask.Height() < outline.Height() || !outline.Lock())
        return false;
    const int bytes = outline.BitDepth();
    for (int y = 0; y < outline.Height(); ++y) {
        const std::uint8_t* in = outline.Bits() + std::ptrdiff_t{y} * outline.Pitch();
        std::uint8_t* out = mask.Bits() + std::ptrdiff_t{y} * mask.Pitch();
        for (int x = 0; x < outline.Width(); ++x, in += bytes) {
            std::uint32_t pixel = 0;
            std::memcpy(&pixel, in, static_cast<std::size_t>(bytes));
            out[x] = outline.PixeltoTXeRGB(pixel).Blue;
        }
    }
    outline.Unlock();
    return true;
}

bool RenderHigh(const LyricSurfaces& s, std::string_view text)
{
    if (s.large == nullptr || s.grey == nullptr || s.outline == nullptr || s.mask == nullptr || !s.large->Created())
        return false;
    const int len = static_cast<int>(text.size());
    const int w = s.grey->Width();
    const int h = s.grey->Height();
    s.large->Fill(0);
    const bool drawn = WithContext(s.large, s.font, [&](DeviceContext& dc) {
        dc.SetTextColor(White);
        return dc.TextOutA((2 * w - 2 * LyricBytePixels * len) / 2 + 2, 2, text.data(), len);
    });
    if (!drawn || !Reduce(*s.large, *s.grey))
        return false;
    s.outline->Cls();
    for (const Offset& o : Around)
        s.outline->SaturationAdd(1 + o.dx, 1 + o.dy, s.grey, 1, 1, w - 2, h - 2);
    return OutlineToMask(*s.outline, *s.mask);
}

} // namespace

int LyricLeft(int width, int length)
{
    return (width - LyricBytePixels * length) / 2;
}

bool RenderLyricLine(const LyricSurfaces& surfaces, int wordMode, std::string_view text)
{
    return wordMode == 2 ? RenderHigh(surfaces, text) : RenderNormal(surfaces, text);
}

void DrawLyricLine(TXeRGBBits& dest, int x, int y, const TXeRect& part, const LyricSurfaces& surfaces, int length)
{
    TXeRGBBits* grey = surfaces.grey;
    if (grey == nullptr || surfaces.mask == nullptr)
        return;
    const int left = LyricLeft(grey->Width(), length) - SpanMargin;
    const TXeRect span{left, 0, left + LyricBytePixels * length + 2 * SpanMargin, grey->Height()};
    const TXeRect r = Overlap(Overlap(part, span), {0, 0, grey->Width(), grey->Height()});
    if (r.IsRectEmpty())
        return;
    dest.DrawAlphaMask(x + r.left, y + r.top, grey, r.left, r.top, r.right - r.left, r.bottom - r.top, surfaces.mask);
}
