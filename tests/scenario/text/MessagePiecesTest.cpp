// HandMessagePiece: the run loop handing a message to the window piece by piece, with the window
// lines and the backlog it writes, on a screen that records what the window is asked.
#include "scenario/text/MessagePieces.h"

#include "base/packs/TFileMan.h"
#include "scenario/records/TGameState.h"
#include "scenario/records/TReadMesTable.h"
#include "scenario/records/TSystemState.h"
#include "scenario/script/ScriptTestSupport.h"
#include "scenario/script/TScriptEngine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The window's calls as text: "print:A@300", "newline", "clear".
class RecordingWindow : public MessageWindowSink {
public:
    void NewLine() override { calls.push_back("newline"); }
    void ClearText() override { calls.push_back("clear"); }
    void PrintPiece(const AnsiString& piece, std::int32_t speed) override
    {
        calls.push_back("print:" + piece + "@" + std::to_string(speed));
    }
    std::vector<std::string> calls;
};

// An adventure screen that hands pieces the way the real one does and yields after each print.
class PieceScreen : public ScriptTest::RecordingScreen {
public:
    PieceScreen(TGameState& state, TReadMesTable& readMes) : state_(state), readMes_(readMes) {}
    bool HasMessageText() override { return !state_.GetCurrentMessage().empty(); }
    bool PrintMessagePiece(TScriptEngine& engine) override
    {
        const PieceResult result = HandMessagePiece(engine.State(), window);
        if (result.printed) {
            ++yields;
            engine.Yield();
        }
        return result.usedUp;
    }
    void MarkMessageRead() override { state_.SetMessageRead(readMes_); }

    RecordingWindow window;
    int yields = 0;

private:
    TGameState& state_;
    TReadMesTable& readMes_;
};

class MessagePieces : public ::testing::Test {
protected:
    MessagePieces()
    {
        state_.SetHalt(false);
        state_.SetScript(3, 1);
        readMes_.SetScriptStamp(3, 1);
    }
    void Start(const std::string& text, std::int32_t number = 9) { state_.SetCurrentMessage(text, number, readMes_); }
    // Runs the engine until the script (none is loaded) halts; the number of runs before that.
    int RunToHalt()
    {
        int runs = 0;
        while (!engine_.Run() && runs < 100)
            ++runs;
        return runs;
    }

    TFileMan files_{nullptr};
    TGameState state_;
    TGameState sceneStart_;
    TSystemState system_;
    TReadMesTable readMes_;
    PieceScreen screen_{state_, readMes_};
    TScriptEngine engine_{{files_, files_, state_, sceneStart_, system_, readMes_, screen_}};
};

} // namespace

TEST_F(MessagePieces, LineAndPageSignsSplitTheMessageWithoutYieldingThemselves)
{
    Start("A\\nB\\pC");
    EXPECT_EQ(RunToHalt(), 3);
    EXPECT_EQ(screen_.window.calls,
              (std::vector<std::string>{"print:A@300", "newline", "print:B@300", "clear", "print:C@300"}));
    EXPECT_EQ(screen_.yields, 3);
    EXPECT_EQ(state_.GetCurrentWindowLine(), 0);
    EXPECT_EQ(state_.GetWindowLine(0), "C");
    EXPECT_TRUE(state_.GetTextWindow());
    // The backlog holds A, B (a line each) and C on the line the page started.
    const int count = state_.GetBacklogCount();
    ASSERT_GE(count, 3);
    EXPECT_EQ(state_.GetBacklogLine(count - 3), "A");
    EXPECT_EQ(state_.GetBacklogLine(count - 2), "B");
    EXPECT_EQ(state_.GetBacklogLine(count - 1), "C");
    // Used up: recorded as read.
    EXPECT_EQ(state_.GetMessageNumber(), -1);
    EXPECT_TRUE(readMes_.IsTextRead(3 * 65536 + 9));
}

TEST_F(MessagePieces, PrintSpeedFollowsTheMessageSpeedAndTheSpeakerMark)
{
    state_.SetMessageSpeed(50);
    Start("\x81\x79" "Name\x81\x7A\\nHello");
    RunToHalt();
    EXPECT_EQ(screen_.window.calls,
              (std::vector<std::string>{"print:\x81\x79Name\x81\x7A@0", "newline", "print:Hello@600"}));
    state_.SetMessageSpeed(0);
    screen_.window.calls.clear();
    state_.SetHalt(false);
    Start("x");
    RunToHalt();
    EXPECT_EQ(screen_.window.calls, std::vector<std::string>{"print:x@0"});
}

TEST_F(MessagePieces, SixteenLineBreaksKeepTheLineIndexOnTheLastLine)
{
    std::string text;
    for (int i = 0; i < 18; ++i)
        text += std::string(1, static_cast<char>('a' + i)) + "\\n";
    Start(text + "z");
    RunToHalt();
    EXPECT_EQ(state_.GetCurrentWindowLine(), 15);
    EXPECT_EQ(state_.GetWindowLine(14), "o");
    EXPECT_EQ(state_.GetWindowLine(15), "pqrz");
    EXPECT_TRUE(state_.IsSane());
}

TEST_F(MessagePieces, NothingHappensWithoutAMessage)
{
    const PieceResult result = HandMessagePiece(state_, screen_.window);
    EXPECT_FALSE(result.printed);
    EXPECT_FALSE(result.usedUp);
    EXPECT_TRUE(screen_.window.calls.empty());
}
