// TXeRect: the rectangle value type (right and bottom exclusive), and XeRect to build one.
#pragma once

#include "platform/classes/Controls.h"

// Four signed 32-bit edges in the order left, top, right, bottom, the same layout as the system's
// RECT, so a RECT-shaped record converts by copying the fields. Empty when right <= left or
// bottom <= top. Edge arithmetic wraps around at the 32-bit limits, as the system's own did.
struct TXeRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool EqualRect(const TXeRect& r) const;
    bool InflateRect(int dx, int dy);
    bool OffsetRect(int dx, int dy);
    bool SetRectEmpty();
    bool IsRectEmpty() const { return right <= left || bottom <= top; }

    // The overlap of two non-empty rectangles; rectangles that only share an edge do not overlap.
    // Without an overlap this one becomes 0, 0, 0, 0 and the result is false. `this` may be a or b.
    bool IntersectRect(const TXeRect& a, const TXeRect& b);
    // The bounding rectangle of the non-empty ones of a and b; false (and 0, 0, 0, 0) when both
    // are empty.
    bool UnionRect(const TXeRect& a, const TXeRect& b);
    // a, shrunk only where b covers one whole side of it (b spanning a's width or height); a part
    // of b inside a, or over a corner, leaves a unchanged. Always true.
    bool SubtractRect(const TXeRect& a, const TXeRect& b);

    // Whether the point lies inside: left <= x < right and top <= y < bottom.
    bool InRect(int x, int y) const { return left <= x && x < right && top <= y && y < bottom; }
    bool InRect(const TPoint& p) const { return InRect(p.x, p.y); }
    // Whether r's edges lie within this one's (emptiness is not looked at).
    bool InRect(const TXeRect& r) const
    {
        return r.left >= left && r.right <= right && r.top >= top && r.bottom <= bottom;
    }

    bool operator==(const TXeRect&) const = default;
};

inline TXeRect XeRect(int left, int top, int right, int bottom) { return TXeRect{left, top, right, bottom}; }
