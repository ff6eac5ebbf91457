// TStringList: line splitting, text, index checks and name=value lines.
#include "platform/classes/StringList.h"

#include "platform/classes/Exception.h"
#include "platform/classes/Stream.h"

#include <gtest/gtest.h>

namespace {

TEST(TStringList, SetTextSplitsAtEveryLineBreakKind)
{
    TStringList list;
    list.SetText("a\r\nb\nc\rd\r\n\r\ne");
    ASSERT_EQ(list.Count(), 6);
    EXPECT_EQ(list[0], "a");
    EXPECT_EQ(list[3], "d");
    EXPECT_EQ(list[4], "");
    EXPECT_EQ(list[5], "e");
    EXPECT_EQ(list.Text(), "a\r\nb\r\nc\r\nd\r\n\r\ne\r\n");
}

TEST(TStringList, LoadsFromTheStreamPosition)
{
    TMemoryStream stream;
    stream.WriteBuffer("skip\nx,1\ny,2", 12);
    stream.SetPosition(5);
    TStringList list;
    list.LoadFromStream(stream);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list[1], "y,2");
}

TEST(TStringList, EditsAndIndexChecks)
{
    TStringList list;
    list.Add("one");
    list.Add("Two");
    list.Insert(0, "zero");
    EXPECT_EQ(list.IndexOf("TWO"), 2);
    EXPECT_EQ(list.IndexOf("three"), -1);
    list.Delete(0);
    EXPECT_EQ(list[0], "one");
    EXPECT_THROW(list[5], EListError);
    EXPECT_THROW(list.Delete(-1), EListError);
    list.Add("apple");
    list.Sort();
    EXPECT_EQ(list[0], "apple");
}

TEST(TStringList, NameValueLines)
{
    TStringList list;
    list.SetText("Speed=3\nMode=Window=1");
    EXPECT_EQ(list.Values("speed"), "3");
    EXPECT_EQ(list.Values("Mode"), "Window=1");
    EXPECT_EQ(list.Names(1), "Mode");
    EXPECT_EQ(list.Values("none"), "");
    list.SetValue("SPEED", "5");
    list.SetValue("New", "x");
    EXPECT_EQ(list[0], "SPEED=5");
    EXPECT_EQ(list.IndexOfName("new"), 2);
}

} // namespace
