#include "shell/thread/TMainThread.h"

#include "shell/GameExceptions.h"
#include "shell/thread/TWaitThread.h"
#include "tests/shell/FormTestSupport.h"

#include <chrono>
#include <future>
#include <thread>

namespace {

using namespace ShellTest;

// A logic thread that is never started: its frame waits run on the test's thread.
class Logic : public TMainThread {
public:
    using TMainThread::TMainThread;
    using TMainThread::Execute;
};

// Whether another thread could take the lock right now.
bool FreeForOthers(TCriticalSection& lock)
{
    return std::async(std::launch::async, [&] {
               if (!lock.TryEnter())
                   return false;
               lock.Release();
               return true;
           })
        .get();
}

class TMainThreadTest : public FormFixture {
protected:
    void SetUp() override
    {
        Make();
        ASSERT_NE(form->StateLock(), nullptr);
        form->SetState(fsRunning);
        form->SetOnUpdate([this](int) { OnFrame(); });
        form->StateLock()->Acquire(); // game code holds the state lock
    }

    void TearDown() override
    {
        MainThread = nullptr;
        form->StateLock()->Release();
    }

    void OnFrame()
    {
        ++frames;
        lockFreeInFrame = lockFreeInFrame && FreeForOthers(*form->StateLock());
        if (frameAction)
            frameAction(frames);
    }

    int frames = 0;
    bool lockFreeInFrame = true;
    std::function<void(int)> frameAction;
};

TEST_F(TMainThreadTest, WaitFrameRunsFramesWithoutTheStateLockUntilANewResult)
{
    Logic logic(*form);
    MainThread = &logic;
    SetThreadResult(7); // set before the wait: discarded
    frameAction = [](int n) {
        if (n == 3)
            SetThreadResult(42);
    };
    logic.WaitFrame();
    EXPECT_EQ(frames, 3);
    EXPECT_EQ(logic.ResultValue(), 42);
    EXPECT_TRUE(lockFreeInFrame) << "frames run with the state lock released";
    EXPECT_FALSE(FreeForOthers(*form->StateLock())) << "the lock is held again";
}

TEST_F(TMainThreadTest, TerminationWinsOverAResultOfTheSameFrame)
{
    Logic logic(*form);
    MainThread = &logic;
    frameAction = [&](int n) {
        if (n == 2) {
            SetThreadResult(1);
            logic.Terminate();
        }
    };
    EXPECT_THROW(logic.WaitFrame(), EGameEnd);
    EXPECT_EQ(frames, 2);
    EXPECT_FALSE(FreeForOthers(*form->StateLock())) << "the lock is held again on the way out";
    EXPECT_THROW(logic.WaitFrame(), EGameEnd) << "a terminated thread runs no more frames";
    EXPECT_EQ(frames, 2);
}

TEST_F(TMainThreadTest, SetThreadResultWithoutALogicThreadDoesNothing)
{
    Logic logic(*form);
    SetThreadResult(3);
    EXPECT_FALSE(logic.ResultReady());
    MainThread = &logic;
    SetThreadResult(3);
    EXPECT_TRUE(logic.ResultReady());
    EXPECT_EQ(logic.ResultValue(), 3);
}

TEST_F(TMainThreadTest, StateEntriesTakeTheStateLockBackAndAbortEndsTheGame)
{
    Logic logic(*form);
    logic.EnterStartState();
    EXPECT_EQ(form->GetState(), fsLoading);
    logic.EnterState7();
    EXPECT_EQ(form->GetState(), fsLoadingKeep);
    logic.EnterState2();
    EXPECT_EQ(form->GetState(), fsMenu);
    EXPECT_FALSE(FreeForOthers(*form->StateLock()));
    EXPECT_THROW(logic.Abort(), EGameEnd);
    EXPECT_TRUE(logic.Terminated());
}

TEST_F(TMainThreadTest, VoiceWaitsEndAtOnceWithoutAVoiceAndLikeFrameWaitsWhenTerminated)
{
    Logic logic(*form);
    logic.WaitVoice();
    logic.SleepWhileVoice();
    EXPECT_EQ(frames, 0);
    EXPECT_TRUE(logic.PlayBGM(1, true, false)) << "without a device every play succeeds";
    logic.StopBGM(true);
    EXPECT_FALSE(FreeForOthers(*form->StateLock()));
    logic.Terminate();
    EXPECT_THROW(logic.WaitVoice(), EGameEnd);
    EXPECT_THROW(logic.SleepWhileVoice(), EGameEnd);
    EXPECT_FALSE(FreeForOthers(*form->StateLock()));
}

#ifdef NDEBUG
TEST_F(TMainThreadTest, AFrameWaitFromInsideAFrameIsRefused)
{
    Logic logic(*form);
    MainThread = &logic;
    frameAction = [&](int n) {
        logic.WaitFrame(); // returns at once: no frame inside a frame
        if (n == 2)
            SetThreadResult(0);
    };
    logic.WaitFrame();
    EXPECT_EQ(frames, 2);
}
#endif

// The base body on its own thread: state 6, frames until terminated, then the form closes.
TEST_F(TMainThreadTest, TheBaseBodyEndsThroughEGameEndWhenTerminated)
{
    form->StateLock()->Release();
    Logic logic(*form);
    MainThread = &logic;
    std::promise<void> running;
    bool once = true;
    frameAction = [&](int) {
        if (std::exchange(once, false))
            running.set_value();
    };
    logic.Start();
    ASSERT_EQ(running.get_future().wait_for(std::chrono::seconds(10)), std::future_status::ready);
    logic.Terminate();
    ASSERT_TRUE(logic.WaitFor(std::chrono::seconds(10)));
    EXPECT_EQ(form->GetState(), fsClosing);
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(logic.FatalException(), nullptr);
    form->StateLock()->Acquire();
}

TEST_F(TMainThreadTest, TheWaitThreadRunsFramesOnlyInTheLoadingStates)
{
    form->StateLock()->Release();
    TWaitThread wait(*form);
    form->SetOnResumeWaitThread([&] { wait.Resume(); });
    std::promise<void> ran;
    bool once = true;
    frameAction = [&](int) {
        if (std::exchange(once, false))
            ran.set_value();
    };
    wait.Start();
    form->EnterState7();
    ASSERT_EQ(ran.get_future().wait_for(std::chrono::seconds(10)), std::future_status::ready);
    form->SetState(fsRunning);
    wait.Stop();
    ASSERT_TRUE(wait.WaitFor(std::chrono::seconds(10)));
    EXPECT_EQ(wait.FatalException(), nullptr);
    form->StateLock()->Acquire();
}

} // namespace
