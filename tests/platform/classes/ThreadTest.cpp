// TThread: made suspended, started, terminated and waited for with time-outs; parking with a
// permit that is never lost; exceptions kept; destruction of started and never-started threads.
#include "platform/classes/Thread.h"

#include "platform/classes/Exception.h"

#include "support/Eventually.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

namespace {

using namespace std::chrono_literals;
constexpr auto kLimit = 10s; // a hang fails here instead of in the test runner

using TestSupport::Eventually;

// Runs `body` as its Execute; Park lets the body suspend itself.
class Worker : public TThread {
public:
    explicit Worker(std::function<void(Worker&)> body) : body_(std::move(body)) {}
    ~Worker() override
    {
        Terminate();
        Resume();
        WaitFor();
    }
    void Park() { Suspend(); }

protected:
    void Execute() override { body_(*this); }

private:
    std::function<void(Worker&)> body_;
};

TEST(TThread, RunsOnlyOnceStartedAndEndsWhenTerminated)
{
    std::atomic<int> loops{0};
    Worker worker([&](Worker& self) {
        while (!self.Terminated())
            if (++loops % 100 == 0)
                std::this_thread::yield();
    });
    EXPECT_TRUE(worker.Suspended());
    EXPECT_FALSE(worker.Finished());
    EXPECT_EQ(loops, 0);
    worker.Start();
    worker.Start(); // no second thread
    EXPECT_FALSE(worker.Suspended());
    ASSERT_TRUE(Eventually([&] { return loops > 0; }));
    EXPECT_FALSE(worker.WaitFor(1ms)) << "still running";
    worker.Terminate();
    EXPECT_TRUE(worker.Terminated());
    ASSERT_TRUE(worker.WaitFor(kLimit));
    EXPECT_TRUE(worker.Finished());
    EXPECT_EQ(worker.FatalException(), nullptr);
}

TEST(TThread, ParksUntilResumedAndKeepsAnEarlyResume)
{
    std::atomic<bool> resumed{false};
    std::atomic<int> rounds{0};
    Worker worker([&](Worker& self) {
        EXPECT_TRUE(Eventually([&] { return resumed.load(); }));
        self.Park(); // the permit of the Resumes given before: returns at once
        ++rounds;
        self.Park(); // permits do not add up: this one waits
        ++rounds;
    });
    worker.Start();
    worker.Resume();
    worker.Resume();
    resumed = true;
    ASSERT_TRUE(Eventually([&] { return rounds == 1 && worker.Suspended(); }));
    EXPECT_FALSE(worker.WaitFor(1ms));
    worker.Resume();
    ASSERT_TRUE(worker.WaitFor(kLimit));
    EXPECT_EQ(rounds, 2);
}

TEST(TThread, KeepsTheExceptionThatEndedIt)
{
    Worker worker([](Worker&) { throw EConvertError("bad"); });
    worker.Start();
    ASSERT_TRUE(worker.WaitFor(kLimit));
    ASSERT_NE(worker.FatalException(), nullptr);
    EXPECT_THROW(std::rethrow_exception(worker.FatalException()), EConvertError);
}

// Sets a flag when run; its owner relies on the base destructor alone.
class Flagger : public TThread {
public:
    explicit Flagger(std::atomic<bool>& ran) : ran_(ran) {}

protected:
    void Execute() override
    {
        ran_ = true;
        while (!Terminated())
            Suspend();
    }

private:
    std::atomic<bool>& ran_;
};

TEST(TThread, DestructionOfStartedAndNeverStartedThreads)
{
    std::atomic<bool> ran{false};
    {
        Flagger never(ran);
        EXPECT_TRUE(never.WaitFor(0ms)) << "nothing to wait for";
    }
    EXPECT_FALSE(ran) << "a thread never started does not run when destroyed";
    {
        Flagger parked(ran);
        parked.Start();
        ASSERT_TRUE(Eventually([&] { return ran && parked.Suspended(); }));
    } // terminated, woken and waited for
}

} // namespace
