#include "shell/helpers/VolumeCurve.h"

#include <gtest/gtest.h>

#include <limits>

TEST(VolumeCurve, FollowsTheTableBetweenItsTenPercentPoints)
{
    struct Case {
        int percent;
        int attenuation;
    };
    const Case cases[] = {{100, 0},     {95, -76},     {90, -152},  {50, -999},   {41, -1288}, {10, -3320},
                          {1, -6308},   {0, -10000},   {-5, -10000}, {150, 0},    {99, -15}};
    for (const Case& c : cases)
        EXPECT_EQ(VolumeToAttenuation(c.percent), c.attenuation) << c.percent << " %";
}

TEST(VolumeCurve, NeverRisesAsTheVolumeFalls)
{
    for (int percent = 1; percent <= 100; ++percent)
        EXPECT_LE(VolumeToAttenuation(percent - 1), VolumeToAttenuation(percent)) << percent;
}

TEST(VolumeCurve, ScalesTheVolumeByTheLevelIn64Bits)
{
    EXPECT_EQ(ScaledVolumeToAttenuation(80, 50), VolumeToAttenuation(40));
    EXPECT_EQ(ScaledVolumeToAttenuation(80, 50), -1321);
    EXPECT_EQ(ScaledVolumeToAttenuation(100, 100), 0);
    // 199 / 100 rounds toward zero to 1 %.
    EXPECT_EQ(ScaledVolumeToAttenuation(1, 199), VolumeToAttenuation(1));
    const int big = std::numeric_limits<int>::max();
    EXPECT_EQ(ScaledVolumeToAttenuation(big, big), 0) << "the product must not wrap to a negative";
    EXPECT_EQ(ScaledVolumeToAttenuation(big, -big), -10000);
}
