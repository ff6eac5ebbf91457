// Deadlines: the first deadline, the step after a call, and the deadlines a late call skipped; the
// timer's periods are the default back end's.
#include "platform/timer/TimerBackEnd.h"

#include "platform/timer/headless/ManualTimer.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using TimePoint = timer::Deadlines::TimePoint;

TEST(Deadlines, StepSkipsTheDeadlinesACallSpanned)
{
    struct Case {
        std::chrono::milliseconds returnedAfterDeadline;
        unsigned missed;
        std::chrono::milliseconds next; // after the start
    };
    // Period 5 ms, first deadline at 5 ms.
    const Case cases[] = {
        {0ms, 0, 10ms},  {4ms, 0, 10ms},  {5ms, 1, 15ms},  {6ms, 1, 15ms},
        {9ms, 1, 15ms},  {10ms, 2, 20ms}, {23ms, 4, 30ms}, {1000ms, 200, 1010ms},
    };
    for (const Case& c : cases) {
        timer::Deadlines d(TimePoint{}, 5ms);
        ASSERT_EQ(d.Next(), TimePoint{} + 5ms);
        EXPECT_EQ(d.Step(d.Next() + c.returnedAfterDeadline), c.missed) << c.returnedAfterDeadline.count();
        EXPECT_EQ(d.Next(), TimePoint{} + c.next) << c.returnedAfterDeadline.count();
    }
}

TEST(Deadlines, PeriodsUnderAMillisecondCountAsOne)
{
    timer::Deadlines d(TimePoint{} + 7ms, 0ms);
    EXPECT_EQ(d.Next(), TimePoint{} + 8ms);
    EXPECT_EQ(d.Step(d.Next()), 0u);
    EXPECT_EQ(d.Next(), TimePoint{} + 9ms);
}

TEST(TimerCaps, AreTheDefaultBackEndsOwn)
{
    auto manual = std::make_shared<timer::ManualTimer>();
    manual->SetPeriodCaps({10, 500});
    timer::SetDefaultBackEnd(manual);
    const timer::Caps coarse = timer::GetCaps();
    timer::SetDefaultBackEnd(nullptr);
    EXPECT_EQ(coarse.periodMin, 10u);
    EXPECT_EQ(coarse.periodMax, 500u);
    EXPECT_EQ(timer::GetCaps().periodMin, 1u) << "the steady clock's threads do any period from 1 ms";
}

} // namespace
