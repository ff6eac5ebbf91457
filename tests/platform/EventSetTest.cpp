// EventSet: auto-reset events taken lowest first, reset, time-outs, waking another thread, and the
// tracker's count of signalled events not yet handled.
#include "platform/audio/EventSet.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
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

// A waiter with an hour to go is woken by each signal, whether it came before the wait began or
// while the waiter slept: every round ends long before any time-out could have ended it.
TEST(EventSet, ASignalWakesASleepingWaiterAtOnce)
{
    EventSet events(2);
    std::promise<void> ready;
    auto started = ready.get_future();
    auto rounds = std::async(std::launch::async, [&] {
        int got = 0;
        for (int round = 0; round < 40; ++round) {
            if (round == 0)
                ready.set_value();
            got += events.Wait(std::chrono::hours(1)) == round % 2 ? 1 : 0;
        }
        return got;
    });
    started.wait();
    const auto limit = std::chrono::steady_clock::now() + 60s;
    for (int round = 0; round < 40; ++round) {
        if (round % 4 == 0)
            std::this_thread::sleep_for(2ms); // on some rounds, let the waiter fall asleep first
        while ((events.IsSet(0) || events.IsSet(1)) && std::chrono::steady_clock::now() < limit)
            std::this_thread::yield(); // the previous round's event is taken
        events.Signal(round % 2);
    }
    const bool woken = rounds.wait_until(limit) == std::future_status::ready;
    if (!woken)
        events.Interrupt(); // ends the waiter's remaining waits
    EXPECT_TRUE(woken) << "a signal did not wake the waiter";
    EXPECT_EQ(rounds.get(), 40);
}

// A wait with nothing set ends at its deadline, never before it.
TEST(EventSet, ATimedWaitEndsNoEarlierThanItsDeadline)
{
    EventSet events(1);
    for (const auto timeout : {0ms, 1ms, 30ms}) {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(events.Wait(timeout), -1);
        EXPECT_GE(std::chrono::steady_clock::now() - start, timeout);
    }
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
