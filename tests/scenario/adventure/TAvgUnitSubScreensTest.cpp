// The adventure screen with its sub-screens, frame by frame: the backlog's first page, the side
// menu's first wait, the exit question, the right button by its setting, quick save and load,
// and the save menu taking the screen's place (without a form the menus come and go at once;
// their transitions are AvgSubScreens' tests).
#include "scenario/adventure/AvgTestSupport.h"

#include "graphics/bitmaps/TXeRGBBits.h"
#include "graphics/panels/TXeRGBPanel.h"
#include "platform/host/VirtualKeys.h"
#include "scenario/menus/TSaveMenu.h"
#include "scenario/stage/TStageUnit.h"
#include "scenario/windows/TSubWinUnit.h"
#include "shell/menus/TConfigMenu.h"
#include "shell/menus/TDlgUnit.h"
#include "tests/shell/menus/RecordingShellServices.h"

namespace {

using Phase = AvgSubScreens::Phase;
using Names = std::vector<std::string>;

// The screen given the dialog and both menus, with their close handlers set as the logic thread
// sets them.
class TAvgUnitSubScreensTest : public AvgTest::AvgFixture {
protected:
    void SetUp() override
    {
        pictures_.Write("CfgParts.png", WindowTest::PngOf(530, 220, 0x808080));
        services_.folder = host_.saveFolder;
        dialog_ = dialog.get();
        ASSERT_TRUE(dialog->Initialize(&pictures_.Files()));
        ASSERT_TRUE(config->Initialize(&pictures_.Files()));
        ASSERT_TRUE(save->Initialize(&pictures_.Files()));
        configMenu_ = config.get();
        saveMenu_ = save.get();
        config->SetOnClose([this](std::int32_t code) { unit_->OnConfigMenuClose(code); });
        save->SetOnClose([this](std::int32_t code) { unit_->OnSaveMenuClose(code); });
    }
    void TearDown() override { unit_.reset(); }

    const AvgSubScreens& Subs() const { return unit_->SubScreens(); }
    // The backlog filled with `lines` lines, line i holding i in full-width digits.
    void FillBacklog(int lines)
    {
        Record().ClearBacklog();
        for (int i = 0; i < lines; ++i) {
            if (i > 0)
                Record().AdvanceBacklog();
            Record().AppendBacklogLine(Line(i));
        }
    }
    static std::string Line(int i)
    {
        std::string line;
        for (const char digit : std::to_string(i))
            line += std::string{'\xA3', static_cast<char>(0xB0 + (digit - '0'))};
        return line;
    }
    // Opens the side menu with the right button and presses button i once it stands.
    void PressSideMenuButton(int i)
    {
        config_.RightClickType = 0;
        unit_->OnEvent(2);
        ASSERT_GE(FramesUntil([&] { return Subs().SideMenu() == Phase::Open; }), 1);
        unit_->Windows().Panel(("MenuBtn" + std::to_string(i + 1)).c_str())->CallOnClick();
        ASSERT_GE(FramesUntil([&] { return Subs().SideMenu() == Phase::Closed; }), 1);
    }
    std::vector<unsigned char> QuickSaveThumbnail()
    {
        std::vector<unsigned char> extra(MaxExtraLength);
        std::size_t length = 0;
        if (!ReadSaveSlot(host_.saveFolder, 0, nullptr, nullptr, length, extra))
            return {};
        extra.resize(length);
        return extra;
    }

    menutest::RecordingShellServices services_;
    std::unique_ptr<TDlgUnit> dialog = std::make_unique<TDlgUnit>(nullptr);
    std::unique_ptr<TConfigMenu> config = std::make_unique<TConfigMenu>(nullptr, services_, config_);
    std::unique_ptr<TSaveMenu> save = std::make_unique<TSaveMenu>(nullptr, services_, records_);
};

TEST_F(TAvgUnitSubScreensTest, TheBacklogShowsTenLinesFromTheFirstAndFortyFromLine24)
{
    WriteScene("clickwait");
    for (const int lines : {10, 40}) {
        SCOPED_TRACE(lines);
        Start();
        FillBacklog(lines);
        unit_->OnEvent(17);
        ASSERT_GE(FramesUntil([&] { return Subs().Backlog() == Phase::Open; }), 1);
        const int first = lines == 10 ? 0 : 24;
        EXPECT_EQ(Subs().BacklogView(), first);
        EXPECT_EQ(unit_->Windows().LogWin().Rows().Text(0), Line(first));
        EXPECT_EQ(unit_->Windows().LogWin().Rows().Text(9), Line(first + 9));
        EXPECT_EQ(unit_->Modes().SubScreen(), 1);
        Frames(3);
        EXPECT_EQ(Wait(), WaitState::Click) << "the click wait waits beneath";

        bool handled = false;
        unit_->AvgPanelMouseWheel(nullptr, 0, 120, {}, handled);
        EXPECT_EQ(Subs().BacklogView(), std::max(0, first - 1));
        std::uint16_t space = VK_SPACE;
        unit_->AvgPanelKeyDown(nullptr, space, 0);
        ASSERT_GE(FramesUntil([&] { return unit_->Modes().SubScreen() == 0; }), 1);
        EXPECT_EQ(Wait(), WaitState::Click) << "closing the backlog is no click";
        unit_.reset();
    }
}

TEST_F(TAvgUnitSubScreensTest, TheSideMenuCannotOpenBeforeTheFirstWait)
{
    WriteScene("clickwait\nsetvar 1 1\nclickwait");
    Start(false);
    records_ = TScenarioRecords();
    unit_->OnEvent(2);
    EXPECT_EQ(Subs().SideMenu(), Phase::Closed);
    unit_->StartScenario("s");
    ASSERT_EQ(Wait(), WaitState::Click);
    unit_->OnEvent(2);
    EXPECT_EQ(Subs().SideMenu(), Phase::Opening);
    EXPECT_EQ(unit_->Modes().SubScreen(), 2);
    unit_->OnEvent(1);
    Frames(20);
    EXPECT_EQ(Record().GetVar(1), 0) << "clicks go to the open menu";
}

TEST_F(TAvgUnitSubScreensTest, ExitHandsBack5AtOnceOrAfterTheQuestion)
{
    WriteScene("clickwait");
    config_.ExitConfirm = 0;
    Start();
    PressSideMenuButton(AvgSubScreens::kExit);
    EXPECT_EQ(host_.results, std::vector<int>{5});
    EXPECT_FALSE(unit_->IsRunning());

    host_.results.clear();
    config_.ExitConfirm = 1;
    Start();
    PressSideMenuButton(AvgSubScreens::kExit);
    EXPECT_TRUE(dialog->IsOpen());
    EXPECT_TRUE(host_.results.empty());
    dialog->DlgNo()->CallOnClick();
    EXPECT_TRUE(unit_->IsRunning());
    EXPECT_EQ(unit_->Modes().SubScreen(), 0);
    PressSideMenuButton(AvgSubScreens::kExit);
    dialog->DlgYes()->CallOnClick();
    EXPECT_EQ(host_.results, std::vector<int>{5});
    EXPECT_FALSE(unit_->IsRunning());
}

TEST_F(TAvgUnitSubScreensTest, TheRightButtonAndEscapeFollowRightClickType)
{
    struct Case {
        std::int32_t type;
        Phase (AvgSubScreens::*phase)() const;
    };
    const Case cases[] = {{0, &AvgSubScreens::SideMenu},   {1, &AvgSubScreens::HiddenText}, {2, &AvgSubScreens::ConfigMenu},
                          {3, &AvgSubScreens::SaveLoadMenu}, {4, &AvgSubScreens::SaveLoadMenu}, {9, &AvgSubScreens::SideMenu}};
    WriteScene("clickwait\nsetvar 1 1");
    for (const Case& c : cases) {
        for (const bool escape : {false, true}) {
            SCOPED_TRACE(c.type * 10 + escape);
            Start();
            config_.RightClickType = c.type;
            std::uint16_t key = VK_ESCAPE;
            if (escape)
                unit_->AvgPanelKeyDown(nullptr, key, 0);
            else
                unit_->OnEvent(2);
            EXPECT_NE((Subs().*c.phase)(), Phase::Closed);
            if (c.type >= 3) {
                EXPECT_EQ(save->Mode(), c.type == 3 ? TSaveMenu::kModeSave : TSaveMenu::kModeLoad);
            }
            Frames(2);
            EXPECT_EQ(Record().GetVar(1), 0) << "no click reached the wait";
            save->Close();
            unit_.reset();
            host_.rootPanels.clear();
        }
    }
}

TEST_F(TAvgUnitSubScreensTest, TheSaveMenuTakesTheScreensPlaceAndGivesItBack)
{
    WriteScene("clickwait\nsetvar 1 1");
    Start();
    ASSERT_EQ(host_.rootPanels, Names{"AvgPanel"});
    unit_->Windows().Panel("MenuBtn5")->CallOnClick(); // a closed menu's button does nothing
    PressSideMenuButton(AvgSubScreens::kSave);
    EXPECT_EQ(host_.rootPanels, Names{"SaveMenuWin"});
    EXPECT_EQ(Subs().SaveLoadMenu(), Phase::Open) << "without a form it stands at once";
    EXPECT_EQ(unit_->Modes().SubScreen(), 3);
    Frames(5);
    save->FindPanel("CloseButton")->CallOnClick();
    EXPECT_EQ(host_.rootPanels, Names{"AvgPanel"});
    EXPECT_EQ(unit_->Modes().SubScreen(), 0);
    EXPECT_TRUE(host_.results.empty());
    EXPECT_EQ(Wait(), WaitState::Click);
    EXPECT_EQ(Record().GetVar(1), 0);
}

TEST_F(TAvgUnitSubScreensTest, TheConfigurationMenuWritesTheSettingsOnItsWayOut)
{
    WriteScene("clickwait");
    Start();
    unit_->OnEvent(20);
    EXPECT_EQ(host_.rootPanels, Names{"ConfigPanel"});
    config_.MesBoxTrans = 0;
    config->FindPanel("BtnExit")->CallOnClick();
    EXPECT_EQ(host_.configSaves, 1);
    EXPECT_EQ(host_.rootPanels, Names{"AvgPanel"});
    EXPECT_EQ(unit_->Windows().BackgroundLevel(), 128) << "the new transparency applied";
    EXPECT_EQ(unit_->Modes().SubScreen(), 0);
}

TEST_F(TAvgUnitSubScreensTest, QuickSaveWritesSlot0WithAThumbnailAndQuickLoadHandsBack4)
{
    WriteScene("bg 1\nstagechange 0\nsetvar 2 7\nclickwait\nsetvar 2 9\nclickwait");
    Start();
    ASSERT_GE(FramesUntil([&] { return Wait() == WaitState::Click; }), 0);
    unit_->OnEvent(18);
    EXPECT_EQ(host_.systemSounds, Names{"SysSEOK"});
    const std::vector<unsigned char> thumbnail = QuickSaveThumbnail();
    ASSERT_EQ(thumbnail.size(), 40200u);
    const std::uint32_t shown = unit_->Stage().StagePanel()->Image()->PGet(320, 240);
    ASSERT_NE(shown & 0xFFFFFF, 0u) << "background 1 is on the stage";
    EXPECT_EQ(thumbnail[20100 + 201], shown & 0xFF) << "blue of a middle pixel";
    EXPECT_EQ(thumbnail[20100 + 203], (shown >> 16) & 0xFF) << "red";

    unit_->OnEvent(1);
    ASSERT_GE(FramesUntil([&] { return Record().GetVar(2) == 9; }), 1);
    host_.systemSounds.clear();
    unit_->OnEvent(19);
    EXPECT_EQ(host_.systemSounds, Names{"SysSEOK"});
    EXPECT_EQ(host_.results, std::vector<int>{4});
    EXPECT_FALSE(unit_->IsRunning());
    EXPECT_EQ(Record().GetVar(2), 7) << "the record of the quick save";
}

TEST_F(TAvgUnitSubScreensTest, AFailedQuickLoadPlaysTheErrorAndKeepsRunning)
{
    WriteScene("clickwait\nsetvar 1 1");
    Start();
    unit_->OnEvent(19);
    unit_->OnExSelEvent(8);
    EXPECT_EQ(host_.systemSounds, (Names{"SysSEErr", "SysSEErr"}));
    EXPECT_TRUE(host_.results.empty());
    EXPECT_TRUE(unit_->IsRunning());
    Frames(2);
    EXPECT_EQ(Wait(), WaitState::Click);
    EXPECT_EQ(Record().GetVar(1), 0) << "the failure is no click";
    unit_->OnEvent(1);
    ASSERT_GE(FramesUntil([&] { return Record().GetVar(1) == 1; }), 1);
}

} // namespace
