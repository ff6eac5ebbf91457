// A whole scenario on the real screen classes, headless: GBK messages, a background change with a
// fade, a character, a voice, the automatic save, a choice and a wait, played with scripted clicks
// to its end; the automatic save restores the same position on a new screen, and a quick save and
// quick load bring the saved page back.
#include "scenario/adventure/AvgTestSupport.h"

#include "platform/host/VirtualKeys.h"
#include "scenario/records/TGameState.h"
#include "scenario/saves/SaveSlot.h"
#include "scenario/stage/TStageUnit.h"
#include "scenario/windows/TSubWinUnit.h"

using namespace AvgTest;

namespace {

// GBK: "chun", "xia", "qiu", "dong", "shi", "fou".
const std::string kSpring = "\xB4\xBA", kSummer = "\xCF\xC4", kAutumn = "\xC7\xEF", kWinter = "\xB6\xAC";
const std::string kYes = "\xCA\xC7", kNo = "\xB7\xF1";

using Rows = std::vector<std::string>;

class TAvgUnitScenario : public AvgFixture {
protected:
    void SetUp() override
    {
        WriteVoicePack(12, {1234567});
        WriteScenario(".script 1\n.scene \"s\" main\nmain:\n"
                      "bgm 2 0\n"
                      "bgchange 1 1\n"
                      "charputrefresh 1 1 0\n"
                      "voice 1234567\n"
                      "message \"" + kSpring + kSummer + "\"\n"
                      "clickwait\n"
                      "newpage\n"
                      "message \"" + kAutumn + "\\\\n" + kWinter + "\"\n"
                      "clickwait\n"
                      "autosave\n"
                      "choice \"" + kYes + "\" \"" + kNo + "\" 0 0\n"
                      "push 1\nswap\nsetvar\n"
                      "wait 500\n"
                      "message \"" + kSpring + "\"\n"
                      "clickwait\n"
                      "halt\n");
    }
    // Frames until the screen waits for the player or hands a result back.
    int ToPlayer()
    {
        return FramesUntil([&] { return !unit_->IsRunning() || Wait() == WaitState::Click || Wait() == WaitState::Choice; });
    }
};

TEST_F(TAvgUnitScenario, PlaysToItsEndWithClicks)
{
    Start();
    EXPECT_EQ(Wait(), WaitState::StageChange) << "the fade to background 1 runs first";
    ASSERT_GT(FramesUntil([&] { return unit_->Windows().MesWin().State() == wsPrinting; }), 5);
    EXPECT_EQ(Coverage(1, 0), 0) << "the second character is not shown yet";
    EXPECT_GT(ToPlayer(), 2);
    EXPECT_GT(Coverage(0, 0), 0);
    EXPECT_GT(Coverage(1, 0), 0);
    EXPECT_EQ(Coverage(2, 0), 0);
    EXPECT_EQ(unit_->Stage().CurrentPicture(), 1);
    EXPECT_EQ(unit_->Stage().CurChar(1), 1);
    EXPECT_TRUE(Playing("bgm2"));
    EXPECT_TRUE(Playing("v1234567"));
    EXPECT_TRUE(unit_->Talking().Shown());
    EXPECT_EQ(Wait(), WaitState::Click);
    EXPECT_EQ(MessageRows(), (Rows{kSpring + kSummer}));

    unit_->OnEvent(1);
    EXPECT_FALSE(Playing("v1234567")) << "the click stops the voice";
    ASSERT_GE(ToPlayer(), 1);
    EXPECT_EQ(Wait(), WaitState::Click);
    EXPECT_EQ(MessageRows(), (Rows{kAutumn, kWinter})) << "a new page, then two lines";
    EXPECT_GT(Coverage(0, 1), 0);
    EXPECT_EQ(Coverage(1, 1), 0);

    unit_->OnEvent(1);
    ASSERT_GE(ToPlayer(), 1);
    EXPECT_EQ(Wait(), WaitState::Choice);
    for (std::uint16_t key : {VK_DOWN, VK_RETURN})
        unit_->AvgPanelKeyDown(nullptr, key, 0);
    // The choice closes, then the half-second wait runs its 16 frames.
    EXPECT_GT(ToPlayer(), 16);
    EXPECT_EQ(Record().GetVar(1), 1);
    EXPECT_EQ(MessageRows(), (Rows{kAutumn, kWinter + kSpring}));

    unit_->OnEvent(1);
    Frames(1);
    EXPECT_FALSE(unit_->IsRunning());
    EXPECT_EQ(host_.results, std::vector<int>{TAvgUnit::kResultHalted});
}

TEST_F(TAvgUnitScenario, TheAutomaticSaveRestoresThePosition)
{
    Start();
    for (int click = 0; click < 2; ++click) {
        ASSERT_GE(ToPlayer(), 1);
        unit_->OnEvent(1);
    }
    ASSERT_GE(ToPlayer(), 1);
    ASSERT_EQ(Wait(), WaitState::Choice);
    unit_.reset();

    TScenarioRecords loaded;
    ASSERT_TRUE(LoadGameSlot(host_.saveFolder, 0, loaded));
    records_ = loaded;
    EXPECT_EQ(Record().GetGameMode(), 0) << "saved before the choice";
    Start(false);
    unit_->LoadResume();
    EXPECT_EQ(Wait(), WaitState::ChoiceOpening);
    EXPECT_EQ(MessageRows(), (Rows{kAutumn, kWinter})) << "the window lines are printed again";
    EXPECT_EQ(unit_->Stage().CurrentPicture(), 1);
    EXPECT_EQ(unit_->Stage().CurChar(1), 1);
    EXPECT_TRUE(Playing("bgm2"));
    ASSERT_GE(ToPlayer(), 1);
    unit_->OnEvent(5);
    ASSERT_GE(ToPlayer(), 1);
    EXPECT_EQ(Record().GetVar(1), 0);
}

TEST_F(TAvgUnitScenario, AQuickSaveAndQuickLoadReturnToTheSavedPage)
{
    Start();
    for (int click = 0; click < 2; ++click) {
        ASSERT_GE(ToPlayer(), 1);
        unit_->OnEvent(1);
    }
    ASSERT_GE(ToPlayer(), 1);
    unit_->OnEvent(5);
    ASSERT_GE(ToPlayer(), 1);
    ASSERT_EQ(Wait(), WaitState::Click);
    const Rows page{kAutumn, kWinter + kSpring};
    ASSERT_EQ(MessageRows(), page);
    unit_->OnEvent(18);
    EXPECT_EQ(host_.systemSounds, std::vector<std::string>{"SysSEOK"});
    EXPECT_EQ(Wait(), WaitState::Click) << "the quick save leaves the wait as it was";

    Record().SetVar(1, 99);
    unit_->OnEvent(19);
    EXPECT_EQ(host_.systemSounds, (std::vector<std::string>{"SysSEOK", "SysSEOK"}));
    EXPECT_EQ(host_.results, std::vector<int>{TAvgUnit::kResultLoaded});
    EXPECT_FALSE(unit_->IsRunning());
    EXPECT_EQ(Record().GetVar(1), 0) << "the saved record is back";

    // The shell continues the loaded game on the screen.
    unit_->LoadResume();
    EXPECT_TRUE(unit_->IsRunning());
    EXPECT_EQ(Wait(), WaitState::Click);
    EXPECT_EQ(MessageRows(), page);
    EXPECT_EQ(unit_->Stage().CurrentPicture(), 1);
    unit_->OnEvent(1);
    Frames(1);
    EXPECT_EQ(host_.results, (std::vector<int>{TAvgUnit::kResultLoaded, TAvgUnit::kResultHalted}));
}

} // namespace
