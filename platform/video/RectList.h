// RectList: a short list of rectangles still to be copied, merged cheaply and capped in length.
#pragma once

#include "platform/video/VideoTypes.h"

#include <span>
#include <vector>

namespace video {

// Rectangles are kept in the order added. A rectangle inside an element is dropped, elements
// inside a new one are removed, and past kMaxRects the list collapses to its bounding box, so
// the work of copying a list stays bounded however many small changes a frame brings.
class RectList {
public:
    static constexpr std::size_t kMaxRects = 32;

    void Add(const Rect& r);
    void Add(const RectList& other);
    void Clear() { rects_.clear(); }
    bool Empty() const { return rects_.empty(); }
    std::span<const Rect> Rects() const { return rects_; }

private:
    std::vector<Rect> rects_;
};

} // namespace video
