// TXeCriticalSection: a re-entrant lock with a non-blocking attempt that also yields to waiters.
#pragma once

#include <mutex>
#include <thread>

// Thread-safe: any thread may call any member. A thread holds the lock after Acquire or a
// successful Check, and gives one level back per Release. Check never waits: it refuses while
// another thread holds the lock and also while another thread is already waiting for it, so a
// waiter is never overtaken by a polling thread. Destroy it only when no other thread holds it.
class TXeCriticalSection {
public:
    TXeCriticalSection() = default;
    ~TXeCriticalSection();
    TXeCriticalSection(const TXeCriticalSection&) = delete;
    TXeCriticalSection& operator=(const TXeCriticalSection&) = delete;

    // Blocks until the calling thread holds the lock (one more level when it already does).
    void Acquire();
    // Takes the lock (one more level) if that is possible without waiting; false otherwise.
    bool Check();
    // Gives up one level; does nothing when the caller does not hold the lock.
    void Release();

    // Threads blocked in Acquire right now (for diagnostics and tests).
    int Waiters() const;

private:
    // The non-waiting part of Acquire, called with guard_ held: true when the caller now holds the lock.
    bool TryTake();

    // guard_ protects owner_, depth_ and waiters_. lock_ is held by the owner while depth_ > 0.
    mutable std::mutex guard_;
    std::mutex lock_;
    std::thread::id owner_; // the thread that took the lock last; kept after release
    int depth_ = 0;
    int waiters_ = 0;
};
