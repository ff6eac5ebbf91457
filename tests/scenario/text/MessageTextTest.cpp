// MessageText: double-byte aware cuts and sign searches under GBK, and the print speed of a piece.
#include "scenario/text/MessageText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string Zhong = "\xD6\xD0"; // a GBK character

std::string Repeat(const std::string& unit, int n)
{
    std::string out;
    for (int i = 0; i < n; ++i)
        out += unit;
    return out;
}

} // namespace

TEST(MessageText, CutsNeverSplitADoubleByteCharacter)
{
    struct Case {
        std::string text;
        std::size_t limit;
        std::size_t kept;
    };
    const Case cases[] = {
        {Repeat("a", 60), 52, 52},
        {Repeat(Zhong, 30), 52, 52},              // 26 whole characters
        {"a" + Repeat(Zhong, 30), 52, 51},        // byte 52 would be a lead byte
        {Repeat("a", 10), 52, 10},
        {"ab\xD6", 52, 2},                        // a lone lead byte at the end goes
        {"", 52, 0},
        {Repeat("a", 300), 255, 255},
        {"a" + Repeat(Zhong, 150), 255, 255},
        {Repeat(Zhong, 150), 255, 254},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MessageText::Cut(c.text, c.limit), c.text.substr(0, c.kept)) << c.text.size() << " bytes, limit " << c.limit;
}

TEST(MessageText, FindsSignsOnlyAtCharacterBoundaries)
{
    // 0x81 0x5C is one GBK character whose trail byte is a backslash.
    EXPECT_EQ(MessageText::FindSign("\x81\x5Cn", 'n'), std::string::npos);
    EXPECT_EQ(MessageText::FindSign("\x81\x5C\\n", 'n'), 2u);
    EXPECT_EQ(MessageText::FindSign("ab\\pc\\n", 'p'), 2u);
    EXPECT_EQ(MessageText::FindSign("ab\\pc\\n", 'n'), 5u);
    EXPECT_EQ(MessageText::FindSign("\\", 'n'), std::string::npos);
}

TEST(MessageText, PieceSpeedIsThirtyThousandOverTheMessageSpeed)
{
    struct Case {
        const char* piece;
        std::int32_t messageSpeed;
        std::int32_t speed;
    };
    const Case cases[] = {
        {"abc", 100, 300}, {"abc", 3000, 10}, {"abc", 1, 30000}, {"abc", 0, 0},
        {"\x81\x79name\x81\x7A", 100, 0}, // a speaker's name prints at once
        {"a\x81\x79", 100, 300},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MessageText::PieceSpeed(c.piece, c.messageSpeed), c.speed) << c.piece << " at " << c.messageSpeed;
}
