#include "scenario/windows/WindowDrawing.h"

#include "graphics/bitmaps/TXeRGBBits.h"
#include "graphics/panels/TXeRGBPanel.h"

#include <algorithm>

namespace {

// One stretch of panel rows [top, bottom) showing picture rows from `source` on.
struct Band {
    int top;
    int bottom;
    int source;
};

// The picture's area (px, py, w, h) at (dx, dy) of dest at the level.
void DrawLevel(const TXeRGBPanel& panel, TXeRGBBits* dest, int dx, int dy, int px, int py, int w, int h, int level)
{
    TXeRGBBits* picture = panel.Image();
    TXeAlpha* alpha = panel.Alpha();
    if (level <= 0)
        return;
    if (alpha == nullptr) {
        if (level >= 128)
            dest->Draw(dx, dy, picture, px, py, w, h);
        else
            dest->AlphaBlend(dx, dy, picture, px, py, w, h, level);
    } else if (level >= 128) {
        dest->DrawAlphaMask(dx, dy, picture, px, py, w, h, alpha);
    } else {
        dest->DrawDoubleAlphaMask(dx, dy, picture, px, py, w, h, alpha, level);
    }
}

// Draws the band's rows that lie in the request and whose picture rows exist.
void DrawBand(const TXeRGBPanel& panel, const DrawRequest& r, const Band& band, int level)
{
    const TXeRGBBits* picture = panel.Image();
    const int top = std::max(band.top, r.sy);
    const int bottom = std::min(band.bottom, r.sy + r.h);
    const int left = std::max(0, r.sx);
    const int right = std::min(r.sx + r.w, picture->Width());
    const int sourceTop = band.source + (top - band.top);
    const int rows = std::min(bottom - top, picture->Height() - sourceTop);
    if (left >= right || rows <= 0 || sourceTop < 0)
        return;
    DrawLevel(panel, r.dest, r.x + (left - r.sx), r.y + (top - r.sy), left, sourceTop, right - left, rows, level);
}

} // namespace

bool DrawWindowPicture(const TXeRGBPanel& panel, const DrawRequest& request, int level, WindowState state, int counter)
{
    const TXeRGBBits* picture = panel.Image();
    if (picture == nullptr || !picture->Created())
        return true;
    const int height = panel.SizeY();
    if (state != wsOpening && state != wsClosing) {
        DrawBand(panel, request, {0, height, 0}, level);
        return true;
    }
    const int half = height / 2;
    const int steps = state == wsOpening ? FadeSteps - counter : counter;
    const int reach = half * steps / FadeSteps;
    DrawBand(panel, request, {half - reach, half, 0}, level);
    DrawBand(panel, request, {half, half + reach, height - reach}, level);
    return true;
}

int FadeTone(WindowState state, int counter)
{
    switch (state) {
    case wsOpening: return 128 - (FadeSteps - counter) * 64 / FadeSteps;
    case wsClosing: return 128 - counter * 64 / FadeSteps;
    default: return 64;
    }
}

bool DrawFadeTone(const DrawRequest& request, WindowState state, int counter)
{
    if (request.w <= 0 || request.h <= 0)
        return true;
    const auto t = static_cast<std::uint32_t>(FadeTone(state, counter));
    return request.dest->ToneChange(request.x, request.y, request.x + request.w - 1, request.y + request.h - 1,
                                    t * 0x10000 + t * 0x100 + t);
}
