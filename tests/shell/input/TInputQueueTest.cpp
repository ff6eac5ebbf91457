#include "shell/input/TInputQueue.h"

#include "graphics/panels/TXeRGBPanel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A created root panel that records every event it receives.
class RecordingRoot : public ::testing::Test {
protected:
    void SetUp() override
    {
        root.SetCreated(true);
        root.SetKeyControl(true);
        root.SetActive();
        root.OnMouseMove = [&](TObject*, TShiftState s, int x, int y) { Log("move", s, x, y); };
        root.OnMouseDown = [&](TObject*, TMouseButton b, TShiftState s, int x, int y) {
            Log("down" + std::to_string(b), s, x, y);
        };
        root.OnMouseUp = [&](TObject*, TMouseButton b, TShiftState s, int x, int y) {
            Log("up" + std::to_string(b), s, x, y);
        };
        root.OnMouseWheel = [&](TObject*, TShiftState s, int delta, TPoint p, bool&) {
            Log("wheel" + std::to_string(delta), s, p.x, p.y);
        };
        root.OnMouseEnter = [&](TObject*) { log.push_back("enter"); };
        root.OnMouseLeave = [&](TObject*) { log.push_back("leave"); };
        root.OnKeyDown = [&](TObject*, std::uint16_t& k, TShiftState s) { Log("keydown", s, k, 0); };
        root.OnKeyUp = [&](TObject*, std::uint16_t& k, TShiftState s) { Log("keyup", s, k, 0); };
        root.OnKeyPress = [&](TObject*, char& c) { Log("press", 0, static_cast<unsigned char>(c), 0); };
    }

    void Log(const std::string& what, TShiftState s, int a, int b)
    {
        log.push_back(what + " " + std::to_string(s) + " " + std::to_string(a) + "," + std::to_string(b));
    }

    TXeRGBPanel root{nullptr};
    TInputQueue queue;
    std::vector<std::string> log;
};

using TInputQueueTest = RecordingRoot;

TEST_F(TInputQueueTest, ReplaysEveryKindInOrderAndSkipsUnknownKinds)
{
    queue.Push(TInputRecord::MouseEnter(5, 6));
    queue.Push(TInputRecord::MouseMove(ssShift, 10, 20));
    queue.Push(TInputRecord::MouseButton(ikMouseDown, mbRight, ssRight, 11, 21));
    queue.Push(TInputRecord::MouseButton(ikMouseUp, mbRight, 0, 12, 22));
    queue.Push(TInputRecord::MouseWheel(ssCtrl, -240, 13, 23));
    TInputRecord unknown;
    unknown.kind = 9;
    queue.Push(unknown);
    queue.Push(TInputRecord::Key(ikKeyDown, 0x0D, ssAlt));
    queue.Push(TInputRecord::Key(ikKeyUp, 0x0D, 0));
    queue.Push(TInputRecord::KeyPress(static_cast<char>(0xB0)));
    queue.Push(TInputRecord::MouseLeave());
    queue.Replay(root);

    const std::vector<std::string> expected{
        "enter",          "move 1 10,20",  "down1 16 11,21", "up1 0 12,22", "wheel-240 4 13,23",
        "keydown 2 13,0", "keyup 0 13,0", "press 0 176,0", "leave",
    };
    EXPECT_EQ(log, expected);
    EXPECT_EQ(queue.Size(), 0u);
}

TEST_F(TInputQueueTest, ReplaysRecordsPushedDuringTheReplayInTheSameCall)
{
    root.OnMouseMove = [&](TObject*, TShiftState, int x, int) {
        log.push_back("move " + std::to_string(x));
        if (x < 3)
            queue.Push(TInputRecord::MouseMove(0, x + 10, 0));
    };
    for (int x = 0; x < 3; ++x)
        queue.Push(TInputRecord::MouseMove(0, x, 0));
    queue.Replay(root);
    EXPECT_EQ(log, (std::vector<std::string>{"move 0", "move 1", "move 2", "move 10", "move 11", "move 12"}));
}

TEST_F(TInputQueueTest, ClearDropsEverything)
{
    queue.Push(TInputRecord::MouseLeave());
    queue.Push(TInputRecord::MouseLeave());
    queue.Clear();
    queue.Replay(root);
    EXPECT_TRUE(log.empty());
}

} // namespace
