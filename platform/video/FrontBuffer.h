// FrontBuffer: the picture a host window shows, filled by the drawing thread and read by its presenter.
#pragma once

#include "platform/video/RectList.h"
#include "platform/video/VideoTypes.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <vector>

namespace video {

// Threads: Reset and Publish are called by the drawing thread (the one that presents frames);
// TakePending by the presenting thread (the UI thread of a real window); Copy and the counters by
// anyone. `lock_` guards every field. Pixels are rows of `width` pixels in `layout`, top row first.
class FrontBuffer {
public:
    struct View {
        const std::uint8_t* pixels = nullptr;
        std::ptrdiff_t pitch = 0;
        int width = 0;
        int height = 0;
        PixelLayout layout;
    };

    // A copy of the picture, rows packed without gaps.
    struct Picture {
        int width = 0;
        int height = 0;
        PixelLayout layout;
        std::vector<std::uint8_t> pixels;

        // The pixel value at (x, y) in `layout` (low bytes; the palette index for 8 bits).
        std::uint32_t Pixel(int x, int y) const;
        // The colour at (x, y) as 0x00RRGGBB, each channel widened to 8 bits; 8-bit pictures give
        // the index in every channel.
        std::uint32_t Rgb(int x, int y) const;
    };

    // A new picture size and layout; the picture is black and wholly pending.
    void Reset(int width, int height, const PixelLayout& layout);
    // Copies `rect` (inside the picture) from `src`, the address of the rect's top-left pixel in
    // a buffer of the same layout whose rows are `srcPitch` bytes apart. The part that differs
    // from the picture becomes pending; its bounding rectangle is returned (empty: no change).
    Rect Publish(const Rect& rect, const std::uint8_t* src, std::ptrdiff_t srcPitch);
    // When something is pending: calls `present` with the picture and the pending rectangles while
    // holding the lock, forgets them and returns true. Otherwise false.
    bool TakePending(const std::function<void(const View&, std::span<const Rect>)>& present);
    // Makes the whole picture pending again (the window needs a full repaint).
    void MarkAllPending();

    Picture Copy() const;
    Size PictureSize() const;
    // Counts the changes (Reset, and Publish calls that changed something), so a reader can tell.
    std::uint64_t Generation() const;

private:
    mutable std::mutex lock_;
    int width_ = 0;
    int height_ = 0;
    PixelLayout layout_;
    std::ptrdiff_t pitch_ = 0;
    std::vector<std::uint8_t> pixels_;
    RectList pending_;
    std::uint64_t generation_ = 0;
};

// Reads one pixel value of `bytes` (1 to 4) bytes, little-endian.
std::uint32_t ReadPixel(const std::uint8_t* p, int bytes);
// The colour 0x00RRGGBB of a pixel value in `layout`, each channel widened by repeating its top bits.
std::uint32_t PixelToRgb(std::uint32_t value, const PixelLayout& layout);

} // namespace video
