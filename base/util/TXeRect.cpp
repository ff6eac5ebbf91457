// TXeRect: the rectangle value type.
#include "base/util/TXeRect.h"

#include <algorithm>

namespace {

// Edge arithmetic that wraps around instead of overflowing.
int Add(int a, int b) { return static_cast<int>(static_cast<unsigned>(a) + static_cast<unsigned>(b)); }
int Sub(int a, int b) { return static_cast<int>(static_cast<unsigned>(a) - static_cast<unsigned>(b)); }

} // namespace

bool TXeRect::EqualRect(const TXeRect& r) const { return *this == r; }

bool TXeRect::InflateRect(int dx, int dy)
{
    *this = XeRect(Sub(left, dx), Sub(top, dy), Add(right, dx), Add(bottom, dy));
    return true;
}

bool TXeRect::OffsetRect(int dx, int dy)
{
    *this = XeRect(Add(left, dx), Add(top, dy), Add(right, dx), Add(bottom, dy));
    return true;
}

bool TXeRect::SetRectEmpty()
{
    *this = TXeRect{};
    return true;
}

bool TXeRect::IntersectRect(const TXeRect& a, const TXeRect& b)
{
    const TXeRect overlap = XeRect(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                                   std::min(a.bottom, b.bottom));
    if (a.IsRectEmpty() || b.IsRectEmpty() || overlap.IsRectEmpty()) {
        SetRectEmpty();
        return false;
    }
    *this = overlap;
    return true;
}

bool TXeRect::UnionRect(const TXeRect& a, const TXeRect& b)
{
    if (a.IsRectEmpty() && b.IsRectEmpty()) {
        SetRectEmpty();
        return false;
    }
    if (a.IsRectEmpty() || b.IsRectEmpty()) {
        *this = a.IsRectEmpty() ? b : a;
        return true;
    }
    *this = XeRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                   std::max(a.bottom, b.bottom));
    return true;
}

bool TXeRect::SubtractRect(const TXeRect& a, const TXeRect& b)
{
    TXeRect result = a;
    // Along one axis: [low, high) of a against [cutLow, cutHigh) of b. Cuts the covered end, or
    // empties the result when b covers the whole span.
    auto cut = [&result](int& low, int& high, int cutLow, int cutHigh) {
        if (low < cutLow) {
            if (cutLow < high && high <= cutHigh)
                high = cutLow;
        } else if (low < cutHigh) {
            if (cutHigh >= high)
                result = TXeRect{};
            else
                low = cutHigh;
        }
    };
    if (b.left <= a.left && b.right >= a.right)
        cut(result.top, result.bottom, b.top, b.bottom);
    else if (b.top <= a.top && b.bottom >= a.bottom)
        cut(result.left, result.right, b.left, b.right);
    *this = result;
    return true;
}
