// TextRows: what appending keeps of single- and double-byte text, and the rows past the last.
#include "scenario/windows/TextRows.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string Zhong = "\xD6\xD0";

std::string Doubles(int n)
{
    std::string out;
    for (int i = 0; i < n; ++i)
        out += Zhong;
    return out;
}

} // namespace

TEST(TextRows, AppendsDoubleByteCharactersOnly)
{
    struct Case {
        std::string text;
        int count;
        std::string row;
    };
    const Case cases[] = {
        {"abc" + Doubles(3), 3, Doubles(3)},
        {Doubles(30), 26, Doubles(26)},
        {Doubles(2) + "\xD6", 2, Doubles(2)}, // a trailing lead byte is dropped
        {"abc", 0, ""},
        {"a\xA1\xA1" "b", 1, "\xA1\xA1"},
    };
    for (const Case& c : cases) {
        TextRows rows(5);
        EXPECT_EQ(rows.Append(c.text), c.count > 0) << c.text;
        EXPECT_EQ(rows.Count(), c.count) << c.text;
        EXPECT_EQ(rows.Text(0), c.row) << c.text;
    }
}

TEST(TextRows, ContinuesTheRowAndStopsAfterTheLast)
{
    TextRows rows(5);
    rows.Append("abc" + Doubles(3));
    rows.Append("\xA1\xA1");
    EXPECT_EQ(rows.Count(), 4);
    EXPECT_EQ(rows.Text(0), Doubles(3) + "\xA1\xA1");
    for (int i = 0; i < 5; ++i)
        rows.NewLine();
    EXPECT_EQ(rows.Row(), 5);
    EXPECT_FALSE(rows.Append(Zhong));
    rows.NewLine(); // stays past the end without touching memory beyond the rows
    EXPECT_EQ(rows.Row(), 5);
    EXPECT_EQ(rows.Text(5), "");
    EXPECT_EQ(rows.Text(0), Doubles(3) + "\xA1\xA1");
    rows.Clear();
    EXPECT_EQ(rows.Row(), 0);
    EXPECT_EQ(rows.Text(0), "");
}
