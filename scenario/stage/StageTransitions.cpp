#include "scenario/stage/StageTransitions.h"

namespace {

// Kinds of the screen transition the stage uses.
constexpr int kFade = 0;
constexpr int kFastFade = 1;
constexpr int kWater = 11;
constexpr int kHalo = 12;
constexpr int kSoftWipe = 13;
constexpr int kHardWipe = 14;

constexpr TStageTransition Plain(int kind) { return {kind, TTransitionData::None, nullptr}; }
constexpr TStageTransition Wipe(int kind, const char* mask) { return {kind, TTransitionData::Mask, mask}; }

// Change codes 1..28 in order.
constexpr TStageTransition kCodes[28] = {
    Plain(kFade),
    Plain(kFastFade),
    Plain(kFade),
    Wipe(kHardWipe, "FadeMask02_VarekR.bmp"),
    Wipe(kHardWipe, "FadeMask03_VarekL.bmp"),
    Wipe(kHardWipe, "FadeMask00_BlindR.bmp"),
    Wipe(kHardWipe, "FadeMask01_BlindL.bmp"),
    Plain(3),
    Plain(4),
    Plain(5),
    Plain(6),
    Plain(7),
    Plain(9),
    {kWater, TTransitionData::Water, nullptr},
    {kHalo, TTransitionData::Halo, nullptr},
    Wipe(kHardWipe, "FadeMask04_Circle.bmp"),
    Wipe(kHardWipe, "FadeMask05_CircleR.bmp"),
    Wipe(kHardWipe, "FadeMask06_Clock.bmp"),
    Wipe(kHardWipe, "FadeMask07_Swirl.bmp"),
    Wipe(kHardWipe, "FadeMask08_Crystal.bmp"),
    Wipe(kSoftWipe, "FadeMask09_StripesB.bmp"),
    Wipe(kHardWipe, "FadeMask10_StripesN.bmp"),
    Wipe(kHardWipe, "FadeMask11_Star.bmp"),
    Wipe(kHardWipe, "FadeMask12_Radiation.bmp"),
    Wipe(kHardWipe, "FadeMask13_RadiationR.bmp"),
    Wipe(kHardWipe, "FadeMask14_Windmill.bmp"),
    Wipe(kHardWipe, "FadeMask15_Naruto.bmp"),
    Wipe(kHardWipe, "FadeMask16_Noise.bmp"),
};

} // namespace

TStageTransition StageTransitionOf(int changeCode)
{
    if (changeCode == 0)
        return Plain(kNoTransition);
    if (changeCode < 0 || changeCode > 28)
        return Plain(kFade);
    return kCodes[changeCode - 1];
}
