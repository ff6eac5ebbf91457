// PeriodicTimer: absolute deadlines, reporting of missed deadlines, stopping, exceptions, and
// destruction from the handler. Only lower bounds on time are asserted: these run on busy machines
// (the exact arithmetic of missed deadlines is tested on Deadlines and the manual clock).
#include "platform/timer/steady/PeriodicTimer.h"
#include "platform/timer/steady/SteadyTimer.h"
#include "support/Eventually.h"
#include "support/ScopedState.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

using TestSupport::Eventually;

TEST(PeriodicTimer, DeadlinesDoNotDriftWithTheHandlersTime)
{
    std::atomic<int> calls{0};
    std::atomic<unsigned> missed{0};
    const auto start = Clock::now();
    std::atomic<Clock::rep> last{0};
    timer::PeriodicTimer t(4ms, [&](unsigned m) {
        missed += m;
        std::this_thread::sleep_for(2ms); // half the period, every time
        last = (Clock::now() - start).count();
        ++calls;
    });
    ASSERT_TRUE(Eventually([&] { return calls >= 50; }));
    t.Stop();
    const int n = calls;
    const auto elapsed = std::chrono::duration<double, std::milli>(Clock::duration(last.load())).count();
    // With relative waits the 50 calls would take about 50 * 6 ms; on deadlines about 50 * 4 ms.
    EXPECT_LT(elapsed, (n + missed) * 4.0 + 60.0);
    EXPECT_GE(elapsed, n * 4.0);
}

TEST(PeriodicTimer, ReportsTheDeadlinesAHandlerSpanned)
{
    std::atomic<int> calls{0};
    std::atomic<unsigned> firstReport{0};
    std::atomic<bool> reported{false};
    timer::PeriodicTimer t(5ms, [&](unsigned m) {
        if (++calls == 1) {
            std::this_thread::sleep_for(23ms); // spans deadlines at +5, +10, +15 and +20 ms
        } else if (calls == 2) {
            firstReport = m;
            reported = true; // only now may the test read the report
        }
    });
    ASSERT_TRUE(Eventually([&] { return reported.load(); }));
    t.Stop();
    // However late the thread runs, at least those four deadlines passed during the first call.
    EXPECT_GE(firstReport, 4u);
}

TEST(PeriodicTimer, NoCallAfterStop)
{
    std::atomic<int> calls{0};
    timer::PeriodicTimer t(1ms, [&](unsigned) { ++calls; });
    ASSERT_TRUE(Eventually([&] { return calls >= 3; }));
    t.Stop();
    const int stopped = calls;
    std::this_thread::sleep_for(20ms);
    EXPECT_LE(calls, stopped + 1) << "at most the call that was already running";
}

TEST(PeriodicTimer, ExceptionsAreHandledAndTicksGoOn)
{
    const TestSupport::CapturedApplication application;
    std::atomic<int> handled{0};
    Application().OnHandleException = [&](TObject*, const std::exception&) { ++handled; };
    std::atomic<int> calls{0};
    timer::PeriodicTimer t(1ms, [&](unsigned) {
        ++calls;
        throw 1;
    });
    EXPECT_TRUE(Eventually([&] { return handled >= 3; }));
    t.Stop();
    EXPECT_GE(calls, 3);
}

TEST(PeriodicTimer, HandlerMayDestroyItsOwnTimer)
{
    // The handler touches the owner only after the test has stored the timer in it and let go.
    std::atomic<bool> ready{false};
    std::atomic<bool> destroyed{false};
    auto owner = std::make_shared<std::unique_ptr<timer::PeriodicTimer>>();
    *owner = std::make_unique<timer::PeriodicTimer>(1ms, [owner, &ready, &destroyed](unsigned) {
        if (!ready || destroyed)
            return;
        EXPECT_TRUE((*owner)->OnTimerThread());
        owner->reset(); // the thread ends when this call returns
        destroyed = true;
    });
    EXPECT_FALSE((*owner)->OnTimerThread());
    ready = true;
    EXPECT_TRUE(Eventually([&] { return destroyed.load(); }));
}

TEST(PeriodicTimer, TheSteadyBackEndMakesThem)
{
    std::atomic<int> calls{0};
    const std::unique_ptr<timer::Timer> t = timer::SteadyTimer().Start(1ms, [&](unsigned) { ++calls; });
    EXPECT_TRUE(Eventually([&] { return calls >= 2; }));
    EXPECT_NE(dynamic_cast<timer::PeriodicTimer*>(t.get()), nullptr);
}

TEST(PeriodicTimer, Caps)
{
    const timer::Caps caps = timer::GetCaps();
    EXPECT_EQ(caps.periodMin, 1u);
    EXPECT_GE(caps.periodMax, 1000u);
}

} // namespace
