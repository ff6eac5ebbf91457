// GameWindowFixture: the game's window on a scripted host over the headless display, the manual
// audio and timer clocks, and a temporary program folder, for the tests that run the window and its
// form whole. The test plays the UI thread: it steps the host, moves the clocks on and queues the
// player's clicks and keys, waiting with time-outs for what the game shows. Message boxes are
// recorded and answered with `answer`.
#pragma once

#include "game/GameWindow.h"

#include "platform/audio/headless/ManualAudio.h"
#include "platform/classes/Application.h"
#include "platform/host/headless/ScriptedHost.h"
#include "platform/timer/headless/ManualTimer.h"
#include "platform/video/headless/HeadlessVideo.h"
#include "tests/shell/FormTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace GameTest {

class GameWindowFixture : public ::testing::Test {
protected:
    GameWindowFixture();
    ~GameWindowFixture() override;

    // Makes the window on the program folder; `logic` makes its logic thread (the form's base
    // thread when empty).
    void Open(TGameForm::TLogicThreadFactory logic = {});

    // One turn of the UI thread: the host's events and posted work, then a tick of the frame timer
    // and of the audio clock. False once the loop has ended.
    bool Turn();
    // Turns until `done` holds; false after the time-out or when the loop ended first.
    bool RunUntil(const std::function<bool()>& done, std::chrono::seconds limit = std::chrono::seconds(60));
    // Turns until the loop ends; false after the time-out.
    bool RunToEnd(std::chrono::seconds limit = std::chrono::seconds(60));

    // The form's state, or fsNone before the form exists.
    std::uint8_t State() const;

    // A left click at (x, y) of the picture.
    void Click(int x, int y);
    // Key down and up.
    void Key(std::uint16_t key);
    void Queue(host::WindowEvent::Kind kind, std::uint16_t key = 0, TShiftState shift = 0);

    std::shared_ptr<audio::ManualAudio> audioBack = std::make_shared<audio::ManualAudio>();
    std::shared_ptr<timer::ManualTimer> timerBack = std::make_shared<timer::ManualTimer>();
    video::HeadlessVideo video;
    host::ScriptedHost host{video.CreateWindow({640, 480}, {64, 48})};
    ShellTest::TempFolder folder;
    std::unique_ptr<GameWindow> window;
    std::vector<std::string> questions;
    int answer = idOK;

private:
    TApplication::MessageBoxHook savedHook_;
};

} // namespace GameTest
