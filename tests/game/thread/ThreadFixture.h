// A main form on the headless display for the logic thread's tests: the masks of the title flow's
// fades in its data folder, a frame clock that brings each frame one pulse, the recording screens,
// and a thread run on the test's own thread (Execute called directly), with a frame limit that
// terminates it instead of hanging.
#pragma once

#include "game/thread/TGameThread.h"
#include "tests/game/thread/RecordingScreens.h"
#include "tests/shell/FormTestSupport.h"

#include <memory>

namespace GameTest {

// The thread under test with its saves written into the log; `Base` is TCommonThread (the main
// program is then `body`) or TGameThread.
template <typename Base> class Logged : public Base {
public:
    Logged(TGameForm& form, const TCommonThread::MakerFactory& make, Log& log) : Base(form, make), log_(log) {}
    using Base::Execute;

protected:
    void SaveSystem() override
    {
        log_.push_back("save system");
        Base::SaveSystem();
    }
    void SaveSettings() override
    {
        log_.push_back("save settings");
        Base::SaveSettings();
    }

private:
    Log& log_;
};

class CommonThread : public Logged<TCommonThread> {
public:
    using Logged::Logged;
    using TCommonThread::Adventure;
    std::function<void(CommonThread&)> body;

protected:
    void GameMain() override
    {
        if (body)
            body(*this);
    }
};

using GameThread = Logged<TGameThread>;

class ThreadFixture : public ShellTest::FormFixture {
protected:
    static constexpr int kFrameLimit = 20000;

    void SetUp() override;
    void TearDown() override;
    // Fills the program folder before the form is made.
    virtual void PrepareFolder() {}

    // A thread of type T on the recording screens, published as the running logic thread.
    template <typename T> std::unique_ptr<T> MakeThread()
    {
        auto thread = std::make_unique<T>(
            *form,
            [this](TGameForm&, GameRecords&) {
                auto made = std::make_unique<RecordingMaker>(log);
                maker = made.get();
                return made;
            },
            log);
        MainThread = thread.get();
        return thread;
    }

    // Whether `line` is in the log, and the lines from the first with `prefix` on.
    bool Logged_(const std::string& line) const;
    std::size_t Count(const std::string& line) const;
    // The index of the first `line` at or after `from`, or npos.
    std::size_t Find(const std::string& line, std::size_t from = 0) const;

    Log log;
    RecordingMaker* maker = nullptr;
    int frames = 0;
    // Run before each frame, once its pulse has come.
    std::function<void()> onFrame;

private:
    void FrameSleep();
};

} // namespace GameTest
