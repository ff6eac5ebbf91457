#include "songgame/menus/TNameEntryMenu.h"

#include "songgame/menus/RankingName.h"
#include "songgame/menus/RankingPictures.h"

#include "base/PackFixture.h"
#include "base/packs/TFileMan.h"
#include "graphics/bitmaps/TXeAlpha.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "graphics/panels/TXeRGBNum.h"
#include "shell/ShellTestSupport.h"
#include "shell/menus/RecordingShellServices.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Calls = std::vector<std::string>;

constexpr std::uint16_t kLeft = 37;
constexpr std::uint16_t kUp = 38;
constexpr std::uint16_t kRight = 39;
constexpr std::uint16_t kDown = 40;
constexpr std::uint16_t kBack = 8;
constexpr std::uint16_t kEnter = 13;
// The mouse point 8 pixels inside a cell's top-left corner.
std::string MouseAt(int cell)
{
    return "mouse " + std::to_string(200 + 50 * (cell % 8) + 8) + "," + std::to_string(69 + 50 * (cell / 8) + 8);
}
const std::string kMouseOnEnd = MouseAt(47);

// The menu attached to a created screen, begun with a score; warps come back as mouse moves.
class TNameEntryMenuTest : public ::testing::Test {
public: // the case tables' actions reach the fixture
    void SetUp() override
    {
        folder_.Write("NameAlphabet.png", rankingtest::AlphabetPng(RankingName::kCells));
        folder_.Write("NameNum.png", shelltest::PngOfPattern(17, 340, false));
        folder_.Write("NameBtn.png", shelltest::PngOfPattern(50, 150, false));
        files_.InitDir(folder_.Name());
        screen_.SetCreated(true);
        services_.onMouse = [this](int x, int y) { screen_.MouseMove(0, x, y); };
        ASSERT_TRUE(menu_.Initialize(&files_));
        menu_.NameEntryPanel()->SetParent(&screen_);
        ASSERT_TRUE(menu_.Begin(12345));
        services_.calls.clear();
    }

    void Type(const std::string& text)
    {
        for (char c : text)
            screen_.KeyPress(c);
    }
    void Key(std::uint16_t key) { screen_.KeyDown(key, 0); }
    void Hover(int cell) { screen_.MouseMove(0, 200 + 50 * (cell % 8) + 20, 69 + 50 * (cell / 8) + 20); }
    void Click(int cell)
    {
        Hover(cell);
        const int x = 200 + 50 * (cell % 8) + 20;
        const int y = 69 + 50 * (cell / 8) + 20;
        screen_.MouseDown(mbLeft, ssLeft, x, y);
        screen_.MouseUp(mbLeft, 0, x, y);
    }
    TXeRGBPanel* Panel(const char* name) { return menu_.FindPanel(name); }
    // The cell the selection frame sits on.
    int FrameCell()
    {
        const TXeRGBPanel* frame = Panel("BtnSelFrame");
        return (frame->OffsetX() - 200) / 50 + (frame->OffsetY() - 69) / 50 * 8;
    }
    // The colour shown in the name's cell i.
    std::uint32_t NameCell(int i) { return Panel("PanelName0")->Image()->PGet(17 * i + 8, 17); }

    shelltest::ScopedGlobals globals_{bd24};
    PackFixture::ScratchFolder folder_;
    TFileMan files_{nullptr};
    menutest::RecordingShellServices services_;
    TXeRGBPanel screen_{nullptr};
    TNameEntryMenu menu_{nullptr, services_};
};

TEST_F(TNameEntryMenuTest, BeginShowsTheScoreAndAnEmptyName)
{
    Type("AB");
    ASSERT_TRUE(menu_.Begin(777));
    EXPECT_EQ(menu_.Name(), "");
    EXPECT_EQ(menu_.HoveredLetter(), -1);
    EXPECT_EQ(static_cast<TXeRGBNum*>(Panel("NumScore"))->Number(), 777);
    EXPECT_EQ(static_cast<TXeRGBNum*>(Panel("NumScore"))->Column(), 9);
    EXPECT_EQ(Panel("PanelName0")->SizeX(), 0);
    EXPECT_TRUE(Panel("PanelName0")->GetModified());
}

TEST_F(TNameEntryMenuTest, TypedCharactersMapToLettersAndSendTheMouseToTheEndButton)
{
    struct Case {
        char typed;
        const char* name; // null: ignored
    };
    const Case cases[] = {{'a', "A"}, {'z', "Z"}, {'Q', "Q"}, {'0', "0"}, {'9', "9"}, {' ', " "}, {'-', "-"},
                          {'#', "#"}, {'.', "."}, {':', ":"}, {'/', "/"}, {'!', "!"}, {'?', "?"}, {'%', nullptr},
                          {'*', nullptr}, {'\x81', nullptr}, {'\0', nullptr}};
    for (const Case& c : cases) {
        menu_.Begin(0);
        services_.calls.clear();
        Type(std::string(1, c.typed));
        if (c.name == nullptr) {
            EXPECT_TRUE(services_.calls.empty()) << int(c.typed);
            EXPECT_EQ(menu_.Name(), "");
            continue;
        }
        EXPECT_EQ(menu_.Name(), c.name) << c.typed;
        EXPECT_EQ(services_.calls, (Calls{"se SysSEClick04", kMouseOnEnd})) << c.typed;
        EXPECT_EQ(FrameCell(), 47) << c.typed;
    }
}

TEST_F(TNameEntryMenuTest, AFifthLetterIsRefusedButStillClicks)
{
    Type("abcd");
    EXPECT_EQ(menu_.Name(), "ABCD");
    services_.calls.clear();
    Click(5);
    EXPECT_EQ(menu_.Name(), "ABCD");
    EXPECT_EQ(services_.calls, (Calls{"se SysSEClick04"}));
    Type("e");
    EXPECT_EQ(menu_.Name(), "ABCD");
    EXPECT_EQ(Panel("PanelName0")->SizeX(), 68);
}

TEST_F(TNameEntryMenuTest, BackspaceDeletesTheLastLetterAndOnAnEmptyNameOnlyClicks)
{
    Key(kBack);
    EXPECT_EQ(services_.calls, (Calls{"se SysSEClick04"}));
    Type("xy");
    Key(kBack);
    EXPECT_EQ(menu_.Name(), "X");
    Click(46);
    EXPECT_EQ(menu_.Name(), "");
    EXPECT_EQ(Panel("PanelName0")->SizeX(), 0);
}

TEST_F(TNameEntryMenuTest, TheHoveredLetterIsPreviewedWhileThereIsRoom)
{
    Type("abc");
    Hover(16); // Q
    EXPECT_EQ(menu_.HoveredLetter(), 16);
    EXPECT_EQ(Panel("PanelName0")->SizeX(), 68);
    EXPECT_EQ(NameCell(3), rankingtest::CellColour(16));
    EXPECT_EQ(FrameCell(), 16);
    Click(3); // D: the name is full, no preview
    EXPECT_EQ(menu_.Name(), "ABCD");
    Hover(16);
    EXPECT_EQ(NameCell(3), rankingtest::CellColour(3));
    Hover(47);
    EXPECT_EQ(menu_.HoveredLetter(), -1) << "entering the end button clears the hover";
    EXPECT_EQ(FrameCell(), 47);
}

TEST_F(TNameEntryMenuTest, CursorKeysMoveTheMouseAndTheFrameCellByCellWrappingAround)
{
    struct Case {
        int from;
        std::uint16_t key;
        int to;
    };
    const Case cases[] = {
        {0, kLeft, 7},   {7, kRight, 0},   {0, kUp, 40},   {40, kDown, 0},  {9, kRight, 10},
        {9, kDown, 17},  {47, kRight, 40}, {45, kDown, 5}, {46, kRight, 47}, {44, kRight, 45},
    };
    for (const Case& c : cases) {
        Hover(c.from);
        services_.calls.clear();
        Key(c.key);
        ASSERT_FALSE(services_.calls.empty());
        EXPECT_EQ(services_.calls.front(), MouseAt(c.to)) << c.from << " key " << c.key;
        EXPECT_EQ(FrameCell(), c.to) << c.from << " key " << c.key;
    }
}

TEST_F(TNameEntryMenuTest, EnterActsOnTheFramesCell)
{
    Hover(0);
    Key(kEnter);
    Hover(45);
    Key(kEnter); // the blank, drawn empty
    Hover(33);
    Key(kEnter);
    EXPECT_EQ(menu_.Name(), "A 0");
    Hover(46);
    Key(kEnter);
    EXPECT_EQ(menu_.Name(), "A ");
    EXPECT_EQ(NameCell(0), rankingtest::CellColour(0));
    EXPECT_EQ(NameCell(1), 0u);
    services_.calls.clear();
    Hover(47);
    Key(kEnter);
    EXPECT_EQ(services_.calls, (Calls{"se SysSEClick05", "result 0"}));
}

TEST_F(TNameEntryMenuTest, TheEndButtonHandsOutResultZero)
{
    Type("ok");
    services_.calls.clear();
    Click(47);
    EXPECT_EQ(services_.calls, (Calls{"se SysSEClick05", "result 0"}));
    EXPECT_EQ(menu_.Name(), "OK");
}

TEST_F(TNameEntryMenuTest, ShowingThePanelPutsTheMouseOnTheFirstLetter)
{
    menu_.NameEntryPanel()->SetVisible(false);
    services_.calls.clear();
    menu_.NameEntryPanel()->SetVisible(true);
    EXPECT_EQ(services_.calls.front(), MouseAt(0));
}

TEST_F(TNameEntryMenuTest, LetterButtonsShareTheFirstOnesPicture)
{
    TXeRGBPanel* first = Panel("Btn0");
    ASSERT_NE(first->Image(), nullptr);
    for (const char* name : {"Btn1", "Btn44", "BtnSpc"})
        EXPECT_EQ(Panel(name)->Image(), first->Image()) << name;
}

TEST(TNameEntryMenuSetUp, WithoutTheAlphabetInitializeFailsAndMakesNothing)
{
    shelltest::ScopedGlobals globals{bd24};
    PackFixture::ScratchFolder folder;
    TFileMan files{nullptr};
    files.InitDir(folder.Name());
    menutest::RecordingShellServices services;
    TNameEntryMenu menu{nullptr, services};
    const std::size_t listed = globals.Listed();
    EXPECT_FALSE(menu.Initialize(&files));
    EXPECT_EQ(globals.Listed(), listed);
    EXPECT_FALSE(menu.Created());
    EXPECT_FALSE(menu.Begin(1));
}

TEST(TNameEntryMenuSetUp, FinalizeGivesBackEverything)
{
    shelltest::ScopedGlobals globals{bd24};
    PackFixture::ScratchFolder folder;
    folder.Write("NameAlphabet.png", rankingtest::AlphabetPng(RankingName::kCells));
    folder.Write("NameNum.png", shelltest::PngOfPattern(17, 340, false));
    folder.Write("NameBtn.png", shelltest::PngOfPattern(50, 150, false));
    TFileMan files{nullptr};
    files.InitDir(folder.Name());
    menutest::RecordingShellServices services;
    TNameEntryMenu menu{nullptr, services};
    const std::size_t listed = globals.Listed();
    ASSERT_TRUE(menu.Initialize(&files));
    menu.Finalize();
    EXPECT_EQ(globals.Listed(), listed);
    EXPECT_FALSE(menu.Created());
}

} // namespace
