// TXeCsvRead: the flagged table of the worked example, cell cutting, numbers, text copies, the
// cursor, and tables that must be refused.
#include "base/util/TXeCsvRead.h"

#include "platform/classes/Stream.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

// A reader over `text` (lines joined with CR LF); `ok` receives Read's result.
struct Table {
    explicit Table(const std::string& text)
    {
        stream.WriteBuffer(text.data(), static_cast<int>(text.size()));
        stream.SetPosition(0);
        ok = csv.Read(&stream);
    }
    TMemoryStream stream;
    TXeCsvRead csv;
    bool ok = false;
};

const char kExample[] = "ID,#,NOTE,#,!,EXTRA\r\n"
                        "#,10,abc,\"x,y\",z\r\n"
                        "word,1,2,3\r\n"
                        "\r\n"
                        "\"#\",20,,30\r\n"
                        "!,end\r\n"
                        "#,99,99,99\r\n";

TEST(TXeCsvRead, WorkedExample)
{
    Table t(kExample);
    ASSERT_TRUE(t.ok);
    EXPECT_EQ(t.csv.GetSizeX(), 2);
    EXPECT_EQ(t.csv.GetSizeY(), 2);
    EXPECT_EQ(t.csv.GetValue(0, 0), 10);
    EXPECT_EQ(t.csv.GetAnsiString(1, 0), "x,y");
    EXPECT_EQ(t.csv.GetValue(0, 1), 20);
    EXPECT_EQ(t.csv.GetValue(1, 1), 30);
    EXPECT_EQ(t.csv.GetAnsiString(1, 1), "30") << "the empty cell stands under NOTE";
    EXPECT_EQ(t.csv.GetValue(2, 0), 0);
    EXPECT_EQ(t.csv.GetValue(0, 2), 0);
    EXPECT_EQ(t.csv.GetValue(-1, 0), 0);
    EXPECT_EQ(t.csv.GetAnsiString(0, -1), "");
}

TEST(TXeCsvRead, RefusedTables)
{
    const char* cases[] = {
        "",                               // nothing
        "X,#,#\r\n",                      // only a header
        "X,A,B\r\n#,1,2\r\n",             // no data column
        "X\r\n#,1\r\n",                   // no column at all
        "X,!,#\r\n#,1,2\r\n",             // the "!" comes before every "#"
        "X,#\r\nA,1\r\n\r\n",             // no data row
        "X,#\r\n!,1\r\n#,2\r\n",          // the rows end before the first one
    };
    for (const char* text : cases) {
        Table t(text);
        EXPECT_FALSE(t.ok) << text;
        EXPECT_EQ(t.csv.GetSizeX(), 0);
        EXPECT_EQ(t.csv.GetSizeY(), 0);
        EXPECT_EQ(t.csv.GetAnsiString(0, 0), "");
    }
    TXeCsvRead csv;
    EXPECT_FALSE(csv.Read(nullptr));
}

TEST(TXeCsvRead, ShortRowsAndEmptyLines)
{
    Table t("X,#,#,#\n#,1\n\n#,4,5,6,7\n");
    ASSERT_TRUE(t.ok);
    EXPECT_EQ(t.csv.GetSizeY(), 2) << "the empty line is skipped";
    EXPECT_EQ(t.csv.GetValue(0, 0), 1);
    EXPECT_EQ(t.csv.GetValue(1, 0), 0);
    EXPECT_EQ(t.csv.GetAnsiString(2, 0), "");
    char buffer[8] = "old";
    EXPECT_FALSE(t.csv.GetText(1, 0, buffer, sizeof buffer)) << "no such cell";
    EXPECT_EQ(t.csv.GetValue(2, 1), 6) << "cells past the header's are not read";
}

TEST(TXeCsvRead, CellsAndNumbers)
{
    Table t("X,#,#,#,#,#,#,#\n"
            "#,12ab,  7,-3,+4,99999999999,-99999999999,\"\"\n"
            "#,x,\"\"\"q\"\"\",\"a\",\"\n");
    ASSERT_TRUE(t.ok);
    EXPECT_EQ(t.csv.GetSizeX(), 7);
    const int values[] = {12, 7, -3, 4, INT_MAX, INT_MIN, 0};
    for (int x = 0; x < 7; ++x)
        EXPECT_EQ(t.csv.GetValue(x, 0), values[x]) << "column " << x;
    EXPECT_EQ(t.csv.GetAnsiString(6, 0), "") << "a pair of quotes is an empty cell";
    EXPECT_EQ(t.csv.GetAnsiString(0, 1), "x");
    EXPECT_EQ(t.csv.GetAnsiString(1, 1), "\"\"q\"\"") << "doubled quotes inside stay as they are";
    EXPECT_EQ(t.csv.GetAnsiString(2, 1), "a");
    EXPECT_EQ(t.csv.GetAnsiString(3, 1), "\"") << "a lone quote at the end is not a quoted cell";
}

TEST(TXeCsvRead, GetTextAlwaysTerminates)
{
    Table t("X,#\n#,abcdef\n");
    ASSERT_TRUE(t.ok);
    char buffer[8];
    ASSERT_TRUE(t.csv.GetText(0, 0, buffer, 3));
    EXPECT_STREQ(buffer, "ab");
    ASSERT_TRUE(t.csv.GetText(0, 0, buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "abcdef");
    EXPECT_FALSE(t.csv.GetText(0, 0, buffer, 0));
}

TEST(TXeCsvRead, CursorMovesRightOnly)
{
    Table t("X,#,#,#\n#,1,2,3\n#,4,5,6\n");
    ASSERT_TRUE(t.ok);
    t.csv.SetPos(0, 1);
    EXPECT_EQ(t.csv.GetValue(), 4);
    EXPECT_EQ(t.csv.GetAnsiString(), "5");
    char buffer[4];
    EXPECT_TRUE(t.csv.GetText(buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "6");
    EXPECT_EQ(t.csv.GetValue(), 0) << "no wrap to the next row";
    t.csv.SetPos(INT_MAX, 0);
    EXPECT_EQ(t.csv.GetValue(), 0);
    EXPECT_EQ(t.csv.GetValue(), 0);
}

TEST(TXeCsvRead, NextCellAndCutCell)
{
    struct Case {
        const char* line;
        int position;
        int next;
        const char* cell;
    };
    const Case cases[] = {
        {"a,b", 1, 3, "a"},
        {"a,b", 3, 0, "b"},
        {"a,", 1, 0, "a"},             // a trailing comma opens no cell
        {"\"a,b\",c", 1, 7, "a,b"},    // the comma inside quotes does not split
        {"\"a,b", 1, 0, "\"a,b"},      // an open quote runs to the end
        {",x", 1, 2, ""},
        {"\x82\xA0,b", 1, 4, "\x82\xA0"}, // a double-byte character
        {"a\x82,b", 1, 0, "a\x82,b"},   // a lead byte takes the comma as its trail byte
        {"abc", 0, 0, ""},
        {"abc", 4, 0, ""},
        {"", 1, 0, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TXeCsvRead::NextCell(c.line, c.position), c.next) << c.line << " @" << c.position;
        EXPECT_EQ(TXeCsvRead::CutCell(c.line, c.position), c.cell) << c.line << " @" << c.position;
    }
}

TEST(TXeCsvRead, ReadingAgainReplacesTheTable)
{
    Table t(kExample);
    ASSERT_TRUE(t.ok);
    TMemoryStream other;
    other.WriteBuffer("X,#\n#,5\n", 8);
    other.SetPosition(0);
    ASSERT_TRUE(t.csv.Read(&other));
    EXPECT_EQ(t.csv.GetSizeX(), 1);
    EXPECT_EQ(t.csv.GetValue(0, 0), 5);
    TMemoryStream broken;
    EXPECT_FALSE(t.csv.Read(&broken));
    EXPECT_EQ(t.csv.GetValue(0, 0), 0);
}

} // namespace
