// The whole game headless on its real screens: the sample game generated into a temporary program
// folder, the game's window on a scripted host over the headless display, the manual audio and
// timer clocks, and the game's own logic thread. The test plays the UI thread: it steps the host,
// moves the clocks on and queues the player's clicks, waiting with time-outs for what the logic
// thread shows.
#include "game/GameWindow.h"
#include "game/thread/TGameThread.h"

#include "platform/audio/headless/ManualAudio.h"
#include "platform/classes/Application.h"
#include "platform/host/VirtualKeys.h"
#include "platform/host/headless/ScriptedHost.h"
#include "platform/timer/headless/ManualTimer.h"
#include "platform/video/headless/HeadlessVideo.h"
#include "scenario/records/TReadMesTable.h"
#include "scenario/records/TSystemState.h"
#include "scenario/saves/SystemSave.h"
#include "shell/GameGlobals.h"
#include "shell/thread/TMainThread.h"
#include "tests/game/SampleGame.h"
#include "tests/shell/FormTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>

namespace {

using host::WindowEvent;
using namespace std::chrono_literals;

class HeadlessGameTest : public ::testing::Test {
protected:
    HeadlessGameTest()
    {
        audio::SetDefaultBackEnd(audioBack);
        timer::SetDefaultBackEnd(timerBack);
        savedHook = Application().OnMessageBox;
        Application().OnMessageBox = [this](const std::string& text, const std::string&, int) {
            questions.push_back(text);
            return idOK;
        };
        WindowMode = 1;
    }
    ~HeadlessGameTest() override
    {
        window.reset();
        Application().OnMessageBox = savedHook;
        timer::SetDefaultBackEnd(nullptr);
        audio::SetDefaultBackEnd(nullptr);
        WindowMode = 1;
    }

    void Start()
    {
        window = std::make_unique<GameWindow>(
            host, [this](FormServices& s) { s.programFolder = folder.GameName(); }, TGameThread::Start);
    }

    // One turn of the UI thread: the host's events and posted work, then a tick of the frame timer
    // and of the audio clock.
    bool Turn()
    {
        const bool running = host.Step();
        timerBack->Advance(10ms);
        audioBack->Advance(441);
        return running;
    }

    // Turns until `done` holds; false after the time-out or when the loop ended first.
    bool RunUntil(const std::function<bool()>& done, std::chrono::seconds limit = 60s)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            if (!Turn() || std::chrono::steady_clock::now() > deadline)
                return false;
        }
        return true;
    }

    bool RunToEnd(std::chrono::seconds limit = 60s)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (Turn())
            if (std::chrono::steady_clock::now() > deadline)
                return false;
        return true;
    }

    std::uint8_t State() const { return window->Form() != nullptr ? window->Form()->GetState() : std::uint8_t{fsNone}; }

    // A left click at (x, y) of the picture.
    void Click(int x, int y)
    {
        for (const WindowEvent::Kind kind : {WindowEvent::Kind::MouseMove, WindowEvent::Kind::MouseDown,
                                             WindowEvent::Kind::MouseUp}) {
            WindowEvent e;
            e.kind = kind;
            e.button = mbLeft;
            e.x = x;
            e.y = y;
            host.Queue(e);
        }
    }

    // Key down and up.
    void Key(std::uint16_t key)
    {
        for (const WindowEvent::Kind kind : {WindowEvent::Kind::KeyDown, WindowEvent::Kind::KeyUp}) {
            WindowEvent e;
            e.kind = kind;
            e.key = key;
            host.Queue(e);
        }
    }

    // Waits for the menu state (2) after `left` (a fade or a loading state) was entered.
    bool NextMenu()
    {
        return RunUntil([this] { return State() != fsMenu; }) && RunUntil([this] { return State() == fsMenu; });
    }

    std::shared_ptr<audio::ManualAudio> audioBack = std::make_shared<audio::ManualAudio>();
    std::shared_ptr<timer::ManualTimer> timerBack = std::make_shared<timer::ManualTimer>();
    video::HeadlessVideo video;
    host::ScriptedHost host{video.CreateWindow({640, 480}, {64, 48})};
    ShellTest::TempFolder folder;
    std::unique_ptr<GameWindow> window;
    std::vector<std::string> questions;
    TApplication::MessageBoxHook savedHook;
};

// Start, the title call cut short by a click, the title, New Game into the sample scenario on the
// adventure screen, then the window closed: the game saves on its way out.
TEST_F(HeadlessGameTest, StartTitleNewGameAndCloseOnTheSampleGame)
{
    ASSERT_TRUE(GameTest::CopySampleGame(folder.Path()));
    Start();
    ASSERT_TRUE(RunUntil([this] { return State() == fsMenu; })) << "the title call";
    Click(320, 240);
    ASSERT_TRUE(NextMenu()) << "the title menu after the call";
    Click(70, 34); // BtnStart
    ASSERT_TRUE(RunUntil([this] { return State() == fsAdventure; })) << "the scenario runs";

    WindowEvent close;
    close.kind = WindowEvent::Kind::CloseRequest;
    host.Queue(close);
    ASSERT_TRUE(RunToEnd());
    EXPECT_EQ(questions.size(), 1u) << "in a window the close asks first";
    EXPECT_EQ(MainThread.load(), nullptr);
    TSystemState system;
    TReadMesTable readMes;
    EXPECT_TRUE(LoadSystemData(folder.GameName(), system, readMes)) << "the system save written at the end";
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "Tvqe.ini"));
}

// The sample story from New Game to its end, read by a player who presses Enter, clicks the
// picture (which also skips the movies) and presses Down (which moves the choice's cursor) in
// turn; its song plays itself (the adventure's auto mode). Then back at the title, Exit.
TEST_F(HeadlessGameTest, TheSampleStoryRunsThroughItsSongBackToTheTitle)
{
    ASSERT_TRUE(GameTest::CopySampleGame(folder.Path()));
    std::ofstream(folder.Path() / "Tvqe.ini") << "[Game]\r\nExitConfirm=OFF\r\nAvgAutoMode=Auto\r\n";
    Start();
    ASSERT_TRUE(RunUntil([this] { return State() == fsMenu; })) << "the title call";
    Click(320, 240);
    ASSERT_TRUE(NextMenu()) << "the title menu after the call";
    Click(70, 34); // BtnStart
    ASSERT_TRUE(RunUntil([this] { return State() == fsAdventure; })) << "the scenario runs";

    bool sang = false;
    int turn = 0;
    const bool backAtTitle = RunUntil(
        [&] {
            sang = sang || State() == fsMusic;
            if (sang && State() == fsMenu)
                return true;
            if (State() == fsAdventure && ++turn % 6 == 0) {
                switch (turn / 6 % 3) {
                case 0: Key(VK_RETURN); break;
                case 1: Click(320, 200); break;
                default: Key(VK_DOWN); break;
                }
            }
            return false;
        },
        240s);
    ASSERT_TRUE(sang) << "the scenario's song was played";
    ASSERT_TRUE(backAtTitle) << "the story ended on the title";

    TSystemState system;
    TReadMesTable readMes;
    ASSERT_TRUE(LoadSystemData(folder.GameName(), system, readMes)) << "saved after the adventure";
    const auto readIn = [&](std::uint32_t script) {
        for (std::uint32_t message = 0; message < 256; ++message)
            if (readMes.IsTextRead(script * 65536 + message))
                return true;
        return false;
    };
    EXPECT_TRUE(readIn(1) && readIn(2)) << "the text of both scripts, before and after the song, was read";
    Click(70, 364); // BtnExit, without a question
    ASSERT_TRUE(RunToEnd());
    EXPECT_TRUE(questions.empty());
}

} // namespace
