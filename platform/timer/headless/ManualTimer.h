// The manual-clock periodic-timer back end: timers whose calls run when the test advances the clock.
//
// The clock starts at zero when the back end is made. Advance moves it on and runs every call
// that falls due on the way (a deadline at the new time included), in deadline order and, for
// equal deadlines, in the order the timers were started, on the caller's thread, with the clock
// set to the call's deadline. A handler that calls Hold keeps its timer busy for that long: the
// clock moves on without calls, and the timer's next call reports the deadlines the handler spanned
// exactly as the steady back end does; calls of other timers that fell due meanwhile run late, at
// the time the hold ended. Nothing here reads the wall clock.
//
// Threads: Advance from one thread at a time (the test's); Hold from inside a handler; Now, Start,
// the caps and the timers' Stop and destruction from any thread. lock_ guards the clock, the caps
// and the timer list and is never held while a handler runs. Destroying a timer from another
// thread than the one running its handler waits for that call to return. The back end must
// outlive its timers.
#pragma once

#include "platform/timer/TimerBackEnd.h"

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <vector>

namespace timer {

class ManualTimer final : public BackEnd {
public:
    using Duration = Deadlines::Duration;

    const char* Name() const override { return "manual"; }
    Caps PeriodCaps() const override;
    std::unique_ptr<Timer> Start(std::chrono::milliseconds period, Handler handler) override;

    // The periods reported from now on (a coarser timer than the default 1 ms).
    void SetPeriodCaps(Caps caps);

    // Moves the clock `span` on, running the calls that fall due (see above).
    void Advance(Duration span);
    // From inside a handler: the handler keeps its timer busy for `span`.
    void Hold(Duration span);
    // Time since the back end was made.
    Duration Now() const;
    // Timers started and neither stopped nor destroyed.
    std::size_t Running() const;

private:
    struct Entry;
    class Handle;
    // The running entry with the earliest deadline at or before the clock's limit; null when none.
    std::shared_ptr<Entry> NextDue(Deadlines::TimePoint limit) const;
    void Stop(const std::shared_ptr<Entry>& entry);
    void Finish(const std::shared_ptr<Entry>& entry);
    bool OnTimerThread(const Entry& entry) const;

    mutable std::mutex lock_;
    std::condition_variable callEnded_; // a handler returned
    Deadlines::TimePoint now_{};
    Caps caps_{1, 1000000};
    std::vector<std::shared_ptr<Entry>> running_; // in start order
};

} // namespace timer
