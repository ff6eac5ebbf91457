// Device: the video service's entry point, bound to a host window, that makes surfaces and lists display modes.
//
// Use: Create a device with a back end; SetCooperativeLevel with the window (and full screen or
// not); in full screen SetDisplayMode; CreatePrimary with the wanted number of back buffers (a
// chain the back end refuses fails, and the caller may ask for fewer); CreateOffScreen for
// pictures. Releasing the device (its destructor) gives the window back to window mode; surfaces
// that outlive it report Released.
//
// Threads: one thread at a time (the drawing thread).
#pragma once

#include "platform/video/VideoSurface.h"
#include "platform/video/VideoTypes.h"

#include <memory>
#include <span>
#include <vector>

namespace video {

class BackEnd;
class VideoWindow;
struct DeviceCore;

class Device {
public:
    // A device on `backEnd`; null when the back end cannot start.
    static std::unique_ptr<Device> Create(BackEnd& backEnd);
    explicit Device(BackEnd& backEnd);
    ~Device();
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    BackEnd& Back() const;

    // Binds the device to `window`: full screen (exclusive) or in the window (normal).
    Result SetCooperativeLevel(VideoWindow* window, bool fullScreen);
    // In full screen: switches to the listed mode of that size and bit count (16, 24 or 32).
    Result SetDisplayMode(int width, int height, int bitCount, int refreshRate);

    // The primary surface: in a window, the screen (layout of the desktop); in full screen, the
    // mode's picture with `backBuffers` back buffers (0 for none).
    Result CreatePrimary(int backBuffers, std::shared_ptr<Surface>& primary);
    // An off-screen surface; a null layout takes the display's.
    Result CreateOffScreen(int width, int height, const PixelLayout* layout, bool videoMemory,
                           std::shared_ptr<Surface>& surface);
    std::shared_ptr<Clipper> CreateClipper();
    std::shared_ptr<Palette> CreatePalette(std::span<const std::uint32_t, 256> entries);

    std::vector<DisplayModeDesc> EnumDisplayModes() const;
    // The video-memory budget and what is left of it, in bytes.
    void GetAvailableVidMem(std::uint64_t& total, std::uint64_t& free) const;
    DeviceCaps GetCaps() const;
    // The layout of new surfaces when none is asked for.
    PixelLayout DisplayLayout() const;

private:
    std::shared_ptr<DeviceCore> core_;
};

// The 20 colours of the system's default palette: 10 for the first entries of an 8-bit palette,
// then 10 for the last ones (0x00RRGGBB).
std::span<const std::uint32_t, 20> DefaultPaletteColors();

} // namespace video
