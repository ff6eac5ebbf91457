// TEvent: a Windows-style event (auto-reset or manual-reset) as a mutex and a condition variable.
//
// A manual-reset event stays signalled until ResetEvent and releases every waiter meanwhile. An
// auto-reset event releases one waiter and resets itself: SetEvent with threads waiting releases
// the one that waited longest; with none waiting the event stays signalled until a wait takes it.
// PulseEvent releases the threads waiting at that moment (all of them, or for an auto-reset event
// the one that waited longest) and leaves the event reset, so a pulse with nobody waiting is lost.
//
// Threads: every member may be called from any thread. lock_ guards all the fields.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

enum class TWaitResult { wrSignaled, wrTimeout };

class TEvent {
public:
    static constexpr unsigned kInfinite = 0xFFFFFFFFu; // a wait without time-out

    TEvent(bool manualReset, bool initialState);
    TEvent(const TEvent&) = delete;
    TEvent& operator=(const TEvent&) = delete;

    void SetEvent();
    void ResetEvent();
    void PulseEvent();
    // Waits until the event releases this thread or `timeoutMs` milliseconds have passed
    // (kInfinite: no time-out; 0: only tests the state).
    TWaitResult WaitFor(unsigned timeoutMs);
    // Threads waiting now (tests use it to pulse only once a waiter is there).
    int Waiting() const;

private:
    struct Waiter {
        bool released = false;
    };
    // Releases the longest-waiting thread; false when none waits.
    bool ReleaseOne();
    void ReleaseAll();

    mutable std::mutex lock_;
    std::condition_variable released_;
    const bool manualReset_;
    bool signalled_;
    std::deque<Waiter*> waiters_; // longest waiting first
};
