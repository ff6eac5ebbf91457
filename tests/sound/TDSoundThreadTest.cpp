// TDSoundThread: events reach the callback on the thread; termination wakes a waiting thread at
// once, so deleting a buffer never waits out the thread's time-out.
#include "sound/TDSoundThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <thread>

namespace {

using namespace DirectX;
using namespace std::chrono_literals;

TEST(TDSoundThread, HandsEventsToTheCallbackOnItsThread)
{
    auto events = std::make_shared<audio::EventSet>(2);
    std::promise<std::pair<int, std::thread::id>> called;
    TDSoundThread thread(nullptr, events, [&](TDSoundThread* self, int index) {
        EXPECT_EQ(self->Index(), index);
        called.set_value({index, std::this_thread::get_id()});
    });
    thread.Start();
    events->Signal(1);
    auto future = called.get_future();
    ASSERT_EQ(future.wait_for(30s), std::future_status::ready);
    const auto [index, id] = future.get();
    EXPECT_EQ(index, 1);
    EXPECT_NE(id, std::this_thread::get_id());
}

// With a wait of an hour, only the wake-up on termination lets the destructor return.
TEST(TDSoundThread, DestructionDoesNotWaitForTheTimeOut)
{
    auto done = std::async(std::launch::async, [] {
        for (int i = 0; i < 20; ++i) {
            TDSoundThread thread(nullptr, std::make_shared<audio::EventSet>(5), [](TDSoundThread*, int) {},
                                 std::chrono::hours(1));
            thread.Start();
        }
    });
    EXPECT_EQ(done.wait_for(30s), std::future_status::ready) << "a waiting thread was not woken";
}

} // namespace
