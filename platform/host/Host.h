// The host service: the UI thread's loop, work posted to it, and the events of the window it shows.
//
// A host owns the game's window and the loop of the thread that made it (the UI thread). Each turn
// of the loop delivers the window's waiting events to the listener, runs the work posted to the UI
// thread so far (in the order posted), then calls the idle step; when the idle step has no more to
// do, the next turn waits until an event or a posted piece of work arrives. Quit ends the loop
// after the current turn. An exception that leaves the listener, posted work or the idle step goes
// to Application().HandleException and the loop goes on.
//
// Back ends: platform/host/sdl (the SDL2 window of the video service, with its input translated)
// and platform/host/headless (a scripted host that a test steps turn by turn and feeds events).
//
// Threads: Post, Quit, Terminated, Active and the pointer's members from any thread; everything
// else on the UI thread. postLock_ guards the posted work; the quit request, the activity and the
// pointer position are atomic.
#pragma once

#include "platform/host/WindowEvent.h"
#include "platform/video/VideoBackEnd.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>

namespace host {

using Listener = std::function<void(const WindowEvent&)>;
// Returns true when it has more to do at once (the loop does not wait), false when it is done.
using IdleStep = std::function<bool()>;

class Host {
public:
    virtual ~Host() = default;

    virtual const char* Name() const = 0;
    // The window the host shows; display devices present into its front buffer.
    virtual video::VideoWindow& Window() = 0;
    // Makes the application's message boxes windows of this host (the game does; tests keep
    // their own hooks).
    virtual void InstallMessageBoxes() {}
    // The start-up picture: a borderless window titled "Splash", `size` pixels, centred on the
    // screen, showing `pixels` (rows of 0x00RRGGBB, top to bottom) until HideSplash or the host's
    // end. Called once; pixels of another count than the size's show nothing.
    virtual void ShowSplash(video::Size size, std::span<const std::uint32_t> pixels) = 0;
    virtual void HideSplash() = 0;

    void SetListener(Listener listener) { listener_ = std::move(listener); }
    void SetIdle(IdleStep idle) { idle_ = std::move(idle); }

    // Runs the loop until Quit; returns the exit code Quit gave.
    int Run();
    // Runs `work` on the UI thread in a later turn, after the work posted before it.
    void Post(std::function<void()> work);
    // Ends the loop after the current turn.
    void Quit(int exitCode = 0);
    bool Terminated() const { return quit_.load(); }
    // Whether the window has the keyboard focus (it starts with it).
    bool Active() const { return active_; }
    // The pointer's last position in client coordinates of the picture, from the mouse events.
    video::Point PointerPosition() const { return {pointerX_.load(), pointerY_.load()}; }
    // Moves the pointer to a client position of the picture.
    void WarpPointer(int x, int y);

protected:
    // One turn; `mayWait`: the turn may wait for events when there is nothing else to do.
    // False once the loop has been asked to quit.
    bool Turn(bool mayWait);
    // Delivers the window's waiting events through Deliver; when `wait` is set and none is waiting,
    // first waits until one arrives or Wake is called.
    virtual void PumpEvents(bool wait) = 0;
    // Any thread: makes a waiting PumpEvents return.
    virtual void Wake() = 0;
    // Any thread: moves the window system's pointer (nothing for a scripted host).
    virtual void MovePointer(int /*x*/, int /*y*/) {}
    void Deliver(const WindowEvent& event);

private:
    bool HasPosted() const;
    void RunPosted();
    template <typename F> void Guarded(F&& call);

    Listener listener_;
    IdleStep idle_;
    bool busy_ = true;    // the idle step has more to do (it runs before the loop first waits)
    std::atomic<bool> active_{true};
    std::atomic<int> pointerX_{0};
    std::atomic<int> pointerY_{0};
    std::atomic<bool> quit_{false};
    std::atomic<int> exitCode_{0};
    mutable std::mutex postLock_;
    std::deque<std::function<void()>> posted_;
};

// The host for the process's video back end (video::DefaultBackEnd): an SDL window when the video
// service runs on SDL, a scripted host over a headless window otherwise. UI thread; null when the
// window cannot be made.
std::unique_ptr<Host> CreateHost(const std::string& utf8Title, video::Size client);

} // namespace host
