// Code-page conversion at the edges: known characters both ways, bad bytes, unknown pages.
#include "platform/codepage/CodePage.h"

#include "platform/classes/Exception.h"

#include <gtest/gtest.h>

namespace {

TEST(CodePage, KnownCharactersConvertBothWays)
{
    struct Case {
        int codePage;
        std::string bytes;
        std::string utf8;
    };
    const Case cases[] = {
        {CodePage::ShiftJis, "\x82\xA0\x83\x65", "あテ"},
        {CodePage::ShiftJis, "\xB1", "ｱ"},
        {CodePage::ShiftJis, "\x81\x7C", "－"},
        {CodePage::Gbk, "\xC4\xE3\xBA\xC3", "你好"},
        {CodePage::Latin1, "\xE9", "é"},
        {CodePage::Utf8, "abc", "abc"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CodePage::ToUtf8(c.bytes, c.codePage), c.utf8);
        EXPECT_EQ(CodePage::FromUtf8(c.utf8, c.codePage), c.bytes);
    }
}

TEST(CodePage, BadInputIsReplacedNotDropped)
{
    // A lead byte at the end, and a character that Shift_JIS cannot hold.
    EXPECT_EQ(CodePage::ToUtf8("a\x82", CodePage::ShiftJis), "a\xEF\xBF\xBD");
    EXPECT_EQ(CodePage::FromUtf8("a你b", CodePage::Latin1), "a?b");
    EXPECT_EQ(CodePage::ToUtf8("\xFF", CodePage::Utf8), "\xEF\xBF\xBD");
}

TEST(CodePage, LeadBytes)
{
    EXPECT_TRUE(CodePage::IsLeadByte(0x81, CodePage::ShiftJis));
    EXPECT_FALSE(CodePage::IsLeadByte(0xA0, CodePage::ShiftJis));
    EXPECT_TRUE(CodePage::IsLeadByte(0xE0, CodePage::ShiftJis));
    EXPECT_TRUE(CodePage::IsLeadByte(0xFE, CodePage::Gbk));
    EXPECT_FALSE(CodePage::IsLeadByte(0x80, CodePage::Gbk));
    EXPECT_FALSE(CodePage::IsLeadByte(0x81, CodePage::Latin1));
    EXPECT_EQ(CodePage::Ansi(), CodePage::Gbk);
}

TEST(CodePage, UnknownCodePageIsAnError)
{
    EXPECT_THROW(CodePage::ToUtf8("x", 12345), EConvertError);
}

} // namespace
