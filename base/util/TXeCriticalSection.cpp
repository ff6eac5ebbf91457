// TXeCriticalSection: a re-entrant lock with a non-blocking attempt that also yields to waiters.
#include "base/util/TXeCriticalSection.h"

TXeCriticalSection::~TXeCriticalSection()
{
    // A holder that destroys its own lock (on an error path, say) must not leave the mutex locked.
    const std::lock_guard guard(guard_);
    if (depth_ > 0 && owner_ == std::this_thread::get_id())
        lock_.unlock();
}

bool TXeCriticalSection::TryTake()
{
    const std::thread::id me = std::this_thread::get_id();
    if (depth_ > 0 && owner_ == me) {
        ++depth_;
        return true;
    }
    // With depth 0 and no waiter nobody holds lock_ or is about to take it over, so this never
    // waits. Trying rather than locking keeps the lock order one way (lock_, then guard_), which
    // is what lock-order checkers look for.
    if (depth_ == 0 && waiters_ == 0 && lock_.try_lock()) {
        owner_ = me;
        depth_ = 1;
        return true;
    }
    return false;
}

void TXeCriticalSection::Acquire()
{
    std::unique_lock guard(guard_);
    if (TryTake())
        return;
    ++waiters_;
    guard.unlock();
    lock_.lock();
    guard.lock();
    --waiters_;
    owner_ = std::this_thread::get_id();
    depth_ = 1;
}

bool TXeCriticalSection::Check()
{
    const std::lock_guard guard(guard_);
    return TryTake();
}

void TXeCriticalSection::Release()
{
    const std::lock_guard guard(guard_);
    if (depth_ > 0 && owner_ == std::this_thread::get_id() && --depth_ == 0)
        lock_.unlock();
}

int TXeCriticalSection::Waiters() const
{
    const std::lock_guard guard(guard_);
    return waiters_;
}
