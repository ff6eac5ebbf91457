#include "shell/transition/FadeKinds.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(FadeKinds, EachFadeKindRunsItsTransitionWithItsData)
{
    struct Case {
        int fade;
        int transition;
        TFadeData data;
        const char* mask;
    };
    const Case cases[] = {
        {0, 0, TFadeData::None, nullptr},
        {10, 10, TFadeData::None, nullptr},
        {11, 11, TFadeData::Water, nullptr},
        {12, 12, TFadeData::Halo, nullptr},
        {13, 14, TFadeData::Mask, "FadeMask00_BlindR.bmp"},
        {22, 13, TFadeData::Mask, "FadeMask09_StripesB.bmp"},
        {24, 14, TFadeData::Mask, "FadeMask11_Star.bmp"},
        {29, 14, TFadeData::Mask, "FadeMask16_Noise.bmp"},
        {30, 0, TFadeData::None, nullptr},
        {127, 0, TFadeData::None, nullptr},
    };
    for (const Case& c : cases) {
        const TFadePlan plan = FadePlanOf(c.fade);
        EXPECT_EQ(plan.transition, c.transition) << "fade " << c.fade;
        EXPECT_EQ(plan.data, c.data) << "fade " << c.fade;
        EXPECT_EQ(plan.maskFile == nullptr ? std::string() : plan.maskFile, c.mask == nullptr ? std::string() : c.mask)
            << "fade " << c.fade;
    }
}

} // namespace
