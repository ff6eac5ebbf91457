// TSubWinUnit: Initialize and Finalize give every picture, layer and plane back to the registry,
// and a failed Initialize leaves nothing made.
#include "scenario/windows/TSubWinUnit.h"

#include "scenario/windows/WindowTestSupport.h"
#include "shell/GameGlobals.h"

#include <gtest/gtest.h>

TEST(TSubWinUnit, FinalizeGivesBackEverythingInitializeMade)
{
    WindowTest::ScopedRegistry registry;
    WindowTest::WindowPictures pictures;
    TGameState state;
    WindowTest::RecordingHost host;
    TSubWinUnit unit(state, host);
    ASSERT_TRUE(unit.Initialize(&pictures.Files()));
    EXPECT_TRUE(unit.Initialized());
    EXPECT_NE(unit.Panel("MesBack")->Image(), nullptr);
    EXPECT_EQ(unit.Panel("Day2")->Image(), unit.Panel("Month1")->Image()); // shared digits
    ASSERT_TRUE(unit.PlaceWinOpen(3));
    EXPECT_GT(registry.Listed(), 0u);
    unit.Finalize();
    EXPECT_FALSE(unit.Initialized());
    EXPECT_EQ(registry.Listed(), 0u);
}

TEST(TSubWinUnit, InitializeFailsWhenNoBitmapCanBeMade)
{
    WindowTest::ScopedRegistry registry;
    WindowTest::WindowPictures pictures;
    TGameState state;
    WindowTest::RecordingHost host;
    TSubWinUnit unit(state, host);
    TMemMan* saved = MemMan;
    MemMan = nullptr;
    EXPECT_FALSE(unit.Initialize(&pictures.Files()));
    MemMan = saved;
    EXPECT_FALSE(unit.Initialized());
    EXPECT_EQ(registry.Listed(), 0u);
}
