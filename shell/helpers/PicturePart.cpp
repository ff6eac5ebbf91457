// PicturePart: clipping a self-drawn picture to a draw event's part.
#include "shell/helpers/PicturePart.h"

#include "graphics/bitmaps/TXeAlpha.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "graphics/panels/PanelGeometry.h"

#include <algorithm>

namespace {

constexpr int kFullLevel = 128;

} // namespace

void DrawPicturePart(const TDrawRequest& request, TXeRGBBits* picture, TXeAlpha* alpha, const TXeRect& area, int level)
{
    if (request.dest == nullptr || picture == nullptr || !picture->Created() || level <= 0)
        return;
    const TXeRect placed =
        RectAt(area.left, area.top, std::min(area.right - area.left, picture->Width()), std::min(area.bottom - area.top, picture->Height()));
    const TXeRect part = Overlap(RectAt(request.sx, request.sy, request.dx, request.dy), placed);
    if (part.IsRectEmpty())
        return;
    const int atX = SatAdd(request.x, part.left - static_cast<long long>(request.sx));
    const int atY = SatAdd(request.y, part.top - static_cast<long long>(request.sy));
    const int fromX = part.left - placed.left;
    const int fromY = part.top - placed.top;
    const int w = part.right - part.left;
    const int h = part.bottom - part.top;
    if (alpha != nullptr && alpha->Created())
        request.dest->DrawAlphaMask(atX, atY, picture, fromX, fromY, w, h, alpha);
    else if (level >= kFullLevel)
        request.dest->Draw(atX, atY, picture, fromX, fromY, w, h);
    else
        request.dest->AlphaBlend(atX, atY, picture, fromX, fromY, w, h, level);
}
