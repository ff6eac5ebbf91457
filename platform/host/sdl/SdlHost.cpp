// The SDL2 host: the UI thread's loop over the video service's SDL window, with its input translated.
#include "platform/host/sdl/SdlHost.h"

#include "platform/host/sdl/SdlMessageBox.h"
#include "platform/video/sdl/SdlVideo.h"

#include <SDL.h>

#include <vector>

namespace host {

namespace {

// The longest a waiting turn sleeps: a safety net, since posted work and presents wake it anyway.
constexpr int kMaxWaitMs = 100;

} // namespace

std::unique_ptr<SdlHost> SdlHost::Create(video::SdlVideo& video, const std::string& utf8Title, video::Size client)
{
    std::unique_ptr<video::SdlWindow> window = video.CreateWindow(utf8Title, client);
    if (!window)
        return nullptr;
    return std::make_unique<SdlHost>(std::move(window));
}

SdlHost::SdlHost(std::unique_ptr<video::SdlWindow> window)
    : window_(std::move(window)), wakeEvent_(SDL_RegisterEvents(1))
{
}

SdlHost::~SdlHost() = default;

video::VideoWindow& SdlHost::Window()
{
    return *window_;
}

void SdlHost::InstallMessageBoxes()
{
    InstallSdlMessageBoxes(window_->Native());
}

void SdlHost::PumpEvents(bool wait)
{
    SDL_Event event;
    bool have = wait ? SDL_WaitEventTimeout(&event, kMaxWaitMs) != 0 : SDL_PollEvent(&event) != 0;
    input_.SetView(window_->ClientSize(), window_->ShownSize());
    std::vector<WindowEvent> translated;
    while (have) {
        if (event.type == wakeEvent_) {
            wakePosted_ = false;
        } else if (!SplashEvent(event)) {
            window_->HandleEvent(event);
            songInput_.Feed(event);
            translated.clear();
            input_.Translate(event, translated);
            for (const WindowEvent& e : translated)
                Deliver(e);
        }
        have = SDL_PollEvent(&event) != 0;
    }
    window_->Present();
}

void SdlHost::WindowCloser::operator()(SDL_Window* window) const
{
    SDL_DestroyWindow(window);
}

void SdlHost::ShowSplash(video::Size size, std::span<const std::uint32_t> pixels)
{
    if (splash_ || size.width <= 0 || size.height <= 0 ||
        pixels.size() != static_cast<std::size_t>(size.width) * size.height)
        return;
    splashPixels_.assign(pixels.begin(), pixels.end());
    splashSize_ = size;
    // Off the taskbar: the game's own window is the one the player deals with. Not kept on top, so
    // that a start-up failure's message box is not hidden under it.
    splash_.reset(SDL_CreateWindow("Splash", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, size.width, size.height,
                                   SDL_WINDOW_BORDERLESS | SDL_WINDOW_SKIP_TASKBAR | SDL_WINDOW_SHOWN));
    if (!splash_)
        return; // the game starts as well without it
    // The game's window stays off the screen until the form is shown and HideSplash brings it.
    SDL_HideWindow(window_->Native());
    DrawSplash();
}

void SdlHost::HideSplash()
{
    if (!splash_)
        return;
    SDL_ShowWindow(window_->Native());
    SDL_RaiseWindow(window_->Native());
    SDL_HideWindow(splash_.get());
}

bool SdlHost::SplashEvent(const SDL_Event& event)
{
    if (!splash_ || event.type != SDL_WINDOWEVENT || event.window.windowID != SDL_GetWindowID(splash_.get()))
        return false;
    if (event.window.event == SDL_WINDOWEVENT_EXPOSED)
        DrawSplash();
    return true;
}

void SdlHost::DrawSplash()
{
    SDL_Surface* target = SDL_GetWindowSurface(splash_.get());
    SDL_Surface* picture = SDL_CreateRGBSurfaceWithFormatFrom(splashPixels_.data(), splashSize_.width, splashSize_.height,
                                                              32, splashSize_.width * 4, SDL_PIXELFORMAT_RGB888);
    if (target != nullptr && picture != nullptr && SDL_BlitSurface(picture, nullptr, target, nullptr) == 0)
        SDL_UpdateWindowSurface(splash_.get());
    SDL_FreeSurface(picture);
}

void SdlHost::MovePointer(int x, int y)
{
    Post([this, x, y] {
        const video::Size picture = window_->ClientSize();
        const video::Rect place = video::FitPicture(picture, window_->ShownSize());
        if (place.Empty() || picture.width <= 0 || picture.height <= 0)
            return;
        SDL_WarpMouseInWindow(window_->Native(), place.left + x * place.Width() / picture.width,
                              place.top + y * place.Height() / picture.height);
    });
}

void SdlHost::Wake()
{
    if (wakeEvent_ == static_cast<std::uint32_t>(-1) || wakePosted_.exchange(true))
        return;
    SDL_Event event{};
    event.type = wakeEvent_;
    SDL_PushEvent(&event);
}

} // namespace host
