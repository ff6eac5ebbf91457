// ClockPlates through TSubWinUnit: the displayed clock's roll-over, jump back and clamping, the
// colon's blink, and the plates' places per step.
#include "scenario/windows/ClockPlates.h"

#include "scenario/windows/WindowTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

class ClockPlatesTest : public ::testing::Test {
protected:
    // The record's clock at month/day hour:minute and `ms` milliseconds into the minute.
    void SetTarget(int month, int day, int hour, int minute, int ms)
    {
        f_.state.SetDate(month * 100 + day);
        f_.state.SetTime(hour * 100 + minute);
        std::vector<unsigned char> bytes(f_.state.Bytes().begin(), f_.state.Bytes().end());
        const auto sub = static_cast<std::uint32_t>(ms);
        std::memcpy(bytes.data() + SubMinuteOffset, &sub, 4);
        ASSERT_TRUE(f_.state.AssignBytes(bytes));
    }
    void ShowClock(int month, int day, int hour, int minute, int ms)
    {
        SetTarget(month, day, hour, minute, ms);
        f_.unit->SetClock();
    }
    ShownClock Shown() { return f_.unit->Clock().Shown(); }
    int Block(const char* name) { return f_.unit->Panel(name)->BlockIndex(); }

    static constexpr std::size_t SubMinuteOffset = 2428;
    WindowTest::UnitFixture f_;
};

} // namespace

TEST_F(ClockPlatesTest, RollsOverTheYearEndAndFebruary)
{
    ShowClock(12, 31, 23, 59, 59967); // 1,799 frames
    EXPECT_EQ(Shown().frames, 1799);
    SetTarget(1, 1, 0, 5, 0);
    f_.unit->ClockUpdate(1, false);
    EXPECT_EQ(Shown(), (ShownClock{1, 1, 0, 0, 0}));
    EXPECT_EQ(Block("Month1"), 0);
    EXPECT_EQ(Block("Month2"), 1);
    EXPECT_EQ(Block("Min2"), 0);

    ShowClock(2, 28, 23, 59, 59967);
    SetTarget(3, 1, 0, 10, 0);
    f_.unit->ClockUpdate(1, false);
    EXPECT_EQ(Shown(), (ShownClock{3, 1, 0, 0, 0}));
    EXPECT_EQ(Block("Day2"), 1);
}

TEST_F(ClockPlatesTest, RunsAtRealTimeWithoutPassingTheTarget)
{
    ShowClock(5, 10, 8, 0, 0);
    SetTarget(5, 10, 8, 1, 500); // 15 frames into the next minute
    f_.unit->ClockUpdate(1790, false);
    EXPECT_EQ(Shown(), (ShownClock{5, 10, 8, 0, 1790}));
    f_.unit->ClockUpdate(100, false);
    EXPECT_EQ(Shown(), (ShownClock{5, 10, 8, 1, 15}));
    EXPECT_EQ(Block("Min2"), 1);
    SetTarget(5, 10, 7, 51, 0); // ten minutes behind: the display jumps back
    f_.unit->ClockUpdate(1, false);
    EXPECT_EQ(Shown(), (ShownClock{5, 10, 7, 51, 0}));
    EXPECT_EQ(Block("Hour2"), 7);
}

TEST_F(ClockPlatesTest, ClampsARecordOutOfRange)
{
    std::vector<unsigned char> bytes(f_.state.Bytes().begin(), f_.state.Bytes().end());
    bytes[2424] = 14;  // month
    bytes[2425] = 40;  // day
    bytes[2426] = 30;  // hour
    bytes[2427] = 100; // minute
    ASSERT_TRUE(f_.state.AssignBytes(bytes));
    f_.unit->SetClock();
    EXPECT_EQ(Shown(), (ShownClock{12, 31, 23, 59, 0}));
    f_.unit->ClockUpdate(5000, false);
    EXPECT_EQ(Shown(), (ShownClock{12, 31, 23, 59, 0}));
}

TEST_F(ClockPlatesTest, ColonBlinksHalfASecond)
{
    f_.unit->SetClock();
    for (int frame = 1; frame < 65; ++frame) {
        f_.unit->ClockUpdate(1, false);
        EXPECT_EQ(f_.unit->Panel("TimeSep")->Visible(), frame % 30 < 15) << frame;
    }
    f_.unit->ClockUpdate(31, false); // 64 + 31 = 95: 5 into its cycle
    EXPECT_EQ(f_.unit->Clock().Blink(), 5);
}

TEST_F(ClockPlatesTest, PlatesSlideInStayAndLeave)
{
    f_.unit->SetClock();
    f_.unit->DateWinOpen(false);
    f_.unit->TimeWinOpen(false);
    const TXeRGBPanel* date = f_.unit->Panel("DateWin");
    const TXeRGBPanel* time = f_.unit->Panel("TimeWin");
    EXPECT_EQ(date->OffsetX(), -83);
    EXPECT_EQ(time->OffsetX(), 640);
    const int dateX[] = {-62, -41, -20, 0, 0};
    const int timeX[] = {620, 600, 580, 559, 559};
    const int timeY[] = {-19, -13, -6, 0, 0};
    for (int step = 0; step < 5; ++step) {
        f_.unit->ClockUpdate(1, false);
        EXPECT_EQ(date->OffsetX(), dateX[step]) << step;
        EXPECT_EQ(time->OffsetX(), timeX[step]) << step;
        EXPECT_EQ(time->OffsetY(), timeY[step]) << step;
    }
    EXPECT_EQ(f_.unit->Clock().Time().State(), wsPrinting);
    for (int step = 0; step < 149; ++step)
        f_.unit->ClockUpdate(1, false);
    EXPECT_EQ(f_.unit->Clock().Time().State(), wsPrinting);
    f_.unit->ClockUpdate(1, false);
    EXPECT_EQ(f_.unit->Clock().Time().State(), wsClosing);
    int steps = 0;
    while (f_.unit->ClockUpdate(1, false))
        ++steps;
    EXPECT_EQ(steps, 4);
    EXPECT_FALSE(time->Visible());
    EXPECT_FALSE(date->Visible());
}

TEST_F(ClockPlatesTest, ReversesAndFinishes)
{
    f_.unit->SetClock();
    f_.unit->DateWinOpen(false);
    f_.unit->ClockUpdate(1, false); // counter 3
    f_.unit->DateWinClose(false);   // reverses: counter 1 of the way out
    EXPECT_EQ(f_.unit->Clock().Date().Counter(), 1);
    f_.unit->DateWinOpen(false);
    EXPECT_EQ(f_.unit->Clock().Date().State(), wsOpening);
    f_.unit->ClockUpdate(1, true); // lands at once
    EXPECT_EQ(f_.unit->Panel("DateWin")->OffsetX(), 0);
    EXPECT_EQ(f_.unit->Clock().Date().State(), wsPrinting);
    f_.unit->DateWinClose(false); // a shown plate leaves on request
    EXPECT_EQ(f_.unit->Clock().Date().State(), wsClosing);
    f_.unit->ClockUpdate(1, true);
    EXPECT_FALSE(f_.unit->DateWinIsActive());
    EXPECT_FALSE(f_.unit->Panel("DateWin")->Visible());
    f_.unit->DateWinOpen(true);
    EXPECT_TRUE(f_.unit->DateWinIsReady());
    EXPECT_EQ(f_.unit->Clock().Date().Counter(), 150);
}
