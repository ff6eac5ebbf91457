// DecideTextPrint: the print speed a piece gets from skip mode, the no-skip flag and the user's
// text speed, and skip mode stopping at text not read before.
#include "scenario/text/TextPrintSpeed.h"

#include <gtest/gtest.h>

TEST(TextPrintSpeed, FollowsSkipNoSkipAndTheUserSpeed)
{
    struct Case {
        const char* what;
        TextPrintInput input;
        std::int32_t speed;
        bool stopSkip;
    };
    auto in = [](std::int32_t speed, bool button, bool ctrl, bool noSkip, bool all, bool read, std::int32_t user) {
        return TextPrintInput{speed, button, ctrl, noSkip, all, read, user};
    };
    const Case cases[] = {
        {"plain", in(300, false, false, false, false, false, 100), 300, false},
        {"user 50", in(300, false, false, false, false, false, 50), 150, false},
        {"user 200", in(300, false, false, false, false, false, 200), 600, false},
        {"at least 1", in(1, false, false, false, false, false, 10), 1, false},
        {"user 0 prints at once", in(300, false, false, false, false, false, 0), 0, false},
        {"no-skip keeps the script's speed", in(300, false, false, true, false, false, 50), 300, false},
        {"at once stays at once", in(0, false, false, false, false, false, 50), 0, false},
        {"skip button on read text", in(300, true, false, false, false, true, 100), 0, false},
        {"skip button stops at unread text", in(300, true, false, false, false, false, 100), 300, true},
        {"AllTextSkip runs through unread text", in(300, true, false, false, true, false, 100), 0, false},
        {"Ctrl skips unread text too", in(300, false, true, false, false, false, 100), 0, false},
        {"Ctrl with the button stopping", in(300, true, true, false, false, false, 100), 0, true},
        {"no-skip beats skip", in(300, true, true, true, false, true, 50), 300, false},
    };
    for (const Case& c : cases) {
        const TextPrintDecision d = DecideTextPrint(c.input);
        EXPECT_EQ(d.speed, c.speed) << c.what;
        EXPECT_EQ(d.stopSkipButton, c.stopSkip) << c.what;
    }
}
