// DirectX::TDSoundThread: the notification thread of a sound buffer: waits on the buffer's events
// and hands each signalled event to the buffer's callback.
#pragma once

#include "platform/audio/EventSet.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace DirectX {

class TDSoundThread;
class TCustomDSoundBuffer;

// Called on the notification thread with the event's index.
using TDSoundCallback = std::function<void(TDSoundThread* thread, int index)>;

// Made stopped; Start runs it, one step above normal priority where the system allows. The
// thread waits for any of its events with a time-out (100 ms), stores the index of a signalled
// event and calls the callback with it; a time-out just loops. Terminate wakes a waiting thread at
// once, and no callback starts after it. Destruction terminates the thread and waits for a running
// callback to return; when that happens on the thread itself (a callback that deletes its own
// buffer), the thread is let go and ends as soon as the callback returns, touching nothing of the
// deleted objects.
//
// Threads: construct, Start, Terminate and destroy on the buffer's owning thread; Index on any.
// Because destruction waits for a running callback, the thread that destroys it (deleting the
// buffer) must hold no lock the callback takes: it would wait for the callback while the
// callback waits for the lock.
class TDSoundThread {
public:
    static constexpr int kWaitMs = 100;

    TDSoundThread(TCustomDSoundBuffer* owner, std::shared_ptr<audio::EventSet> events, TDSoundCallback callback,
                  std::chrono::milliseconds wait = std::chrono::milliseconds(kWaitMs));
    ~TDSoundThread();
    TDSoundThread(const TDSoundThread&) = delete;
    TDSoundThread& operator=(const TDSoundThread&) = delete;

    void Start();
    void Terminate();

    TCustomDSoundBuffer* Owner() const { return owner_; }
    // Events the thread waits on (owned with it).
    const std::shared_ptr<audio::EventSet>& Events() const;
    int Count() const;
    // The event signalled last (-1 before the first).
    int Index() const;
    // Waits while the thread handles (or has taken) an event from `first` to `last`; returns at
    // once on the thread itself.
    void WaitWhileHandling(int first, int last) const;

private:
    struct State;
    static void Execute(const std::shared_ptr<State>& state, TDSoundThread* self);

    TCustomDSoundBuffer* owner_;
    std::shared_ptr<State> state_; // shared with the thread, which may outlive this object
    std::thread thread_;
};

} // namespace DirectX
