#include "shell/transition/FadeKinds.h"

#include <cstddef>

namespace {

constexpr int kWaterFade = 11;
constexpr int kHaloFade = 12;
constexpr int kSoftStripesFade = 22;
constexpr int kSoftWipe = 13;
constexpr int kHardWipe = 14;

} // namespace

TFadePlan FadePlanOf(int fadeKind)
{
    if (fadeKind < kWaterFade)
        return {fadeKind, TFadeData::None, nullptr};
    if (fadeKind == kWaterFade)
        return {kWaterFade, TFadeData::Water, nullptr};
    if (fadeKind == kHaloFade)
        return {kHaloFade, TFadeData::Halo, nullptr};
    const int mask = fadeKind - kFirstMaskFade;
    if (mask < static_cast<int>(kFadeMaskFiles.size()))
        return {fadeKind == kSoftStripesFade ? kSoftWipe : kHardWipe, TFadeData::Mask,
                kFadeMaskFiles[static_cast<std::size_t>(mask)]};
    return {0, TFadeData::None, nullptr};
}
