// TCounter: construction bounds, setters, one wrap per add, clamped subtraction.
#include "base/util/TCounter.h"

#include <gtest/gtest.h>

TEST(TCounter, ConstructorsKeepTheBounds)
{
    const TCounter plain;
    EXPECT_EQ(plain.GetMaxVal(), 9999);
    EXPECT_EQ(plain.GetAddVal(), 1);
    const TCounter zeroMax(0);
    EXPECT_EQ(zeroMax.GetMaxVal(), 1);
    const TCounter bigStep(5, 9);
    EXPECT_EQ(bigStep.GetAddVal(), 5);
    const TCounter negativeStep(5, -3);
    EXPECT_EQ(negativeStep.GetAddVal(), 0);
}

TEST(TCounter, SettersClampStepAndCount)
{
    TCounter counter(100, 50);
    counter.SetCount(80);
    counter.SetMaxVal(10);
    EXPECT_EQ(counter.GetAddVal(), 10);
    EXPECT_EQ(counter.GetCount(), 9);
    counter.SetCount(-5);
    EXPECT_EQ(counter.GetCount(), -5) << "no lower bound";
    counter.SetAddVal(-1);
    EXPECT_EQ(counter.GetAddVal(), 0);
}

TEST(TCounter, IncValWrapsOnceAtTheMaximum)
{
    TCounter counter(5);
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(counter.IncVal());
    EXPECT_TRUE(counter.IncVal());
    EXPECT_EQ(counter.GetCount(), 0);
    EXPECT_TRUE(counter.IsZero());
}

TEST(TCounter, AddValWrapsOnlyOnce)
{
    TCounter counter(10, 3);
    counter.SetCount(9);
    EXPECT_TRUE(counter.AddVal(25));
    EXPECT_EQ(counter.GetCount(), 24);
}

TEST(TCounter, SubValClampsAtZero)
{
    TCounter counter(10, 4);
    counter.SetCount(6);
    EXPECT_FALSE(counter.DecVal());
    EXPECT_EQ(counter.GetCount(), 2);
    EXPECT_TRUE(counter.DecVal());
    EXPECT_EQ(counter.GetCount(), 0);
}
