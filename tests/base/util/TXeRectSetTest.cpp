// TXeRectSet: the merge and split rules with their exact element order, the set operations, and
// pixel coverage of random unions, intersections and subtractions against a bitmap.
#include "base/util/TXeRectSet.h"

#include "base/TXeRectPrint.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

std::vector<TXeRect> Elements(const TXeRectSet& set) { return {set.begin(), set.end()}; }

TXeRectSet SetOf(std::initializer_list<TXeRect> rects)
{
    TXeRectSet set;
    for (const TXeRect& r : rects)
        set.UnionRect(r);
    return set;
}

TEST(TXeRectSet, UnionRulesGiveTheseElementsInThisOrder)
{
    struct Case {
        const char* what;
        std::vector<TXeRect> added;
        std::vector<TXeRect> want;
    };
    const Case cases[] = {
        {"equal to an element", {XeRect(0, 0, 10, 10), XeRect(0, 0, 10, 10)}, {XeRect(0, 0, 10, 10)}},
        {"inside an element", {XeRect(0, 0, 10, 10), XeRect(2, 2, 5, 5)}, {XeRect(0, 0, 10, 10)}},
        {"empty", {XeRect(0, 0, 10, 10), XeRect(20, 20, 10, 30)}, {XeRect(0, 0, 10, 10)}},
        {"beside", {XeRect(0, 0, 10, 10), XeRect(10, 0, 20, 10)}, {XeRect(0, 0, 20, 10)}},
        {"below", {XeRect(0, 0, 10, 10), XeRect(0, 10, 10, 20)}, {XeRect(0, 0, 10, 20)}},
        {"above and left", {XeRect(0, 10, 10, 20), XeRect(0, 0, 10, 10), XeRect(-5, 0, 0, 20)}, {XeRect(-5, 0, 10, 20)}},
        {"overlapping corner",
         {XeRect(0, 0, 10, 10), XeRect(5, 5, 15, 15)},
         {XeRect(0, 0, 10, 5), XeRect(0, 5, 15, 10), XeRect(5, 10, 15, 15)}},
        {"same top, taller", {XeRect(0, 0, 10, 10), XeRect(0, 0, 10, 20)}, {XeRect(0, 0, 10, 20)}},
        {"touching corners", {XeRect(0, 0, 10, 10), XeRect(10, 10, 20, 20)}, {XeRect(0, 0, 10, 10), XeRect(10, 10, 20, 20)}},
        {"covers several",
         {XeRect(0, 0, 2, 2), XeRect(5, 5, 6, 6), XeRect(30, 0, 40, 5), XeRect(8, 0, 9, 9), XeRect(-1, -1, 10, 10)},
         {XeRect(30, 0, 40, 5), XeRect(-1, -1, 10, 10)}},
        {"merge grows and walks on",
         {XeRect(0, 0, 10, 5), XeRect(20, 0, 30, 5), XeRect(10, 0, 20, 5)},
         {XeRect(0, 0, 30, 5)}},
        {"cross",
         {XeRect(4, 0, 6, 10), XeRect(0, 4, 10, 6)},
         {XeRect(4, 0, 6, 4), XeRect(0, 4, 10, 6), XeRect(4, 6, 6, 10)}},
    };
    for (const Case& c : cases) {
        TXeRectSet set;
        for (const TXeRect& r : c.added)
            set.UnionRect(r);
        EXPECT_EQ(Elements(set), c.want) << c.what;
    }
}

TEST(TXeRectSet, EmptySet)
{
    TXeRectSet set;
    EXPECT_TRUE(set.IsRectEmpty());
    EXPECT_EQ(set.AllUnionRect(), TXeRect{});
    EXPECT_FALSE(set.UnionRect(XeRect(3, 3, 3, 9)));
    EXPECT_EQ(set.Count(), 0);
    EXPECT_TRUE(set.UnionRect(XeRect(1, 1, 2, 2)));
    EXPECT_FALSE(set.IsRectEmpty());
    EXPECT_TRUE(set.SetRectEmpty());
    EXPECT_TRUE(set.IsRectEmpty());
}

TEST(TXeRectSet, BoundsAndOffset)
{
    TXeRectSet set = SetOf({XeRect(0, 0, 10, 10), XeRect(20, 30, 25, 35)});
    EXPECT_EQ(set.AllUnionRect(), XeRect(0, 0, 25, 35));
    EXPECT_EQ(static_cast<TXeRect>(set), XeRect(0, 0, 25, 35));
    EXPECT_TRUE(set.OffsetRect(-5, 2));
    EXPECT_EQ(Elements(set), (std::vector{XeRect(-5, 2, 5, 12), XeRect(15, 32, 20, 37)}));
}

TEST(TXeRectSet, SubtractKeepsPartlyCoveredElementsWhole)
{
    TXeRectSet set = SetOf({XeRect(0, 0, 10, 10), XeRect(20, 0, 30, 10), XeRect(40, 0, 50, 10)});
    EXPECT_TRUE(set.SubtractRect(XeRect(3, 3, 6, 6)));   // strictly inside the first
    EXPECT_TRUE(set.SubtractRect(XeRect(19, -1, 31, 11))); // covers the second
    EXPECT_TRUE(set.SubtractRect(XeRect(45, -1, 60, 20))); // the right half of the third
    EXPECT_EQ(Elements(set), (std::vector{XeRect(0, 0, 10, 10), XeRect(40, 0, 45, 10)}));
}

TEST(TXeRectSet, IntersectWithARectangle)
{
    TXeRectSet set = SetOf({XeRect(0, 0, 10, 10), XeRect(20, 0, 30, 10)});
    EXPECT_FALSE(SetOf({XeRect(0, 0, 10, 10)}).IntersectRect(XeRect(10, 0, 20, 10)));
    EXPECT_TRUE(set.IntersectRect(XeRect(5, 5, 25, 50)));
    EXPECT_EQ(Elements(set), (std::vector{XeRect(5, 5, 10, 10), XeRect(20, 5, 25, 10)}));
    EXPECT_FALSE(set.IntersectRect(XeRect(100, 100, 200, 200)));
    EXPECT_EQ(set.Count(), 0);
}

TEST(TXeRectSet, IntersectWithASetKeepsTheSharedRegion)
{
    // Two disjoint rectangles in s: the shared region is the union of both overlaps.
    TXeRectSet set = SetOf({XeRect(0, 0, 30, 10)});
    const TXeRectSet s = SetOf({XeRect(0, 0, 5, 5), XeRect(20, 0, 25, 20)});
    EXPECT_TRUE(set.IntersectRectSet(s));
    EXPECT_EQ(Elements(set), (std::vector{XeRect(0, 0, 5, 5), XeRect(20, 0, 25, 10)}));
    EXPECT_FALSE(set.IntersectRectSet(SetOf({XeRect(100, 0, 110, 10)})));
    EXPECT_TRUE(set.IsRectEmpty());
}

// Pixel coverage on a small grid, so set operations can be checked as plain bitmap operations.
constexpr int kGrid = 48;
using Coverage = std::vector<bool>;

Coverage Cover(const TXeRectSet& set)
{
    Coverage c(kGrid * kGrid);
    for (const TXeRect& r : set)
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                c[y * kGrid + x] = true;
    return c;
}

Coverage Cover(const TXeRect& r) { return Cover(SetOf({r})); }

void ExpectDisjointAndNotEmpty(const TXeRectSet& set)
{
    for (int i = 0; i < set.Count(); ++i) {
        EXPECT_FALSE(set[i].IsRectEmpty());
        for (int j = i + 1; j < set.Count(); ++j) {
            TXeRect overlap;
            EXPECT_FALSE(overlap.IntersectRect(set[i], set[j])) << "elements " << i << " and " << j;
        }
    }
}

TXeRect RandomRect(std::mt19937& rng)
{
    std::uniform_int_distribution<int> at(0, kGrid - 1);
    std::uniform_int_distribution<int> size(0, 16);
    const int left = at(rng);
    const int top = at(rng);
    return XeRect(left, top, std::min(kGrid, left + size(rng)), std::min(kGrid, top + size(rng)));
}

TEST(TXeRectSet, CoverageOfRandomRegions)
{
    std::mt19937 rng(2024);
    for (int round = 0; round < 300; ++round) {
        TXeRectSet set;
        Coverage want(kGrid * kGrid);
        const int count = 1 + static_cast<int>(rng() % 12);
        for (int k = 0; k < count; ++k) {
            const TXeRect r = RandomRect(rng);
            set.UnionRect(r);
            const Coverage add = Cover(r);
            for (std::size_t i = 0; i < want.size(); ++i)
                want[i] = want[i] || add[i];
        }
        ASSERT_EQ(Cover(set), want) << "union, round " << round;
        ExpectDisjointAndNotEmpty(set);

        // Intersection with a rectangle and with a set is exact.
        const TXeRect clip = RandomRect(rng);
        TXeRectSet clipped = set;
        clipped.IntersectRect(clip);
        const Coverage clipCover = Cover(clip);
        Coverage wantClipped = want;
        for (std::size_t i = 0; i < want.size(); ++i)
            wantClipped[i] = want[i] && clipCover[i];
        ASSERT_EQ(Cover(clipped), wantClipped) << "intersection, round " << round;

        const TXeRectSet other = SetOf({RandomRect(rng), RandomRect(rng), RandomRect(rng)});
        TXeRectSet shared = set;
        shared.IntersectRectSet(other);
        const Coverage otherCover = Cover(other);
        Coverage wantShared = want;
        for (std::size_t i = 0; i < want.size(); ++i)
            wantShared[i] = want[i] && otherCover[i];
        ASSERT_EQ(Cover(shared), wantShared) << "set intersection, round " << round;
        ExpectDisjointAndNotEmpty(shared);

        // Subtraction may keep more than the difference, never less, and never adds.
        TXeRectSet cut = set;
        cut.SubtractRect(clip);
        const Coverage cutCover = Cover(cut);
        for (std::size_t i = 0; i < want.size(); ++i) {
            ASSERT_TRUE(!cutCover[i] || want[i]) << "subtraction added a pixel, round " << round;
            ASSERT_TRUE(cutCover[i] || !want[i] || clipCover[i]) << "subtraction lost a pixel, round " << round;
        }
    }
}

} // namespace
