#include "songgame/display/CellDrawing.h"

#include "graphics/bitmaps/TXeAlpha.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "graphics/panels/PanelGeometry.h"

void DrawCell(TXeRGBBits& dest, int x, int y, const TXeRect& clip, TXeRGBBits* picture, const TXeAlpha* mask,
              const TXeRect& cell, int atX, int atY)
{
    if (picture == nullptr)
        return;
    const TXeRect inPicture = Overlap(cell, {0, 0, picture->Width(), picture->Height()});
    const int dx = atX - cell.left;
    const int dy = atY - cell.top;
    const TXeRect onPanel =
        Overlap({inPicture.left + dx, inPicture.top + dy, inPicture.right + dx, inPicture.bottom + dy}, clip);
    if (inPicture.IsRectEmpty() || onPanel.IsRectEmpty())
        return;
    const int w = onPanel.right - onPanel.left;
    const int h = onPanel.bottom - onPanel.top;
    const int sx = onPanel.left - dx;
    const int sy = onPanel.top - dy;
    if (mask != nullptr)
        dest.DrawAlphaMask(x + onPanel.left, y + onPanel.top, picture, sx, sy, w, h, mask);
    else
        dest.DrawTLKey(x + onPanel.left, y + onPanel.top, picture, sx, sy, w, h);
}
