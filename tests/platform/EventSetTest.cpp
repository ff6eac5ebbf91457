// EventSet: auto-reset events taken lowest first, reset, time-outs, waking another thread, and the
// tracker's count of signalled events not yet handled.
#include "platform/audio/EventSet.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;
using audio::EventSet;
using audio::NotifyTracker;

TEST(EventSet, DeliversEachSetEventOnceLowestFirst)
{
    EventSet events(5);
    events.Signal(3);
    events.Signal(1);
    events.Signal(3); // already set: still one
    events.Signal(7); // outside the set: ignored
    EXPECT_EQ(events.Wait(0ms), 1);
    EXPECT_EQ(events.Wait(0ms), 3);
    EXPECT_EQ(events.Wait(0ms), -1);
}

TEST(EventSet, AResetEventIsNotDelivered)
{
    EventSet events(5);
    events.Signal(2);
    events.Signal(4);
    events.Reset(2);
    EXPECT_FALSE(events.IsSet(2));
    EXPECT_EQ(events.Wait(0ms), 4);
    EXPECT_EQ(events.Wait(10ms), -1);
}

TEST(EventSet, WakesAWaitingThread)
{
    EventSet events(2);
    int got = -2;
    std::thread waiter([&] { got = events.Wait(5000ms); });
    std::this_thread::sleep_for(20ms);
    events.Signal(1);
    waiter.join();
    EXPECT_EQ(got, 1);
}

// An interrupted set ends every wait at once, a waiting one included, even with events set.
TEST(EventSet, InterruptEndsEveryWait)
{
    EventSet events(2);
    int got = -2;
    std::thread waiter([&] { got = events.Wait(std::chrono::hours(1)); });
    events.Interrupt();
    waiter.join();
    EXPECT_EQ(got, -1);
    events.Signal(0);
    EXPECT_EQ(events.Wait(std::chrono::hours(1)), -1);
}

TEST(EventSet, TrackerCountsUntilTheWaiterIsDone)
{
    auto tracker = std::make_shared<NotifyTracker>();
    {
        EventSet events(4, tracker);
        events.Signal(0);
        events.Signal(0);
        events.Signal(2);
        EXPECT_EQ(tracker->Outstanding(), 2);
        events.Reset(2);
        EXPECT_EQ(tracker->Outstanding(), 1);
        EXPECT_EQ(events.Wait(0ms), 0);
        EXPECT_EQ(tracker->Outstanding(), 1) << "taken but still being handled";
        events.Done();
        EXPECT_EQ(tracker->Outstanding(), 0);
        events.Signal(1);
        EXPECT_EQ(events.Wait(0ms), 1);
        EXPECT_EQ(events.Wait(0ms), -1) << "the next wait ends the handling of the last event";
        EXPECT_EQ(tracker->Outstanding(), 0);
        events.Signal(3);
    }
    EXPECT_EQ(tracker->Outstanding(), 0) << "a set destroyed with events pending gives them back";
    EXPECT_TRUE(tracker->WaitIdle(1));
}

} // namespace
