#include "songgame/menus/TSongScoreMenu.h"

#include "songgame/SongTree.h"
#include "songgame/menus/RankingName.h"
#include "songgame/menus/RankingPictures.h"

#include "scenario/records/TSystemState.h"

#include "base/PackFixture.h"
#include "base/packs/TFileMan.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "graphics/panels/TXeRGBBtn.h"
#include "graphics/panels/TXeRGBNum.h"
#include "shell/ShellTestSupport.h"
#include "shell/menus/RecordingShellServices.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using Calls = std::vector<std::string>;

// "TV00" to "TV99", then "TW00" on.
TSongID Code(int n)
{
    char text[16];
    std::snprintf(text, sizeof text, "T%c%02d", n < 100 ? 'V' : 'W', n % 100);
    return TSongID::FromText(text);
}

// The screen over a program folder of songs; the system record gets the scores.
class TSongScoreMenuTest : public ::testing::Test {
public: // the case tables' actions reach the fixture
    void SetUp() override
    {
        data_.Write("RankAlphabet.png", rankingtest::AlphabetPng(RankingName::kCells));
        data_.Write("RankNum.png", shelltest::PngOfPattern(17, 340, false));
        data_.Write("RankBase.png", shelltest::PngOfPattern(520, 30, true));
        for (const char* tab : {"RankBtnEasy.png", "RankBtnNormal.png", "RankBtnHard.png"})
            data_.Write(tab, shelltest::PngOfPattern(80, 96, false));
        files_.InitDir(data_.Name());
        screen_.SetCreated(true);
    }

    // Song n's folder with its identity file and, unless told otherwise, its name picture.
    void AddSong(int n, bool namePicture = true)
    {
        const std::string folder = "Song\\" + SongIdCode(Code(n)) + "\\song";
        tree_.WriteIdentity(folder, "VER1.50", SongIdCode(Code(n)));
        if (namePicture)
            tree_.Write(folder + "\\songname.png", rankingtest::PngOfColour(64, 34, 0x300000u + static_cast<std::uint32_t>(n)));
    }
    // Songs first to first + count - 1, each with a score for the difficulty.
    void AddScored(std::uint8_t difficulty, int first, int count, const char* name = "ABCD")
    {
        for (int n = first; n < first + count; ++n) {
            AddSong(n);
            system_.SetScoreEntry(difficulty, Code(n), 1000u + static_cast<std::uint32_t>(n), name);
        }
    }
    void Start(std::uint8_t difficulty)
    {
        ASSERT_TRUE(menu_.Initialize(&files_));
        menu_.SongScorePanel()->SetParent(&screen_);
        ASSERT_TRUE(menu_.Open(difficulty));
        services_.calls.clear();
    }

    void Click(const char* name)
    {
        int x = 3;
        int y = 3;
        Panel(name)->ClientToScreen(x, y);
        screen_.MouseMove(0, x, y);
        screen_.MouseDown(mbLeft, ssLeft, x, y);
        screen_.MouseUp(mbLeft, 0, x, y);
    }
    TXeRGBPanel* Panel(const std::string& name) { return menu_.FindPanel(name); }
    TXeRGBBtn* Button(const char* name) { return static_cast<TXeRGBBtn*>(Panel(name)); }
    TXeRGBNum* Number(const std::string& name) { return static_cast<TXeRGBNum*>(Panel(name)); }
    // The rows shown, in order.
    int ShownRows()
    {
        int shown = 0;
        for (int r = 0; r < TSongScoreMenu::kRows; ++r) {
            const bool row = Panel("PanelSong" + std::to_string(r))->Visible();
            for (const char* stem : {"PanelBase", "PanelName", "NumScore"})
                EXPECT_EQ(Panel(stem + std::to_string(r))->Visible(), row) << stem << r;
            shown += row ? 1 : 0;
        }
        return shown;
    }
    // The song picture's colour in row r, which names the song shown there.
    std::uint32_t SongShown(int r) { return Panel("PanelSong" + std::to_string(r))->Image()->PGet(1, 1) - 0x300000u; }

    shelltest::ScopedGlobals globals_{bd24};
    songtest::SongTree tree_;
    PackFixture::ScratchFolder data_;
    TFileMan files_{nullptr};
    TSystemState system_;
    menutest::RecordingShellServices services_;
    TXeRGBPanel screen_{nullptr};
    TSongScoreMenu menu_{nullptr, services_, system_};
};

TEST_F(TSongScoreMenuTest, PagesHoldTenSongsEach)
{
    struct Case {
        int songs;
        int pages;
        int lastPageRows;
    };
    const Case cases[] = {{1, 1, 1}, {10, 1, 10}, {11, 2, 1}, {20, 2, 10}, {21, 3, 1}};
    for (int n = 0; n < 21; ++n)
        AddSong(n);
    Start(TSongScoreMenu::kNormal);
    for (const Case& c : cases) {
        system_ = TSystemState();
        for (int n = 0; n < c.songs; ++n)
            system_.SetScoreEntry(TSongScoreMenu::kNormal, Code(n), 1, "A");
        ASSERT_TRUE(menu_.Open(TSongScoreMenu::kNormal));
        EXPECT_EQ(menu_.PageCount(), c.pages) << c.songs;
        EXPECT_EQ(menu_.ReadSongList(), c.pages) << c.songs;
        EXPECT_TRUE(menu_.ShowPage(c.pages - 1));
        EXPECT_EQ(ShownRows(), c.lastPageRows) << c.songs;
        EXPECT_EQ(SongShown(0), static_cast<std::uint32_t>((c.pages - 1) * 10)) << c.songs;
        EXPECT_EQ(Number("NumCurPg")->Number(), c.pages);
        EXPECT_EQ(Number("NumMaxPg")->Number(), c.pages);
        EXPECT_EQ(Button("BtnBack")->Enabled(), c.pages > 1);
        EXPECT_FALSE(Button("BtnFwd")->Enabled());
    }
}

TEST_F(TSongScoreMenuTest, ARowShowsTheSongsNameScoreAndRankingName)
{
    AddScored(TSongScoreMenu::kNormal, 0, 2);
    system_.SetScoreEntry(TSongScoreMenu::kNormal, Code(1), 987654321u, "AB");
    Start(TSongScoreMenu::kNormal);
    EXPECT_EQ(SongShown(1), 1u);
    EXPECT_EQ(Number("NumScore1")->Number(), 987654321);
    EXPECT_EQ(Number("NumScore1")->Column(), 9);
    EXPECT_EQ(Panel("PanelName0")->SizeX(), 68);
    EXPECT_EQ(Panel("PanelName1")->SizeX(), 34) << "a short name keeps its own length";
    EXPECT_EQ(Panel("PanelName1")->Image()->PGet(8, 8), rankingtest::CellColour(0));
    EXPECT_NE(Number("NumScore0")->Image(), nullptr) << "the digits come from the alphabet";
    EXPECT_EQ(Number("NumScore0")->Image()->PGet(3, 3), rankingtest::CellColour(33));
}

TEST_F(TSongScoreMenuTest, OnlyClearedSongsWithAValidFolderAreListed)
{
    AddScored(TSongScoreMenu::kNormal, 0, 3);
    system_.SetScoreEntry(TSongScoreMenu::kNormal, Code(1), 0, "ZERO"); // a score of 0
    system_.SetScoreEntry(TSongScoreMenu::kNormal, Code(5), 500, "GONE"); // no folder
    AddSong(6);
    tree_.WriteIdentity("Song\\TV06\\song", "VER1.50", "XX06"); // the identity names another song
    system_.SetScoreEntry(TSongScoreMenu::kNormal, Code(6), 600, "BAD");
    Start(TSongScoreMenu::kNormal);
    TSongScoreMenu::TPageRows rows;
    ASSERT_TRUE(menu_.GetListedSong(0, rows));
    EXPECT_EQ(SongIdCode(rows[0].code), "TV00");
    EXPECT_EQ(SongIdCode(rows[1].code), "TV02");
    EXPECT_EQ(rows[1].score, 1002);
    EXPECT_TRUE(rows[2].code.IsEmpty());
    EXPECT_EQ(rows[2].score, -1);
    EXPECT_FALSE(menu_.GetListedSong(1, rows));
    EXPECT_EQ(ShownRows(), 2);
}

// A row whose name picture fails must not keep what an earlier page showed there.
TEST_F(TSongScoreMenuTest, ARowWhoseNamePictureFailsIsHidden)
{
    AddScored(TSongScoreMenu::kNormal, 0, 13);
    std::remove(tree_.Native("Song\\TV11\\song\\songname.png").c_str());
    Start(TSongScoreMenu::kNormal);
    EXPECT_TRUE(Panel("PanelSong1")->Visible());
    Click("BtnFwd");
    EXPECT_EQ(menu_.Page(), 1);
    EXPECT_TRUE(Panel("PanelSong0")->Visible());
    EXPECT_FALSE(Panel("PanelSong1")->Visible());
    EXPECT_FALSE(Panel("NumScore1")->Visible());
    EXPECT_TRUE(Panel("PanelSong2")->Visible()) << "the rows after it still show";
    EXPECT_EQ(SongShown(2), 12u);
}

TEST_F(TSongScoreMenuTest, TabsAreEnabledOnlyForDifficultiesWithScoresAndSwitchTheList)
{
    AddScored(TSongScoreMenu::kNormal, 0, 25);
    AddScored(TSongScoreMenu::kEasy, 30, 3);
    Start(TSongScoreMenu::kNormal);
    EXPECT_TRUE(Button("BtnNormal")->Enabled());
    EXPECT_FALSE(Button("BtnHard")->Enabled());
    EXPECT_TRUE(Button("BtnEasy")->Enabled());
    EXPECT_TRUE(Button("BtnNormal")->Selected());
    EXPECT_EQ(Number("NumMaxPg")->Number(), 3);

    Click("BtnNormal");
    EXPECT_TRUE(services_.calls.empty()) << "the tab already chosen does nothing";
    Click("BtnFwd");
    Click("BtnEasy");
    EXPECT_EQ(services_.calls, (Calls{"se SysSEPage", "se SysSEPage"}));
    EXPECT_EQ(menu_.Difficulty(), TSongScoreMenu::kEasy);
    EXPECT_EQ(menu_.Page(), 0);
    EXPECT_EQ(Number("NumMaxPg")->Number(), 1);
    EXPECT_EQ(Number("NumCurPg")->Number(), 1);
    EXPECT_FALSE(Button("BtnFwd")->Enabled());
    EXPECT_FALSE(Button("BtnBack")->Enabled());
    EXPECT_TRUE(Button("BtnEasy")->Selected());
    EXPECT_FALSE(Button("BtnNormal")->Selected());
    EXPECT_EQ(ShownRows(), 3);
    EXPECT_EQ(SongShown(0), 30u);
    services_.calls.clear();
    Click("BtnHard");
    EXPECT_TRUE(services_.calls.empty()) << "a disabled tab";
}

TEST_F(TSongScoreMenuTest, PageButtonsStepWithinTheListAndNumbersHaveTwoPlaces)
{
    AddScored(TSongScoreMenu::kHard, 0, 101);
    Start(TSongScoreMenu::kHard);
    EXPECT_EQ(Number("NumMaxPg")->Number(), 11);
    EXPECT_EQ(Number("NumMaxPg")->Column(), 2);
    EXPECT_EQ(Number("NumCurPg")->Column(), 2);
    Click("BtnBack");
    EXPECT_TRUE(services_.calls.empty());
    for (int i = 0; i < 12; ++i)
        Click("BtnFwd");
    EXPECT_EQ(services_.calls.size(), 10u) << "ten steps to the last page, then nothing";
    EXPECT_EQ(menu_.Page(), 10);
    EXPECT_EQ(Number("NumCurPg")->Number(), 11);
    EXPECT_EQ(ShownRows(), 1);
    EXPECT_EQ(SongShown(0), 100u);
    Click("BtnBack");
    EXPECT_EQ(menu_.Page(), 9);
    EXPECT_TRUE(Button("BtnFwd")->Enabled());
}

TEST_F(TSongScoreMenuTest, WithoutScoresNoRowShowsAndBothPageButtonsAreOff)
{
    AddSong(0);
    Start(TSongScoreMenu::kNormal);
    EXPECT_EQ(menu_.PageCount(), 0);
    EXPECT_EQ(ShownRows(), 0);
    EXPECT_EQ(Number("NumCurPg")->Number(), 0);
    EXPECT_EQ(Number("NumMaxPg")->Number(), 0);
    EXPECT_FALSE(Button("BtnBack")->Enabled());
    EXPECT_FALSE(Button("BtnFwd")->Enabled());
    EXPECT_FALSE(Button("BtnNormal")->Enabled());
}

TEST_F(TSongScoreMenuTest, ShowPageRefusesPagesOutsideTheTable)
{
    AddScored(TSongScoreMenu::kNormal, 0, 1);
    Start(TSongScoreMenu::kNormal);
    EXPECT_FALSE(menu_.ShowPage(-1));
    EXPECT_FALSE(menu_.ShowPage(26));
    EXPECT_TRUE(menu_.ShowPage(25));
    EXPECT_EQ(ShownRows(), 0);
    EXPECT_FALSE(menu_.Open(3));
}

TEST_F(TSongScoreMenuTest, ExitHandsOutResultZero)
{
    Start(TSongScoreMenu::kNormal);
    Click("BtnExit");
    EXPECT_EQ(services_.calls, (Calls{"se SysSEClick05", "result 0"}));
}

TEST_F(TSongScoreMenuTest, InitializeNeedsTheAlphabetAndFinalizeGivesEverythingBack)
{
    const std::size_t listed = globals_.Listed();
    {
        TFileMan nothing{nullptr}; // bound to no data: no alphabet
        EXPECT_FALSE(menu_.Initialize(&nothing));
        EXPECT_FALSE(menu_.Open(0));
        EXPECT_EQ(globals_.Listed(), listed);
    }
    AddScored(TSongScoreMenu::kNormal, 0, 3);
    Start(TSongScoreMenu::kNormal);
    menu_.Finalize();
    EXPECT_EQ(globals_.Listed(), listed);
}

} // namespace
