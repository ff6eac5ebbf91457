// ManualTimer: calls run on the advancing thread in deadline order, holds report the deadlines they
// spanned, timers may stop or destroy themselves from their handlers, and a handler's exception is
// handled by the application while the timer goes on.
#include "platform/timer/headless/ManualTimer.h"
#include "support/ScopedState.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

TEST(ManualTimer, RunsTheDueCallsInDeadlineOrderOnTheAdvancingThread)
{
    timer::ManualTimer clock;
    std::vector<std::string> calls;
    auto record = [&](const char* name) {
        return [&, name](unsigned missed) {
            EXPECT_EQ(missed, 0u);
            calls.push_back(name + std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(clock.Now()).count()));
        };
    };
    const auto a = clock.Start(10ms, record("a"));
    const auto b = clock.Start(4ms, record("b"));
    const auto c = clock.Start(8ms, record("c"));
    clock.Advance(9ms);
    EXPECT_EQ(clock.Now(), 9ms);
    clock.Advance(7ms); // a deadline at the new time is run now
    const std::vector<std::string> expected{"b4", "b8", "c8", "a10", "b12", "b16", "c16"};
    EXPECT_EQ(calls, expected) << "equal deadlines in start order";
    EXPECT_EQ(clock.Running(), 3u);
}

TEST(ManualTimer, AHoldReportsTheDeadlinesItSpanned)
{
    timer::ManualTimer clock;
    std::vector<unsigned> missed;
    std::vector<std::chrono::nanoseconds> times;
    const auto t = clock.Start(5ms, [&](unsigned m) {
        missed.push_back(m);
        times.push_back(clock.Now());
        if (missed.size() == 1)
            clock.Hold(23ms); // from 5 to 28 ms: deadlines at 10, 15, 20 and 25 pass
    });
    clock.Advance(39ms);
    EXPECT_EQ(missed, (std::vector<unsigned>{0, 4, 0}));
    EXPECT_EQ(times, (std::vector<std::chrono::nanoseconds>{5ms, 30ms, 35ms})) << "the phase is kept";
    EXPECT_EQ(clock.Now(), 39ms);
}

TEST(ManualTimer, OtherTimersDueDuringAHoldRunLate)
{
    timer::ManualTimer clock;
    std::vector<std::chrono::nanoseconds> other;
    const auto holder = clock.Start(10ms, [&](unsigned) { clock.Hold(25ms); });
    const auto t = clock.Start(15ms, [&](unsigned) { other.push_back(clock.Now()); });
    clock.Advance(12ms); // the hold ends at 35 ms, past the advance's end
    EXPECT_EQ(other, (std::vector<std::chrono::nanoseconds>{35ms})) << "due at 15 ms, run when the hold ended";
    EXPECT_EQ(clock.Now(), 35ms);
}

TEST(ManualTimer, StoppedAndDestroyedTimersMakeNoCalls)
{
    timer::ManualTimer clock;
    int stoppedCalls = 0;
    int selfDestroyedCalls = 0;
    int exceptions = 0;
    auto stopped = clock.Start(1ms, [&](unsigned) { ++stoppedCalls; });
    auto self = std::make_shared<std::unique_ptr<timer::Timer>>();
    *self = clock.Start(2ms, [&, self](unsigned) {
        ++selfDestroyedCalls;
        EXPECT_TRUE((*self)->OnTimerThread());
        self->reset();
    });
    const auto throwing = clock.Start(3ms, [&](unsigned) {
        ++exceptions;
        throw std::runtime_error("tick failed");
    });
    const TestSupport::CapturedApplication application;
    clock.Advance(1ms);
    stopped->Stop();
    EXPECT_FALSE(stopped->OnTimerThread());
    clock.Advance(9ms);
    EXPECT_EQ(stoppedCalls, 1);
    EXPECT_EQ(selfDestroyedCalls, 1);
    EXPECT_EQ(exceptions, 3) << "an exception leaves the timer running";
    EXPECT_EQ(application.shown, std::vector<std::string>(3, "tick failed")) << "each one handled";
    EXPECT_EQ(clock.Running(), 1u);
}

TEST(ManualTimer, ATimerStartedInAHandlerRunsFromThen)
{
    timer::ManualTimer clock;
    std::unique_ptr<timer::Timer> inner;
    std::vector<std::chrono::nanoseconds> innerCalls;
    const auto outer = clock.Start(10ms, [&](unsigned) {
        if (!inner)
            inner = clock.Start(3ms, [&](unsigned) { innerCalls.push_back(clock.Now()); });
    });
    clock.Advance(20ms);
    EXPECT_EQ(innerCalls, (std::vector<std::chrono::nanoseconds>{13ms, 16ms, 19ms}));
}

} // namespace
