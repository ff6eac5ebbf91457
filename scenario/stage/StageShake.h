// The stage's shakes: the offset table of the four kinds (vertical, horizontal, random, drop) and
// the drawing of the stage picture moved by the offset with the uncovered edges black.
#pragma once

#include "base/util/TXeRect.h"

class TRandom;
class TXeRGBBits;

inline constexpr int kShakeVertical = 0;
inline constexpr int kShakeHorizontal = 1;
inline constexpr int kShakeRandom = 2;
inline constexpr int kShakeDrop = 3;
inline constexpr int kEffectFlash = 4;

struct TShakeOffset {
    int x = 0;
    int y = 0;
};

// The offset of step s of the kind; false once s passes the kind's last step (offset 0). Kinds
// outside 0..3 give true and no offset.
bool ShakeStep(int kind, int step, TRandom& random, TShakeOffset& offset);

// Draws the part (areaX, areaY, w, h) of a panel that shows `picture` moved by the offset, at
// (x, y) of dst: the picture's pixel (u - offset.x, v - offset.y) lands on panel point (u, v), and
// what no picture pixel reaches is black.
void DrawShaken(TXeRGBBits* dst, int x, int y, TXeRGBBits* picture, int areaX, int areaY, int w, int h,
                TShakeOffset offset);
