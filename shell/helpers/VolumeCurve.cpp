#include "shell/helpers/VolumeCurve.h"

#include <array>

namespace {

// Attenuation at 100 %, 90 %, ... 0 % (index = tenths below full volume).
constexpr std::array<std::int32_t, 11> kCurve = {0, -152, -322, -514, -736, -999, -1321, -1736, -2320, -3320, -6640};
constexpr std::int32_t kSilence = -10000;

} // namespace

std::int32_t VolumeToAttenuation(std::int32_t percent)
{
    if (percent < 1)
        return kSilence;
    if (percent >= 100)
        return 0;
    const std::int32_t below = 100 - percent;
    const std::int32_t i = below / 10;
    const std::int32_t r = below % 10;
    return kCurve[i] + (kCurve[i + 1] - kCurve[i]) * r / 10;
}

std::int32_t ScaledVolumeToAttenuation(std::int32_t volume, std::int32_t level)
{
    const std::int64_t scaled = static_cast<std::int64_t>(volume) * level / 100;
    // Beyond the curve's ends the answer is the same as at the ends.
    if (scaled < 1)
        return kSilence;
    if (scaled >= 100)
        return 0;
    return VolumeToAttenuation(static_cast<std::int32_t>(scaled));
}
