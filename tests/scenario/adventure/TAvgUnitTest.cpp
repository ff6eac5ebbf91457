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

TEST_F(TAvgUnitTest, AClickWaitEndsInAStageUpdateWhenTheStageInputsChanged)
{
    const struct {
        const char* code;
        WaitState after;
        int weather;
    } cases[] = {
        {"clickwait", WaitState::Run, 2},
        {"setmeter 160\nclickwait", WaitState::StageChange, 3},
        {"settime 1900\nclickwait", WaitState::StageChange, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        WriteScene(std::string(c.code) + "\nsetvar 1 1");
        Start();
        ASSERT_EQ(Wait(), WaitState::Click);
        unit_->OnEvent(1);
        EXPECT_EQ(Wait(), c.after);
        EXPECT_EQ(unit_->Stage().WeatherLevel(), c.weather);
        EXPECT_EQ(unit_->Stage().TimeBand(), Record().GetTimeOfDay());
        ASSERT_GE(FramesUntil([&] { return Record().GetVar(1) == 1; }), 1);
        unit_.reset();
    }
}

TEST_F(TAvgUnitTest, CodesAndKeysThatCannotOpenTheirScreenCountAsClicks)
{
    // A timed wait lets no text be hidden and no backlog, menu or quick save open, so each of
    // these is a click, which hurries the wait.
    for (const int code : {1, 3, 14, 17, 18, 19, 20}) {
        SCOPED_TRACE(code);
        WriteScene("wait 100000\nsetvar 1 1");
        Start();
        unit_->OnEvent(code);
        Frames(2);
        EXPECT_EQ(Record().GetVar(1), 1);
        unit_.reset();
    }
    for (std::uint16_t key : {VK_RETURN, VK_SPACE}) {
        SCOPED_TRACE(key);
        WriteScene("wait 100000\nsetvar 1 1");
        Start();
        unit_->AvgPanelKeyDown(nullptr, key, 0);
        Frames(2);
        EXPECT_EQ(Record().GetVar(1), 1);
        unit_.reset();
    }
}

TEST_F(TAvgUnitTest, TheCursorFollowsTheRecordAndTheChoice)
{
    WriteScene("cursorhide\nclickwait\nchoice \"\xCA\xC7\" 0 0 0\ncursorshow\nclickwait");
    Start();
    EXPECT_EQ(host_.cursor, -1);
    unit_->OnEvent(1);
    ASSERT_GE(FramesUntil([&] { return Wait() == WaitState::Choice; }), 1);
    EXPECT_EQ(host_.cursor, 0) << "the player needs the pointer to choose";
    unit_->OnEvent(5);
    ASSERT_GE(FramesUntil([&] { return Wait() == WaitState::Click; }), 1);
    EXPECT_EQ(host_.cursor, 0);
}

TEST_F(TAvgUnitTest, TalkingRunsForItsTimeOrWhileTheVoicePlays)
{
    WriteVoicePack(0, {5});
    WriteScene("charput 1 1\nstagechange 0\ntalkall\ntalkanim 1000\nwait 100000");
    Start();
    ASSERT_GE(FramesUntil([&] { return unit_->Talking().On(); }), 1) << "after the stage change's frame";
    EXPECT_TRUE(unit_->Talking().Shown());
    Frames(29);
    EXPECT_TRUE(unit_->Talking().Shown());
    Frames(1);
    EXPECT_FALSE(unit_->Talking().Shown()) << "30 frames of a second";
    unit_->VoicePlay(5, 0, 0);
    EXPECT_TRUE(unit_->Talking().Shown());
    Frames(10);
    EXPECT_TRUE(unit_->Talking().Shown());
    device_.EndPlaying("v5");
    Frames(1);
    EXPECT_FALSE(unit_->Talking().Shown());
    unit_->TalkStop();
    EXPECT_FALSE(unit_->Talking().On());
}

TEST_F(TAvgUnitTest, NovelModeAndPlaceNames)
{
    config_.ShowPlaceName = 1;
    WriteScene("timeopen 1\nplacename 3\nnovel 1\nmessage \"" + kHello + "\"\nclickwait\nnovel 0\nplacename 3\nclickwait");
    Start();
    EXPECT_TRUE(unit_->Windows().PlaceWinIsReady());
    ASSERT_GE(FramesUntil([&] { return Wait() == WaitState::Click; }), 1);
    EXPECT_TRUE(unit_->Windows().NovelWin().IsReady());
    EXPECT_FALSE(unit_->Windows().MesWin().IsReady());
    EXPECT_FALSE(unit_->Windows().TimeWinIsReady()) << "the novel window covers the clock";
    EXPECT_EQ(unit_->Windows().NovelWin().Rows().Text(0), kHello);
    config_.ShowPlaceName = 0;
    unit_->Windows().PlaceWinClose();
    unit_->OnEvent(1);
    ASSERT_GE(FramesUntil([&] { return Wait() == WaitState::Click; }), 1);
    EXPECT_TRUE(unit_->Windows().MesWin().IsReady());
    EXPECT_FALSE(unit_->Windows().NovelWin().IsReady());
    EXPECT_FALSE(unit_->Windows().PlaceWinIsReady()) << "\"ShowPlaceName\" off";
}

TEST_F(TAvgUnitTest, AGameEndedForASongGoesOnWithItsResult)
{
    WriteScene("gameend 3\npush 1\nswap\nsetvar\nclickwait");
    Start();
    ASSERT_EQ(host_.results, std::vector<int>{TAvgUnit::kResultEndGame});
    EXPECT_EQ(Record().GetGameMode(), 4);
    unit_.reset();
    Record().SetResultValue(42);
    Start(false);
    unit_->Resume();
    EXPECT_TRUE(unit_->IsRunning());
    EXPECT_EQ(Wait(), WaitState::Click);
    EXPECT_EQ(Record().GetVar(1), 42);
}

} // namespace
