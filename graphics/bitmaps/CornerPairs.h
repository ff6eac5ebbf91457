// Corner-pair arguments: the clamp every corner-pair operation applies, and the pixel walk of a
// line between two included corners, shared by bitmaps and alpha maps.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <utility>

// Corner coordinates are clamped to -32768..32768 before use.
inline int ClampCoord(int v) { return std::clamp(v, -32768, 32768); }

// Calls plot(x, y) for every pixel of the line from (x1, y1) to (x2, y2), both included, walking
// from the upper corner down. The coordinates are clamped first; plot does its own clipping.
template <typename Plot> void WalkLine(int x1, int y1, int x2, int y2, Plot plot)
{
    x1 = ClampCoord(x1), y1 = ClampCoord(y1), x2 = ClampCoord(x2), y2 = ClampCoord(y2);
    if (y1 > y2) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    // Pixel counts, not differences: the walk reaches x2 and y2 on the same step.
    const int dx = std::abs(x2 - x1) + 1;
    const int dy = y2 - y1 + 1;
    const int sx = x2 > x1 ? 1 : -1;
    int err = 0;
    for (int x = x1, y = y1;;) {
        plot(x, y);
        if (x == x2 && y == y2)
            break;
        if (dx > dy) {
            err += dy;
            if (err >= dx) {
                err -= dx;
                ++y;
            }
            x += sx;
        } else {
            err += dx;
            if (err >= dy) {
                err -= dy;
                x += sx;
            }
            ++y;
        }
    }
}
