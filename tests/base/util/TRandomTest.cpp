// TRandom: the fixed start state, the first values, and the ranges of the derived draws.
#include "base/util/TRandom.h"

#include <gtest/gtest.h>

TEST(TRandom, FirstValuesFromTheFixedStartState)
{
    // Words 0 and 7 start as F(33) and F(26) mod 65536: 51170 and 121393 mod 65536 = 55857.
    // The second draw adds word 31 (F(2) = 1) to word 6 (F(27) = 196418 mod 65536 = 65346).
    TRandom random;
    EXPECT_EQ(random.Rnd(), 41491u);
    EXPECT_EQ(random.Rnd(), 65347u);
}

TEST(TRandom, EveryInstanceAndCopyGivesTheSameSequence)
{
    TRandom a;
    TRandom b;
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(a.Rnd(), b.Rnd());
    TRandom c = a;
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(a.Rnd(), c.Rnd());
}

TEST(TRandom, RandomStaysInRange)
{
    TRandom random;
    EXPECT_EQ(random.Random(0), -1);
    EXPECT_EQ(random.Random(-7), -1);
    EXPECT_EQ(random.Random(1), 0);
    bool seen[6] = {};
    for (int i = 0; i < 600; ++i) {
        const int value = random.Random(6);
        ASSERT_GE(value, 0);
        ASSERT_LT(value, 6);
        seen[value] = true;
    }
    for (bool s : seen)
        EXPECT_TRUE(s);
    for (int i = 0; i < 100; ++i)
        ASSERT_LT(random.Random(100000), 65536) << "the source has 16 bits";
}

TEST(TRandom, NormalDistributionStaysWithinItsBounds)
{
    TRandom random;
    for (int i = 0; i < 2000; ++i) {
        const int value = random.NormalDistribution(3);
        ASSERT_GE(value, -3);
        ASSERT_LE(value, 3);
    }
    EXPECT_EQ(random.NormalDistribution(0), 0);
    EXPECT_EQ(random.NormalDistribution(65537), 0);
}
