// The video service's back-end contract (a host window and what a device may do) and the choice of back end.
#include "platform/video/VideoBackEnd.h"

#include "platform/video/VideoSurface.h"
#include "platform/video/headless/HeadlessVideo.h"
#include "platform/video/sdl/SdlVideo.h"

#include <algorithm>

namespace video {

void BackEnd::LoseSurfaces(LossScope scope)
{
    std::lock_guard guard(surfacesLock_);
    for (Surface* surface : surfaces_)
        surface->Lose(scope);
}

void BackEnd::Register(Surface* surface)
{
    std::lock_guard guard(surfacesLock_);
    surfaces_.push_back(surface);
}

void BackEnd::Unregister(Surface* surface)
{
    std::lock_guard guard(surfacesLock_);
    std::erase(surfaces_, surface);
}

namespace {

std::mutex defaultLock; // guards defaultBackEnd
std::shared_ptr<BackEnd> defaultBackEnd;

} // namespace

BackEnd& DefaultBackEnd()
{
    std::lock_guard guard(defaultLock);
    if (!defaultBackEnd) {
        // SDL's stand-in drivers draw nowhere visible: without a real display, headless.
        auto sdl = std::make_shared<SdlVideo>();
        if (sdl->Start() && sdl->DriverName() != "offscreen" && sdl->DriverName() != "dummy") {
            defaultBackEnd = std::move(sdl);
        } else {
            auto headless = std::make_shared<HeadlessVideo>();
            headless->settings.keepLog = false; // a whole run's log would only grow
            defaultBackEnd = std::move(headless);
        }
    }
    return *defaultBackEnd;
}

void SetDefaultBackEnd(std::shared_ptr<BackEnd> backEnd)
{
    std::lock_guard guard(defaultLock);
    defaultBackEnd = std::move(backEnd);
}

} // namespace video
