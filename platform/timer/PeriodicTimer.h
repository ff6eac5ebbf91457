// PeriodicTimer: a thread of its own that calls a handler at a fixed period, on absolute deadlines.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace timer {

// The periods the timer accepts, in milliseconds (the shape of a multimedia timer's capabilities).
struct Caps {
    unsigned periodMin;
    unsigned periodMax;
};
Caps GetCaps();

// Deadlines are start + k * period on the monotonic clock, so ticks do not drift whatever the
// handler's own time. When the handler (or the system) holds the thread past deadlines, those ticks
// are not made up: the next call tells how many deadlines passed without a call, and the timer
// keeps to its original phase.
//
// Threads: the owner constructs, stops and destroys; the handler runs on the timer's thread. An
// exception that leaves the handler is dropped (a thread has nobody to pass it to). The handler may
// call Stop on its own timer; the timer must then be destroyed from another thread, or from the
// handler itself, in which case the thread ends when the handler returns.
class PeriodicTimer {
public:
    // The handler's argument: deadlines that passed since the previous call without a call of their own.
    using Handler = std::function<void(unsigned missed)>;

    // Starts the thread; the first call comes one period from now. Throws std::system_error when
    // no thread can be made.
    PeriodicTimer(std::chrono::milliseconds period, Handler handler);
    // Stops, then waits for the thread to end (unless called on that thread).
    ~PeriodicTimer();
    PeriodicTimer(const PeriodicTimer&) = delete;
    PeriodicTimer& operator=(const PeriodicTimer&) = delete;

    // No call starts after this returns; one already running finishes.
    void Stop();
    // True on the timer's own thread, that is inside the handler.
    bool OnTimerThread() const { return std::this_thread::get_id() == thread_.get_id(); }

private:
    struct State;
    static void Run(const std::shared_ptr<State>& state);

    std::shared_ptr<State> state_; // shared with the thread, which may outlive this object
    std::thread thread_;
};

} // namespace timer
