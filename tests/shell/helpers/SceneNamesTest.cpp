#include "shell/helpers/SceneNames.h"

#include "platform/codepage/CodePage.h"

#include <gtest/gtest.h>

TEST(SceneNames, GivesTheCaptionCutToTheRoom)
{
    const AnsiString ellipsis = CodePage::FromUtf8("\u2026");
    ASSERT_EQ(ellipsis.size(), 2u);
    struct Case {
        int number;
        int maxBytes;
        AnsiString caption;
    };
    const Case cases[] = {
        {0, 40, "Gamestart"},
        {3, 40, "Quindle Scene03"},
        {12, 40, "Quindle Scene12"},
        {13, 40, ""},
        {99, 40, ""},
        {-1, 40, ""},
        {1, 15, "Quindle Scene01"},
        {1, 14, "Quindle Scen" + ellipsis},
        {1, 10, "Quindle " + ellipsis},
        {1, 4, "Qu" + ellipsis},
        {1, 3, "Qui"},
        {1, 1, "Q"},
        {1, 0, ""},
        {1, -7, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetSceneName(c.number, c.maxBytes), c.caption) << c.number << " in " << c.maxBytes;
}

TEST(SceneNames, NeverCutsADoubleByteCharacter)
{
    // "ab" then three GBK characters of two bytes each: byte positions 3, 5 and 7 are lead bytes.
    const AnsiString caption = "ab" + CodePage::FromUtf8("\u573a\u666f\u540d", CodePage::Gbk);
    ASSERT_EQ(caption.size(), 8u);
    const AnsiString ellipsis = CodePage::FromUtf8("\u2026", CodePage::Gbk);
    struct Case {
        int maxBytes;
        std::size_t kept; // bytes of the caption kept
        bool withEllipsis;
    };
    const Case cases[] = {
        {8, 8, false}, {7, 4, true}, {6, 4, true}, {5, 2, true}, {4, 2, true}, {3, 2, false}, {2, 2, false}, {1, 1, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FitSceneCaption(caption, c.maxBytes), caption.substr(0, c.kept) + (c.withEllipsis ? ellipsis : ""))
            << c.maxBytes;
}
