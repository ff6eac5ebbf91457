// The scripted host: a headless window whose events a test queues and whose loop a test steps.
//
// Step runs one turn of the loop without ever waiting: the queued events in order, the work posted
// so far, then the idle step. Run (a headless game) waits between turns until an event is queued,
// work is posted or Quit is called; nothing here reads the wall clock.
//
// Threads: Queue from any thread; Step on the thread that plays the UI thread. lock_ guards the
// queued events and the wake flag.
#pragma once

#include "platform/host/Host.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

namespace host {

class ScriptedHost final : public Host {
public:
    // Takes the window it shows (a headless one in tests).
    explicit ScriptedHost(std::unique_ptr<video::VideoWindow> window);

    const char* Name() const override { return "scripted"; }
    video::VideoWindow& Window() override { return *window_; }

    // Records the start-up picture's size and whether it is on the screen.
    void ShowSplash(video::Size size, std::span<const std::uint32_t> pixels) override;
    void HideSplash() override { splashShown_ = false; }
    bool SplashShown() const { return splashShown_; }
    video::Size SplashSize() const { return splashSize_; }

    void Queue(const WindowEvent& event);
    // One turn of the loop; false once Quit has been called.
    bool Step() { return Turn(false); }

private:
    void PumpEvents(bool wait) override;
    void Wake() override;

    std::unique_ptr<video::VideoWindow> window_;
    std::mutex lock_;
    std::condition_variable arrived_;
    std::deque<WindowEvent> events_;
    bool woken_ = false;
    bool splashShown_ = false;
    video::Size splashSize_{};
};

} // namespace host
