// TXeRect: overlap, bounding union, one-sided subtraction, containment and edge arithmetic.
#include "base/util/TXeRect.h"

#include "base/TXeRectPrint.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(TXeRect, IntersectNeedsAnAreaInCommon)
{
    struct Case {
        TXeRect a, b, want;
        bool overlaps;
    };
    const Case cases[] = {
        {XeRect(0, 0, 10, 10), XeRect(5, 5, 15, 15), XeRect(5, 5, 10, 10), true},
        {XeRect(0, 0, 10, 10), XeRect(10, 0, 20, 10), {}, false},     // shared edge
        {XeRect(0, 0, 10, 10), XeRect(10, 10, 20, 20), {}, false},    // shared corner
        {XeRect(0, 0, 10, 10), XeRect(2, 2, 2, 8), {}, false},        // empty b inside a
        {XeRect(0, 0, 10, 10), XeRect(-5, 3, 50, 4), XeRect(0, 3, 10, 4), true},
    };
    for (const Case& c : cases) {
        TXeRect out = XeRect(1, 2, 3, 4);
        EXPECT_EQ(out.IntersectRect(c.a, c.b), c.overlaps);
        EXPECT_EQ(out, c.want);
    }
    TXeRect self = XeRect(0, 0, 10, 10);
    EXPECT_TRUE(self.IntersectRect(self, XeRect(4, -1, 20, 6)));
    EXPECT_EQ(self, XeRect(4, 0, 10, 6)) << "this may be one of the operands";
}

TEST(TXeRect, UnionIgnoresEmptyOperands)
{
    TXeRect out;
    EXPECT_TRUE(out.UnionRect(XeRect(0, 0, 5, 5), XeRect(10, -3, 12, 2)));
    EXPECT_EQ(out, XeRect(0, -3, 12, 5));
    EXPECT_TRUE(out.UnionRect(XeRect(7, 7, 7, 9), XeRect(1, 2, 3, 4)));
    EXPECT_EQ(out, XeRect(1, 2, 3, 4));
    EXPECT_TRUE(out.UnionRect(XeRect(1, 2, 3, 4), XeRect(9, 9, 0, 0)));
    EXPECT_EQ(out, XeRect(1, 2, 3, 4));
    EXPECT_FALSE(out.UnionRect(XeRect(5, 5, 5, 5), XeRect(9, 9, 0, 0)));
    EXPECT_EQ(out, TXeRect{});
}

TEST(TXeRect, SubtractCutsOnlyAWholeSide)
{
    const TXeRect a = XeRect(0, 0, 10, 10);
    struct Case {
        TXeRect b, want;
    };
    const Case cases[] = {
        {XeRect(-1, 6, 11, 20), XeRect(0, 0, 10, 6)},   // covers the lower part
        {XeRect(0, -5, 10, 4), XeRect(0, 4, 10, 10)},   // covers the upper part
        {XeRect(-1, -1, 11, 11), TXeRect{}},            // covers it all
        {XeRect(0, 0, 10, 10), TXeRect{}},              // equal
        {XeRect(7, 0, 12, 10), XeRect(0, 0, 7, 10)},    // covers the right part
        {XeRect(-3, -1, 2, 10), XeRect(2, 0, 10, 10)},  // covers the left part
        {XeRect(3, 3, 6, 6), a},                        // inside: no whole side
        {XeRect(5, 5, 15, 15), a},                      // over a corner
        {XeRect(0, 4, 10, 6), a},                       // a band through the middle
        {XeRect(0, 10, 10, 20), a},                     // touching below
        {XeRect(20, 20, 30, 30), a},                    // apart
    };
    for (const Case& c : cases) {
        TXeRect out;
        EXPECT_TRUE(out.SubtractRect(a, c.b));
        EXPECT_EQ(out, c.want);
    }
}

TEST(TXeRect, ContainmentAndPoints)
{
    const TXeRect r = XeRect(0, 0, 10, 10);
    EXPECT_TRUE(r.InRect(0, 0));
    EXPECT_TRUE(r.InRect(9, 9));
    EXPECT_FALSE(r.InRect(10, 5));
    EXPECT_FALSE(r.InRect(5, 10));
    EXPECT_TRUE(r.InRect(TPoint{9, 0}));
    EXPECT_FALSE(r.InRect(TPoint{-1, 5}));
    EXPECT_TRUE(r.InRect(r));
    EXPECT_TRUE(r.InRect(XeRect(2, 2, 2, 2))) << "emptiness is not looked at";
    EXPECT_FALSE(r.InRect(XeRect(2, 2, 11, 3)));
}

TEST(TXeRect, EdgeArithmetic)
{
    TXeRect r = XeRect(0, 0, 10, 10);
    EXPECT_TRUE(r.InflateRect(2, -1));
    EXPECT_EQ(r, XeRect(-2, 1, 12, 9));
    EXPECT_TRUE(r.OffsetRect(5, -4));
    EXPECT_EQ(r, XeRect(3, -3, 17, 5));
    EXPECT_TRUE(r.EqualRect(XeRect(3, -3, 17, 5)));
    EXPECT_FALSE(r.IsRectEmpty());
    EXPECT_TRUE(r.SetRectEmpty());
    EXPECT_TRUE(r.IsRectEmpty());
    EXPECT_EQ(r, TXeRect{});
    TXeRect far = XeRect(0, 0, INT_MAX, 1);
    far.OffsetRect(1, 0);
    EXPECT_EQ(far.right, INT_MIN) << "wraps around instead of overflowing";
}

} // namespace
