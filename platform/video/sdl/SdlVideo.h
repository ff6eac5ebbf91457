// The SDL2 video back end: a real window, presented by the UI thread from the front buffer the drawing thread fills.
//
// The window shows a 640 x 480 (or any) picture in its client area, or in full screen on the
// desktop's own mode with the picture scaled to fit and kept in proportion (black bars around);
// full screen is the window without border over the whole desktop.
// Its primary surface covers the client area (the client area's origin is (0, 0) of the window's
// screen). The display modes offered are the seven screen sizes from 320 x 240 to 1280 x 1024 at
// 16, 24 and 32 bits whatever the desktop has, since full screen scales the picture anyway.
//
// Threads: SdlVideo::Start, CreateWindow and every SdlWindow member marked "UI thread" run on the
// thread that owns the window (the main thread). The drawing thread fills the front buffer through
// the device and calls FrontChanged and SetFullScreen, which only post work to the UI thread.
// Presenting copies the pending rectangles of the front buffer into the window surface (scaled in
// full screen) and updates only those rectangles of the window.
#pragma once

#include "platform/video/VideoBackEnd.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

struct SDL_Window;
struct SDL_Surface;
union SDL_Event;

namespace video {

class SdlWindow;
class RowConverter;

class SdlVideo : public BackEnd {
public:
    static constexpr std::uint64_t kVideoMemoryBytes = std::uint64_t{256} << 20;

    SdlVideo() = default;
    ~SdlVideo() override;

    const char* Name() const override { return "sdl"; }
    // Opens SDL's video subsystem (UI thread, the first time).
    bool Start() override;
    std::vector<DisplayModeDesc> DisplayModes() const override;
    PixelLayout DesktopLayout() const override;
    std::uint64_t VideoMemoryBytes() const override { return kVideoMemoryBytes; }
    int MaxBackBuffers() const override { return 2; }

    // UI thread: a shown window with a client area of `client` pixels; null when SDL cannot make one.
    std::unique_ptr<SdlWindow> CreateWindow(const std::string& utf8Title, Size client);

    std::uint32_t PresentEventType() const { return presentEvent_; }
    // The name of SDL's video driver in use ("x11", "wayland", "dummy" ...); empty before Start.
    std::string DriverName() const;

private:
    bool tried_ = false;
    bool started_ = false;
    std::uint32_t presentEvent_ = 0;
};

class SdlWindow : public VideoWindow {
public:
    SdlWindow(SdlVideo& owner, SDL_Window* window, Size client);
    ~SdlWindow() override;

    BackEnd& Back() const override;
    Size ScreenSize() const override { return client_; }
    Point ClientOrigin() const override { return {}; }
    Size ClientSize() const override { return client_; }
    // The desktop's current mode (the client size when SDL cannot say).
    Size DesktopSize() const override;
    // Any thread: the switch happens on the UI thread at its next Present.
    void SetFullScreen(bool on, int width, int height) override;
    bool FullScreen() const override;
    // Any thread: wakes the UI thread to present.
    void FrontChanged() override;

    // UI thread: handles a window event of this window; true when the event was one of ours.
    bool HandleEvent(const SDL_Event& event);
    // UI thread: applies a pending full-screen switch and shows the pending rectangles.
    // True when something was shown.
    bool Present();
    // UI thread: waits up to `timeoutMs` for an event, handles every queued one, then presents.
    // False once the window was asked to close.
    bool ProcessEvents(int timeoutMs);

    bool CloseRequested() const { return closeRequested_; }
    SDL_Window* Native() const { return window_; }
    // Presents that showed something (tests and benchmarks).
    std::uint64_t PresentedFrames() const { return presented_.load(); }
    // UI thread: the colour 0x00RRGGBB the window shows at (x, y) of its client area (tests).
    std::uint32_t ShownPixel(int x, int y) const;
    // UI thread: the size of what the window shows (the desktop in full screen).
    Size ShownSize() const;
    // UI thread: where the window's client area lies on the X screen (or the desktop).
    Point ScreenPosition() const;

private:
    void ApplyFullScreen();
    bool Draw(SDL_Surface* target);

    SdlVideo& owner_;
    SDL_Window* window_;
    std::uint32_t windowId_; // read by the drawing thread too: SDL's window is the UI thread's
    Size client_;
    std::thread::id uiThread_;
    std::unique_ptr<RowConverter> converter_; // UI thread
    SDL_Surface* staging_ = nullptr;          // UI thread: the picture in the window's format, for scaling
    bool repaint_ = true;            // UI thread: the whole window must be drawn again
    bool closeRequested_ = false;    // UI thread
    Point windowed_;                 // UI thread: where the window was before full screen
    std::atomic<bool> wakePosted_{false};
    std::atomic<std::uint64_t> presented_{0};

    mutable std::mutex modeLock_; // guards the three fields below
    bool fullScreen_ = false;      // what the device asked for
    bool fullScreenShown_ = false; // what the window shows
    bool modePending_ = false;
};

} // namespace video
