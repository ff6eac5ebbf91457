// The frame that the bitmap-to-bitmap operations share after clipping: lock the source bitmaps,
// address their pixels, run the primitive, record the destination rectangle it drew, unlock.
#pragma once

#include "graphics/bitmaps/TDrawArea.h"
#include "graphics/bitmaps/TXeAlpha.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "platform/classes/Exception.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <initializer_list>

// Locks up to two bitmaps in the order given and unlocks the ones it locked in reverse order when
// it goes.
class TBitmapLocks {
public:
    explicit TBitmapLocks(std::initializer_list<TXeRGBBits*> bitmaps)
    {
        for (TXeRGBBits* bitmap : bitmaps) {
            if (!bitmap->Lock())
                return;
            locked_[count_++] = bitmap;
        }
        all_ = true;
    }
    ~TBitmapLocks()
    {
        while (count_ > 0)
            locked_[--count_]->Unlock();
    }
    TBitmapLocks(const TBitmapLocks&) = delete;
    TBitmapLocks& operator=(const TBitmapLocks&) = delete;

    bool Locked() const { return all_; }

private:
    std::array<TXeRGBBits*, 2> locked_{};
    int count_ = 0;
    bool all_ = false;
};

inline bool Usable(const TXeRGBBits* src) { return src != nullptr && src->Created(); }
inline bool Usable(const TXeAlpha* map) { return map != nullptr && map->Created(); }

// The pixel (sx, sy) of a locked bitmap, and the value (sx, sy) of an alpha map.
inline const std::uint8_t* SourcePixel(const TXeRGBBits& src, int sx, int sy)
{
    return src.Bits() + std::ptrdiff_t{sy} * src.Pitch() + std::ptrdiff_t{sx} * src.BitDepth();
}

inline const std::uint8_t* MaskValue(const TXeAlpha& mask, int sx, int sy)
{
    return mask.Bits() + std::ptrdiff_t{sy} * mask.Pitch() + sx;
}

// Records the rectangle (x, y, w, h) of a successful drawing operation as it stands, also where
// none of it lies on the bitmap: SetModified clips it, and the change event fires all the same.
inline void RecordDrawn(TXeRGBBits& dst, int x, int y, int w, int h)
{
    const auto lastOf = [](int start, int size) {
        return static_cast<int>(std::clamp<std::int64_t>(std::int64_t{start} + size - 1, INT_MIN, INT_MAX));
    };
    dst.SetModified(x, y, lastOf(x, w), lastOf(y, h));
}

// Locks the sources, runs `draw` (the primitive on the destination), records the area's rectangle
// when it succeeds, and unlocks. A failed lock, a failed primitive or an Exception raised on the
// way (by the primitive or by an OnChange handler) gives false.
template <typename Primitive>
bool DrawFromSources(TXeRGBBits& dst, const TDrawArea& area, std::initializer_list<TXeRGBBits*> sources,
                     Primitive&& draw)
{
    TBitmapLocks locks(sources);
    if (!locks.Locked())
        return false;
    try {
        if (!draw())
            return false;
        RecordDrawn(dst, area.X(), area.Y(), area.W(), area.H());
        return true;
    } catch (const Exception&) {
        return false;
    }
}

// The frame of an operation that reads one source from (sx, sy): the rectangle is cut to the
// source, nothing is drawn (true) when none of it is left, and else draw(area, first source pixel)
// runs inside DrawFromSources.
template <typename Primitive>
bool DrawFromSource(TXeRGBBits& dst, int x, int y, int w, int h, TXeRGBBits& src, int sx, int sy, Primitive&& draw)
{
    TDrawArea area(x, y, w, h);
    area.CutSource(sx, sy, src.Width(), src.Height());
    if (!area.Apply())
        return true;
    return DrawFromSources(dst, area, {&src}, [&] { return draw(area, SourcePixel(src, area.SX(0), area.SY(0))); });
}
