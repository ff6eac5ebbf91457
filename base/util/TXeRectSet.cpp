// TXeRectSet: a dirty region kept as a list of non-overlapping rectangles in insertion order.
#include "base/util/TXeRectSet.h"

#include <algorithm>

bool TXeRectSet::UnionRect(const TXeRect& r)
{
    if (!r.IsRectEmpty())
        Add(r);
    return !rects_.empty();
}

// Walks the elements once with a growing copy of r; removal keeps the order of the rest.
void TXeRectSet::Add(TXeRect r)
{
    for (std::size_t i = 0; i < rects_.size();) {
        const TXeRect e = rects_[i];
        if (e.InRect(r))
            return;
        if (r.InRect(e)) {
            RemoveAt(i);
            continue;
        }
        TXeRect overlap;
        if (overlap.IntersectRect(e, r)) {
            RemoveAt(i);
            // The rectangle that reaches above (below) the overlap gives the top (bottom) band at
            // its own width; the middle band spans both.
            const TXeRect& upper = r.top < overlap.top ? r : e;
            const TXeRect& lower = r.bottom > overlap.bottom ? r : e;
            UnionRect(XeRect(upper.left, upper.top, upper.right, overlap.top));
            UnionRect(XeRect(std::min(r.left, e.left), overlap.top, std::max(r.right, e.right), overlap.bottom));
            UnionRect(XeRect(lower.left, overlap.bottom, lower.right, lower.bottom));
            return;
        }
        bool merged = false;
        if (r.left == e.left && r.right == e.right) {
            if (r.top == e.bottom) {
                r.top = e.top;
                merged = true;
            } else if (r.bottom == e.top) {
                r.bottom = e.bottom;
                merged = true;
            }
        } else if (r.top == e.top && r.bottom == e.bottom) {
            if (r.left == e.right) {
                r.left = e.left;
                merged = true;
            } else if (r.right == e.left) {
                r.right = e.right;
                merged = true;
            }
        }
        if (merged)
            RemoveAt(i);
        else
            ++i;
    }
    rects_.push_back(r);
}

bool TXeRectSet::UnionRectSet(const TXeRectSet& s)
{
    // A copy, so that adding a set to itself walks what it held before.
    const std::vector<TXeRect> added = s.rects_;
    for (const TXeRect& r : added)
        UnionRect(r);
    return !rects_.empty();
}

bool TXeRectSet::IntersectRect(const TXeRect& r)
{
    std::erase_if(rects_, [&r](TXeRect& e) { return !e.IntersectRect(e, r); });
    return !rects_.empty();
}

bool TXeRectSet::IntersectRectSet(const TXeRectSet& s)
{
    TXeRectSet shared;
    for (const TXeRect& r : s.rects_) {
        TXeRectSet part = *this;
        part.IntersectRect(r);
        shared.UnionRectSet(part);
    }
    rects_ = std::move(shared.rects_);
    return !rects_.empty();
}

bool TXeRectSet::SubtractRect(const TXeRect& r)
{
    std::erase_if(rects_, [&r](TXeRect& e) {
        e.SubtractRect(e, r);
        return e.IsRectEmpty();
    });
    return true;
}

bool TXeRectSet::SubtractRectSet(const TXeRectSet& s)
{
    const std::vector<TXeRect> cuts = s.rects_;
    for (const TXeRect& r : cuts)
        SubtractRect(r);
    return true;
}

bool TXeRectSet::OffsetRect(int dx, int dy)
{
    for (TXeRect& e : rects_)
        e.OffsetRect(dx, dy);
    return true;
}

bool TXeRectSet::SetRectEmpty()
{
    rects_.clear();
    return true;
}

bool TXeRectSet::IsRectEmpty() const
{
    return std::all_of(rects_.begin(), rects_.end(), [](const TXeRect& e) { return e.IsRectEmpty(); });
}

TXeRect TXeRectSet::AllUnionRect() const
{
    TXeRect bounds;
    for (const TXeRect& e : rects_)
        bounds.UnionRect(bounds, e);
    return bounds;
}
