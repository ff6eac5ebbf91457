// The adventure screen driven frame by frame on the real stage, windows and sound channels: the
// start, the wait states, the click, auto, skip and Ctrl, and the rebuild from a record.
#include "scenario/adventure/AvgTestSupport.h"

#include "platform/host/VirtualKeys.h"
#include "scenario/script/TScriptEngine.h"
#include "scenario/stage/TStageUnit.h"
#include "scenario/windows/TSubWinUnit.h"

using namespace AvgTest;

namespace {

// Two characters in GBK: "ni hao".
const std::string kHello = "\xC4\xE3\xBA\xC3";

class TAvgUnitTest : public AvgFixture {};

TEST_F(TAvgUnitTest, RunsAMessageAndAClickWaitToTheEnd)
{
    WriteScene("message \"" + kHello + "\"\nclickwait\nhalt");
    Start();
    EXPECT_TRUE(unit_->IsRunning());
    EXPECT_EQ(Wait(), WaitState::TextPrinting) << "the message window opens";
    // Five fade steps, then two characters at three frames each.
    EXPECT_GT(FramesUntil([&] { return Wait() == WaitState::Click; }), 8);
    EXPECT_EQ(MessageRows(), std::vector<std::string>{kHello});
    Frames(5);
    EXPECT_EQ(Wait(), WaitState::Click) << "a click wait has no end of its own";
    unit_->OnEvent(1);
    Frames(1);
    EXPECT_FALSE(unit_->IsRunning());
    EXPECT_EQ(host_.results, std::vector<int>{TAvgUnit::kResultHalted});
}

TEST_F(TAvgUnitTest, ThirtyFramesOfWaitEndOnTheThirtyFirst)
{
    WriteScene("wait 1000\nsetvar 1 1");
    Start();
    ASSERT_EQ(Wait(), WaitState::Timed);
    Frames(30);
    EXPECT_EQ(Wait(), WaitState::Timed);
    Frames(1);
    EXPECT_EQ(Wait(), WaitState::Run) << "the wait ends on its 31st frame";
    EXPECT_EQ(Record().GetVar(1), 0);
    Frames(1);
    EXPECT_EQ(Record().GetVar(1), 1) << "and the script goes on in the next";
    EXPECT_FALSE(unit_->IsRunning());
}

} // namespace
