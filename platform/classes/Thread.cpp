// TThread: the class library's thread object: Execute on a thread of its own, a terminate flag,
// starting, waiting, and parking in place of suspending.
#include "platform/classes/Thread.h"

#include "platform/classes/Exception.h"

#include <system_error>

TThread::~TThread()
{
    Terminate();
    {
        const std::lock_guard guard(lock_);
        if (!FStarted)
            return; // never started: there is no thread, and starting one now would run a half-destroyed object
        FPermit = true;
        changed_.notify_all();
    }
    FHandle.join();
}

void TThread::Start()
{
    const std::lock_guard guard(lock_);
    if (FStarted)
        return;
    try {
        FHandle = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        throw EThread("Thread creation error");
    }
    FStarted = true;
}

void TThread::Resume()
{
    {
        const std::lock_guard guard(lock_);
        if (FStarted) {
            FPermit = true;
            changed_.notify_all();
            return;
        }
    }
    Start();
}

void TThread::Terminate() { FTerminated = true; }

bool TThread::Suspended() const
{
    const std::lock_guard guard(lock_);
    return !FStarted || FParked;
}

bool TThread::Finished() const
{
    const std::lock_guard guard(lock_);
    return FFinished;
}

void TThread::WaitFor()
{
    std::unique_lock guard(lock_);
    changed_.wait(guard, [&] { return !FStarted || FFinished; });
}

bool TThread::WaitFor(std::chrono::milliseconds timeout)
{
    std::unique_lock guard(lock_);
    return changed_.wait_for(guard, timeout, [&] { return !FStarted || FFinished; });
}

std::exception_ptr TThread::FatalException() const
{
    const std::lock_guard guard(lock_);
    return FFatalException;
}

void TThread::Suspend()
{
    std::unique_lock guard(lock_);
    FParked = true;
    changed_.wait(guard, [&] { return FPermit; });
    FPermit = false;
    FParked = false;
}

void TThread::Run()
{
    std::exception_ptr fatal;
    try {
        Execute();
    } catch (...) {
        fatal = std::current_exception();
    }
    const std::lock_guard guard(lock_);
    FFatalException = fatal;
    FFinished = true;
    changed_.notify_all();
}
