// TextPrint: the piece goes to the window the novel flag names, printing by frames or at once.
#include "scenario/text/TextPrint.h"

#include "scenario/windows/WindowTestSupport.h"

#include <gtest/gtest.h>

TEST(TextPrint, PrintsInTheNovelOrMessageWindow)
{
    WindowTest::UnitFixture f;
    f.unit->MesWinOpen(true);
    f.unit->NovelWinOpen(true);
    const std::string piece = "\xD6\xD0\xD6\xD0";
    TextPrintInput input;
    input.speed = 300;

    TextPrintResult result = TextPrint(*f.unit, false, piece, input);
    EXPECT_TRUE(result.printing);
    EXPECT_TRUE(f.unit->MesWinIsOpen());
    EXPECT_EQ(f.unit->MesWin().Speed(), 300);
    EXPECT_EQ(f.unit->NovelWin().Rows().Count(), 0);

    input.ctrlHeld = true; // skipping: at once
    result = TextPrint(*f.unit, true, piece, input);
    EXPECT_FALSE(result.printing);
    EXPECT_EQ(f.unit->NovelWin().Rows().Count(), 2);

    input = {300, true, false, false, false, false, 100}; // skip button at unread text
    result = TextPrint(*f.unit, true, piece, input);
    EXPECT_TRUE(result.stopSkipButton);
    EXPECT_TRUE(result.printing);
}
