// The audio output service's back-end contract (an output that pulls mixed frames) and the choice
// of back end.
#include "platform/audio/AudioBackEnd.h"

#include "platform/audio/headless/SilentAudio.h"
#include "platform/audio/sdl/SdlAudio.h"

#include <mutex>

namespace audio {

namespace {

std::mutex defaultLock; // guards defaultBackEnd
std::shared_ptr<BackEnd> defaultBackEnd;

} // namespace

BackEnd& DefaultBackEnd()
{
    std::lock_guard guard(defaultLock);
    if (!defaultBackEnd) {
        auto sdl = std::make_shared<SdlAudio>();
        if (sdl->Start())
            defaultBackEnd = std::move(sdl);
        else
            defaultBackEnd = std::make_shared<SilentAudio>();
    }
    return *defaultBackEnd;
}

void SetDefaultBackEnd(std::shared_ptr<BackEnd> backEnd)
{
    std::lock_guard guard(defaultLock);
    defaultBackEnd = std::move(backEnd);
}

} // namespace audio
