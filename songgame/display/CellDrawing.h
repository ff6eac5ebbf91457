// DrawCell: one cell of a picture strip (a note, a key label, a character's frame) drawn onto a
// panel's part, clipped to the picture and to the part.
#pragma once

#include "base/util/TXeRect.h"

class TXeAlpha;
class TXeRGBBits;

// The cell `cell` of `picture` (picture coordinates) with its top-left corner at (atX, atY) of a
// panel whose origin lands on (x, y) of dest; only what lies inside the picture and inside `clip`
// (panel coordinates) is drawn: through the mask when there is one, else with the picture's
// top-left pixel as the transparent colour.
void DrawCell(TXeRGBBits& dest, int x, int y, const TXeRect& clip, TXeRGBBits* picture, const TXeAlpha* mask,
              const TXeRect& cell, int atX, int atY);
