#include "shell/form/FormSettings.h"

#include <gtest/gtest.h>

namespace {

using namespace FormSettings;

TEST(FormSettings, ReadsFPSModesInAnyCaseAndKeepsTheModeOtherwise)
{
    struct Case {
        const char* text;
        std::uint8_t mode;
    } cases[] = {{"15FPS", 0}, {"30fps", 1}, {"Full", 2}, {"nosync", 3}, {"", 2}, {"60FPS", 2}, {" FULL", 2}};
    for (const Case& c : cases)
        EXPECT_EQ(ReadFPSMode(c.text, 2), c.mode) << c.text;
    EXPECT_EQ(FPSModeText(0), "15fps");
    EXPECT_EQ(FPSModeText(1), "30fps");
    EXPECT_EQ(FPSModeText(2), "Full");
    EXPECT_EQ(FPSModeText(3), "NoSync");
    EXPECT_EQ(FPSModeText(4), "");
}

TEST(FormSettings, ReadsVolumesWithTheirRangeAndFallback)
{
    struct Case {
        const char* text;
        int value;
    } cases[] = {{"", 55}, {"0", 0}, {"100", 100}, {"150", 70}, {"-5", 70}, {"abc", 70}, {"42", 42}};
    for (const Case& c : cases)
        EXPECT_EQ(ReadVolume(c.text, 55, 70), c.value) << c.text;
}

} // namespace
