// PeriodicTimer: a thread of its own that calls a handler at a fixed period, on absolute deadlines.
#include "platform/timer/PeriodicTimer.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>

namespace timer {

Caps GetCaps() { return {1, 1000000}; }

// `lock` guards `stop`; the rest is set before the thread starts and then only read by it.
struct PeriodicTimer::State {
    std::mutex lock;
    std::condition_variable wake;
    bool stop = false;
    std::chrono::steady_clock::duration period;
    Handler handler;
};

PeriodicTimer::PeriodicTimer(std::chrono::milliseconds period, Handler handler) : state_(std::make_shared<State>())
{
    state_->period = std::max<std::chrono::steady_clock::duration>(period, std::chrono::milliseconds(1));
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

void PeriodicTimer::Run(const std::shared_ptr<State>& state)
{
    using Clock = std::chrono::steady_clock;
    const Clock::duration period = state->period;
    Clock::time_point next = Clock::now() + period;
    unsigned missed = 0;
    std::unique_lock guard(state->lock);
    while (!state->wake.wait_until(guard, next, [&] { return state->stop; })) {
        guard.unlock();
        try {
            state->handler(missed);
        } catch (...) {
            // Dropped: see the class comment.
        }
        guard.lock();
        next += period;
        const Clock::time_point now = Clock::now();
        missed = 0;
        if (next <= now) {
            const auto behind = (now - next) / period + 1;
            missed = static_cast<unsigned>(behind);
            next += behind * period;
        }
    }
}

} // namespace timer
