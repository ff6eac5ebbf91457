// The SDL2 audio back end: a real sound device, pulled by SDL's audio thread in small periods.
//
// The device is opened in exactly the format asked for (SDL converts for the hardware when it
// must) with a period of PeriodFrames(rate) frames: 512 at 44.1 and 48 kHz, fewer at lower
// rates, so that a sound started now is heard within about 12 ms. The output latency reported
// with each period is one period: while SDL fills the next period the device plays the last one.
// SDL's dummy and disk drivers work without a sound card (the disk driver writes what it plays
// to the file SDL_DISKAUDIOFILE names).
//
// Threads: Start, Open and the output's destructor from control threads; the callback runs on
// SDL's audio thread and only calls the renderer.
#pragma once

#include "platform/audio/AudioBackEnd.h"

#include <string>

namespace audio {

class SdlAudio : public BackEnd {
public:
    SdlAudio() = default;
    ~SdlAudio() override;
    SdlAudio(const SdlAudio&) = delete;
    SdlAudio& operator=(const SdlAudio&) = delete;

    // The period for a rate: the largest power of two up to 512 x rate / 44100, at least 64.
    static std::uint32_t PeriodFrames(std::uint32_t rate);

    // Starts SDL's audio subsystem; false when SDL has no audio driver.
    bool Start();
    // The driver in use ("pulseaudio", "alsa", "dummy", "disk" ...); empty before Start.
    std::string DriverName() const;

    const char* Name() const override { return "sdl"; }
    std::unique_ptr<OutputStream> Open(const PcmFormat& format, Renderer& renderer) override;
    std::int64_t NowNs() const override;

private:
    bool started_ = false;
};

} // namespace audio
