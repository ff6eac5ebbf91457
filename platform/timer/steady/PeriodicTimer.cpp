// PeriodicTimer: a thread of its own that calls a handler at a fixed period, on absolute deadlines
// of the monotonic clock.
#include "platform/timer/steady/PeriodicTimer.h"

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace timer {

// `lock` guards `stop`; `threadId` is written by the thread itself before its first call, so the
// thread never reads the owner's std::thread object; the rest is set before the thread starts.
struct PeriodicTimer::State {
    std::mutex lock;
    std::condition_variable wake;
    bool stop = false;
    std::atomic<std::thread::id> threadId;
    std::chrono::milliseconds period;
    Handler handler;
};

PeriodicTimer::PeriodicTimer(std::chrono::milliseconds period, Handler handler) : state_(std::make_shared<State>())
{
    state_->period = period;
    state_->handler = std::move(handler);
    thread_ = std::thread([state = state_] { Run(state); });
}

PeriodicTimer::~PeriodicTimer()
{
    Stop();
    if (OnTimerThread())
        thread_.detach(); // the handler destroys its own timer: the thread ends when it returns
    else
        thread_.join();
}

void PeriodicTimer::Stop()
{
    {
        const std::lock_guard guard(state_->lock);
        state_->stop = true;
    }
    state_->wake.notify_all();
}

bool PeriodicTimer::OnTimerThread() const
{
    return state_->threadId.load() == std::this_thread::get_id();
}

void PeriodicTimer::Run(const std::shared_ptr<State>& state)
{
    state->threadId = std::this_thread::get_id();
    Deadlines deadlines(std::chrono::steady_clock::now(), state->period);
    unsigned missed = 0;
    std::unique_lock guard(state->lock);
    while (!state->wake.wait_until(guard, deadlines.Next(), [&] { return state->stop; })) {
        guard.unlock();
        CallHandler(state->handler, missed);
        guard.lock();
        missed = deadlines.Step(std::chrono::steady_clock::now());
    }
}

} // namespace timer
