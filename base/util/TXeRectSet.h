// TXeRectSet: a dirty region kept as a list of non-overlapping rectangles in insertion order.
#pragma once

#include "base/util/TXeRect.h"

#include <cstddef>
#include <vector>

// Rectangles are added while drawing and walked later to repaint or present only what changed.
// The set never holds an empty rectangle. Its merge rules decide which areas get repainted, so they
// are exact: see UnionRect.
class TXeRectSet {
public:
    TXeRectSet() { rects_.reserve(16); }

    // Adds r (an empty r changes nothing): dropped when an element holds it; elements r holds are
    // removed; an element r overlaps is replaced, together with r, by up to three disjoint bands
    // (top, middle, bottom), each added in turn; an element of the same width directly above or
    // below, or of the same height directly beside, is merged into r. r is appended last.
    // True when the set is not empty afterwards.
    bool UnionRect(const TXeRect& r);
    bool UnionRectSet(const TXeRectSet& s);
    // Cuts every element down to its overlap with r, dropping those without one; true when any remains.
    bool IntersectRect(const TXeRect& r);
    // The region shared with s (the union of the overlaps with each of s's elements); true when
    // it is not empty.
    bool IntersectRectSet(const TXeRectSet& s);
    // TXeRect::SubtractRect of r from every element, dropping those it empties. Always true.
    bool SubtractRect(const TXeRect& r);
    bool SubtractRectSet(const TXeRectSet& s);
    bool OffsetRect(int dx, int dy);
    // Removes every element, keeping the capacity. Always true.
    bool SetRectEmpty();
    // True when every element is empty, so also for a set without elements.
    bool IsRectEmpty() const;
    // The bounding rectangle of the non-empty elements; 0, 0, 0, 0 when there is none.
    TXeRect AllUnionRect() const;
    explicit operator TXeRect() const { return AllUnionRect(); }

    int Count() const { return static_cast<int>(rects_.size()); }
    const TXeRect& operator[](int index) const { return rects_[static_cast<std::size_t>(index)]; }
    std::vector<TXeRect>::const_iterator begin() const { return rects_.begin(); }
    std::vector<TXeRect>::const_iterator end() const { return rects_.end(); }

private:
    void Add(TXeRect r);
    void RemoveAt(std::size_t index) { rects_.erase(rects_.begin() + static_cast<std::ptrdiff_t>(index)); }

    std::vector<TXeRect> rects_;
};
