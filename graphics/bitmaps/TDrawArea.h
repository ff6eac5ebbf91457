// TDrawArea: the destination point, source corners and size of a bitmap-to-bitmap operation, and
// the clipping of its source rectangles against their sources, in 64-bit arithmetic so that no
// argument can overflow on the way.
#pragma once

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>

class TDrawArea {
public:
    TDrawArea(int x, int y, int w, int h) : x_(x), y_(y), w_(w), h_(h) {}

    // Adds a source whose rectangle starts at (sx, sy); sources are numbered from 0.
    int AddSource(int sx, int sy)
    {
        sx_[count_] = sx;
        sy_[count_] = sy;
        return count_++;
    }

    // Adds a source at (sx, sy) and cuts the rectangle to its width x height; returns its number.
    int CutSource(int sx, int sy, int width, int height)
    {
        const int source = AddSource(sx, sy);
        Cut(source, width, height);
        return source;
    }

    // Raises each cut by how far the rectangle of `source` reaches past (0, 0, width, height).
    void Cut(int source, int width, int height)
    {
        cutLeft_ = std::max(cutLeft_, -sx_[source]);
        cutTop_ = std::max(cutTop_, -sy_[source]);
        cutRight_ = std::max(cutRight_, sx_[source] + w_ - width);
        cutBottom_ = std::max(cutBottom_, sy_[source] + h_ - height);
    }

    // Applies the cuts (a left cut moves x and every source x and shortens w; a right cut shortens
    // w; top and bottom alike) and sets them back to 0. False when nothing is left, or when the
    // destination lies beyond the range of int, where no bitmap reaches.
    bool Apply()
    {
        x_ += cutLeft_;
        y_ += cutTop_;
        for (int k = 0; k < count_; ++k) {
            sx_[k] += cutLeft_;
            sy_[k] += cutTop_;
        }
        w_ -= cutLeft_ + cutRight_;
        h_ -= cutTop_ + cutBottom_;
        cutLeft_ = cutTop_ = cutRight_ = cutBottom_ = 0;
        return w_ > 0 && h_ > 0 && InInt(x_) && InInt(y_) && InInt(x_ + w_) && InInt(y_ + h_);
    }

    // True when the rectangle of `source` lies wholly inside (0, 0, width, height).
    bool Inside(int source, int width, int height) const
    {
        return sx_[source] >= 0 && sx_[source] + w_ <= width && sy_[source] >= 0 && sy_[source] + h_ <= height;
    }

    // Valid after an Apply that returned true, or after Inside checks of every source.
    int X() const { return static_cast<int>(x_); }
    int Y() const { return static_cast<int>(y_); }
    int W() const { return static_cast<int>(w_); }
    int H() const { return static_cast<int>(h_); }
    int SX(int source) const { return static_cast<int>(sx_[source]); }
    int SY(int source) const { return static_cast<int>(sy_[source]); }

private:
    static bool InInt(std::int64_t v) { return v >= INT_MIN && v <= INT_MAX; }

    std::int64_t x_, y_, w_, h_;
    std::array<std::int64_t, 2> sx_{}, sy_{};
    int count_ = 0;
    std::int64_t cutLeft_ = 0, cutTop_ = 0, cutRight_ = 0, cutBottom_ = 0;
};
