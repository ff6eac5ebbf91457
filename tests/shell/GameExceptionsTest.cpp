#include "shell/GameExceptions.h"

#include <gtest/gtest.h>

TEST(GameExceptions, CarryTheirNamesAsMessagesAndAreClassLibraryExceptions)
{
    const auto message = [](const Exception& e) { return e.Message; };
    EXPECT_EQ(message(EGameErr()), "GameErr");
    EXPECT_EQ(message(EGameEnd()), "GameEnd");
}
