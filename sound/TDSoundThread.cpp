// DirectX::TDSoundThread: the notification thread of a sound buffer: waits on the buffer's events
// and hands each signalled event to the buffer's callback.
#include "sound/TDSoundThread.h"

#include "platform/system/ThreadPriority.h"

#include <chrono>

namespace DirectX {

struct TDSoundThread::State {
    std::shared_ptr<audio::EventSet> events;
    TDSoundCallback callback;
    std::atomic<bool> terminated{false};
    std::atomic<int> index{-1};
    std::chrono::milliseconds wait{TDSoundThread::kWaitMs};
};

TDSoundThread::TDSoundThread(TCustomDSoundBuffer* owner, std::shared_ptr<audio::EventSet> events,
                             TDSoundCallback callback, std::chrono::milliseconds wait)
    : owner_(owner), state_(std::make_shared<State>())
{
    state_->events = std::move(events);
    state_->callback = std::move(callback);
    state_->wait = wait;
}

TDSoundThread::~TDSoundThread()
{
    Terminate();
    if (!thread_.joinable())
        return;
    if (thread_.get_id() == std::this_thread::get_id())
        thread_.detach();
    else
        thread_.join();
}

void TDSoundThread::Start()
{
    if (!thread_.joinable() && state_->events)
        thread_ = std::thread(&TDSoundThread::Execute, state_, this);
}

void TDSoundThread::Terminate()
{
    state_->terminated.store(true, std::memory_order_release);
    if (state_->events)
        state_->events->Interrupt(); // a waiting thread sees `terminated` now, not after its time-out
}

const std::shared_ptr<audio::EventSet>& TDSoundThread::Events() const
{
    return state_->events;
}

int TDSoundThread::Count() const
{
    return state_->events ? state_->events->Count() : 0;
}

int TDSoundThread::Index() const
{
    return state_->index.load(std::memory_order_acquire);
}

void TDSoundThread::WaitWhileHandling(int first, int last) const
{
    if (!state_->events || thread_.get_id() == std::this_thread::get_id())
        return;
    for (;;) {
        const int handling = state_->events->Handling();
        if (handling < first || handling > last)
            return;
        std::this_thread::yield();
    }
}

void TDSoundThread::Execute(const std::shared_ptr<State>& state, TDSoundThread* self)
{
    // Refills and notices must keep ahead of the mixer: one step above normal where the system
    // lets an unprivileged process have it; otherwise normal priority, which the one-second lead
    // of a stream's refills absorbs.
    ThreadPriority::RaiseCurrentThread();
    // `self` is used only before each callback is made, while it is known to be alive: the
    // destructor sets `terminated` before the object goes away.
    while (!state->terminated.load(std::memory_order_acquire)) {
        const int index = state->events->Wait(state->wait);
        if (index < 0 || state->terminated.load(std::memory_order_acquire))
            continue;
        state->index.store(index, std::memory_order_release);
        if (state->callback)
            state->callback(self, index);
    }
    state->events->Done();
}

} // namespace DirectX
