// Value types of the video service: rectangles, pixel layouts, display modes, results and log records.
#pragma once

#include <algorithm>
#include <cstdint>

namespace video {

struct Point {
    int x = 0;
    int y = 0;
};

struct Size {
    int width = 0;
    int height = 0;
};

// A rectangle with exclusive right and bottom edges; empty when right <= left or bottom <= top.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Empty() const { return right <= left || bottom <= top; }
    bool Contains(const Rect& r) const
    {
        return r.left >= left && r.top >= top && r.right <= right && r.bottom <= bottom;
    }
    Rect Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// The common part of two rectangles; an empty {0,0,0,0} when they do not overlap.
inline Rect Intersect(const Rect& a, const Rect& b)
{
    const Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                 std::min(a.bottom, b.bottom)};
    return r.Empty() ? Rect{} : r;
}

// The bounding rectangle of two; an empty operand adds nothing.
inline Rect Bound(const Rect& a, const Rect& b)
{
    if (a.Empty())
        return b;
    if (b.Empty())
        return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

// Where a picture of `picture` pixels is shown on a target of `target` pixels: as large as fits
// with the same proportions, centred (black bars fill the rest).
inline Rect FitPicture(Size picture, Size target)
{
    int w = target.width;
    int h = target.height;
    if (static_cast<long long>(target.width) * picture.height <= static_cast<long long>(target.height) * picture.width)
        h = static_cast<int>(static_cast<long long>(target.width) * picture.height / picture.width);
    else
        w = static_cast<int>(static_cast<long long>(target.height) * picture.width / picture.height);
    const int x = (target.width - w) / 2;
    const int y = (target.height - h) / 2;
    return {x, y, x + w, y + h};
}

// How the pixels of a surface or a display mode are laid out: the bit count and the channel masks
// of one pixel (a little-endian word, or three bytes for 24 bits). An 8-bit layout is palettised
// and has no masks.
struct PixelLayout {
    int bitCount = 0; // 8, 16, 24 or 32
    std::uint32_t red = 0;
    std::uint32_t green = 0;
    std::uint32_t blue = 0;
    std::uint32_t alpha = 0;

    int BytesPerPixel() const { return bitCount / 8; }
    bool Palettised() const { return bitCount == 8; }
    bool Valid() const { return bitCount == 8 || bitCount == 16 || bitCount == 24 || bitCount == 32; }
    friend bool operator==(const PixelLayout&, const PixelLayout&) = default;
};

inline constexpr PixelLayout kLayout8{8, 0, 0, 0, 0};
inline constexpr PixelLayout kLayout565{16, 0xF800, 0x07E0, 0x001F, 0};
inline constexpr PixelLayout kLayout555{16, 0x7C00, 0x03E0, 0x001F, 0};
inline constexpr PixelLayout kLayout888{24, 0xFF0000, 0x00FF00, 0x0000FF, 0};
inline constexpr PixelLayout kLayoutX888{32, 0xFF0000, 0x00FF00, 0x0000FF, 0};

// One mode the display can be switched to in full screen.
struct DisplayModeDesc {
    int width = 0;
    int height = 0;
    PixelLayout layout;
    int refreshRate = 0; // Hz, 0 when unknown
};

// What an operation of the service reports.
enum class Result {
    Ok,
    SurfaceLost,      // the surface's memory was taken away; Restore brings it back
    InvalidRect,      // a rectangle lies outside its surface (and no clipper trims it)
    InvalidFormat,    // source and destination layouts differ, or the layout is not allowed here
    OutOfVideoMemory, // the video-memory budget cannot hold the surface
    NoFlipChain,      // Flip on a surface that is not the primary of a flip chain
    NoColorKey,       // a keyed blit from a surface without a source colour key
    Busy,             // the surface is already locked
    NotLocked,        // Unlock without Lock
    WrongMode,        // the cooperative level or display mode does not allow the operation
    Refused,          // the device declines (back buffers it cannot make, a second primary)
    Released,         // the device that made the surface has been released
    Failed,
};

// Flags of Surface::Blt.
enum BltFlags : unsigned {
    kBltAsync = 1,     // accepted; every blit completes before it returns
    kBltColorFill = 2, // fill the destination with the fill value instead of copying
    kBltKeySrc = 4,    // skip source pixels inside the source's colour-key range
};

// Flags of Surface::Flip.
enum FlipFlags : unsigned {
    kFlipWait = 1,
    kFlipDoNotWait = 2,
    kFlipNoVSync = 4,
};

// Which surfaces a loss takes away.
enum class LossScope {
    All,         // every surface of every device
    Primary,     // only flip chains and primaries
    VideoMemory, // flip chains, primaries and video-memory surfaces (what a mode change loses)
};

// One operation as the headless back end records it. `buffer` is the physical buffer of a flip
// chain that the operation reached (-1 for other surfaces); rectangles are as requested.
struct LogEntry {
    enum Kind { Blt, BltFast, Fill, Flip, Lock, Restore } kind = Blt;
    int surface = 0;
    int buffer = -1;
    Rect dst;
    int source = 0;
    Rect src;
    Result result = Result::Ok;
};

// Device capabilities reported by Device::GetCaps.
struct DeviceCaps {
    std::uint64_t videoMemoryTotal = 0;
    std::uint64_t videoMemoryFree = 0;
    int maxBackBuffers = 0;
    bool colorKeyBlt = true;
    bool colorFill = true;
};

} // namespace video
