// PanelGeometry: saturating coordinate arithmetic of the panel tree, so that extreme offsets and
// sizes clip instead of wrapping around.
#pragma once

#include "base/util/TXeRect.h"

#include <algorithm>
#include <climits>

inline int SatAdd(int a, long long b)
{
    return static_cast<int>(std::clamp<long long>(a + b, INT_MIN, INT_MAX));
}

inline TXeRect Shifted(const TXeRect& r, int dx, int dy)
{
    return TXeRect{SatAdd(r.left, dx), SatAdd(r.top, dy), SatAdd(r.right, dx), SatAdd(r.bottom, dy)};
}

// The rectangle of size w x h with its top-left corner at (x, y).
inline TXeRect RectAt(int x, int y, int w, int h)
{
    return TXeRect{x, y, SatAdd(x, w), SatAdd(y, h)};
}

// The overlap of a and b; empty (0, 0, 0, 0) when there is none (TXeRect::IntersectRect, inline:
// the tree calls it for every child on every walk).
inline TXeRect Overlap(const TXeRect& a, const TXeRect& b)
{
    const TXeRect out{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                      std::min(a.bottom, b.bottom)};
    return out.IsRectEmpty() || a.IsRectEmpty() || b.IsRectEmpty() ? TXeRect{} : out;
}
