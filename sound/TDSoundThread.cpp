// DirectX::TDSoundThread: the notification thread of a sound buffer: waits on the buffer's events
// and hands each signalled event to the buffer's callback.
#include "sound/TDSoundThread.h"

#include <chrono>

namespace DirectX {

struct TDSoundThread::State {
    std::shared_ptr<audio::EventSet> events;
    TDSoundCallback callback;
    std::atomic<bool> terminated{false};
    std::atomic<int> index{-1};
};

TDSoundThread::TDSoundThread(TCustomDSoundBuffer* owner, std::shared_ptr<audio::EventSet> events,
                             TDSoundCallback callback)
    : owner_(owner), state_(std::make_shared<State>())
{
    state_->events = std::move(events);
    state_->callback = std::move(callback);
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
    // `self` is used only before each callback is made, while it is known to be alive: the
    // destructor sets `terminated` before the object goes away.
    while (!state->terminated.load(std::memory_order_acquire)) {
        const int index = state->events->Wait(std::chrono::milliseconds(kWaitMs));
        if (index < 0 || state->terminated.load(std::memory_order_acquire))
            continue;
        state->index.store(index, std::memory_order_release);
        if (state->callback)
            state->callback(self, index);
    }
    state->events->Done();
}

} // namespace DirectX
