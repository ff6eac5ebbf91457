// TCriticalSection: the class library's re-entrant lock (a thread that holds it may take it again).
#pragma once

#include <mutex>

// Acquire/Release in the class library's names; lock/unlock so that std::lock_guard and
// std::unique_lock hold it for a scope. Any thread; a thread gives back one level per Release.
class TCriticalSection {
public:
    void Acquire() { mutex_.lock(); }
    void Release() { mutex_.unlock(); }
    bool TryEnter() { return mutex_.try_lock(); }

    void lock() { Acquire(); }
    void unlock() { Release(); }
    bool try_lock() { return TryEnter(); }

private:
    std::recursive_mutex mutex_;
};
