// EventSet: auto-reset events that buffers signal at their notification positions and one thread
// waits on; NotifyTracker: a count of signalled events not yet handled, for clocks that tests drive.
#include "platform/audio/EventSet.h"

#include <algorithm>
#include <bit>
#include <thread>

namespace audio {

bool NotifyTracker::WaitIdle(int pollLimit) const
{
    // Handlers usually finish within microseconds: yield first, then sleep between polls.
    constexpr int kYields = 2000;
    for (int polls = 0; Outstanding() > 0; ++polls) {
        if (polls >= kYields + pollLimit)
            return false;
        if (polls < kYields)
            std::this_thread::yield();
        else
            std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
    return true;
}

EventSet::EventSet(int count, std::shared_ptr<NotifyTracker> tracker)
    : count_(std::clamp(count, 1, kMaxEvents)), tracker_(std::move(tracker))
{
}

EventSet::~EventSet()
{
    Done();
    const int left = std::popcount(pending_.exchange(0));
    if (tracker_ && left > 0)
        tracker_->Sub(left);
}

void EventSet::Signal(int index) noexcept
{
    if (index < 0 || index >= count_)
        return;
    const std::uint32_t bit = 1u << index;
    if ((pending_.fetch_or(bit) & bit) != 0) // sequentially consistent: see WakeWaiter
        return;
    if (tracker_)
        tracker_->Add(1);
    WakeWaiter();
}

void EventSet::WakeWaiter() noexcept
{
    // Sequentially consistent with the waiter's announcement: either it sees what was just set, or
    // this sees it sleeping, and then taking its lock waits until it is really in the wait.
    if (!sleeping_.load())
        return;
    { std::lock_guard guard(sleepLock_); }
    wake_.notify_one();
}

void EventSet::Reset(int index) noexcept
{
    if (index < 0 || index >= count_)
        return;
    const std::uint32_t bit = 1u << index;
    if ((pending_.fetch_and(~bit, std::memory_order_acq_rel) & bit) != 0 && tracker_)
        tracker_->Sub(1);
}

bool EventSet::IsSet(int index) const noexcept
{
    return index >= 0 && index < count_ && (pending_.load(std::memory_order_acquire) & (1u << index)) != 0;
}

int EventSet::TakeLowest() noexcept
{
    std::uint32_t bits = pending_.load();
    while (bits != 0) {
        const std::uint32_t lowest = bits & (~bits + 1);
        const int index = std::countr_zero(lowest);
        handling_.store(index);
        if (pending_.compare_exchange_weak(bits, bits & ~lowest)) {
            // The tracker's count moves from "set" to "being handled".
            return index;
        }
        handling_.store(-1);
    }
    return -1;
}

int EventSet::Wait(std::chrono::milliseconds timeout)
{
    Done();
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::unique_lock guard(sleepLock_);
    for (;;) {
        if (interrupted_.load())
            return -1;
        if (const int index = TakeLowest(); index >= 0)
            return index;
        // Announced before the last look, so that a signal after it finds the waiter sleeping.
        sleeping_.store(true);
        const bool woken = pending_.load() != 0 || interrupted_.load() ||
                           wake_.wait_until(guard, deadline) == std::cv_status::no_timeout;
        sleeping_.store(false);
        if (!woken) {
            // The deadline passed: an event set at the last moment is still taken.
            return interrupted_.load() ? -1 : TakeLowest();
        }
    }
}

void EventSet::Interrupt() noexcept
{
    interrupted_.store(true);
    WakeWaiter();
}

void EventSet::Done() noexcept
{
    if (handling_.exchange(-1) >= 0 && tracker_)
        tracker_->Sub(1);
}

} // namespace audio
