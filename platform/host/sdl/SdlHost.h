// The SDL2 host: the UI thread's loop over the video service's SDL window, with its input translated.
//
// Each turn takes SDL's queued events: the window handles its own (presenting, exposure), the
// input translator (SdlInput) turns input, focus, enter/leave and close into window events for the
// listener. Then the window presents what the drawing thread changed. Posted work wakes a waiting
// loop through an SDL event of its own. The close button is only reported (CloseRequest): the
// listener decides and calls Quit.
//
// Threads: as Host; Create and the destructor on the UI thread.
#pragma once

#include "platform/host/Host.h"
#include "platform/host/sdl/SdlInput.h"
#include "platform/input/sdl/SdlSongInput.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

struct SDL_Window;
union SDL_Event;

namespace video {
class SdlVideo;
class SdlWindow;
} // namespace video

namespace host {

class SdlHost final : public Host {
public:
    // A host showing a new window of `client` pixels made on `video`; null when SDL cannot make one.
    static std::unique_ptr<SdlHost> Create(video::SdlVideo& video, const std::string& utf8Title, video::Size client);
    explicit SdlHost(std::unique_ptr<video::SdlWindow> window);
    ~SdlHost() override;

    const char* Name() const override { return "sdl"; }
    video::VideoWindow& Window() override;
    // SDL message boxes, over the window when shown from the UI thread.
    void InstallMessageBoxes() override;
    // A second SDL window, redrawn when exposed; while it is up the game's window is hidden (the
    // devices are set up on it meanwhile), and HideSplash shows the game's window first.
    void ShowSplash(video::Size size, std::span<const std::uint32_t> pixels) override;
    void HideSplash() override;

private:
    void PumpEvents(bool wait) override;
    void Wake() override;
    // Warps on the UI thread, through the picture's place in the window (scaled in full screen).
    void MovePointer(int x, int y) override;
    // Handles the start-up window's own events (exposure); false for every other event.
    bool SplashEvent(const SDL_Event& event);
    void DrawSplash();

    struct WindowCloser {
        void operator()(SDL_Window* window) const;
    };

    std::unique_ptr<video::SdlWindow> window_;
    SdlInput input_;
    // The song game's keyboard and joystick, fed from the same events.
    input::SdlSongInput songInput_{input::ProcessSongInput()};
    std::uint32_t wakeEvent_;
    std::atomic<bool> wakePosted_{false}; // a wake event is on its way: further posts need none
    // The start-up window and its picture; destroyed before the game's window.
    std::unique_ptr<SDL_Window, WindowCloser> splash_;
    std::vector<std::uint32_t> splashPixels_;
    video::Size splashSize_{};
};

} // namespace host
