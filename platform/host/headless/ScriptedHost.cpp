// The scripted host: a headless window whose events a test queues and whose loop a test steps.
#include "platform/host/headless/ScriptedHost.h"

namespace host {

ScriptedHost::ScriptedHost(std::unique_ptr<video::VideoWindow> window) : window_(std::move(window)) {}

void ScriptedHost::ShowSplash(video::Size size, std::span<const std::uint32_t> /*pixels*/)
{
    splashSize_ = size;
    splashShown_ = true;
}

void ScriptedHost::Queue(const WindowEvent& event)
{
    {
        const std::lock_guard guard(lock_);
        events_.push_back(event);
    }
    arrived_.notify_all();
}

void ScriptedHost::PumpEvents(bool wait)
{
    std::deque<WindowEvent> events;
    {
        std::unique_lock guard(lock_);
        if (wait)
            arrived_.wait(guard, [&] { return woken_ || !events_.empty(); });
        woken_ = false;
        events.swap(events_);
    }
    for (const WindowEvent& event : events)
        Deliver(event);
}

void ScriptedHost::Wake()
{
    {
        const std::lock_guard guard(lock_);
        woken_ = true;
    }
    arrived_.notify_all();
}

} // namespace host
