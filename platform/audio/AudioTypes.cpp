// Types of the audio output service: PCM layouts, buffer descriptions, flags, ranges and capabilities.
#include "platform/audio/AudioTypes.h"

namespace audio {

bool PcmFormat::Valid() const
{
    return (channels == 1 || channels == 2) && (bitsPerSample == 8 || bitsPerSample == 16) &&
           samplesPerSec >= kFrequencyMin && samplesPerSec <= kFrequencyMax;
}

std::int64_t FramesToNs(std::uint64_t frames, std::uint32_t rate)
{
    constexpr std::uint64_t kNsPerSecond = 1000000000;
    const std::uint64_t seconds = frames / rate;
    const std::uint64_t rest = frames % rate;
    return static_cast<std::int64_t>(seconds * kNsPerSecond + rest * kNsPerSecond / rate);
}

} // namespace audio
