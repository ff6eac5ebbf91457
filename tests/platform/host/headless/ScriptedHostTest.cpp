// ScriptedHost (and the loop of Host): queued events, then posted work, then the idle step, each in
// order; work posted from other threads wakes a waiting loop; Quit's exit code; activation;
// exceptions reach the application's hook.
#include "platform/host/headless/ScriptedHost.h"

#include "platform/classes/Application.h"
#include "platform/classes/Exception.h"
#include "platform/host/VirtualKeys.h"
#include "platform/video/headless/HeadlessVideo.h"

#include "support/ScopedState.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

using host::WindowEvent;
using Kind = WindowEvent::Kind;

class ScriptedHostTest : public ::testing::Test {
protected:
    video::HeadlessVideo video_;
    host::ScriptedHost host_{video_.CreateWindow()};
    std::vector<std::string> log_;
};

TEST_F(ScriptedHostTest, ATurnDeliversEventsThenPostedWorkThenTheIdleStep)
{
    host_.SetListener([&](const WindowEvent& e) {
        log_.push_back("event " + std::to_string(e.key));
        if (e.key == VK_RETURN)
            host_.Post([&] { log_.push_back("posted by the listener"); });
    });
    host_.SetIdle([&] {
        log_.push_back("idle");
        return false;
    });
    host_.Post([&] { log_.push_back("posted 1"); });
    host_.Queue({.kind = Kind::KeyDown, .key = VK_RETURN});
    host_.Post([&] { log_.push_back("posted 2"); });
    host_.Queue({.kind = Kind::KeyUp, .key = VK_ESCAPE});
    EXPECT_TRUE(host_.Step());
    const std::vector<std::string> expected{"event 13", "event 27", "posted 1", "posted 2", "posted by the listener", "idle"};
    EXPECT_EQ(log_, expected);
    log_.clear();
    EXPECT_TRUE(host_.Step());
    EXPECT_EQ(log_, std::vector<std::string>{"idle"});
    EXPECT_EQ(&host_.Window().Back(), &video_);
}

TEST_F(ScriptedHostTest, RunEndsWithQuitsExitCodeAndWaitsForWorkFromOtherThreads)
{
    int idleCalls = 0;
    std::thread worker;
    host_.SetIdle([&] {
        if (++idleCalls == 3) // busy until now; from here the loop waits for the worker's posts
            worker = std::thread([&] {
                for (int i = 0; i < 100; ++i)
                    host_.Post([&, i] { log_.push_back(std::to_string(i)); });
                host_.Post([&] { host_.Quit(7); });
            });
        return idleCalls < 3;
    });
    EXPECT_EQ(host_.Run(), 7);
    worker.join();
    ASSERT_EQ(log_.size(), 100u);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(log_[static_cast<std::size_t>(i)], std::to_string(i));
    EXPECT_GE(idleCalls, 3);
    EXPECT_TRUE(host_.Terminated());
    EXPECT_FALSE(host_.Step()) << "a loop asked to quit stays ended";
}

TEST_F(ScriptedHostTest, TracksActivationAndSurvivesExceptions)
{
    std::vector<std::string> handled;
    const TestSupport::ScopedHook hook(Application().OnHandleException,
                                       [&](TObject*, const std::exception& error) { handled.push_back(error.what()); });
    int delivered = 0;
    host_.SetListener([&](const WindowEvent&) {
        if (++delivered == 1)
            throw EConvertError("from the listener");
    });
    host_.Post([] { throw EConvertError("from posted work"); });
    EXPECT_TRUE(host_.Active());
    host_.Queue({.kind = Kind::Deactivate});
    host_.Queue({.kind = Kind::MouseLeave});
    host_.Step();
    EXPECT_FALSE(host_.Active());
    host_.Queue({.kind = Kind::Activate});
    host_.Step();
    EXPECT_TRUE(host_.Active());
    EXPECT_EQ(delivered, 3);
    EXPECT_EQ(handled, (std::vector<std::string>{"from the listener", "from posted work"}));
}

TEST_F(ScriptedHostTest, ThePointerFollowsTheMouseEventsAndWarps)
{
    const auto queue = [&](Kind kind, int x, int y) {
        WindowEvent e;
        e.kind = kind;
        e.x = x;
        e.y = y;
        host_.Queue(e);
    };
    const auto at = [&] { return std::pair{host_.PointerPosition().x, host_.PointerPosition().y}; };
    EXPECT_EQ(at(), std::pair(0, 0));
    queue(Kind::MouseMove, 10, 20);
    queue(Kind::MouseDown, 30, 40);
    queue(Kind::KeyDown, 99, 99); // not a pointer event
    queue(Kind::MouseLeave, 0, 0);
    host_.Step();
    EXPECT_EQ(at(), std::pair(30, 40));
    host_.WarpPointer(320, 240);
    EXPECT_EQ(at(), std::pair(320, 240));
}

} // namespace
