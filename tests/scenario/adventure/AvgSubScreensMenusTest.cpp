// AvgSubScreens with the configuration and save/load menus on the headless form: the mask
// transitions in and out, the menus' close codes, and quick save with its thumbnail and quick load.
#include "scenario/adventure/AvgSubScreens.h"

#include "graphics/bitmaps/TXeRGBBits.h"
#include "platform/fs/FileSystem.h"
#include "scenario/adventure/AvgSubScreensFixture.h"
#include "scenario/adventure/QuickSave.h"
#include "shell/helpers/SaveThumbnail.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using AvgSubTest::AvgSubScreensFixture;
using Calls = std::vector<std::string>;
using Phase = AvgSubScreens::Phase;

constexpr std::uint32_t kStageColour = 0x2040C0;

class AvgSubScreensMenusTest : public AvgSubScreensFixture {
protected:
    bool MenuOpen(Phase (AvgSubScreens::*phase)() const)
    {
        return FramesUntil([this, phase] { return (subs.get()->*phase)() == Phase::Open; });
    }
    bool BackOnTheScreen()
    {
        return FramesUntil([this] { return host.modes.SubScreen() == 0; });
    }
    bool Running() { return !form->IsTransitionDone(); }

    void PaintStage()
    {
        TXeRGBBits* picture = stage->StagePanel()->Image();
        picture->BoxFill(0, 0, 639, 479, picture->TXeRGBtoPixel(TXeRGB(kStageColour)));
    }
    // The quick-save slot's thumbnail; empty when the slot has none or cannot be read.
    std::vector<unsigned char> StoredThumbnail()
    {
        std::vector<unsigned char> extra(MaxExtraLength);
        std::size_t length = 0;
        if (!ReadSaveSlot(saves.Name(), kQuickSaveSlot, nullptr, nullptr, length, extra))
            return {};
        extra.resize(length);
        return extra;
    }
};

TEST_F(AvgSubScreensMenusTest, TheSaveMenuComesInBehindTheSwirlAndGoesBackToTheScreen)
{
    Enter(WaitState::Click);
    ASSERT_TRUE(subs->OpenSaveMenu(false));
    EXPECT_TRUE(OnRoot(save->SaveMenuWin()));
    EXPECT_FALSE(OnRoot(host.avgPanel));
    EXPECT_EQ(save->Mode(), TSaveMenu::kModeSave);
    EXPECT_EQ(form->Transition().Kind(), 14);
    EXPECT_TRUE(form->Transition().MaskEffect().Loaded());
    EXPECT_EQ(subs->SaveLoadMenu(), Phase::Opening);
    EXPECT_EQ(host.modes.SubScreen(), 3);

    ASSERT_TRUE(MenuOpen(&AvgSubScreens::SaveLoadMenu));
    EXPECT_FALSE(Running());
    EXPECT_FALSE(form->Transition().MaskEffect().Loaded()) << "the mask lives for one transition";

    save->FindPanel("CloseButton")->CallOnClick();
    EXPECT_EQ(subs->SaveLoadMenu(), Phase::Closing);
    EXPECT_TRUE(Running());
    EXPECT_TRUE(OnRoot(host.avgPanel));
    EXPECT_FALSE(OnRoot(save->SaveMenuWin()));
    ASSERT_TRUE(BackOnTheScreen());
    EXPECT_FALSE(Running());
    EXPECT_EQ(subs->SaveLoadMenu(), Phase::Closed);
    EXPECT_EQ(host.calls, Calls{}) << "closing hands nothing back";
}

TEST_F(AvgSubScreensMenusTest, TheConfigurationMenuSavesTheSettingsAndAppliesThemOnClosing)
{
    Enter(WaitState::Click);
    windows->PlaceWinOpen(3);
    ASSERT_TRUE(subs->OpenConfigMenu());
    EXPECT_TRUE(OnRoot(config->ConfigPanel()));
    ASSERT_TRUE(MenuOpen(&AvgSubScreens::ConfigMenu));
    host.userConfig.MesBoxTrans = 60;

    config->FindPanel("BtnExit")->CallOnClick();
    EXPECT_EQ(host.calls, Calls{"save config"});
    EXPECT_EQ(windows->BackgroundLevel(), 40 * 128 / 100);
    EXPECT_FALSE(windows->PlaceWinIsReady());
    ASSERT_TRUE(BackOnTheScreen());
    EXPECT_TRUE(OnRoot(host.avgPanel));
}

TEST_F(AvgSubScreensMenusTest, ALoadInTheLoadMenuHandsBack4OnceTheWayBackHasBeenShown)
{
    TGameState saved = ScenarioTest::FilledGameState(7);
    ASSERT_TRUE(WriteSaveSlot(saves.Name(), 3, saved, saved, {}));
    FileSystem::NoteChanged(saves / SaveSlotName(3).c_str());
    Enter(WaitState::ExSel);
    ASSERT_TRUE(subs->OpenSaveMenu(true));
    ASSERT_TRUE(MenuOpen(&AvgSubScreens::SaveLoadMenu));

    save->Select(2);
    save->DoSaveLoad();
    EXPECT_EQ(host.records.current.GetMonth(), saved.GetMonth());
    EXPECT_EQ(subs->SaveLoadMenu(), Phase::Closing);
    EXPECT_TRUE(Running());
    EXPECT_EQ(host.calls, Calls{}) << "not before the way back";
    ASSERT_TRUE(BackOnTheScreen());
    EXPECT_EQ(host.calls, Calls{"result 4"});
}

TEST_F(AvgSubScreensMenusTest, WithoutItsMaskAMenuAppearsAtOnce)
{
    std::filesystem::remove(folder.Path() / "Game_Pak" / "FadeMask11_Star.bmp");
    FileSystem::NoteChanged(folder.Path() / "Game_Pak" / "FadeMask11_Star.bmp");
    Enter(WaitState::Click);
    subs->OpenConfigMenu();
    EXPECT_EQ(subs->ConfigMenu(), Phase::Open);
    EXPECT_FALSE(Running());
    EXPECT_TRUE(OnRoot(config->ConfigPanel()));
    subs->OnConfigMenuClose(TConfigMenu::kClosed);
    EXPECT_EQ(host.modes.SubScreen(), 0);
    EXPECT_TRUE(OnRoot(host.avgPanel));
}

TEST_F(AvgSubScreensMenusTest, MenusOpenOnlyWhereTheWaitAllowsThem)
{
    struct Case {
        WaitState state;
        bool opens;
    };
    for (const Case c : {Case{WaitState::Timed, false}, Case{WaitState::Run, false}, Case{WaitState::Choice, true},
                         Case{WaitState::ExSel, true}}) {
        SCOPED_TRACE(static_cast<int>(c.state));
        ResetScreen();
        Enter(WaitState::Click); // the menu allowed from here on
        Enter(c.state);
        EXPECT_EQ(subs->OpenConfigMenu(), c.opens);
        EXPECT_EQ(subs->ConfigMenu() != Phase::Closed, c.opens);
        EXPECT_FALSE(subs->OpenSaveMenu(false) && c.opens) << "one menu at a time";
    }
    ResetScreen();
    Enter(WaitState::Click);
    host.modes.SetSubScreen(3); // a movie plays
    EXPECT_FALSE(subs->OpenSaveMenu(true));
    EXPECT_FALSE(subs->OpenSideMenu());
}

TEST_F(AvgSubScreensMenusTest, QuickSaveWritesSlot0WithAThumbnailOfTheStage)
{
    PaintStage();
    host.records.current = ScenarioTest::FilledGameState(3);
    Enter(WaitState::Click);
    ASSERT_TRUE(subs->QuickSave());
    EXPECT_EQ(host.calls, Calls{"se SysSEOK"});
    const std::vector<unsigned char> thumbnail = StoredThumbnail();
    ASSERT_EQ(thumbnail.size(), 40200u);
    EXPECT_EQ(thumbnail[0], 0xC0); // blue, green, red
    EXPECT_EQ(thumbnail[1], 0x40);
    EXPECT_EQ(thumbnail[2], 0x20);
    EXPECT_EQ(thumbnail[40199], 0x20);

    TakeCalls();
    const int month = host.records.current.GetMonth();
    host.records.current = TGameState();
    ASSERT_TRUE(subs->QuickLoad());
    EXPECT_EQ(host.calls, (Calls{"se SysSEOK", "result 4"}));
    EXPECT_EQ(host.records.current.GetMonth(), month);
}

TEST_F(AvgSubScreensMenusTest, QuickSaveInTheExtraSelectionTakesTheScreenAsShown)
{
    PaintStage();
    Enter(WaitState::ExSel);
    EXPECT_TRUE(subs->QuickSave());
    EXPECT_EQ(host.calls, Calls{"se SysSEOK"});
    const std::vector<unsigned char> thumbnail = StoredThumbnail();
    ASSERT_EQ(thumbnail.size(), 40200u);
    EXPECT_EQ(thumbnail[0], 0xC0) << "the screen's panel drawn, the stage on it";
}

TEST_F(AvgSubScreensMenusTest, FailedQuickSavesAndLoadsPlayTheErrorAndKeepRunning)
{
    Enter(WaitState::Click);
    EXPECT_TRUE(subs->QuickLoad());
    EXPECT_EQ(host.calls, Calls{"se SysSEErr"}) << "no slot 0";

    const std::filesystem::path slot = saves / SaveSlotName(kQuickSaveSlot).c_str();
    ScenarioTest::WriteBytes(slot, ScenarioTest::Bytes(300, 0x5A));
    FileSystem::NoteChanged(slot);
    TakeCalls();
    subs->QuickLoad();
    EXPECT_EQ(host.calls, Calls{"se SysSEErr"}) << "a broken slot 0";

    host.saveFolder = saves.Name() + "missing\\";
    TakeCalls();
    subs->QuickSave();
    EXPECT_EQ(host.calls, Calls{"se SysSEErr"}) << "a folder that cannot be written";
    EXPECT_EQ(host.modes.SubScreen(), 0);
}

TEST_F(AvgSubScreensMenusTest, QuickSaveAndLoadNeedTheScreenFree)
{
    EXPECT_FALSE(subs->QuickSave()) << "before the first wait";
    EXPECT_FALSE(subs->QuickLoad());
    Enter(WaitState::Timed);
    EXPECT_FALSE(subs->QuickSave());
    Enter(WaitState::Click);
    subs->HideText();
    EXPECT_FALSE(subs->QuickSave());
    EXPECT_FALSE(subs->QuickLoad());
    EXPECT_EQ(host.calls, Calls{});
    EXPECT_FALSE(std::filesystem::exists(saves / SaveSlotName(kQuickSaveSlot).c_str()));
}

TEST(QuickSave, ThumbnailBytesAreTheRowsTopFirstInBlueGreenRed)
{
    WindowTest::ScopedRegistry registry;
    TXeRGBBits screen(nullptr);
    screen.SetBitDepth(bd32);
    ASSERT_TRUE(screen.Create());
    screen.BoxFill(0, 0, 639, 239, 0x102030);
    screen.BoxFill(0, 240, 639, 479, 0xA0B0C0);
    const std::vector<unsigned char> bytes = ThumbnailBytes(&screen);
    ASSERT_EQ(bytes.size(), 40200u);
    EXPECT_EQ((std::vector<unsigned char>(bytes.begin(), bytes.begin() + 3)), (std::vector<unsigned char>{0x30, 0x20, 0x10}));
    EXPECT_EQ((std::vector<unsigned char>(bytes.end() - 3, bytes.end())), (std::vector<unsigned char>{0xC0, 0xB0, 0xA0}));
    EXPECT_EQ(registry.Listed(), 0u) << "the thumbnail bitmap is freed";
    EXPECT_TRUE(ThumbnailBytes(nullptr).empty());
}

} // namespace
