// Internal parts of the video service shared by devices and surfaces: device state, pixel storage, flip chains.
#pragma once

#include "platform/video/RectList.h"
#include "platform/video/VideoTypes.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace video {

class BackEnd;
class Surface;
class VideoWindow;

// The state of one device that its surfaces need; it lives as long as the last of them.
struct DeviceCore {
    explicit DeviceCore(BackEnd& backEnd) : backEnd(backEnd) {}

    // The layout new surfaces take when none is asked for: the mode's in full screen, else the desktop's.
    PixelLayout DisplayLayout() const;
    // Takes `bytes` of the video-memory budget; false when they do not fit.
    bool TakeVideoMemory(std::uint64_t bytes);
    void GiveVideoMemory(std::uint64_t bytes);

    BackEnd& backEnd;
    VideoWindow* window = nullptr;
    bool levelSet = false;
    bool exclusive = false;
    bool modeSet = false;
    Size modeSize;
    PixelLayout modeLayout;
    std::uint64_t videoUsed = 0;
    bool released = false;
    std::weak_ptr<FlipChain> primary;
};

// Pixel memory of one surface or one buffer of a flip chain; rows are padded to 16 bytes.
struct Storage {
    Storage(int width, int height, const PixelLayout& layout);

    std::uint8_t* At(int x, int y) { return pixels.data() + y * pitch + static_cast<std::ptrdiff_t>(x) * bytes; }
    Rect Bounds() const { return {0, 0, width, height}; }

    int width;
    int height;
    PixelLayout layout;
    int bytes;
    std::ptrdiff_t pitch;
    std::vector<std::uint8_t> pixels;
};

// The primary surface and its back buffers. Buffer `visible` is on screen. stale[i] holds where
// buffer i may differ from the window's front buffer: writes into the shown buffer are published
// at once, writes into another buffer are noted, and a flip publishes only the shown buffer's
// notes. Where the front buffer really changed (it compares what it is given), the other buffers
// may now differ from it, so that part is noted for them; a copy that changed nothing on screen
// adds nothing, which keeps the notes from growing frame after frame.
struct FlipChain {
    FlipChain(std::shared_ptr<DeviceCore> core, int count, Size size, const PixelLayout& layout, bool windowed);
    ~FlipChain();

    int Count() const { return static_cast<int>(buffers.size()); }
    // Records a write into buffer `index` at `r` (surface coordinates).
    void Written(int index, const Rect& r);
    // Shows the next buffer.
    void Advance();
    // After a restore: every buffer's picture is new.
    void Renew(std::uint8_t fill);

    std::shared_ptr<DeviceCore> core;
    std::vector<Storage> buffers;
    std::vector<RectList> stale;
    int visible = 0;
    bool windowed;
    bool lost = false;
    int locks = 0;
    std::uint64_t videoBytes = 0;
    std::weak_ptr<Surface> backView;

private:
    // Shows `r` of buffer `index`; returns where the screen changed (surface coordinates).
    Rect Publish(int index, const Rect& r);
    void NoteScreenChange(const Rect& changed);
};

// Bytes per row and in all for a picture, or 0 when the size is not positive or too large.
std::uint64_t PictureBytes(int width, int height, const PixelLayout& layout);

} // namespace video
