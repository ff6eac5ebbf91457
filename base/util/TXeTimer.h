// TXeTimer: a component that calls its OnTimer event periodically on a timer of the timer service.
#pragma once

#include "platform/classes/Component.h"
#include "platform/timer/TimerBackEnd.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

// Runs while enabled with a non-zero interval; every change of Enabled, Interval or OnTimer rebuilds
// the timer from scratch. Ticks come on absolute deadlines (no drift). A tick that comes while
// OnTimer still runs is dropped but still counted: Count counts every tick, saturating at
// 0x7FFFFFFF. An exception from OnTimer leaves the timer running and reaches
// Application().HandleException as Exception "Timer Call Error", with the timer as sender.
//
// The timers come from the timer service's back end given at construction (the process's default
// when none is given): on the steady back end each is a thread of its own, on the manual clock the
// ticks run on the thread that advances the clock.
//
// Threads: OnTimer, Timer and the dropped-tick counting run on the timer thread, so OnTimer does
// its own locking. The setters may be called from any thread, also from inside OnTimer. Called
// from another thread, SetEnabled(false), a rebuild and the destructor return only after a running
// OnTimer has returned; called from inside OnTimer they cannot wait for it, and the stopped thread
// is joined by the next rebuild or the destructor. The timer must not be destroyed from inside its
// own OnTimer.
class TXeTimer : public TComponent {
public:
    explicit TXeTimer(TComponent* owner, std::shared_ptr<timer::BackEnd> timers = nullptr);
    ~TXeTimer() override;

    bool GetEnabled() const;
    void SetEnabled(bool enabled);
    // Period in milliseconds; default 1000.
    unsigned GetInterval() const;
    void SetInterval(unsigned ms);
    TNotifyEvent GetOnTimer() const;
    void SetOnTimer(TNotifyEvent event);
    // The resolution the timer would ask of a multimedia timer device: min(interval, 100) within
    // the device's range (100 within it before any interval is set).
    unsigned GetResolution() const;

    void CountClear() { Count = 0; }
    void CountInc();
    void CountDec();

    // One tick: counts it, then runs OnTimer unless OnTimer is already running.
    void Timer();

    // Ticks since the last clear; read and written directly by the owner.
    std::atomic<int> Count{0};

private:
    // Stops the running timer and starts a new one when enabled with a non-zero interval. Raises
    // EOutOfResources when no timer thread can be made.
    void UpdateTimer();
    // The timer thread's call: `missed` ticks came while OnTimer ran, then this one.
    void Tick(unsigned missed);
    void AddCount(unsigned ticks);

    // control_ guards the settings and the timers (never held while OnTimer runs or while waiting
    // for a timer thread).
    const std::shared_ptr<timer::BackEnd> timers_;
    mutable std::mutex control_;
    unsigned interval_ = 1000;
    unsigned resolution_;
    bool enabled_ = false;
    bool destroying_ = false; // no new timer once the destructor has begun (OnTimer may still enable)
    TNotifyEvent onTimer_;
    std::unique_ptr<timer::Timer> running_;
    std::vector<std::unique_ptr<timer::Timer>> stopped_; // stopped from inside OnTimer, not yet joined

    std::atomic<bool> busy_{false}; // set while OnTimer runs
};
