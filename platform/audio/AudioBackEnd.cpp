// The audio output service's back-end contract (an output that pulls mixed frames) and the choice
// of back end.
#include "platform/audio/AudioBackEnd.h"

#include "platform/audio/silent/SilentAudio.h"
#include "platform/audio/sdl/SdlAudio.h"

#include <mutex>
#include <vector>

namespace audio {

namespace {

// Opens each output on the first back end of the list that can open it.
class FallbackAudio final : public BackEnd {
public:
    FallbackAudio()
    {
        if (sdl_.Start())
            list_.push_back(&sdl_);
        list_.push_back(&silent_);
    }

    const char* Name() const override { return list_.front()->Name(); }

    std::unique_ptr<OutputStream> Open(const PcmFormat& format, Renderer& renderer) override
    {
        for (BackEnd* backEnd : list_)
            if (auto output = backEnd->Open(format, renderer))
                return output;
        return nullptr;
    }

    // SDL's and the silent back end's clocks are the same monotonic clock.
    std::int64_t NowNs() const override { return silent_.NowNs(); }

private:
    SdlAudio sdl_;
    SilentAudio silent_;
    std::vector<BackEnd*> list_;
};

std::mutex defaultLock; // guards defaultBackEnd
std::shared_ptr<BackEnd> defaultBackEnd;

} // namespace

BackEnd& DefaultBackEnd()
{
    std::lock_guard guard(defaultLock);
    if (!defaultBackEnd)
        defaultBackEnd = std::make_shared<FallbackAudio>();
    return *defaultBackEnd;
}

void SetDefaultBackEnd(std::shared_ptr<BackEnd> backEnd)
{
    std::lock_guard guard(defaultLock);
    defaultBackEnd = std::move(backEnd);
}

} // namespace audio
