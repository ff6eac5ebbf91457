// TEvent: a Windows-style event (auto-reset or manual-reset) as a mutex and a condition variable.
#include "platform/classes/Event.h"

#include <algorithm>

TEvent::TEvent(bool manualReset, bool initialState) : manualReset_(manualReset), signalled_(initialState) {}

void TEvent::SetEvent()
{
    const std::lock_guard guard(lock_);
    if (manualReset_) {
        signalled_ = true;
        ReleaseAll();
    } else if (!ReleaseOne()) {
        signalled_ = true;
    }
}

void TEvent::ResetEvent()
{
    const std::lock_guard guard(lock_);
    signalled_ = false;
}

void TEvent::PulseEvent()
{
    const std::lock_guard guard(lock_);
    if (manualReset_)
        ReleaseAll();
    else
        ReleaseOne();
    signalled_ = false;
}

TWaitResult TEvent::WaitFor(unsigned timeoutMs)
{
    std::unique_lock guard(lock_);
    if (signalled_) {
        if (!manualReset_)
            signalled_ = false;
        return TWaitResult::wrSignaled;
    }
    if (timeoutMs == 0)
        return TWaitResult::wrTimeout;
    Waiter self;
    waiters_.push_back(&self);
    auto released = [&] { return self.released; };
    if (timeoutMs == kInfinite)
        released_.wait(guard, released);
    else if (!released_.wait_for(guard, std::chrono::milliseconds(timeoutMs), released))
        std::erase(waiters_, &self);
    return self.released ? TWaitResult::wrSignaled : TWaitResult::wrTimeout;
}

int TEvent::Waiting() const
{
    const std::lock_guard guard(lock_);
    return static_cast<int>(waiters_.size());
}

bool TEvent::ReleaseOne()
{
    if (waiters_.empty())
        return false;
    waiters_.front()->released = true;
    waiters_.pop_front();
    released_.notify_all();
    return true;
}

void TEvent::ReleaseAll()
{
    for (Waiter* waiter : waiters_)
        waiter->released = true;
    waiters_.clear();
    released_.notify_all();
}
