#include "shell/transition/THaloEffect.h"

#include "graphics/bitmaps/TXeRGBBits.h"
#include "shell/GameExceptions.h"
#include "tests/shell/transition/TransitionTestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace transitiontest;

TEST(THaloEffect, LoadsTheBackdropAndTheSpritesInTheirOrderAndDepth)
{
    shelltest::ScopedGlobals globals;
    DataFolder data;
    WriteHaloPictures(data);
    THaloEffect halo;
    halo.Load(&data.files, bd32);
    ASSERT_TRUE(halo.Loaded());
    EXPECT_EQ(halo.Back()->Width(), 640);
    for (int k = 0; k < THaloEffect::kSpriteCount; ++k) {
        EXPECT_EQ(halo.Sprite(k)->Width(), 16 + 8 * k) << "sprite " << k;
        EXPECT_EQ(halo.Sprite(k)->BitDepth(), bd32);
    }
    halo.Load(&data.files, bd24);
    EXPECT_EQ(halo.Back()->BitDepth(), bd24) << "a second load replaces the set";
}

TEST(THaloEffect, AMissingPictureRaisesAndLeavesNothing)
{
    shelltest::ScopedGlobals globals;
    const std::size_t before = globals.Listed();
    for (const char* missing : {THaloEffect::kBackFile, THaloEffect::kSpriteFiles[4]}) {
        DataFolder data;
        WriteHaloPictures(data);
        std::filesystem::remove(data.folder.Native() / missing);
        THaloEffect halo;
        EXPECT_THROW(halo.Load(&data.files, bd24), EGameErr) << missing;
        EXPECT_FALSE(halo.Loaded());
        EXPECT_EQ(globals.Listed(), before) << missing;
    }
}

} // namespace
