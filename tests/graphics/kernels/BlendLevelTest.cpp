// The process-wide blend settings: clamping of the blend level, the prebuilt and work tables of the
// double-alpha weights.
#include "graphics/kernels/BlendLevel.h"

#include <gtest/gtest.h>

TEST(BlendLevel, AlphaParamClamps)
{
    SetAlphaParam(200);
    EXPECT_EQ(AlphaParam(), 128);
    SetAlphaParam(-5);
    EXPECT_EQ(AlphaParam(), 0);
    SetAlphaParam(77);
    EXPECT_EQ(AlphaParam(), 77);
    SetAlphaParam(0);
}

TEST(BlendLevel, DoubleAlphaTables)
{
    SetDoubleAlphaParam(100);
    const std::uint8_t* work = DoubleAlphaTable();
    EXPECT_EQ(work[3], 1);
    EXPECT_EQ(work[255], 100);
    SetDoubleAlphaParam(100);
    EXPECT_EQ(DoubleAlphaTable(), work);

    SetDoubleAlphaParam(64);
    EXPECT_NE(DoubleAlphaTable(), work);
    EXPECT_EQ(DoubleAlphaTable()[128], 32);
    EXPECT_EQ(DoubleAlphaTable()[255], 64);

    SetDoubleAlphaParam(500);
    EXPECT_EQ(DoubleAlphaTable()[255], 128);
    EXPECT_EQ(DoubleAlphaTable()[128], 64);
    SetDoubleAlphaParam(-3);
    EXPECT_EQ(DoubleAlphaTable()[255], 0);

    SetDoubleAlphaParam(37);
    EXPECT_EQ(DoubleAlphaTable(), work);  // the work table, refilled for the new level
    for (int a = 0; a < 256; ++a)
        ASSERT_EQ(DoubleAlphaTable()[a], a * 37 / 255);
}
