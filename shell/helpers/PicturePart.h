// PicturePart: the draw event's work for a panel that draws its picture itself: the part of the
// picture placed at an area of the panel that overlaps the part being drawn, through the picture's
// alpha plane or plainly, at a blend level.
#pragma once

#include "base/util/TXeRect.h"

class TXeAlpha;
class TXeRGBBits;

// What a panel draw event is asked for: the panel's part (sx, sy) of size dx x dy, landing at
// (x, y) of dest.
struct TDrawRequest {
    TXeRGBBits* dest;
    int x;
    int y;
    int sx;
    int sy;
    int dx;
    int dy;
};

// Draws picture's (0, 0)-based block of area's size, placed at area of the panel, clipped to the
// request and to the picture. With an alpha plane the picture is drawn through it; without one it
// is copied at level 128 and blended at levels 1 to 127; level 0 or less draws nothing. Nothing is
// drawn without a created picture.
void DrawPicturePart(const TDrawRequest& request, TXeRGBBits* picture, TXeAlpha* alpha, const TXeRect& area, int level = 128);
