// TXeCriticalSection: re-entry, Check against holders and waiters, foreign releases, exclusion.
#include "base/util/TXeCriticalSection.h"

#include "support/Eventually.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// Runs `f` on another thread and returns its result.
template <typename F> auto OnOtherThread(F f) { return std::async(std::launch::async, f).get(); }

using TestSupport::Eventually;

TEST(TXeCriticalSection, OwnerReentersAndNeedsOneReleasePerLevel)
{
    TXeCriticalSection lock;
    ASSERT_TRUE(lock.Check());
    EXPECT_TRUE(lock.Check());
    lock.Acquire();
    lock.Release();
    lock.Release();
    EXPECT_FALSE(OnOtherThread([&] { return lock.Check(); })) << "one level is still held";
    lock.Release();
    EXPECT_TRUE(OnOtherThread([&] {
        const bool taken = lock.Check();
        lock.Release();
        return taken;
    }));
}

TEST(TXeCriticalSection, ReleaseByAnotherThreadDoesNothing)
{
    TXeCriticalSection lock;
    lock.Acquire();
    OnOtherThread([&] { lock.Release(); });
    EXPECT_FALSE(OnOtherThread([&] { return lock.Check(); }));
    lock.Release();
    lock.Release(); // one more than held: ignored
    EXPECT_TRUE(lock.Check());
    lock.Release();
}

TEST(TXeCriticalSection, CheckRefusesWhileAnotherThreadHoldsOrWaits)
{
    TXeCriticalSection lock;
    lock.Acquire();
    std::promise<void> letGo;
    std::atomic<bool> waiterHolds{false};
    std::thread waiter([&] {
        lock.Acquire();
        waiterHolds = true;
        letGo.get_future().wait();
        lock.Release();
    });
    ASSERT_TRUE(Eventually([&] { return lock.Waiters() == 1; }));
    EXPECT_FALSE(OnOtherThread([&] { return lock.Check(); })) << "held";
    lock.Release();
    // From here on either the waiter is still counted or it holds the lock: a third thread is
    // refused in both states, however the threads are scheduled.
    EXPECT_FALSE(OnOtherThread([&] { return lock.Check(); })) << "free, but a waiter takes it next";
    ASSERT_TRUE(Eventually([&] { return waiterHolds.load(); }));
    EXPECT_FALSE(lock.Check()) << "the former owner is refused too";
    letGo.set_value();
    waiter.join();
    EXPECT_TRUE(lock.Check());
    lock.Release();
}

TEST(TXeCriticalSection, KeepsThreadsOutOfEachOther)
{
    TXeCriticalSection lock;
    int inside = 0;
    int entries = 0;
    std::atomic<bool> overlap{false};
    auto work = [&](bool polling) {
        for (int i = 0; i < 2000; ++i) {
            if (polling) {
                if (!lock.Check())
                    continue;
            } else {
                lock.Acquire();
            }
            lock.Acquire(); // nested level
            if (++inside != 1)
                overlap = true;
            ++entries;
            --inside;
            lock.Release();
            lock.Release();
        }
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back(work, t % 2 == 0);
    for (std::thread& t : threads)
        t.join();
    EXPECT_FALSE(overlap);
    EXPECT_GE(entries, 4000) << "every blocking entry got in";
    EXPECT_TRUE(lock.Check());
    lock.Release();
}

} // namespace
