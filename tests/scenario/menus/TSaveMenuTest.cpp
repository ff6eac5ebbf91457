#include "scenario/menus/TSaveMenu.h"

#include "platform/fs/FileSystem.h"
#include "scenario/ScenarioTestSupport.h"
#include "graphics/panels/TXeRGBBtn.h"
#include "scenario/saves/SaveSlot.h"
#include "shell/menus/RecordingShellServices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

namespace {

using Calls = std::vector<std::string>;
using ScenarioTest::TempFolder;

const std::string kHyphens(23, '-');

// The menu on a screen panel, without pictures, over a temporary program folder; the close method's
// codes are listed.
class TSaveMenuTest : public ::testing::Test {
protected:
    TSaveMenuTest() { services_.folder = folder_.Name(); }

    void SetUp() override
    {
        screen_.SetCreated(true);
        menu_ = MakeMenu();
    }

    std::unique_ptr<TSaveMenu> MakeMenu()
    {
        auto menu = std::make_unique<TSaveMenu>(nullptr, services_, *records_);
        EXPECT_TRUE(menu->Initialize(nullptr));
        menu->SetOnClose([this](std::int32_t code) { codes_.push_back(code); });
        menu->SaveMenuWin()->SetParent(&screen_);
        return menu;
    }

    // Opens the menu scrolled to the top.
    void Open(std::int32_t mode)
    {
        menu_->Open(mode);
        Drag("ScrollBack", 0);
        screen_.MouseUp(mbLeft, 0, 0, 0);
        services_.calls.clear();
    }

    void WriteSlot(int file, int script)
    {
        TGameState state = ScenarioTest::FilledGameState(file + 1);
        state.SetScript(script, 1);
        ASSERT_TRUE(WriteSaveSlot(folder_.Name(), file, state, state, {}));
        FileSystem::NoteChanged(Path(file));
    }
    std::filesystem::path Path(int file) const { return folder_ / SaveSlotName(file).c_str(); }

    TXeRGBPanel* Panel(const std::string& name)
    {
        TXeRGBPanel* panel = menu_->FindPanel(name);
        EXPECT_NE(panel, nullptr) << name;
        return panel;
    }
    std::string Caption(int row) { return Panel("SaveInfo" + std::to_string(row + 1))->GetText(); }
    TXeRGBPanel* Date(int row) { return Panel("FileInfo" + std::to_string(row + 1)); }

    TPoint At(const std::string& name, int x, int y)
    {
        Panel(name)->ClientToScreen(x, y);
        return {x, y};
    }
    void Click(const std::string& name)
    {
        const TPoint p = At(name, 4, 4);
        screen_.MouseDown(mbLeft, ssLeft, p.x, p.y);
        screen_.MouseUp(mbLeft, 0, p.x, p.y);
    }
    void ClickRow(int row) { Click("SaveData" + std::to_string(row + 1)); }
    // A mouse-down at y of the named scroll panel (the button stays down).
    void Drag(const std::string& name, int y)
    {
        const TPoint p = At(name, 8, y);
        screen_.MouseDown(mbLeft, ssLeft, p.x, p.y);
    }
    void Wheel(int delta)
    {
        bool handled = false;
        screen_.MouseWheel(0, delta, TPoint{300, 200}, handled);
        EXPECT_TRUE(handled);
    }

    TempFolder folder_;
    menutest::RecordingShellServices services_;
    std::unique_ptr<TScenarioRecords> records_ = std::make_unique<TScenarioRecords>();
    TXeRGBPanel screen_{nullptr};
    std::unique_ptr<TSaveMenu> menu_;
    std::vector<std::int32_t> codes_;
};

TEST_F(TSaveMenuTest, CaptionsComeFromTheSlotFiles)
{
    WriteSlot(0, 3);  // the automatic save
    WriteSlot(2, 3);  // a known scene
    WriteSlot(5, 50); // a scene without a caption
    WriteSlot(6, 0);
    ScenarioTest::WriteBytes(Path(7), {'T', 'V', 'Q', 'X', 0, 1, 0, 0, 1, 2, 3}); // a broken header
    FileSystem::NoteChanged(Path(7));

    struct Case {
        std::int32_t mode;
        int row;
        std::string caption;
        bool dated;
    };
    const Case cases[] = {
        {TSaveMenu::kModeLoad, 0, " 1", false},
        {TSaveMenu::kModeLoad, 1, " 2 Quindle Scene03", true},
        {TSaveMenu::kModeLoad, 4, " 5 " + kHyphens, true},
        {TSaveMenu::kModeLoad, 5, " 6 Gamestart", true},
        {TSaveMenu::kModeLoad, 6, " 7", false},
        {TSaveMenu::kModeLoad, 8, " 9", false},
        {TSaveMenu::kModeLoad, 9, "-- Quindle Scene03", true},
        {TSaveMenu::kModeSave, 1, " 2 Quindle Scene03", true},
        {TSaveMenu::kModeSave, 9, "10", false},
    };
    for (const Case& c : cases) {
        Open(c.mode);
        EXPECT_EQ(Caption(c.row), c.caption) << "mode " << c.mode << " row " << c.row;
        EXPECT_EQ(Date(c.row)->Visible(), c.dated) << "mode " << c.mode << " row " << c.row;
    }
    EXPECT_EQ(menu_->SlotInfo(6).read, 1) << "the broken file's entry";
    EXPECT_EQ(menu_->SlotInfo(6).exists, 0);
    EXPECT_EQ(menu_->SlotInfo(50).read, 0) << "only the rows on screen are read";
}

TEST_F(TSaveMenuTest, DatesAreTheFilesLastWriteTimesInLocalTime)
{
    struct Case {
        int file;
        int year, month, day, hour, minute;
    };
    const Case cases[] = {{1, 2024, 3, 7, 9, 5}, {2, 1975, 12, 31, 23, 59}, {3, 2003, 1, 1, 0, 0}};
    for (const Case& c : cases) {
        WriteSlot(c.file, 3);
        std::tm local{};
        local.tm_year = c.year - 1900, local.tm_mon = c.month - 1, local.tm_mday = c.day;
        local.tm_hour = c.hour, local.tm_min = c.minute, local.tm_isdst = -1;
        const auto when = std::chrono::system_clock::from_time_t(std::mktime(&local));
        std::filesystem::last_write_time(Path(c.file), std::chrono::file_clock::from_sys(when));
    }
    Open(TSaveMenu::kModeSave);
    for (const Case& c : cases) {
        const TSaveSlotInfo& slot = menu_->SlotInfo(c.file - 1);
        EXPECT_EQ(slot.year, c.year);
        EXPECT_EQ(slot.month, c.month);
        EXPECT_EQ(slot.day, c.day);
        char text[32];
        std::snprintf(text, sizeof text, "%2d/%2d %2d:%02d", c.month, c.day, c.hour, c.minute);
        EXPECT_EQ(Date(c.file - 1)->GetText(), text);
    }
}

TEST_F(TSaveMenuTest, ScrollingStopsWhereTheLastRowShowsSlot99)
{
    struct Case {
        std::int32_t mode;
        int maxTop;
        int lastScrollingRow;
    };
    const Case cases[] = {{TSaveMenu::kModeLoad, 90, 8}, {TSaveMenu::kModeSave, 89, 9}};
    for (const Case& c : cases) {
        Open(c.mode);
        for (int i = 0; i < 120; ++i)
            Click("DownButton");
        EXPECT_EQ(menu_->Top(), c.maxTop);
        EXPECT_EQ(Caption(c.lastScrollingRow), "99");
        EXPECT_EQ(Panel("ScrollBar")->OffsetY(), 91);
        Wheel(-120);
        EXPECT_EQ(menu_->Top(), c.maxTop);
        Wheel(120);
        EXPECT_EQ(menu_->Top(), c.maxTop - 1);
        EXPECT_EQ(Panel("ScrollBar")->OffsetY(), (c.maxTop - 1) * 91 / c.maxTop);
        for (int i = 0; i < 120; ++i)
            Click("UpButton");
        EXPECT_EQ(menu_->Top(), 0);
        Wheel(120);
        EXPECT_EQ(menu_->Top(), 0);
        Wheel(-1);
        EXPECT_EQ(menu_->Top(), 1);
    }
}

TEST_F(TSaveMenuTest, DraggingFollowsTheBarRuleOnlyWhileTheLeftButtonIsHeld)
{
    Open(TSaveMenu::kModeLoad); // 90 steps
    struct Case {
        int y;
        int top;
    };
    const Case cases[] = {{0, 0}, {44, 0}, {45, 0}, {46, 0}, {47, 1}, {90, 44}, {135, 89}, {136, 90}, {180, 90}};
    for (const Case& c : cases) {
        Drag("ScrollBack", 0);
        screen_.MouseUp(mbLeft, 0, 0, 0);
        const TPoint p = At("ScrollBack", 8, c.y);
        // Under the bar, the bar takes the press and adds its own offset.
        screen_.MouseDown(mbLeft, ssLeft, p.x, p.y);
        screen_.MouseUp(mbLeft, 0, p.x, p.y);
        EXPECT_EQ(menu_->Top(), c.top) << "y " << c.y;
    }

    Drag("ScrollBack", 0);
    screen_.MouseUp(mbLeft, 0, 0, 0);
    Drag("ScrollBar", 10); // over the bar at the top: y 10 of ScrollBack
    EXPECT_EQ(menu_->Top(), 0);
    TPoint p = At("ScrollBack", 8, 100);
    screen_.MouseMove(ssLeft, p.x, p.y);
    EXPECT_EQ(menu_->Top(), 54) << "(100 - 45) x 90 / 91";
    p = At("ScrollBack", 8, 300);
    screen_.MouseMove(ssLeft, p.x, p.y);
    EXPECT_EQ(menu_->Top(), 90) << "the bar holds the mouse past its track";
    screen_.MouseUp(mbLeft, 0, p.x, p.y);
    p = At("ScrollBack", 8, 20);
    screen_.MouseMove(0, p.x, p.y);
    EXPECT_EQ(menu_->Top(), 90) << "no button held";
}

TEST_F(TSaveMenuTest, SelectionPlacesTheHighlightAndEnablesTheAction)
{
    WriteSlot(3, 3);
    WriteSlot(0, 3);
    Open(TSaveMenu::kModeLoad);
    TXeRGBPanel* light = Panel("MenuLight");
    auto* load = static_cast<TXeRGBBtn*>(Panel("LoadButton"));
    EXPECT_FALSE(load->Enabled());
    EXPECT_FALSE(Panel("SaveButton")->Visible());

    ClickRow(0); // slot 1: no file
    EXPECT_EQ(menu_->Selected(), -1);
    EXPECT_EQ(services_.calls, Calls{"se SysSEClick04"});
    ClickRow(2); // slot 3
    EXPECT_EQ(menu_->Selected(), 2);
    EXPECT_TRUE(light->Visible());
    EXPECT_EQ(light->OffsetY(), 2 * 22 + 103);
    EXPECT_TRUE(load->Enabled());
    Wheel(-120);
    Wheel(-120);
    EXPECT_EQ(light->OffsetY(), 103);
    Wheel(-120);
    EXPECT_FALSE(light->Visible()) << "scrolled out of view";
    EXPECT_EQ(menu_->Selected(), 2);
    ClickRow(9); // the automatic save
    EXPECT_EQ(menu_->Selected(), TSaveMenu::kAutoEntry);
    EXPECT_EQ(light->OffsetY(), 310);

    for (const int outside : {-1, -7, 100, 1000}) {
        ClickRow(9);
        menu_->Select(outside);
        EXPECT_EQ(menu_->Selected(), -1) << outside;
        EXPECT_FALSE(light->Visible()) << outside;
        EXPECT_FALSE(load->Enabled()) << outside;
    }
    services_.calls.clear();
    menu_->DoSaveLoad();
    EXPECT_TRUE(services_.calls.empty()) << "nothing to do without a selection";
    EXPECT_TRUE(codes_.empty());
}

TEST_F(TSaveMenuTest, SavingIntoAnEmptySlotShowsItAtOnceBeforeTheOpenerHears)
{
    records_->current = ScenarioTest::FilledGameState(9);
    records_->current.SetScript(3, 1);
    Open(TSaveMenu::kModeSave);
    EXPECT_EQ(Caption(3), " 4");
    menu_->SetOnClose([this](std::int32_t code) {
        codes_.push_back(code);
        EXPECT_EQ(Caption(3), " 4 Quindle Scene03") << "the row is shown anew first";
    });
    ClickRow(3);
    Click("SaveButton");
    EXPECT_EQ(services_.calls, (Calls{"se SysSEClick04", "se SysSEClick05", "se SysSEOk"}));
    EXPECT_EQ(codes_, std::vector<std::int32_t>{5});
    EXPECT_TRUE(std::filesystem::exists(Path(4)));
    EXPECT_TRUE(Date(3)->Visible());
    TGameState back;
    std::size_t extra = 0;
    ASSERT_TRUE(ReadSaveSlot(folder_.Name(), 4, &back, nullptr, extra, {}));
    EXPECT_EQ(back.GetScriptNumber(), 3);
}

TEST_F(TSaveMenuTest, AFailedSaveOrLoadPlaysTheErrorAndKeepsTheSelection)
{
    std::filesystem::create_directory(Path(4)); // a folder where the file would go
    FileSystem::NoteChanged(Path(4));
    Open(TSaveMenu::kModeSave);
    ClickRow(3);
    Click("SaveButton");
    EXPECT_EQ(services_.calls.back(), "se SysSEErr");
    EXPECT_TRUE(codes_.empty());
    EXPECT_EQ(menu_->Selected(), 3);
    EXPECT_TRUE(static_cast<TXeRGBBtn*>(Panel("SaveButton"))->Enabled());
    EXPECT_EQ(Caption(3), " 4");

    WriteSlot(2, 3);
    Open(TSaveMenu::kModeLoad);
    ClickRow(1);
    ScenarioTest::WriteBytes(Path(2), {1, 2, 3}); // damaged after it was listed
    const TGameState before = records_->current;
    Click("LoadButton");
    EXPECT_EQ(services_.calls.back(), "se SysSEErr");
    EXPECT_TRUE(codes_.empty());
    EXPECT_EQ(menu_->Selected(), 1);
    EXPECT_TRUE(records_->current.Bytes().size() == before.Bytes().size() &&
                std::equal(before.Bytes().begin(), before.Bytes().end(), records_->current.Bytes().begin()));
}

TEST_F(TSaveMenuTest, LoadingReplacesTheRecordsAndReportsFive)
{
    WriteSlot(2, 3);
    Open(TSaveMenu::kModeLoad);
    ClickRow(1);
    Click("LoadButton");
    EXPECT_EQ(codes_, std::vector<std::int32_t>{5});
    EXPECT_EQ(services_.calls.back(), "se SysSEOk");
    EXPECT_EQ(records_->current.GetScriptNumber(), 3);
}

TEST_F(TSaveMenuTest, CloseClearsTheSelectionAndReportsSix)
{
    Open(TSaveMenu::kModeSave);
    ClickRow(0);
    Click("CloseButton");
    EXPECT_EQ(menu_->Selected(), -1);
    EXPECT_EQ(services_.calls.back(), "se SysSEClick05");
    EXPECT_EQ(codes_, std::vector<std::int32_t>{6});
}

TEST_F(TSaveMenuTest, TheTopEntryIsKeptForTheNextMenuOfTheProcess)
{
    Open(TSaveMenu::kModeLoad);
    Drag("ScrollBack", 90);
    screen_.MouseUp(mbLeft, 0, 0, 0);
    ASSERT_EQ(menu_->Top(), 44);
    menu_.reset();
    menu_ = MakeMenu();
    EXPECT_EQ(menu_->Top(), 44);
    menu_->Open(TSaveMenu::kModeSave);
    EXPECT_EQ(Caption(0), "45");
}

} // namespace
