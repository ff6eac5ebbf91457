// RectList: a short list of rectangles still to be copied, merged cheaply and capped in length.
#include "platform/video/RectList.h"

#include <algorithm>

namespace video {

void RectList::Add(const Rect& r)
{
    if (r.Empty())
        return;
    for (const Rect& e : rects_)
        if (e.Contains(r))
            return;
    std::erase_if(rects_, [&](const Rect& e) { return r.Contains(e); });
    rects_.push_back(r);
    if (rects_.size() > kMaxRects) {
        Rect all;
        for (const Rect& e : rects_)
            all = Bound(all, e);
        rects_.assign(1, all);
    }
}

void RectList::Add(const RectList& other)
{
    for (const Rect& r : other.rects_)
        Add(r);
}

} // namespace video
