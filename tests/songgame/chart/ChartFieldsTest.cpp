#include "songgame/chart/ChartFields.h"
#include "songgame/chart/KeyLanes.h"

#include <climits>
#include <gtest/gtest.h>

TEST(ChartFields, TrimFieldCutsAtTheFirstComma)
{
    struct Case {
        const char* line;
        const char* field;
        const char* rest;
    };
    const Case cases[] = {
        {" 12 , b ,c", "12", " b ,c"},
        {"\t@\r", "@", ""},
        {",x", "", "x"},
        {"", "", ""},
        {"a,", "a", ""},
    };
    for (const Case& c : cases) {
        AnsiString line = c.line;
        EXPECT_EQ(TrimField(line), c.field) << c.line;
        EXPECT_EQ(line, c.rest) << c.line;
    }
}

TEST(ChartFields, ParseFixed3InThousandths)
{
    struct Case {
        const char* text;
        int value;
    };
    const Case cases[] = {
        {"12.5", 12500}, {"3", 3000},      {"0.25", 250},         {"1.2345", 1234}, {"T1.5", 1500},
        {"1.2.3", 1200}, {"", 0},          {"abc", 0},            {"-5", 0},        {"7x9", 7000},
        {"TT2T.T5", 2500}, {".5", 500},    {"99999999999", INT_MAX}, {"2147483.647", INT_MAX},
        {"2147483.646", 2147483646},
        {"1\x81\x40" "2", 1000}, // a double-byte character ends the scan
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseFixed3(c.text), c.value) << c.text;
}

TEST(ChartFields, SplitFileExtAtTheLastDot)
{
    struct Case {
        const char* name;
        const char* base;
        const char* ext;
    };
    const Case cases[] = {
        {"CLAP.WAV", "CLAP", ".WAV"}, {"a.b.ogg", "a.b", ".ogg"}, {"NOEXT", "NOEXT", ""},
        {".OGG", "", ".OGG"},         {"end.", "end", "."},
    };
    for (const Case& c : cases) {
        AnsiString base = "old";
        AnsiString ext = "old";
        SplitFileExt(c.name, base, ext);
        EXPECT_EQ(base, c.base) << c.name;
        EXPECT_EQ(ext, c.ext) << c.name;
    }
}

TEST(KeyLanes, EveryCharacterOfTheTable)
{
    // The lanes of characters 32..127 as written out by rows of keys; every other character -1.
    const std::string rows[] = {"ASDFJKL;", "GH", "QWERUIOP", "TY", "ZXCV", "M,./", "BN"};
    const int firsts[] = {0, 8, 10, 18, 20, 24, 28};
    int expected[128];
    std::fill(std::begin(expected), std::end(expected), -1);
    for (int r = 0; r < 7; ++r) {
        for (std::size_t i = 0; i < rows[r].size(); ++i) {
            const char key = rows[r][i];
            expected[static_cast<unsigned char>(key)] = firsts[r] + static_cast<int>(i);
            if (key >= 'A' && key <= 'Z')
                expected[key - 'A' + 'a'] = firsts[r] + static_cast<int>(i);
        }
    }
    expected[static_cast<int>('+')] = 7;
    expected[static_cast<int>('<')] = 25;
    expected[static_cast<int>('>')] = 26;
    expected[static_cast<int>('?')] = 27;
    for (int c = 32; c < 128; ++c)
        EXPECT_EQ(KeyToLane(c), expected[c]) << "character " << c;
    for (const int c : {-1, 0, 31, 128, 200, 255})
        EXPECT_EQ(KeyToLane(c), -1) << c;
    EXPECT_EQ(KeyToLane('1'), -1);
    EXPECT_EQ(KeyToLane(' '), -1);
    EXPECT_EQ(KeyToLane(':'), -1);
}

TEST(KeyLanes, FoldingToEightLanes)
{
    struct Case {
        char key;
        int folded;
    };
    // Each row lands on 0..7 in order; the middle keys G H, T Y, B N on 3 and 4.
    const Case cases[] = {
        {'a', 0}, {';', 7}, {'g', 3}, {'h', 4}, {'q', 0}, {'p', 7}, {'t', 3}, {'y', 4},
        {'z', 0}, {'v', 3}, {'m', 4}, {'/', 7}, {'b', 3}, {'n', 4}, {'?', 7},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FoldLane(KeyToLane(c.key)), c.folded) << c.key;
    EXPECT_EQ(FoldLane(-1), -1);
}
