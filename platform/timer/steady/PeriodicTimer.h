// PeriodicTimer: a thread of its own that calls a handler at a fixed period, on absolute deadlines
// of the monotonic clock.
#pragma once

#include "platform/timer/TimerBackEnd.h"

#include <memory>
#include <thread>

namespace timer {

// The steady back end's timer (see Timer for the contract). When the handler destroys its own
// timer, the thread is detached and ends when the handler returns.
class PeriodicTimer final : public Timer {
public:
    // Starts the thread; the first call comes one period from now. Throws std::system_error when
    // no thread can be made.
    PeriodicTimer(std::chrono::milliseconds period, Handler handler);
    ~PeriodicTimer() override;
    PeriodicTimer(const PeriodicTimer&) = delete;
    PeriodicTimer& operator=(const PeriodicTimer&) = delete;

    void Stop() override;
    bool OnTimerThread() const override;

private:
    struct State;
    static void Run(const std::shared_ptr<State>& state);

    std::shared_ptr<State> state_; // shared with the thread, which may outlive this object
    std::thread thread_;           // the owner's thread only
};

} // namespace timer
