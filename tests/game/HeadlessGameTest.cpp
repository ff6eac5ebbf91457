// The whole game headless on its real screens: the sample game the build made, copied into the
// program folder, played through the game's window and its own logic thread, with the test as the
// UI thread and the player.
#include "game/thread/TGameThread.h"

#include "platform/host/VirtualKeys.h"
#include "scenario/records/TReadMesTable.h"
#include "scenario/records/TSystemState.h"
#include "scenario/saves/SystemSave.h"
#include "shell/thread/TMainThread.h"
#include "tests/game/GameWindowFixture.h"
#include "tests/game/SampleGame.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

using host::WindowEvent;
using namespace std::chrono_literals;

class HeadlessGameTest : public GameTest::GameWindowFixture {
protected:
    void Start() { Open(TGameThread::Start); }

    // Waits for the menu state (2) after `left` (a fade or a loading state) was entered.
    bool NextMenu()
    {
        return RunUntil([this] { return State() != fsMenu; }) && RunUntil([this] { return State() == fsMenu; });
    }
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

    Queue(WindowEvent::Kind::CloseRequest);
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
