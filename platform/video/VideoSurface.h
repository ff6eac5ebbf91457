// Surface, Clipper and Palette of the video service: pictures in our own memory, blits, colour keys, flips and loss.
//
// A surface is made by a Device (VideoDevice.h): an off-screen surface, or the primary surface
// of a window or full screen with its flip chain of back buffers. Every surface keeps its pixels
// in memory of its own; "video memory" is a budget the back end grants, so that running out of
// it can be tried. The primary surface stands for the screen: what is written into the buffer
// that is shown reaches the window's front buffer at once, and Flip shows the next buffer of the
// chain. Surfaces can be lost (BackEnd::LoseSurfaces) and then report SurfaceLost until Restore
// gives their memory back, filled with the back end's restore byte: the old picture is gone.
//
// Threads: a surface is used by one thread at a time (the drawing thread); only the front
// buffer it feeds is shared with the presenter.
#pragma once

#include "platform/video/VideoTypes.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace video {

class VideoWindow;
struct DeviceCore;
struct FlipChain;
struct Storage;

// Limits the rectangles a blit may write: a list, or the client area of a window on the screen.
class Clipper {
public:
    void SetClipList(std::span<const Rect> rects);
    void SetWindow(VideoWindow* window);
    // The rectangles blits are limited to, in the coordinates of the surface that uses the clipper.
    std::vector<Rect> ClipRects() const;

private:
    std::vector<Rect> list_;
    VideoWindow* window_ = nullptr;
};

// The 256 colours of an 8-bit surface, each 0x00RRGGBB.
class Palette {
public:
    explicit Palette(std::span<const std::uint32_t, 256> entries);
    std::array<std::uint32_t, 256> entries{};
};

struct SurfaceDesc {
    enum Kind { OffScreen, Primary, BackBuffer } kind = OffScreen;
    int width = 0;
    int height = 0;
    PixelLayout layout;
    bool videoMemory = false;
    int backBufferCount = 0; // of the flip chain a primary leads
};

struct LockedView {
    std::uint8_t* bits = nullptr; // the top-left pixel
    std::ptrdiff_t pitch = 0;     // bytes from one row to the next
};

class Surface {
public:
    // Made by Device only.
    Surface(std::shared_ptr<DeviceCore> core, std::unique_ptr<Storage> storage, bool videoMemory);
    Surface(std::shared_ptr<DeviceCore> core, std::shared_ptr<FlipChain> chain, int role);
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    // A number that names the surface in the headless log.
    int Id() const { return id_; }
    Result GetDesc(SurfaceDesc& desc) const;

    // Maps the surface for direct access; one lock at a time (a second gives Busy).
    Result Lock(LockedView& view);
    Result Unlock();

    // SurfaceLost when the memory was taken away, else Ok.
    Result IsLost() const;
    Result Restore();

    // Copies `srcRect` of `src` (whole surface when null) onto `dstRect` (whole surface when null)
    // of the same size, or with kBltColorFill fills `dstRect` with `fill`. A clipper trims the
    // destination; without one the destination must lie inside the surface. Layouts must match.
    Result Blt(const Rect* dstRect, Surface* src, const Rect* srcRect, unsigned flags, std::uint32_t fill = 0);
    // Copies `srcRect` of `src` to (x, y), with no clipper and no colour key.
    Result BltFast(int x, int y, Surface& src, const Rect& srcRect);

    // On the primary of a flip chain: shows the next buffer.
    Result Flip(unsigned flags);
    Result GetFlipStatus() const;
    Result GetBltStatus() const;
    // On the primary of a flip chain: the back buffer (the buffer the next Flip shows).
    Result GetAttachedBackBuffer(std::shared_ptr<Surface>& backBuffer);

    // Source colour key: pixels whose value lies in low..high are not copied by kBltKeySrc blits.
    void SetColorKey(std::uint32_t low, std::uint32_t high);
    void ClearColorKey();

    void SetClipper(std::shared_ptr<Clipper> clipper);
    std::shared_ptr<Clipper> GetClipper() const;
    // Only 8-bit surfaces take a palette (else InvalidFormat); null removes it.
    Result SetPalette(std::shared_ptr<Palette> palette);
    std::shared_ptr<Palette> GetPalette() const;

    // Used by BackEnd::LoseSurfaces.
    void Lose(LossScope scope);

private:
    Storage& Buffer() const;
    int BufferIndex() const;
    bool Lost() const;
    Result Usable() const;
    void Written(const Rect& r);
    void Log(LogEntry::Kind kind, const Rect& dst, const Surface* src, const Rect& srcRect, Result result) const;
    Result ClipTargets(const Rect& dst, std::vector<Rect>& pieces) const;

    std::shared_ptr<DeviceCore> core_;
    std::unique_ptr<Storage> own_;
    std::shared_ptr<FlipChain> chain_;
    int role_ = 0; // in a chain: 0 the primary, 1 the back buffer
    bool videoMemory_ = false;
    bool lost_ = false;
    bool locked_ = false;
    int id_ = 0;
    std::optional<std::pair<std::uint32_t, std::uint32_t>> colorKey_;
    std::shared_ptr<Clipper> clipper_;
    std::shared_ptr<Palette> palette_;
};

} // namespace video
