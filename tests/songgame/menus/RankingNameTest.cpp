#include "songgame/menus/RankingName.h"

#include "songgame/menus/RankingPictures.h"

#include "base/PackFixture.h"
#include "base/packs/TFileMan.h"
#include "graphics/bitmaps/TXeAlpha.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "shell/ShellTestSupport.h"
#include "shell/helpers/PictureLoading.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using rankingtest::CellAlpha;
using rankingtest::CellColour;

// A name panel of four cells (68 x 34 with alpha) in a created screen, and an alphabet.
class RankingNameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_.Write("Alphabet.png", rankingtest::AlphabetPng(RankingName::kCells));
        folder_.Write("Short.png", rankingtest::AlphabetPng(26, false));
        files_.InitDir(folder_.Name());
        screen_.SetCreated(true);
        panel_.SetAutoSize(false);
        panel_.SetSizeY(34);
        panel_.SetCreated(true);
        ASSERT_TRUE(CreatePanelImage(&panel_, 68, 34, mmAlpha));
        ASSERT_TRUE(name_.LoadPictures(&files_, "Alphabet.png"));
    }
    void TearDown() override { FreePanelImage(&panel_); }

    // The colour and alpha of the name's cell i, read at its middle.
    std::uint32_t Colour(int i) { return panel_.Image()->PGet(17 * i + 8, 17); }
    std::uint8_t Alpha(int i) { return panel_.Alpha()->PGet(17 * i + 8, 17); }

    shelltest::ScopedGlobals globals_{bd24};
    PackFixture::ScratchFolder folder_;
    TFileMan files_{nullptr};
    TXeRGBPanel screen_{nullptr};
    TXeRGBPanel panel_{nullptr, &screen_};
    RankingName name_;
};

TEST(RankingNameCells, FollowTheAlphabetOrder)
{
    const std::pair<char, int> cases[] = {{'A', 0},  {'Z', 25}, {'-', 26}, {'#', 27}, {'?', 32}, {'0', 33}, {'9', 42},
                                          {'*', 43}, {'+', 44}, {' ', -1}, {'a', -1}, {'%', -1}, {'\0', -1}, {'\x81', -1}};
    for (const auto& [c, cell] : cases)
        EXPECT_EQ(RankingName::CellOf(c), cell) << int(c);
}

TEST_F(RankingNameTest, DrawsEachCharacterFromItsCellAndLeavesOthersEmpty)
{
    name_.Draw(&panel_, "Q- 7");
    EXPECT_EQ(panel_.SizeX(), 68);
    const int cells[] = {16, 26, -1, 40};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Colour(i), cells[i] < 0 ? 0u : CellColour(cells[i])) << i;
        EXPECT_EQ(Alpha(i), cells[i] < 0 ? 0 : CellAlpha(cells[i])) << i;
    }
    name_.Draw(&panel_, "AB");
    EXPECT_EQ(panel_.SizeX(), 34) << "a shorter name keeps its own length";
    EXPECT_EQ(Alpha(2), 0) << "the earlier name is cleared";
}

// The picture holds four cells; a longer text must not be drawn past it.
TEST_F(RankingNameTest, ALongerTextStopsAtThePicturesWidth)
{
    name_.Draw(&panel_, "ABCDEFG");
    EXPECT_EQ(panel_.SizeX(), 68);
    EXPECT_EQ(Colour(3), CellColour(3));
}

// The drawing ends at a double-byte character, and the panel is flagged all the same.
TEST_F(RankingNameTest, ADoubleByteCharacterEndsTheNameAndThePanelIsStillFlagged)
{
    panel_.ClrModify();
    name_.Draw(&panel_, "A\x81\x40" "B");
    EXPECT_EQ(Colour(0), CellColour(0));
    EXPECT_EQ(Alpha(1), 0);
    EXPECT_EQ(Alpha(3), 0);
    EXPECT_TRUE(panel_.GetModified());
}

TEST_F(RankingNameTest, DrawsNothingForATallPanelOrWithoutPictures)
{
    name_.Draw(&panel_, "AB");
    panel_.SetSizeY(35);
    name_.Draw(&panel_, "Z");
    EXPECT_EQ(Colour(0), CellColour(0)) << "a panel taller than a cell";
    panel_.SetSizeY(34);
    RankingName empty;
    empty.Draw(&panel_, "Z");
    EXPECT_EQ(Colour(0), CellColour(0)) << "no alphabet";
    EXPECT_FALSE(empty.LoadPictures(&files_, "Missing.png"));
    EXPECT_FALSE(empty.HasPictures());
}

// A short alphabet lacks the digits; one without alpha still shows its letters.
TEST_F(RankingNameTest, AShortAlphabetWithoutAlphaDrawsTheCellsItHas)
{
    ASSERT_TRUE(name_.LoadPictures(&files_, "Short.png"));
    name_.Draw(&panel_, "C5");
    EXPECT_EQ(Colour(0), CellColour(2));
    EXPECT_EQ(Alpha(0), 255);
    EXPECT_EQ(Alpha(1), 0);
}

TEST_F(RankingNameTest, LoadingAgainReplacesThePicturesAndTheDestructorFreesThem)
{
    const std::size_t listed = globals_.Listed();
    ASSERT_TRUE(name_.LoadPictures(&files_, "Alphabet.png"));
    EXPECT_EQ(globals_.Listed(), listed);
    {
        RankingName other;
        ASSERT_TRUE(other.LoadPictures(&files_, "Alphabet.png"));
        EXPECT_EQ(globals_.Listed(), listed + 2);
    }
    EXPECT_EQ(globals_.Listed(), listed);
}

} // namespace
