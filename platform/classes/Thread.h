// TThread: the class library's thread object: Execute on a thread of its own, a terminate flag,
// starting, waiting, and parking in place of suspending.
//
// A thread is made suspended and runs nothing until Start (or Resume): started from the
// constructor, it could run Execute before the derived class exists. Terminate only sets the flag that
// Execute polls. A thread never suspends another: Execute parks itself with Suspend, and Resume
// wakes it. The wake-up is a permit, so a Resume that comes before the Suspend it is meant for is
// not lost: that Suspend returns at once. An exception that leaves Execute ends the thread and is
// kept as FatalException.
//
// Threads: Start, Resume, Terminate, Terminated, Suspended, Finished and the waits from any thread
// (the waits not from the thread itself); Suspend only from inside Execute. lock_ guards the
// permit, the parked flag, the start and the end; FTerminated is atomic.
//
// Destruction: the destructor terminates, wakes and waits for a started thread. It runs after
// the destructors of derived classes, so an owner whose Execute uses members of a derived class
// terminates and waits for the thread before destroying it (as the game does).
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

class TThread {
public:
    TThread() = default;
    virtual ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    // Starts a thread made suspended; no effect once started. Throws EThread when no thread can be made.
    void Start();
    // Starts a thread not yet started, or wakes (or gives the permit to) a parked one.
    void Resume();
    void Terminate();
    bool Terminated() const { return FTerminated.load(); }
    // True before Start and while Execute is parked.
    bool Suspended() const;
    bool Finished() const;
    // Waits until the thread has ended (at once when it never started).
    void WaitFor();
    // The same with a time-out; false when the thread still runs after it.
    bool WaitFor(std::chrono::milliseconds timeout);

    std::exception_ptr FatalException() const;

protected:
    virtual void Execute() = 0;
    // From inside Execute: parks until Resume, unless a Resume came since the last park.
    void Suspend();

private:
    void Run();

    std::atomic<bool> FTerminated{false};
    mutable std::mutex lock_;
    std::condition_variable changed_; // the permit came, or the thread ended
    bool FStarted = false;
    bool FFinished = false;
    bool FPermit = false;
    bool FParked = false;
    std::exception_ptr FFatalException;
    std::thread FHandle; // made under lock_ by Start, joined by the destructor
};
