// EventSet: auto-reset events that buffers signal at their notification positions and one thread
// waits on; NotifyTracker: a count of signalled events not yet handled, for clocks that tests drive.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

namespace audio {

// Counts events of every set made with it from the moment they are signalled until their waiter
// has handled them (or they are reset). The manual-clock output waits for the count to reach 0
// before it moves on, so that a test sees every refill and notice in step with the frames it
// advances.
//
// Threads: Add and Sub are lock-free and may be called from any thread, the mixer included.
class NotifyTracker {
public:
    void Add(int n) noexcept { outstanding_.fetch_add(n, std::memory_order_acq_rel); }
    void Sub(int n) noexcept { outstanding_.fetch_sub(n, std::memory_order_acq_rel); }
    int Outstanding() const noexcept { return outstanding_.load(std::memory_order_acquire); }

    // Waits until nothing is outstanding, polling; false when that takes longer than a few
    // thousand yields and `pollLimit` sleeps of 50 microseconds (a handler that hangs).
    bool WaitIdle(int pollLimit = 200000) const;

private:
    std::atomic<int> outstanding_{0};
};

// Up to 32 events, each either set or clear. Signal sets one; a set event stays set (once, however
// often it is signalled) until the waiter takes it or it is reset, as Windows-style auto-reset
// events do. Wait takes the lowest set event first.
//
// Threads: Signal allocates nothing and takes no lock while the waiter is busy (the mixer calls it);
// while the waiter sleeps it takes the waiter's lock for as long as the waiter needs to fall asleep,
// so that the wake-up is never lost. Reset and Interrupt may be called from any thread; Wait and
// Done only from the one thread that waits. The timed wait is a condition variable on the
// monotonic clock: a signal wakes the waiter at once and a time-out ends it at its deadline.
class EventSet {
public:
    static constexpr int kMaxEvents = 32;

    // `count` is clamped to 1..kMaxEvents. `tracker` may be null.
    explicit EventSet(int count, std::shared_ptr<NotifyTracker> tracker = nullptr);
    ~EventSet();
    EventSet(const EventSet&) = delete;
    EventSet& operator=(const EventSet&) = delete;

    int Count() const { return count_; }

    void Signal(int index) noexcept;
    void Reset(int index) noexcept;
    bool IsSet(int index) const noexcept;

    // Ends the handling of the event returned last (Done), then waits up to `timeout` for a set
    // event, takes it and returns its index; -1 after the time-out.
    int Wait(std::chrono::milliseconds timeout);
    // The event Wait returned last has been handled.
    void Done() noexcept;
    // Makes the waiter's Wait return -1 at once, now and in every later call: the set is being
    // shut down. Lock-free; any thread.
    void Interrupt() noexcept;
    // The event the waiter has taken and not yet handled, -1 when none. It is announced before the
    // event is taken, so a thread that resets an event and then finds Handling() different from it
    // knows the waiter will not handle it.
    int Handling() const noexcept { return handling_.load(); }

private:
    // Takes the lowest set event; -1 when none is set.
    int TakeLowest() noexcept;
    // Wakes the waiter if it sleeps (after an event was set or the set interrupted).
    void WakeWaiter() noexcept;

    const int count_;
    std::shared_ptr<NotifyTracker> tracker_;
    std::atomic<std::uint32_t> pending_{0}; // bit i: event i is set
    std::atomic<int> handling_{-1};         // the event the waiter took and has not yet Done
    std::atomic<bool> interrupted_{false};
    std::atomic<bool> sleeping_{false};     // the waiter is in (or entering) its timed wait
    std::mutex sleepLock_;                  // held by the waiter except while it sleeps
    std::condition_variable wake_;
};

} // namespace audio
