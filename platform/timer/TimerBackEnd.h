// The periodic-timer service's back-end contract (timers that call a handler at a fixed period)
// and the choice of back end.
//
// A back end makes running timers. Each timer calls its handler on absolute deadlines
// start + k * period, so ticks do not drift whatever the handler's own time. When the handler (or
// the system) holds the timer past deadlines, those ticks are not made up: the next call tells how
// many deadlines passed without a call of their own, and the timer keeps to its original phase.
// Back ends: platform/timer/steady (a thread per timer on the monotonic clock) and
// platform/timer/headless (a manual clock whose Advance runs the due ticks on the test's thread).
#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace timer {

// The periods the timer accepts, in milliseconds (the shape of a multimedia timer's capabilities).
struct Caps {
    unsigned periodMin;
    unsigned periodMax;
};
// The default back end's (DefaultBackEnd).
Caps GetCaps();

// The handler's argument: deadlines that passed since the previous call without a call of their own.
using Handler = std::function<void(unsigned missed)>;

// A running timer. An exception that leaves the handler goes to the application's HandleException
// on the timer's thread (nobody else is there to take it), and the ticks go on. The handler may
// call Stop on its own timer and may destroy it.
//
// Threads: the owner stops and destroys; the handler runs on the back end's thread for this timer.
class Timer {
public:
    // Stops, then waits for a running call of the handler to return (unless called from inside it,
    // in which case the call finishes after the timer is gone).
    virtual ~Timer() = default;
    // No call starts after this returns; one already running finishes.
    virtual void Stop() = 0;
    // True on the thread that runs the handler, while it runs it.
    virtual bool OnTimerThread() const = 0;
};

// Calls `handler` for the back ends, passing an exception that leaves it to HandleException.
void CallHandler(const Handler& handler, unsigned missed);

// Deadline bookkeeping shared by the back ends: the deadline due next, and the step after a call.
class Deadlines {
public:
    using Duration = std::chrono::steady_clock::duration;
    using TimePoint = std::chrono::steady_clock::time_point;

    // The first deadline is one period after `start`; periods under 1 ms count as 1 ms.
    Deadlines(TimePoint start, Duration period);
    TimePoint Next() const { return next_; }
    // A call for Next() returned at `now`: moves to the first deadline after `now` and returns how
    // many deadlines that skipped (each passed while the call ran).
    unsigned Step(TimePoint now);

private:
    TimePoint next_;
    Duration period_;
};

class BackEnd {
public:
    virtual ~BackEnd() = default;

    virtual const char* Name() const = 0;
    // The periods its timers keep to: any from 1 ms unless a back end says otherwise.
    virtual Caps PeriodCaps() const { return {1, 1000000}; }
    // A timer whose first call comes one period from now. Throws std::system_error when the back
    // end cannot make one (no thread). Any thread.
    virtual std::unique_ptr<Timer> Start(std::chrono::milliseconds period, Handler handler) = 0;
};

// The back end chosen for the process: the steady-clock threads unless a test or the game set
// another. Made on first use; SetDefaultBackEnd replaces it. Holders of the old one keep it alive.
std::shared_ptr<BackEnd> DefaultBackEnd();
void SetDefaultBackEnd(std::shared_ptr<BackEnd> backEnd);

} // namespace timer
