// The host service: the UI thread's loop, work posted to it, and the events of the window it shows.
#include "platform/host/Host.h"

#include "platform/classes/Application.h"
#include "platform/host/headless/ScriptedHost.h"
#include "platform/host/sdl/SdlHost.h"
#include "platform/video/headless/HeadlessVideo.h"
#include "platform/video/sdl/SdlVideo.h"

#include <exception>

namespace host {

int Host::Run()
{
    while (Turn(true)) {
    }
    return exitCode_;
}

void Host::Post(std::function<void()> work)
{
    {
        const std::lock_guard guard(postLock_);
        posted_.push_back(std::move(work));
    }
    Wake();
}

void Host::Quit(int exitCode)
{
    exitCode_ = exitCode;
    quit_ = true;
    Wake();
}

bool Host::Turn(bool mayWait)
{
    PumpEvents(mayWait && !busy_ && !HasPosted() && !quit_);
    RunPosted();
    busy_ = false;
    if (idle_ && !quit_)
        Guarded([&] { busy_ = idle_(); });
    return !quit_;
}

void Host::WarpPointer(int x, int y)
{
    pointerX_ = x;
    pointerY_ = y;
    MovePointer(x, y);
}

void Host::Deliver(const WindowEvent& event)
{
    using Kind = WindowEvent::Kind;
    if (event.kind == Kind::Activate || event.kind == Kind::Deactivate)
        active_ = event.kind == Kind::Activate;
    if (event.kind == Kind::MouseMove || event.kind == Kind::MouseDown || event.kind == Kind::MouseUp ||
        event.kind == Kind::MouseWheel || event.kind == Kind::MouseEnter) {
        pointerX_ = event.x;
        pointerY_ = event.y;
    }
    if (listener_)
        Guarded([&] { listener_(event); });
}

bool Host::HasPosted() const
{
    const std::lock_guard guard(postLock_);
    return !posted_.empty();
}

void Host::RunPosted()
{
    std::deque<std::function<void()>> work;
    {
        const std::lock_guard guard(postLock_);
        work.swap(posted_);
    }
    for (auto& piece : work)
        Guarded(piece);
}

template <typename F> void Host::Guarded(F&& call)
{
    try {
        call();
    } catch (const std::exception& error) {
        Application().HandleException(nullptr, error);
    }
}

std::unique_ptr<Host> CreateHost(const std::string& utf8Title, video::Size client)
{
    video::BackEnd& video = video::DefaultBackEnd();
    if (auto* sdl = dynamic_cast<video::SdlVideo*>(&video))
        return SdlHost::Create(*sdl, utf8Title, client);
    if (auto* headless = dynamic_cast<video::HeadlessVideo*>(&video))
        return std::make_unique<ScriptedHost>(headless->CreateWindow(client));
    return nullptr;
}

} // namespace host
