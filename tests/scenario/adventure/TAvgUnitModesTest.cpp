// The adventure screen's auto, skip, Ctrl and hurry modes, frame by frame: auto mode waiting out the
// voice, Ctrl skipping under and without the no-skip flag, a click hurrying a wait or the printing,
// and stage changes under skip with and without "EffectCanSkip".
#include "scenario/adventure/AvgTestSupport.h"

#include "platform/host/VirtualKeys.h"
#include "scenario/stage/TStageUnit.h"
#include "scenario/windows/TSubWinUnit.h"

using namespace AvgTest;

namespace {

const std::string kHello = "\xC4\xE3\xBA\xC3";

class TAvgUnitModes : public AvgFixture {
protected:
    void Key(std::uint16_t key, bool down)
    {
        down ? unit_->AvgPanelKeyDown(nullptr, key, 0) : unit_->AvgPanelKeyUp(nullptr, key, 0);
    }
    bool Done() { return Record().GetVar(1) == 1; }
};

TEST_F(TAvgUnitModes, AutoModeEndsTheClickWaitSixtyFramesAfterTheVoice)
{
    config_.AutoSkipWait = 2000;
    WriteVoicePack(12, {1234567});
    WriteScene("voice 1234567\nmessage \"" + kHello + "\"\nclickwait\nsetvar 1 1");
    Start();
    ASSERT_GE(FramesUntil([&] { return Wait() == WaitState::Click; }), 0);
    unit_->OnEvent(15);
    EXPECT_TRUE(unit_->Modes().Auto());
    Frames(200);
    EXPECT_EQ(Wait(), WaitState::Click) << "the countdown waits while the voice plays";
    device_.EndPlaying("v1234567");
    Frames(60);
    EXPECT_EQ(Wait(), WaitState::Click);
    Frames(1);
    EXPECT_NE(Wait(), WaitState::Click) << "the 61st frame after the voice ends the wait";
    Frames(1);
    EXPECT_TRUE(Done());
    EXPECT_TRUE(unit_->Modes().Auto()) << "auto mode stays on";
}

TEST_F(TAvgUnitModes, AClickInAutoModeEndsTheWaitAndAutoMode)
{
    WriteScene("message \"" + kHello + "\"\nclickwait\nsetvar 1 1");
    Start();
    ASSERT_GE(FramesUntil([&] { return Wait() == WaitState::Click; }), 0);
    unit_->OnEvent(15);
    unit_->OnEvent(1);
    EXPECT_FALSE(unit_->Modes().Auto());
    Frames(1);
    EXPECT_TRUE(Done());
}

TEST_F(TAvgUnitModes, CtrlSkipsClickWaitsPrintsAtOnceAndStopsSounds)
{
    WriteVoicePack(12, {1234567});
    WriteScene("voice 1234567\nse 1\nclickwait\nmessage \"" + kHello + "\"\nclickwait\nmessage \"" + kHello +
               "\"\nclickwait\nsetvar 1 1");
    Start();
    ASSERT_EQ(Wait(), WaitState::Click);
    EXPECT_TRUE(Playing("v1234567"));
    EXPECT_TRUE(Playing("se1"));
    Key(VK_CONTROL, true);
    Frames(1);
    EXPECT_FALSE(Playing("v1234567")) << "Ctrl stops the voice";
    EXPECT_FALSE(Playing("se1")) << "and the sound effect";
    // Two messages, each shown at once and followed by a one-frame wait.
    EXPECT_LE(FramesUntil([&] { return Done(); }), 6);
    EXPECT_EQ(MessageRows(), (std::vector<std::string>{kHello + kHello}));
}

TEST_F(TAvgUnitModes, TheNoSkipFlagAndReleasingCtrlEndSkipping)
{
    WriteScene("noskip 1\nwait 1000\nsetvar 1 1\nwait 1000\nsetvar 2 1\nwait 1000\nsetvar 3 1");
    Start();
    Key(VK_CONTROL, true);
    EXPECT_EQ(FramesUntil([&] { return Done(); }), 32) << "under no-skip the wait runs its 31 frames";
    Record().SetNoSkip(false);
    EXPECT_EQ(FramesUntil([&] { return Record().GetVar(2) == 1; }), 2) << "skipping ends the wait at once";
    Key(VK_CONTROL, false);
    EXPECT_FALSE(unit_->Skipping());
    // The third wait began while skipping, as a wait of one frame; it is not hurried any more.
    EXPECT_EQ(FramesUntil([&] { return Record().GetVar(3) == 1; }), 3);
}

TEST_F(TAvgUnitModes, AClickHurriesPrintingAndWaitsUpToTheNextClickWait)
{
    WriteScene("message \"" + kHello + kHello + kHello + "\"\nclickwait\nsetvar 1 1\nwait 100000\nmessage \"" + kHello +
               "\"\nclickwait\nsetvar 2 1");
    Start();
    ASSERT_EQ(Wait(), WaitState::TextPrinting) << "the window opens";
    ASSERT_GE(FramesUntil([&] { return unit_->Windows().MesWin().State() == wsPrinting; }), 5);
    unit_->OnEvent(1);
    EXPECT_TRUE(unit_->Modes().Hurry());
    Frames(1);
    EXPECT_EQ(+unit_->Windows().MesWin().State(), +wsIdle) << "the click finishes the text at once";
    EXPECT_EQ(FramesUntil([&] { return Wait() == WaitState::Click; }), 1);
    EXPECT_FALSE(unit_->Modes().Hurry()) << "the click wait starts without hurry";

    unit_->OnEvent(1);
    EXPECT_FALSE(unit_->Modes().Hurry()) << "the click that ends a click wait does not rush the next page";
    Frames(10);
    ASSERT_TRUE(Done());
    ASSERT_EQ(Wait(), WaitState::Timed);
    unit_->OnEvent(1);
    // The wait ends at once, and the message after it shows whole.
    EXPECT_EQ(FramesUntil([&] { return Wait() == WaitState::Click; }), 4);
    EXPECT_EQ(MessageRows(), std::vector<std::string>{kHello + kHello + kHello + kHello});
    EXPECT_FALSE(unit_->Modes().Hurry());
}

TEST_F(TAvgUnitModes, SkippedStageChangesFollowEffectCanSkip)
{
    for (const bool canSkip : {true, false}) {
        SCOPED_TRACE(canSkip);
        config_.EffectCanSkip = canSkip;
        WriteScene("wait 100\nbgchange 2 1\nsetvar 1 1\neffect 1\nsetvar 2 1");
        Start();
        unit_->OnEvent(16);
        ASSERT_TRUE(unit_->Modes().Skip());
        Frames(2);
        EXPECT_EQ(unit_->Stage().CurrentPicture(), 2);
        EXPECT_EQ(Wait(), canSkip ? WaitState::Timed : WaitState::StageChange);
        EXPECT_EQ(unit_->Stage().TransitionKind() != kNoTransition, !canSkip) << "the fade runs only when effects cannot be skipped";
        ASSERT_GE(FramesUntil([&] { return Done(); }), 0);
        EXPECT_EQ(Wait(), canSkip ? WaitState::Run : WaitState::StageChange) << "the shake likewise";
        unit_.reset();
    }
}

} // namespace
