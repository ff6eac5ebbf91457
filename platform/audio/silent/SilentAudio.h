// The silent audio back end: an output that plays nothing but mixes in real time, so that buffers
// play, notify and report positions on a machine without a sound device.
//
// Unlike the manual clock this back end runs on the monotonic clock: it stands in for a device,
// for the game, not for tests. A pacing thread of its own asks for one period of kPeriodFrames
// frames at each deadline start + k periods (no drift) and discards the frames.
#pragma once

#include "platform/audio/AudioBackEnd.h"

namespace audio {

class SilentAudio : public BackEnd {
public:
    static constexpr std::uint32_t kPeriodFrames = 512;

    const char* Name() const override { return "silent"; }
    std::unique_ptr<OutputStream> Open(const PcmFormat& format, Renderer& renderer) override;
    std::int64_t NowNs() const override;
};

} // namespace audio
