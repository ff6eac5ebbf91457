// Text utilities: bounded copy, splitting, hex, front and rear, trimming, wildcards, full-width digits.
#include "base/util/XeText.h"

#include "platform/codepage/CodePage.h"

#include "support/ScopedState.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>

namespace {

// Two Shift_JIS characters: "あ" (82 A0) and "い" (82 A2).
const char kTwoKana[] = "\x82\xA0\x82\xA2";

TEST(XeText, HstrncpyNeverSplitsADoubleByteCharacter)
{
    char dst[8];
    hstrncpy(dst, kTwoKana, 3, false);
    EXPECT_STREQ(dst, "\x82\xA0");
    hstrncpy(dst, kTwoKana, 4, false);
    EXPECT_STREQ(dst, kTwoKana);
    hstrncpy(dst, "ab\x82", 5, false);
    EXPECT_STREQ(dst, "ab") << "a lead byte without its trail byte is not copied";
}

TEST(XeText, HstrncpyStopsAtCommaCrAndEnd)
{
    struct Case {
        const char* src;
        unsigned n;
        bool comma;
        const char* expected;
    };
    const Case cases[] = {
        {"ab,cd", 10, true, "ab"}, {"ab,cd", 10, false, "ab,cd"}, {"ab\rcd", 10, false, "ab"},
        {"abcdef", 3, false, "abc"}, {"", 3, false, ""},         {"abc", 0, false, ""},
    };
    for (const Case& c : cases) {
        char dst[16];
        hstrncpy(dst, c.src, c.n, c.comma);
        EXPECT_STREQ(dst, c.expected) << c.src;
    }
}

TEST(XeText, SeparateStringSplitsAtLineFeeds)
{
    std::array<AnsiString, 4> out{"x", "x", "x", "x"};
    SeparateString("one\r\ntwo\nthree", out);
    EXPECT_EQ(out[0], "one\r");
    EXPECT_EQ(out[1], "two");
    EXPECT_EQ(out[2], "three");
    EXPECT_EQ(out[3], "");
    std::array<AnsiString, 2> two;
    SeparateString("a\nb\nc", two);
    EXPECT_EQ(two[1], "b") << "text after the last entry is dropped";
}

TEST(XeText, HexToInt)
{
    const std::pair<const char*, int> cases[] = {
        {"ff", 255}, {"1g", 16}, {"123456789", 0x12345678}, {"FFFFFFFF", -1}, {"", 0}, {"7fffffff", INT_MAX},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(HexToInt(text), value) << text;
}

TEST(XeText, DivideFrontAndRear)
{
    EXPECT_EQ(DivideFront("abcdef", 3), "abc");
    EXPECT_EQ(DivideFront("abc", 9), "abc");
    EXPECT_EQ(DivideFront("abc", 0), "");
    EXPECT_EQ(DivideRear("abcdef", 3), "cdef");
    EXPECT_EQ(DivideRear("abc", 0), "abc");
    EXPECT_EQ(DivideRear("abc", 4), "");
    for (int n = -1; n <= 7; ++n)
        EXPECT_EQ(DivideFront("abcdef", n) + DivideRear("abcdef", n + 1), "abcdef") << n;
}

TEST(XeText, TrimRemovesSingleByteBlanksOnly)
{
    EXPECT_EQ(XeTrim("  a b \t"), "a b");
    EXPECT_EQ(XeTrim("    "), "");
    EXPECT_EQ(XeTrimLeft("  a "), "a ");
    EXPECT_EQ(XeTrimRight("  a "), "  a");
    // Under GBK, 0x81 0x40 is one character: neither byte is blank, though both are <= 32 signed.
    TestSupport::ScopedAnsiCodePage codePage(CodePage::Gbk);
    EXPECT_EQ(XeTrim(" \x81\x40 "), "\x81\x40");
    // A lone high byte (a half-width katakana under Shift_JIS) counts as blank.
    codePage.Set(CodePage::ShiftJis);
    EXPECT_EQ(XeTrim("\xB1x\xB1"), "x");
    EXPECT_EQ(XeTrim("\x82\xA0"), "\x82\xA0");
}

TEST(XeText, WildCardCmp)
{
    struct Case {
        const char* pattern;
        const char* name;
        bool match;
    };
    const Case cases[] = {
        {"*.TXT", "readme.txt", true},
        {"*.TXT", "a.b.txt", true},
        {"*.TXT", "readme.txt2", false},
        {"a?c", "abc", true},
        {"a?", "a", true},
        {"a?.txt", "a.txt", true},
        {"abc", "abcd", false},
        {"abcd", "abc", false},
        {"*", "", true},
        {"", "", true},
        {"", "a", false},
        {"**x", "abx", true},
        {"*A", "AA", true},
        {"abc", "abc.", true},
        {"abc", "abc.d", false},
        {"Voice\\*", "VOICE\\0001", true},
        {"\x82\xA0*", "\x82\xA0.png", true},
        {"\x82\xA0*", "\x82\xA2.png", false},
        {"*\x82\xA2.PNG", "\x82\xA0\x82\xA2.png", true},
        {"?\x82\xA2", "x\x82\xA2", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WildCardCmp(c.pattern, c.name), c.match) << c.pattern << " vs " << c.name;
    EXPECT_FALSE(WildCardCmp(nullptr, "a"));
}

TEST(XeText, IntToWideStr)
{
    EXPECT_EQ(IntToWideStr(7, 3), "\x82\x4F\x82\x4F\x82\x56");
    EXPECT_EQ(IntToWideStr(-12, 1), "\x81\x7C\x82\x50\x82\x51");
    EXPECT_EQ(IntToWideStr(0, 0), "\x82\x4F");
    EXPECT_EQ(IntToWideStr(123, 20).size(), 20u) << "at most ten digits";
    std::string minimum = "\x81\x7C";
    for (char digit : std::string("2147483648"))
        minimum += {'\x82', static_cast<char>(0x4F + digit - '0')};
    EXPECT_EQ(IntToWideStr(INT_MIN, 1), minimum) << "the most negative value has no positive twin";
}

} // namespace
