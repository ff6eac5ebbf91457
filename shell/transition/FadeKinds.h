// FadeKinds: what a fade kind of the logic thread's fades means: the transition kind it runs and the
// effect data it needs loaded (water, halo, or the wipe mask named by the kind).
#pragma once

#include <array>

enum class TFadeData { None, Water, Halo, Mask };

struct TFadePlan {
    int transition;       // the transition kind of the controller
    TFadeData data;       // what has to be loaded first
    const char* maskFile; // for TFadeData::Mask: the wipe mask's file, else null
};

// Fade kinds 13 to 29 wipe through these masks, in order.
inline constexpr int kFirstMaskFade = 13;
inline constexpr std::array<const char*, 17> kFadeMaskFiles = {
    "FadeMask00_BlindR.bmp",    "FadeMask01_BlindL.bmp",   "FadeMask02_VarekR.bmp",   "FadeMask03_VarekL.bmp",
    "FadeMask04_Circle.bmp",    "FadeMask05_CircleR.bmp",  "FadeMask06_Clock.bmp",    "FadeMask07_Swirl.bmp",
    "FadeMask08_Crystal.bmp",   "FadeMask09_StripesB.bmp", "FadeMask10_StripesN.bmp", "FadeMask11_Star.bmp",
    "FadeMask12_Radiation.bmp", "FadeMask13_RadiationR.bmp", "FadeMask14_Windmill.bmp", "FadeMask15_Naruto.bmp",
    "FadeMask16_Noise.bmp"};

// Below 11 the kind itself; 11 water; 12 halo; 13 to 29 a mask wipe (the soft one, 13, for 22's
// stripes, the hard one, 14, for the rest); above 29 the plain cross-fade 0.
TFadePlan FadePlanOf(int fadeKind);
