#include "shell/transition/TMaskEffect.h"

#include "graphics/bitmaps/TXeAlpha.h"
#include "shell/GameExceptions.h"
#include "tests/shell/transition/TransitionTestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace transitiontest;

// A 3 x 1 mask of 0, 100 and 250.
class TMaskEffectTest : public ::testing::Test {
protected:
    TMaskEffectTest()
    {
        data.Write("FadeMask04_Circle.bmp", GreyBmp(3, 1, [](int x, int) { return std::uint8_t(x == 0 ? 0 : x == 1 ? 100 : 250); }));
        data.Write("colour.bmp", ColourBmp(3, 1, 0x808080));
        data.Write("broken.bmp", {'B', 'M', 1, 2, 3});
    }

    std::vector<int> Work() const
    {
        std::vector<int> values;
        for (int x = 0; x < 3; ++x)
            values.push_back(mask.WorkMask()->PGet(x, 0));
        return values;
    }

    shelltest::ScopedGlobals globals;
    DataFolder data;
    TMaskEffect mask;
};

TEST_F(TMaskEffectTest, LevelsRebuildTheWorkMaskFromTheMask)
{
    mask.Load(&data.files, "FadeMask04_Circle.bmp");
    ASSERT_TRUE(mask.Loaded());
    EXPECT_EQ(mask.WorkMask()->Width(), 3);
    mask.AddLevel(10);
    EXPECT_EQ(Work(), (std::vector<int>{10, 110, 255}));
    mask.SubLevel(120);
    EXPECT_EQ(Work(), (std::vector<int>{0, 0, 130})) << "from the mask, not from the last work mask";
    mask.ExtractLevel(10);
    EXPECT_EQ(Work(), (std::vector<int>{0, 0, 255}));
    EXPECT_EQ(mask.Mask()->PGet(1, 0), 100) << "the mask itself never changes";
}

TEST_F(TMaskEffectTest, LoadingTwiceReleasesTheFirstPlanes)
{
    const std::size_t before = globals.Listed();
    mask.Load(&data.files, "FadeMask04_Circle.bmp");
    EXPECT_EQ(globals.Listed(), before + 2);
    mask.Load(&data.files, "FadeMask04_Circle.bmp");
    EXPECT_EQ(globals.Listed(), before + 2);
    mask.Release();
    EXPECT_FALSE(mask.Loaded());
    EXPECT_EQ(globals.Listed(), before);
    mask.AddLevel(5); // nothing while not loaded
}

TEST_F(TMaskEffectTest, AMaskThatDoesNotLoadRaisesAndLeavesNothing)
{
    const std::size_t before = globals.Listed();
    for (const char* name : {"missing.bmp", "broken.bmp", "colour.bmp"}) {
        EXPECT_THROW(mask.Load(&data.files, name), EGameErr) << name;
        EXPECT_FALSE(mask.Loaded());
        EXPECT_EQ(mask.Mask(), nullptr);
        EXPECT_EQ(globals.Listed(), before) << name;
    }
}

} // namespace
