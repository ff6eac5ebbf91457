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
    if ((pending_.fetch_or(bit, std::memory_order_acq_rel) & bit) != 0)
        return;
    if (tracker_)
        tracker_->Add(1);
    wake_.release();
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
    for (;;) {
        if (interrupted_.load(std::memory_order_acquire))
            return -1;
        const int index = TakeLowest();
        if (index >= 0) {
            (void)wake_.try_acquire(); // the token of the event just taken, when still there
            return index;
        }
        // A token may belong to an event that was reset or already taken: look again.
        if (!wake_.try_acquire_until(deadline))
            return -1;
    }
}

void EventSet::Interrupt() noexcept
{
    interrupted_.store(true, std::memory_order_release);
    wake_.release();
}

void EventSet::Done() noexcept
{
    if (handling_.exchange(-1) >= 0 && tracker_)
        tracker_->Sub(1);
}

} // namespace audio
