#include "base/memory/TMemMan.h"
#include "base/util/TXeTimer.h"
#include "graphics/panels/TXeRGBPanel.h"
#include "platform/audio/headless/ManualAudio.h"
#include "platform/classes/Exception.h"
#include "platform/timer/headless/ManualTimer.h"
#include "shell/GameExceptions.h"
#include "shell/thread/TMainThread.h"
#include "sound/TDSound.h"
#include "tests/shell/FormTestSupport.h"

#include <chrono>
#include <future>
#include <string>
#include <vector>

namespace {

using namespace ShellTest;

const std::string kAskFullScreen = "ウィンドウモードでの初期化に失敗しました。\nフルスクリーンにしますか？";
const std::string kDisplayFailed = "DirectDrawの初期化に失敗しました。";

// The form shown on the headless display, the manual audio clock and the manual timer clock.
class TGameFormShowTest : public FormFixture {
protected:
    TGameFormShowTest()
    {
        audio::SetDefaultBackEnd(audioBack);
        timer::SetDefaultBackEnd(timerBack);
        Application().OnMessageBox = [this](const std::string& text, const std::string& caption, int flags) {
            boxes.push_back({text, caption, flags});
            return answer;
        };
    }
    ~TGameFormShowTest() override
    {
        form.reset();
        timer::SetDefaultBackEnd(nullptr);
        audio::SetDefaultBackEnd(nullptr);
    }

    // Runs FormHide with a time-out: a deadlock fails the test instead of hanging it.
    void HideWithin(std::chrono::seconds limit)
    {
        auto done = std::async(std::launch::async, [this] { form->FormHide(); });
        ASSERT_EQ(done.wait_for(limit), std::future_status::ready) << "FormHide did not return";
    }

    std::shared_ptr<audio::ManualAudio> audioBack = std::make_shared<audio::ManualAudio>();
    std::shared_ptr<timer::ManualTimer> timerBack = std::make_shared<timer::ManualTimer>();
    int answer = idOK;
};

TEST_F(TGameFormShowTest, ShowStartsTheThreadsAndHideEndsAParkedLogicThreadThroughGameEnd)
{
    Make();
    form->FormShow();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(quits, 0);
    EXPECT_TRUE(form->Running());
    EXPECT_TRUE(form->SoundDevice()->Enabled());
    EXPECT_TRUE(form->Display()->Enabled());
    EXPECT_FALSE(form->Display()->FullScreen());
    EXPECT_NE(form->Pictures().workSurface, nullptr) << "a window always draws into a work surface";
    EXPECT_TRUE(form->RootPanel()->Created());
    EXPECT_TRUE(form->FrameTimer()->GetEnabled());
    EXPECT_EQ(form->FrameTimer()->GetInterval(), 5u) << "the manual timer can do 5 ms";
    EXPECT_EQ(form->GetCursorKind(), 0);
    ASSERT_NE(MainThread.load(), nullptr);
    // The base logic thread enters the loading state and then only waits frames.
    timerBack->Advance(std::chrono::milliseconds(200));

    HideWithin(std::chrono::seconds(20));
    EXPECT_EQ(MainThread.load(), nullptr);
    EXPECT_EQ(form->GetState(), fsClosing);
    EXPECT_EQ(closes, 1) << "the logic thread's end posts the close message";
    EXPECT_EQ(quits, 1);
    EXPECT_FALSE(form->Running());
    EXPECT_FALSE(form->FrameTimer()->GetEnabled());
    EXPECT_FALSE(form->Display()->Enabled());
    EXPECT_FALSE(form->SoundDevice()->Enabled());
    EXPECT_FALSE(form->RootPanel()->Created());
    EXPECT_EQ(form->Pictures().cursorBits, nullptr);
    EXPECT_EQ(form->Pictures().workSurface, nullptr);
    form->FormHide();
    EXPECT_EQ(quits, 1) << "hiding runs once";
}

TEST_F(TGameFormShowTest, ATimerThatCannotDo5msKeepsThe10msPeriod)
{
    // The timer's smallest period, and the frame timer's interval and pulse period that follow.
    const struct {
        unsigned periodMin;
        std::uint32_t period;
    } cases[] = {{1, 5}, {5, 5}, {6, 10}, {10, 10}, {16, 10}};
    for (const auto& c : cases) {
        timerBack->SetPeriodCaps({c.periodMin, 1000000});
        form.reset();
        Make();
        form->FormShow();
        ASSERT_TRUE(form->Running()) << c.periodMin;
        EXPECT_EQ(form->FrameTimer()->GetInterval(), c.period) << c.periodMin;
        EXPECT_EQ(form->TimerPeriod(), c.period) << c.periodMin;
        HideWithin(std::chrono::seconds(20));
    }
}

TEST_F(TGameFormShowTest, AFailureWhileTheLogicThreadIsMadeStopsEverythingAndQuits)
{
    Make();
    form->SetLogicThreadFactory([](TGameForm&) -> std::unique_ptr<TMainThread> { throw EGameErr(); });
    form->FormShow();
    EXPECT_EQ(quits, 1);
    EXPECT_EQ(MainThread.load(), nullptr);
    EXPECT_EQ(form->GetState(), fsClosing);
    EXPECT_FALSE(form->Running());
    EXPECT_FALSE(form->FrameTimer()->GetEnabled());
    HideWithin(std::chrono::seconds(20)); // the devices are still released in order
    EXPECT_FALSE(form->Display()->Enabled());
}

TEST_F(TGameFormShowTest, ADesktopOfExactly640x480AsksForFullScreen)
{
    struct Case {
        int answer;
        bool shown;
    } cases[] = {{idOK, true}, {idCancel, false}};
    for (const Case& c : cases) {
        boxes.clear();
        quits = 0;
        answer = c.answer;
        WindowMode = 1;
        back.settings.desktopSize = {640, 480};
        Make();
        form->FormShow();
        std::vector<std::string> texts;
        for (const MessageBoxCall& box : boxes)
            texts.push_back(box.text);
        if (c.shown) {
            EXPECT_EQ(texts, std::vector<std::string>{kAskFullScreen});
            EXPECT_EQ(boxes[0].flags, mbOKCancel);
            EXPECT_EQ(boxes[0].caption, "Error");
            EXPECT_TRUE(form->Display()->FullScreen());
            EXPECT_EQ(WindowMode, 0);
            EXPECT_EQ(form->Pictures().workSurface, nullptr) << "full screen at the game's depth needs no work surface";
            EXPECT_EQ(quits, 0);
        } else {
            EXPECT_EQ(texts, (std::vector<std::string>{kAskFullScreen, kDisplayFailed}));
            EXPECT_FALSE(form->Display()->Enabled());
            EXPECT_EQ(quits, 1);
            EXPECT_EQ(MainThread.load(), nullptr) << "no thread starts after a failure";
        }
        HideWithin(std::chrono::seconds(20));
        form.reset();
    }
}

TEST_F(TGameFormShowTest, ListenersAreToldInOrderAroundADisplaySwitch)
{
    Make();
    std::vector<std::string> calls;
    int a = 0, b = 0, c = 0;
    for (auto [owner, name] : {std::pair{&a, "a"}, std::pair{&b, "b"}, std::pair{&c, "c"}})
        form->AddDisplayListener(owner, [&calls, name = std::string(name)](DirectX::TDDraw* display, bool before) {
            calls.push_back(name + (before ? "+" : "-") + (display != nullptr ? "" : "?"));
        });
    form->AddDisplayListener(&a, {}); // an empty method is not added
    form->RemoveDisplayListener(&b);
    form->RemoveDisplayListener(&b); // not listed: nothing
    form->FormShow();
    ASSERT_TRUE(form->ChangeDisplayMode(false));
    EXPECT_EQ(calls, (std::vector<std::string>{"a+", "c+", "a-", "c-"}));
    EXPECT_EQ(WindowMode, 0);
    EXPECT_TRUE(form->Display()->FullScreen());
    EXPECT_TRUE(form->Running());
    ASSERT_TRUE(form->ChangeDisplayMode(true));
    EXPECT_EQ(WindowMode, 1);
    EXPECT_FALSE(form->Display()->FullScreen());
    EXPECT_NE(form->Pictures().workSurface, nullptr);
    HideWithin(std::chrono::seconds(20));
}

TEST_F(TGameFormShowTest, AFailedSwitchKeepsTheLastModeAndEndsTheGame)
{
    Make();
    form->FormShow();
    back.settings.startFails = true;
    answer = idCancel;
    form->RequestDisplayMode(0);
    RunPosted();
    EXPECT_EQ(WindowMode, 1) << "the mode that last worked is what the settings keep";
    EXPECT_FALSE(form->Display()->Enabled());
    ASSERT_NE(MainThread.load(), nullptr);
    EXPECT_TRUE(MainThread.load()->Terminated()) << "the game ends without a question";
    HideWithin(std::chrono::seconds(20));
}

TEST_F(TGameFormShowTest, TheSwitchRequestActsOnlyOnAChangeWhileRunning)
{
    Make();
    form->RequestDisplayMode(0);
    RunPosted(); // not running yet
    EXPECT_EQ(WindowMode, 1);
    form->FormShow();
    for (int request : {1, 2, -1}) {
        form->RequestDisplayMode(request);
        RunPosted();
        EXPECT_EQ(WindowMode, 1) << request;
        EXPECT_FALSE(form->Display()->FullScreen()) << request;
    }
    form->RequestDisplayMode(0);
    EXPECT_EQ(WindowMode, 1) << "the request runs later, on the UI thread";
    RunPosted();
    EXPECT_EQ(WindowMode, 0);
    EXPECT_TRUE(form->Display()->FullScreen());
    HideWithin(std::chrono::seconds(20));
}

TEST_F(TGameFormShowTest, CloseQuery)
{
    const std::string question = "确定要结束游戏？      ";
    struct Case {
        const char* name;
        bool thread;
        int window;
        int answer;
        bool asked;
        bool terminated;
        bool mayClose;
    } cases[] = {
        {"full screen", true, 0, idOK, false, true, false},
        {"window, OK", true, 1, idOK, true, true, false},
        {"window, Cancel", true, 1, idCancel, true, false, false},
        {"no thread", false, 1, idOK, false, false, true},
    };
    Make();
    Application().Title = "Varunel Quindle";
    for (const Case& c : cases) {
        boxes.clear();
        form->SetState(fsRunning);
        WindowMode = static_cast<std::uint8_t>(c.window);
        answer = c.answer;
        IdleThread thread(*form);
        MainThread = c.thread ? &thread : nullptr;
        EXPECT_EQ(form->FormCloseQuery(), c.mayClose) << c.name;
        MainThread = nullptr;
        ASSERT_EQ(boxes.size(), c.asked ? 1u : 0u) << c.name;
        if (c.asked) {
            EXPECT_EQ(boxes[0].text, question) << c.name;
            EXPECT_EQ(boxes[0].caption, "Varunel Quindle") << c.name;
            EXPECT_EQ(boxes[0].flags, mbOKCancel) << c.name;
        }
        EXPECT_EQ(thread.Terminated(), c.terminated) << c.name;
        EXPECT_EQ(form->GetState(), c.mayClose ? fsClosing : fsRunning) << c.name;
    }
    form->SetState(fsClosing);
    EXPECT_TRUE(form->FormCloseQuery()) << "state 9 closes at once";
    Application().Title.clear();
}

TEST_F(TGameFormShowTest, AnsweringAfterTheGameEndedLeavesTheGoneThreadAlone)
{
    Make();
    form->SetState(fsRunning);
    auto thread = std::make_unique<IdleThread>(*form);
    MainThread = thread.get();
    Application().OnMessageBox = [&](const std::string&, const std::string&, int) {
        // The game ends by itself while the question is open.
        MainThread = nullptr;
        thread.reset();
        return idOK;
    };
    EXPECT_FALSE(form->FormCloseQuery());
    EXPECT_EQ(thread, nullptr);
}

} // namespace
