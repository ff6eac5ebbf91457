// AnsiString helpers: byte types under the ANSI code page, path parts, folding, integers.
#include "platform/classes/AnsiString.h"
#include "platform/classes/Exception.h"
#include "platform/codepage/CodePage.h"

#include "support/ScopedState.h"

#include <gtest/gtest.h>

namespace {

class AnsiStringTest : public ::testing::Test {
protected:
    TestSupport::ScopedAnsiCodePage codePage{CodePage::Gbk};
};

TEST_F(AnsiStringTest, ByteTypeFollowsTheAnsiCodePage)
{
    // 0xC4 0xE3 is one GBK character; 0x5C after a lead byte is a trail byte.
    const std::string text = "a\xC4\xE3\x81\x5C";
    codePage.Set(CodePage::Gbk);
    const TMbcsByteType gbk[] = {mbSingleByte, mbLeadByte, mbTrailByte, mbLeadByte, mbTrailByte};
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(ByteType(text, i), gbk[i - 1]) << i;
    // Under Shift_JIS 0xC4 and 0xE3 ... 0xC4 is a single-byte katakana, 0xE3 a lead byte.
    codePage.Set(CodePage::ShiftJis);
    const TMbcsByteType sjis[] = {mbSingleByte, mbSingleByte, mbLeadByte, mbTrailByte, mbSingleByte};
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(ByteType(text, i), sjis[i - 1]) << i;
    codePage.Set(CodePage::Latin1);
    EXPECT_EQ(ByteType(text, 2), mbSingleByte);
    EXPECT_EQ(ByteType(text, 0), mbSingleByte);
    EXPECT_EQ(ByteType(text, 99), mbSingleByte);
}

TEST_F(AnsiStringTest, PathPartsNeverCutAtATrailBackslash)
{
    // "\x95\x5C" is one Shift_JIS character whose trail byte is "\".
    codePage.Set(CodePage::ShiftJis);
    const std::string name = "Data\\\x95\x5C.png";
    EXPECT_EQ(ExtractFilePath(name), "Data\\");
    EXPECT_EQ(ExtractFileName(name), "\x95\x5C.png");
    EXPECT_EQ(ExtractFileExt(name), ".png");
    EXPECT_EQ(ExtractFilePath("\x95\x5C"), "");
}

TEST_F(AnsiStringTest, PathParts)
{
    EXPECT_EQ(ExtractFilePath("C:\\Game\\a.txt"), "C:\\Game\\");
    EXPECT_EQ(ExtractFileDir("C:\\Game\\a.txt"), "C:\\Game");
    EXPECT_EQ(ExtractFileDir("C:\\a.txt"), "C:\\");
    EXPECT_EQ(ExtractFileDir("a.txt"), "");
    EXPECT_EQ(ExtractFileName("C:\\Game\\a.txt"), "a.txt");
    EXPECT_EQ(ExtractFileExt("a.b\\c"), "");
    EXPECT_EQ(ChangeFileExt("Save\\x.tmp", ".sav"), "Save\\x.sav");
    EXPECT_EQ(ChangeFileExt("x", ".sav"), "x.sav");
    EXPECT_EQ(IncludeTrailingBackslash("a"), "a\\");
    EXPECT_EQ(IncludeTrailingBackslash("a\\"), "a\\");
}

TEST_F(AnsiStringTest, CaseAndIntegers)
{
    EXPECT_EQ(UpperCase("abZ\x82\xA0"), "ABZ\x82\xA0");
    EXPECT_TRUE(SameText("Game.PAK", "game.pak"));
    EXPECT_FALSE(SameText("a", "ab"));
    EXPECT_EQ(IntToStr(-42), "-42");
    EXPECT_EQ(StrToInt("+17"), 17);
    EXPECT_EQ(StrToIntDef("12x", -1), -1);
    EXPECT_THROW(StrToInt(""), EConvertError);
}

} // namespace
