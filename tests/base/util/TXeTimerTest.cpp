// TXeTimer: settings and resolution, ticks on the timer thread, dropped ticks while OnTimer runs,
// the exception hook, stopping from inside and outside OnTimer, and Count's bounds. The schedule
// runs on the manual clock; what only a thread shows runs on the steady clock with loose bounds.
#include "base/util/TXeTimer.h"

#include "platform/classes/Application.h"
#include "platform/classes/Exception.h"
#include "platform/codepage/CodePage.h"
#include "platform/timer/headless/ManualTimer.h"

#include "support/Eventually.h"
#include "support/ScopedState.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

using TestSupport::Eventually;

// A timer service that can make no timer, as a system out of timer threads.
class RefusingTimers : public timer::BackEnd {
public:
    const char* Name() const override { return "refusing"; }
    std::unique_ptr<timer::Timer> Start(std::chrono::milliseconds, timer::Handler) override
    {
        ++asked;
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    }
    int asked = 0;
};

TEST(TXeTimer, DefaultsAndResolution)
{
    TXeTimer timer(nullptr);
    EXPECT_EQ(timer.GetInterval(), 1000u);
    EXPECT_FALSE(timer.GetEnabled());
    EXPECT_EQ(timer.GetResolution(), 100u);
    EXPECT_EQ(timer.Count, 0);
    timer.SetInterval(10);
    EXPECT_EQ(timer.GetResolution(), 10u);
    timer.SetInterval(500);
    EXPECT_EQ(timer.GetResolution(), 100u);
    timer.SetInterval(0);
    EXPECT_EQ(timer.GetResolution(), 1u) << "raised to the device's minimum";
}

TEST(TXeTimer, NoTimerRaisesOutOfResourcesInItsOwnCodePage)
{
    const TestSupport::ScopedAnsiCodePage gbk(CodePage::Gbk);
    TestSupport::CapturedApplication application;
    const auto timers = std::make_shared<RefusingTimers>();
    TXeTimer timer(nullptr, timers);
    timer.SetInterval(10);
    EXPECT_EQ(timers->asked, 0) << "not enabled: no timer is asked for";
    try {
        timer.SetEnabled(true);
        ADD_FAILURE() << "no EOutOfResources";
    } catch (const EOutOfResources& error) {
        EXPECT_EQ(error.MessageCodePage, CodePage::ShiftJis);
        Application().ShowException(error);
    }
    EXPECT_EQ(timers->asked, 1);
    ASSERT_EQ(application.shown.size(), 1u);
    EXPECT_EQ(application.shown[0], "ﾏﾙﾁﾒﾃﾞｨｱﾀｲﾏｰを取得できません") << "read as Shift_JIS under a GBK system";
    timer.SetEnabled(false); // stopping asks for nothing and raises nothing
    EXPECT_EQ(timers->asked, 1);
}

TEST(TXeTimer, NoTicksWhileDisabledOrWithoutInterval)
{
    const auto clock = std::make_shared<timer::ManualTimer>();
    TXeTimer timer(nullptr, clock);
    int calls = 0;
    timer.SetOnTimer([&](TObject*) { ++calls; });
    timer.SetInterval(2);
    clock->Advance(30ms);
    timer.SetInterval(0);
    timer.SetEnabled(true);
    clock->Advance(30ms);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(timer.Count, 0);
    EXPECT_EQ(clock->Running(), 0u);
}

// The frame pulse of a 30-frame game on 10 ms ticks: pulses at ticks 3, 6 and 10 of every ten.
TEST(TXeTimer, DrivesAPulseScheduleOnTheManualClock)
{
    const auto clock = std::make_shared<timer::ManualTimer>();
    TXeTimer timer(nullptr, clock);
    int ticks = 0;
    std::vector<long long> pulses; // ms
    timer.SetOnTimer([&](TObject*) {
        const int phase = ++ticks % 10;
        if (phase == 3 || phase == 6 || phase == 0)
            pulses.push_back(std::chrono::duration_cast<std::chrono::milliseconds>(clock->Now()).count());
    });
    timer.SetInterval(10);
    timer.SetEnabled(true);
    clock->Advance(1s);
    ASSERT_EQ(pulses.size(), 30u);
    EXPECT_EQ(std::vector<long long>(pulses.begin(), pulses.begin() + 4), (std::vector<long long>{30, 60, 100, 130}));
    EXPECT_EQ(pulses.back(), 1000);
    EXPECT_EQ(timer.Count, 100);
}

TEST(TXeTimer, TicksOnItsOwnThread)
{
    TXeTimer timer(nullptr);
    std::atomic<int> calls{0};
    std::atomic<bool> otherThread{true};
    std::atomic<TObject*> sender{nullptr};
    const auto main = std::this_thread::get_id();
    timer.SetOnTimer([&](TObject* s) {
        otherThread = otherThread && std::this_thread::get_id() != main;
        sender = s;
        ++calls;
    });
    timer.SetInterval(5);
    timer.SetEnabled(true);
    ASSERT_TRUE(Eventually([&] { return calls >= 5; }));
    timer.SetEnabled(false); // waits for a running OnTimer
    const int after = calls;
    EXPECT_TRUE(otherThread);
    EXPECT_EQ(sender, &timer);
    EXPECT_GE(timer.Count, after);
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(calls, after) << "stopped";
}

TEST(TXeTimer, SameIntervalDoesNotRestart)
{
    TXeTimer timer(nullptr);
    std::mutex lock;
    std::thread::id last;
    timer.SetOnTimer([&](TObject*) {
        const std::lock_guard guard(lock);
        last = std::this_thread::get_id();
    });
    timer.SetInterval(3);
    timer.SetEnabled(true);
    auto lastThread = [&] {
        const std::lock_guard guard(lock);
        return last;
    };
    ASSERT_TRUE(Eventually([&] { return lastThread() != std::thread::id(); }));
    const std::thread::id first = lastThread();
    timer.SetInterval(3);
    timer.SetEnabled(true);
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(lastThread(), first) << "the same timer thread still ticks";
    timer.SetInterval(4);
    ASSERT_TRUE(Eventually([&] { return lastThread() != first; })) << "a new interval rebuilds the timer";
}

TEST(TXeTimer, TicksWhileOnTimerRunsAreCountedAndDropped)
{
    const auto clock = std::make_shared<timer::ManualTimer>();
    TXeTimer timer(nullptr, clock);
    int calls = 0;
    timer.SetOnTimer([&](TObject*) {
        if (++calls == 1)
            clock->Hold(23ms); // spans the deadlines at 10, 15, 20 and 25 ms
    });
    timer.SetInterval(5);
    timer.SetEnabled(true);
    clock->Advance(40ms); // calls at 5, 30, 35 and 40 ms
    EXPECT_EQ(calls, 4);
    EXPECT_EQ(timer.Count, 8);
}

TEST(TXeTimer, ExceptionReachesTheHookAndTheTimerGoesOn)
{
    std::vector<std::string> messages;
    TObject* sender = nullptr;
    const TestSupport::ScopedHook hook(Application().OnHandleException, [&](TObject* s, const std::exception& error) {
        sender = s;
        messages.push_back(error.what());
    });
    const auto clock = std::make_shared<timer::ManualTimer>();
    TXeTimer timer(nullptr, clock);
    int calls = 0;
    timer.SetOnTimer([&](TObject*) {
        if (++calls == 1)
            throw EConvertError("inner");
    });
    timer.SetInterval(5);
    timer.SetEnabled(true);
    clock->Advance(15ms);
    EXPECT_EQ(calls, 3) << "still running and not busy";
    EXPECT_EQ(messages, std::vector<std::string>{"Timer Call Error"});
    EXPECT_EQ(sender, &timer);
}

TEST(TXeTimer, DisablingFromInsideOnTimer)
{
    const auto clock = std::make_shared<timer::ManualTimer>();
    TXeTimer timer(nullptr, clock);
    int calls = 0;
    timer.SetOnTimer([&](TObject* sender) {
        if (++calls == 3)
            static_cast<TXeTimer*>(sender)->SetEnabled(false);
    });
    timer.SetInterval(3);
    timer.SetEnabled(true);
    clock->Advance(30ms);
    EXPECT_EQ(calls, 3);
    EXPECT_FALSE(timer.GetEnabled());
    timer.SetEnabled(true); // drops the timer stopped from inside, starts a new one
    clock->Advance(6ms);
    EXPECT_EQ(calls, 5);
    EXPECT_EQ(clock->Running(), 1u);
}

TEST(TXeTimer, RestartingFromInsideOnTimer)
{
    const auto clock = std::make_shared<timer::ManualTimer>();
    TXeTimer timer(nullptr, clock);
    std::vector<long long> calls; // ms
    timer.SetOnTimer([&](TObject* sender) {
        auto* self = static_cast<TXeTimer*>(sender);
        calls.push_back(std::chrono::duration_cast<std::chrono::milliseconds>(clock->Now()).count());
        if (calls.size() % 2 == 0)
            self->SetInterval(self->GetInterval() == 3 ? 4 : 3);
    });
    timer.SetInterval(3);
    timer.SetEnabled(true);
    clock->Advance(20ms);
    // A new interval starts a new timer from the time of the change.
    EXPECT_EQ(calls, (std::vector<long long>{3, 6, 10, 14, 17, 20}));
    EXPECT_EQ(clock->Running(), 1u);
} // destroyed with a stopped timer to drop

TEST(TXeTimer, DisablingWaitsForARunningOnTimer)
{
    TXeTimer timer(nullptr);
    std::atomic<bool> inside{false};
    timer.SetOnTimer([&](TObject*) {
        inside = true;
        std::this_thread::sleep_for(40ms);
        inside = false;
    });
    timer.SetInterval(2);
    timer.SetEnabled(true);
    ASSERT_TRUE(Eventually([&] { return inside.load(); }));
    timer.SetEnabled(false);
    EXPECT_FALSE(inside);
}

TEST(TXeTimer, CountSaturates)
{
    TXeTimer timer(nullptr);
    timer.Count = INT_MAX - 1;
    timer.CountInc();
    timer.CountInc();
    EXPECT_EQ(timer.Count, INT_MAX);
    timer.Timer();
    EXPECT_EQ(timer.Count, INT_MAX) << "a tick saturates too";
    timer.CountClear();
    timer.CountDec();
    EXPECT_EQ(timer.Count, 0);
    timer.Count = -3;
    timer.CountDec();
    EXPECT_EQ(timer.Count, -3);
    timer.CountInc();
    EXPECT_EQ(timer.Count, -2);
}

TEST(TXeTimer, OwnerDestroysIt)
{
    const auto clock = std::make_shared<timer::ManualTimer>();
    {
        TComponent owner(nullptr);
        int calls = 0;
        auto* timer = new TXeTimer(&owner, clock);
        timer->SetOnTimer([&](TObject*) { ++calls; });
        timer->SetInterval(2);
        timer->SetEnabled(true);
        clock->Advance(4ms);
        EXPECT_EQ(calls, 2);
    } // the owner's destructor destroys the timer, which stops its clock's timer
    EXPECT_EQ(clock->Running(), 0u);
}

} // namespace
