// The SDL2 audio back end: a real sound device, pulled by SDL's audio thread in small periods.
#include "platform/audio/sdl/SdlAudio.h"

#include <SDL.h>

#include <chrono>

namespace audio {

namespace {

std::int64_t SteadyNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

class SdlOutput final : public OutputStream {
public:
    SdlOutput(const PcmFormat& format, Renderer& renderer) : format_(format), renderer_(renderer) {}

    ~SdlOutput() override
    {
        if (device_ != 0)
            SDL_CloseAudioDevice(device_); // waits for a running callback
    }

    bool Open()
    {
        SDL_AudioSpec want{};
        want.freq = static_cast<int>(format_.samplesPerSec);
        want.format = format_.bitsPerSample == 16 ? AUDIO_S16LSB : AUDIO_U8;
        want.channels = static_cast<Uint8>(format_.channels);
        want.samples = static_cast<Uint16>(SdlAudio::PeriodFrames(format_.samplesPerSec));
        want.callback = &SdlOutput::Callback;
        want.userdata = this;
        SDL_AudioSpec have{};
        device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (device_ == 0)
            return false;
        latency_ = have.samples;
        SDL_PauseAudioDevice(device_, 0);
        return true;
    }

    PcmFormat Format() const override { return format_; }

private:
    static void SDLCALL Callback(void* user, Uint8* stream, int len)
    {
        auto* self = static_cast<SdlOutput*>(user);
        const std::int64_t now = SteadyNs();
        const auto bytes = static_cast<std::size_t>(len);
        const auto frames = static_cast<std::uint32_t>(bytes / self->format_.FrameBytes());
        self->renderer_.Render({stream, bytes}, frames, now, self->latency_);
    }

    const PcmFormat format_;
    Renderer& renderer_;
    SDL_AudioDeviceID device_ = 0;
    std::uint32_t latency_ = 0;
};

} // namespace

SdlAudio::~SdlAudio()
{
    if (started_)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

std::uint32_t SdlAudio::PeriodFrames(std::uint32_t rate)
{
    const std::uint64_t limit = std::uint64_t{512} * rate / 44100;
    std::uint32_t frames = 64;
    while (frames * 2 <= limit && frames < 512)
        frames *= 2;
    return frames;
}

bool SdlAudio::Start()
{
    if (!started_)
        started_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    return started_;
}

std::string SdlAudio::DriverName() const
{
    const char* name = started_ ? SDL_GetCurrentAudioDriver() : nullptr;
    return name != nullptr ? name : "";
}

std::unique_ptr<OutputStream> SdlAudio::Open(const PcmFormat& format, Renderer& renderer)
{
    if (!format.Valid() || !Start())
        return nullptr;
    auto output = std::make_unique<SdlOutput>(format, renderer);
    if (!output->Open())
        return nullptr;
    return output;
}

std::int64_t SdlAudio::NowNs() const
{
    return SteadyNs();
}

} // namespace audio
