// SideMenu through TSubWinUnit: the buttons' places per step, the keyboard's next and previous,
// clicks, the right button and the system sounds.
#include "scenario/windows/SideMenu.h"

#include "graphics/panels/TXeRGBBtn.h"
#include "scenario/windows/WindowTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class SideMenuTest : public ::testing::Test {
protected:
    TXeRGBPanel* Button(int i) { return f_.unit->Panel(("MenuBtn" + std::to_string(i + 1)).c_str()); }
    WindowTest::UnitFixture f_;
};

} // namespace

TEST_F(SideMenuTest, ButtonsArriveOneAfterAnother)
{
    f_.unit->MenuWinOpen(false);
    EXPECT_EQ(Button(0)->OffsetX(), -180);
    for (int step = 1; step <= 12; ++step) {
        EXPECT_TRUE(f_.unit->MenuWinUpdate());
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(Button(i)->OffsetX(), std::max(-180, 190 + 10 * i + std::min(0, 100 * (step - 4 - i)))) << step;
        if (step == 4) {
            EXPECT_EQ(Button(0)->OffsetX(), 190);
            EXPECT_EQ(Button(1)->OffsetX(), 100);
        }
    }
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(Button(i)->OffsetX(), 190 + 10 * i);
    EXPECT_FALSE(f_.unit->MenuWinUpdate());
    EXPECT_TRUE(f_.unit->Panel("MenuWin")->Visible());

    f_.unit->MenuWinClose(false);
    int steps = 0;
    while (f_.unit->MenuWinUpdate())
        ++steps;
    EXPECT_EQ(steps, 12);
    EXPECT_EQ(Button(8)->OffsetX(), -180);
    EXPECT_FALSE(f_.unit->Panel("MenuWin")->Visible());
}

TEST_F(SideMenuTest, KeysWalkOverUnusableButtons)
{
    f_.unit->MenuWinOpen(true);
    f_.unit->MenuWinMoveMouseTo(); // no hovered button: after button 0
    EXPECT_EQ(f_.unit->MenuWin().Hovered(), 1);
    EXPECT_EQ(f_.host.mouse.back(), (std::pair<int, int>{200 + 180 - 8, 132 + 8}));
    f_.unit->MenuWinEnableButton(2, false);
    f_.unit->MenuWinMoveMouseTo();
    EXPECT_EQ(f_.unit->MenuWin().Hovered(), 3);
    f_.unit->MenuWinMoveMouseToButton();
    EXPECT_EQ(f_.unit->MenuWin().Hovered(), 1);
    f_.unit->MenuWinMoveMouseToButton();
    EXPECT_EQ(f_.unit->MenuWin().Hovered(), 0);
    f_.unit->MenuWinEnableButton(12, false); // ignored
}

TEST_F(SideMenuTest, ClicksChooseAndTheRightButtonCancels)
{
    f_.unit->MenuWinOpen(true);
    const int x = 190 + 20 + 50, y = 164 + 10; // button 2
    f_.screen->MouseMove(0, x, y);
    f_.screen->MouseDown(mbLeft, 0, x, y);
    f_.screen->MouseUp(mbLeft, 0, x, y);
    EXPECT_EQ(f_.unit->MenuWinGetSelected(), 2);
    f_.screen->MouseDown(mbRight, 0, x, y);
    f_.screen->MouseDown(mbRight, 0, 600, 20); // the menu's empty area
    f_.unit->MenuWinPressSelected();           // button 2 is still hovered
    f_.unit->MenuWinCancel();
    EXPECT_EQ(f_.codes, (std::vector<int>{2, -1, -1, 2, -1}));
    EXPECT_EQ(f_.host.sounds, (std::vector<std::string>{"SysSEClick02", "SysSEClick01", "SysSEClick01"}));
}
