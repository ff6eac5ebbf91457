#include "base/util/TXeTimer.h"
#include "graphics/panels/TXeRGBPanel.h"
#include "platform/classes/Exception.h"
#include "platform/host/WindowEvent.h"
#include "platform/timer/headless/ManualTimer.h"
#include "tests/shell/FormTestSupport.h"

namespace {

using namespace ShellTest;

class TGameFormFrameTest : public FormFixture {
protected:
    void SetUp() override
    {
        Make();
        ASSERT_NE(form->Display(), nullptr);
        EnableDisplay(false, false);
        form->SetOnUpdate([this](int dp) { updates.push_back(dp); });
    }

    void Pulses(int n)
    {
        while (n > 0)
            if (form->Pulse().Tick(form->TimerPeriod()))
                --n;
    }

    std::vector<int> updates;
};

TEST_F(TGameFormFrameTest, TheTimerCountsOnlyInStatesOneToEight)
{
    for (const std::uint8_t state : {fsNone, fsClosing}) {
        form->SetState(state);
        for (int i = 0; i < 10; ++i)
            form->GameTimerTimer(nullptr);
        EXPECT_EQ(form->Pulse().PulseCount(), 0);
        EXPECT_EQ(form->Pulse().MusicMs(), 0);
    }
    form->SetState(fsRunning);
    for (int i = 0; i < 100; ++i)
        form->GameTimerTimer(nullptr);
    EXPECT_EQ(form->Pulse().PulseCount(), 30);
    EXPECT_EQ(form->Pulse().MusicMs(), 1000);
}

TEST_F(TGameFormFrameTest, UnpacedModesRunAFrameOnEveryStep)
{
    form->SetState(fsRunning);
    form->FrameStep();
    Pulses(2);
    form->FrameStep();
    form->FrameStep();
    EXPECT_EQ(updates, (std::vector<int>{0, 2, 0}));
    EXPECT_GE(clock.load(), 100009u) << "each step slept 3 ms";
}

TEST_F(TGameFormFrameTest, PacedModesRunAFrameOnlyWhenPulsesHaveCome)
{
    form->SetState(fsRunning);
    form->SetFPSMode(fps15);
    Pulses(1);
    form->FrameStep(); // the pulse came before the wait: it times out, and one pulse is not enough
    EXPECT_TRUE(updates.empty());
    Pulses(1);
    form->FrameStep();
    EXPECT_EQ(updates, (std::vector<int>{2}));
    form->SetFPSMode(fps30);
    Pulses(10);
    form->FrameStep();
    EXPECT_EQ(updates, (std::vector<int>{2, 10}));
}

TEST_F(TGameFormFrameTest, NoFrameRunsInTheClosingState)
{
    form->SetState(fsClosing);
    Pulses(3);
    form->FrameStep();
    EXPECT_TRUE(updates.empty());
    EXPECT_EQ(form->Pulse().PulsesDone(), 0);
}

TEST_F(TGameFormFrameTest, AnExceptionInsideAFrameClosesTheFormWithoutAQuestion)
{
    form->SetState(fsRunning);
    form->SetOnUpdate([](int) { throw Exception("screen step failed"); });
    form->FrameStep();
    EXPECT_EQ(closes, 0) << "a class-library exception from the update hook is dropped";
    form->SetOnUpdate([](int) { throw std::runtime_error("broken"); });
    form->FrameStep();
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(form->GetState(), fsClosing);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(TGameFormFrameTest, AnimatesThePanelTreeOncePerPulseInPanelStates)
{
    TXeRGBPanel panel{nullptr};
    int steps = 0;
    panel.OnAnime = [&](TObject*) { ++steps; };
    form->RootPanel()->SetCreated(true);
    panel.SetCreated(true);
    form->AttachPanel(&panel);
    form->SetState(fsRunning);
    form->Update(3);
    EXPECT_EQ(steps, 0);
    form->EnterState2();
    form->Update(0);
    form->Update(3);
    EXPECT_EQ(steps, 3);
    form->DetachPanel(&panel);
}

TEST_F(TGameFormFrameTest, EnteringAStateClearsTheQueueUnlessTheFormIsAlreadyInIt)
{
    int enters = 0;
    int moves = 0;
    form->RootPanel()->SetCreated(true);
    form->RootPanel()->OnMouseEnter = [&](TObject*) { ++enters; };
    form->RootPanel()->OnMouseMove = [&](TObject*, TShiftState, int, int) { ++moves; };
    form->EnterState2();
    EXPECT_EQ(enters, 1);
    form->FormMouseMove(nullptr, 0, 5, 5);
    form->ShowRootPanel(false);
    form->EnterState2();
    EXPECT_TRUE(form->RootPanel()->Visible()) << "the same state only shows the root";
    EXPECT_EQ(form->QueuedInput(), 1u);
    EXPECT_EQ(enters, 1);
    form->EnterAdventureState();
    EXPECT_EQ(form->QueuedInput(), 0u) << "records never cross a state change";
    form->Update(0);
    EXPECT_EQ(moves, 0);
}

TEST_F(TGameFormFrameTest, QueuesInputOnlyInTheMenuAndAdventureStates)
{
    const std::pair<std::uint8_t, bool> states[] = {{fsRunning, false}, {fsMenu, true},       {fsMusic, false},
                                                    {fsAdventure, true}, {fsLoading, false},   {fsLoadingKeep, false},
                                                    {fsTransition, false}, {fsClosing, false}};
    for (const auto& [state, queued] : states) {
        form->ClearInput();
        form->SetState(state);
        bool handled = false;
        form->FormMouseDown(nullptr, mbLeft, ssLeft, 1, 2);
        form->FormMouseWheel(nullptr, 0, 120, TPoint{3, 4}, handled);
        EXPECT_TRUE(handled);
        EXPECT_EQ(form->QueuedInput(), queued ? 2u : 0u) << "state " << int(state);
    }
}

// A warp moves the pointer and queues the move a desktop would report, so hover follows it.
TEST_F(TGameFormFrameTest, AMouseWarpQueuesTheMoveItCausesInTheInputStates)
{
    std::vector<std::string> seen;
    TXeRGBPanel* root = form->RootPanel();
    root->SetCreated(true);
    root->OnMouseMove = [&](TObject*, TShiftState, int x, int y) { seen.push_back(std::to_string(x) + "," + std::to_string(y)); };
    form->SetState(fsRunning);
    form->SetMousePos(1, 2);
    EXPECT_EQ(mouse.x, 1);
    EXPECT_EQ(mouse.y, 2);
    EXPECT_EQ(form->QueuedInput(), 0u);
    form->EnterState2();
    form->SetMousePos(30, 40);
    EXPECT_EQ(mouse.x, 30);
    EXPECT_EQ(form->QueuedInput(), 1u);
    form->Update(0);
    EXPECT_EQ(seen, (std::vector<std::string>{"30,40"}));
}

TEST_F(TGameFormFrameTest, WindowEventsBecomeInputRecordsReplayedInOrder)
{
    using Kind = host::WindowEvent::Kind;
    std::vector<std::string> seen;
    TXeRGBPanel* root = form->RootPanel();
    root->SetCreated(true);
    root->SetKeyControl(true);
    root->SetActive();
    form->EnterAdventureState();
    root->OnMouseDown = [&](TObject*, TMouseButton b, TShiftState s, int x, int y) {
        seen.push_back("down " + std::to_string(b) + " " + std::to_string(s) + " " + std::to_string(x) + "," +
                       std::to_string(y));
    };
    root->OnMouseWheel = [&](TObject*, TShiftState, int delta, TPoint p, bool&) {
        seen.push_back("wheel " + std::to_string(delta) + " " + std::to_string(p.x) + "," + std::to_string(p.y));
    };
    root->OnKeyDown = [&](TObject*, std::uint16_t& k, TShiftState) { seen.push_back("key " + std::to_string(k)); };
    root->OnKeyPress = [&](TObject*, char& c) { seen.push_back("char " + std::to_string(static_cast<unsigned char>(c))); };
    host::WindowEvent down{Kind::MouseDown};
    down.button = mbRight;
    down.shift = ssRight;
    down.x = 7;
    down.y = 9;
    host::WindowEvent wheel{Kind::MouseWheel};
    wheel.wheelDelta = -120;
    wheel.x = 600;
    wheel.y = 470;
    host::WindowEvent key{Kind::KeyDown};
    key.key = 0x0D;
    host::WindowEvent press{Kind::KeyPress};
    press.key = 0xB1;
    for (const host::WindowEvent& e : {down, wheel, key, press})
        EXPECT_TRUE(form->HandleInputEvent(e));
    EXPECT_FALSE(form->HandleInputEvent(host::WindowEvent{Kind::CloseRequest}));
    form->Update(0);
    EXPECT_EQ(seen, (std::vector<std::string>{"down 1 16 7,9", "wheel -120 600,470", "key 13", "char 177"}));
}

// The frame timer on the manual clock: one simulated second of ticks through the form's handler.
class TGameFormTimerTest : public FormFixture {
protected:
    TGameFormTimerTest() { timer::SetDefaultBackEnd(clockBackEnd); }
    ~TGameFormTimerTest() override
    {
        form.reset();
        timer::SetDefaultBackEnd(nullptr);
    }

    std::shared_ptr<timer::ManualTimer> clockBackEnd = std::make_shared<timer::ManualTimer>();
};

TEST_F(TGameFormTimerTest, TheFrameTimerPulsesThirtyTimesASimulatedSecond)
{
    for (const unsigned period : {10u, 5u}) {
        Make();
        form->SetState(fsRunning);
        form->SetTimerPeriod(period);
        form->FrameTimer()->SetInterval(period);
        form->FrameTimer()->SetEnabled(true);
        clockBackEnd->Advance(std::chrono::seconds(1));
        form->FrameTimer()->SetEnabled(false);
        EXPECT_EQ(form->Pulse().PulseCount(), 30) << period << " ms ticks";
        EXPECT_EQ(form->Pulse().MusicMs(), 1000);
        form.reset();
    }
}

} // namespace
