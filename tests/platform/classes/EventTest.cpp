// TEvent: auto-reset and manual-reset signalling, pulses that reach only the threads waiting,
// and timed waits. Threads are waited for with time-outs; nothing assumes a fast machine.
#include "platform/classes/Event.h"

#include "support/Eventually.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// Polls `done` until it holds or 10 s have passed.
using TestSupport::Eventually;

// `count` threads that each wait once for the event without time-out and count their release.
class Waiters {
public:
    Waiters(TEvent& event, int count)
    {
        for (int i = 0; i < count; ++i)
            threads_.emplace_back([&] {
                if (event.WaitFor(TEvent::kInfinite) == TWaitResult::wrSignaled)
                    ++released_;
            });
        EXPECT_TRUE(Eventually([&] { return event.Waiting() == count; }));
    }
    ~Waiters()
    {
        for (auto& t : threads_)
            t.join();
    }
    int Released() const { return released_; }

private:
    std::atomic<int> released_{0};
    std::vector<std::thread> threads_;
};

TEST(TEvent, StateWithoutWaiters)
{
    struct Case {
        bool manualReset;
        bool initial;
        void (TEvent::*action)();
        TWaitResult first;
        TWaitResult second;
    };
    using enum TWaitResult;
    const Case cases[] = {
        {false, false, nullptr, wrTimeout, wrTimeout},
        {false, true, nullptr, wrSignaled, wrTimeout}, // auto-reset: the wait takes it
        {true, true, nullptr, wrSignaled, wrSignaled}, // manual-reset: stays set
        {false, false, &TEvent::SetEvent, wrSignaled, wrTimeout},
        {true, false, &TEvent::SetEvent, wrSignaled, wrSignaled},
        {false, true, &TEvent::ResetEvent, wrTimeout, wrTimeout},
        {true, true, &TEvent::ResetEvent, wrTimeout, wrTimeout},
        {false, false, &TEvent::PulseEvent, wrTimeout, wrTimeout}, // nobody waits: the pulse is lost
        {true, false, &TEvent::PulseEvent, wrTimeout, wrTimeout},
        {true, true, &TEvent::PulseEvent, wrTimeout, wrTimeout},   // and leaves the event reset
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        TEvent event(c.manualReset, c.initial);
        if (c.action)
            (event.*c.action)();
        EXPECT_EQ(event.WaitFor(0), c.first) << i;
        EXPECT_EQ(event.WaitFor(0), c.second) << i;
    }
}

TEST(TEvent, AutoResetReleasesOneWaiterAtATime)
{
    TEvent event(false, false);
    Waiters waiters(event, 3);
    event.PulseEvent();
    ASSERT_TRUE(Eventually([&] { return waiters.Released() == 1; }));
    EXPECT_EQ(event.Waiting(), 2);
    event.SetEvent(); // taken by a waiter: the event does not stay set
    ASSERT_TRUE(Eventually([&] { return waiters.Released() == 2; }));
    EXPECT_EQ(event.WaitFor(0), TWaitResult::wrTimeout);
    event.SetEvent();
    ASSERT_TRUE(Eventually([&] { return waiters.Released() == 3; }));
    EXPECT_EQ(event.WaitFor(0), TWaitResult::wrTimeout);
}

TEST(TEvent, ManualResetReleasesEveryWaiter)
{
    for (const bool pulse : {true, false}) {
        TEvent event(true, false);
        {
            Waiters waiters(event, 3);
            pulse ? event.PulseEvent() : event.SetEvent();
            ASSERT_TRUE(Eventually([&] { return waiters.Released() == 3; })) << pulse;
        }
        EXPECT_EQ(event.WaitFor(0), pulse ? TWaitResult::wrTimeout : TWaitResult::wrSignaled) << pulse;
    }
}

TEST(TEvent, TimedWaitGivesUpAfterItsTime)
{
    TEvent event(false, false);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(event.WaitFor(30), TWaitResult::wrTimeout);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 30ms);
    EXPECT_EQ(event.Waiting(), 0) << "a waiter that gave up is no longer released";
    event.PulseEvent();
    EXPECT_EQ(event.WaitFor(0), TWaitResult::wrTimeout);

    std::thread setter([&] {
        EXPECT_TRUE(Eventually([&] { return event.Waiting() == 1; }));
        event.SetEvent();
    });
    EXPECT_EQ(event.WaitFor(60000), TWaitResult::wrSignaled);
    setter.join();
}

} // namespace
