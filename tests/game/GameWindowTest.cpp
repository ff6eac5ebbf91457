#include "game/GameWindow.h"

#include "platform/audio/headless/ManualAudio.h"
#include "platform/classes/Application.h"
#include "platform/host/VirtualKeys.h"
#include "platform/host/headless/ScriptedHost.h"
#include "platform/timer/headless/ManualTimer.h"
#include "platform/video/headless/HeadlessVideo.h"
#include "shell/GameGlobals.h"
#include "shell/thread/TMainThread.h"
#include "tests/shell/FormTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using host::WindowEvent;

// The game's window over a scripted host on the headless display, the manual audio and timer
// clocks, and a temporary program folder; message boxes answer `answer`.
class GameWindowTest : public ::testing::Test {
protected:
    GameWindowTest()
    {
        audio::SetDefaultBackEnd(audioBack);
        timer::SetDefaultBackEnd(timerBack);
        savedHook = Application().OnMessageBox;
        Application().OnMessageBox = [this](const std::string& text, const std::string&, int) {
            questions.push_back(text);
            return answer;
        };
        WindowMode = 1;
        CapEnable = 1;
    }
    ~GameWindowTest() override
    {
        window.reset();
        Application().OnMessageBox = savedHook;
        timer::SetDefaultBackEnd(nullptr);
        audio::SetDefaultBackEnd(nullptr);
        WindowMode = 1;
        CapEnable = 0;
    }

    void Open()
    {
        window = std::make_unique<GameWindow>(host, [this](FormServices& s) { s.programFolder = folder.GameName(); });
    }

    // Steps the loop until it ends, failing after a time-out instead of hanging.
    void RunToEnd()
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (host.Step())
            ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the loop did not end";
    }

    void Queue(WindowEvent::Kind kind, std::uint16_t key = 0, TShiftState shift = 0)
    {
        WindowEvent e;
        e.kind = kind;
        e.key = key;
        e.shift = shift;
        host.Queue(e);
    }

    std::shared_ptr<audio::ManualAudio> audioBack = std::make_shared<audio::ManualAudio>();
    std::shared_ptr<timer::ManualTimer> timerBack = std::make_shared<timer::ManualTimer>();
    video::HeadlessVideo video;
    host::ScriptedHost host{video.CreateWindow({640, 480}, {64, 48})};
    ShellTest::TempFolder folder;
    std::unique_ptr<GameWindow> window;
    std::vector<std::string> questions;
    int answer = idOK;
    TApplication::MessageBoxHook savedHook;
};

TEST_F(GameWindowTest, TheFirstIdleShowsTheFormAndClosingAsksThenEndsTheLoop)
{
    Open();
    EXPECT_EQ(window->Form(), nullptr);
    ASSERT_TRUE(host.Step());
    ASSERT_NE(window->Form(), nullptr);
    EXPECT_EQ(GameForm, window->Form());
    EXPECT_TRUE(window->Form()->Running());

    answer = idCancel;
    Queue(WindowEvent::Kind::CloseRequest);
    ASSERT_TRUE(host.Step());
    EXPECT_EQ(questions.size(), 1u);
    EXPECT_TRUE(window->Form()->Running()) << "Cancel keeps the game running";

    answer = idOK;
    Queue(WindowEvent::Kind::CloseRequest);
    RunToEnd();
    EXPECT_EQ(questions.size(), 2u);
    EXPECT_EQ(MainThread.load(), nullptr);
    EXPECT_EQ(window->Form()->GetState(), fsClosing);
    window.reset();
    EXPECT_EQ(GameForm, nullptr);
}

TEST_F(GameWindowTest, HotKeysAreTakenBeforeTheInputQueue)
{
    Open();
    ASSERT_TRUE(host.Step());
    Queue(WindowEvent::Kind::KeyDown, VK_SNAPSHOT);
    Queue(WindowEvent::Kind::KeyDown, VK_RETURN, ssAlt);
    ASSERT_TRUE(host.Step());
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "Snap000.png"));
    EXPECT_EQ(WindowMode, 0);
    EXPECT_EQ(window->Form()->QueuedInput(), 0u);

    Queue(WindowEvent::Kind::CloseRequest); // full screen: no question
    RunToEnd();
    EXPECT_TRUE(questions.empty());
}

TEST_F(GameWindowTest, AFormThatCannotBeMadeEndsTheLoop)
{
    video.settings.startFails = true;
    Open();
    RunToEnd();
    EXPECT_EQ(MainThread.load(), nullptr);
}

} // namespace
