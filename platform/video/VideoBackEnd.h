// The video service's back-end contract (a host window and what a device may do) and the choice of back end.
//
// A back end stands for the machine's display: it says which display modes exist, what the
// desktop's pixel layout is, how much video memory surfaces may take and how many back buffers a
// flip chain may have, and it makes the host windows that show a picture. Everything else of the
// service (devices, surfaces, blits, flip chains) is the same for every back end and lives beside
// this file. Back ends: platform/video/sdl (a real window) and platform/video/headless (memory).
#pragma once

#include "platform/video/FrontBuffer.h"
#include "platform/video/VideoTypes.h"

#include <memory>
#include <mutex>
#include <vector>

namespace video {

class BackEnd;
class Surface;

// A window on the desktop that shows one picture, its front buffer. The device that uses the window
// (Device::SetCooperativeLevel) switches it between a window and full screen and fills the front
// buffer; the back end presents the front buffer.
//
// Threads: every member may be called from the drawing thread; a back end that must touch its
// window system on another thread (SDL: the UI thread) hands the work over itself.
class VideoWindow {
public:
    virtual ~VideoWindow() = default;

    // The back end that made the window; devices for the window are made on it.
    virtual BackEnd& Back() const = 0;

    // The size of the screen the window's primary surface covers in window mode, and the screen
    // position of the client area's top-left pixel within it.
    virtual Size ScreenSize() const = 0;
    virtual Point ClientOrigin() const = 0;
    virtual Size ClientSize() const = 0;
    // The size of the desktop the window lies on (in window mode).
    virtual Size DesktopSize() const { return ScreenSize(); }

    // Shows a width x height picture on the whole screen (true), or the client area again (false).
    virtual void SetFullScreen(bool on, int width, int height) = 0;
    virtual bool FullScreen() const = 0;

    // Called after the front buffer changed; the presenter shows the pending rectangles.
    virtual void FrontChanged() = 0;

    FrontBuffer& Front() { return front_; }
    const FrontBuffer& Front() const { return front_; }

private:
    FrontBuffer front_;
};

// The machine-dependent part of the service. A back end outlives every device and surface made
// with it. Threads: the queries are called from the drawing thread; LoseSurfaces from any thread.
class BackEnd {
public:
    virtual ~BackEnd() = default;

    virtual const char* Name() const = 0;
    // Makes the display usable; false when there is none. Called again it answers the same.
    virtual bool Start() = 0;
    // The modes the display can be switched to.
    virtual std::vector<DisplayModeDesc> DisplayModes() const = 0;
    // The layout of the desktop (window mode).
    virtual PixelLayout DesktopLayout() const = 0;
    // Bytes that flip chains and video-memory surfaces may take together.
    virtual std::uint64_t VideoMemoryBytes() const = 0;
    // The most back buffers a flip chain may have (0: no flip chains).
    virtual int MaxBackBuffers() const = 0;
    // False makes Surface::Restore fail (the display is still taken by someone else).
    virtual bool CanRestore() const { return true; }
    // The byte a restored surface is filled with: its old picture is gone.
    virtual std::uint8_t RestoreFill() const { return 0; }
    // Receives every blit, fill, flip, lock and restore (the headless back end keeps them).
    virtual void Record(const LogEntry&) {}

    // Takes the memory of the surfaces in `scope` away: they report SurfaceLost until restored.
    void LoseSurfaces(LossScope scope);

    // Used by Surface to take part in LoseSurfaces.
    void Register(Surface* surface);
    void Unregister(Surface* surface);

private:
    std::mutex surfacesLock_; // guards surfaces_
    std::vector<Surface*> surfaces_;
};

// The back end chosen for the process: SDL where a real display can be opened (not SDL's
// offscreen or dummy drivers), headless otherwise.
// Made on first use (from the UI thread, as SDL needs); SetDefaultBackEnd replaces it (tests).
BackEnd& DefaultBackEnd();
void SetDefaultBackEnd(std::shared_ptr<BackEnd> backEnd);

} // namespace video
