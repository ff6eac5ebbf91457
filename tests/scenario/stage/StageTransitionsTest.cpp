#include "scenario/stage/StageTransitions.h"

#include <gtest/gtest.h>

#include <string>

TEST(StageTransitions, EveryChangeCodeNamesItsKindAndData)
{
    struct Case {
        int code, kind;
        TTransitionData data;
        const char* mask;
    };
    using enum TTransitionData;
    const Case cases[] = {
        {-1, 0, None, nullptr},
        {0, kNoTransition, None, nullptr},
        {1, 0, None, nullptr},
        {2, 1, None, nullptr},
        {3, 0, None, nullptr},
        {4, 14, Mask, "FadeMask02_VarekR.bmp"},
        {5, 14, Mask, "FadeMask03_VarekL.bmp"},
        {6, 14, Mask, "FadeMask00_BlindR.bmp"},
        {7, 14, Mask, "FadeMask01_BlindL.bmp"},
        {8, 3, None, nullptr},
        {9, 4, None, nullptr},
        {10, 5, None, nullptr},
        {11, 6, None, nullptr},
        {12, 7, None, nullptr},
        {13, 9, None, nullptr},
        {14, 11, Water, nullptr},
        {15, 12, Halo, nullptr},
        {16, 14, Mask, "FadeMask04_Circle.bmp"},
        {17, 14, Mask, "FadeMask05_CircleR.bmp"},
        {18, 14, Mask, "FadeMask06_Clock.bmp"},
        {19, 14, Mask, "FadeMask07_Swirl.bmp"},
        {20, 14, Mask, "FadeMask08_Crystal.bmp"},
        {21, 13, Mask, "FadeMask09_StripesB.bmp"},
        {22, 14, Mask, "FadeMask10_StripesN.bmp"},
        {23, 14, Mask, "FadeMask11_Star.bmp"},
        {24, 14, Mask, "FadeMask12_Radiation.bmp"},
        {25, 14, Mask, "FadeMask13_RadiationR.bmp"},
        {26, 14, Mask, "FadeMask14_Windmill.bmp"},
        {27, 14, Mask, "FadeMask15_Naruto.bmp"},
        {28, 14, Mask, "FadeMask16_Noise.bmp"},
        {29, 0, None, nullptr},
        {-2147483647 - 1, 0, None, nullptr},
    };
    for (const Case& c : cases) {
        const TStageTransition t = StageTransitionOf(c.code);
        EXPECT_EQ(t.kind, c.kind) << c.code;
        EXPECT_EQ(t.data, c.data) << c.code;
        EXPECT_EQ(std::string(t.maskFile != nullptr ? t.maskFile : ""), std::string(c.mask != nullptr ? c.mask : ""))
            << c.code;
    }
}
