// ScriptFile: the sections of a good script, its labels, strings and targets, and every fault of the
// header and sections failing the read.
#include "scenario/script/ScriptFile.h"

#include "ScriptTestSupport.h"
#include "platform/classes/Stream.h"

#include <gtest/gtest.h>

using namespace ScriptTest;

namespace {

bool ReadScript(ScriptFile& script, const Bytes& bytes, std::int32_t number)
{
    TMemoryStream stream;
    stream.Write(bytes.data(), static_cast<int>(bytes.size()));
    return script.Read(stream, number);
}

// Blocks "main" at 0 (entry 15) and "sub" at 23 (entry 37); strings "hello" and ""; a kind 1
// record at 0 and a kind 2 record at 8.
Bytes Sample()
{
    return Assemble(R"(
        .script 12
        .stamp 0xABCD
        .string "hello"
        .string ""
        .target 1 sub
        .target 2 "scr00003::go"
        main:
            push 5
            halt
        sub:
            ret
    )");
}

TEST(ScriptFileTest, ReadsLabelsStringsAndTargets)
{
    ScriptFile script;
    ASSERT_TRUE(ReadScript(script, Sample(), 12));
    EXPECT_EQ(script.Number(), 12);
    EXPECT_EQ(script.Stamp(), 0xABCDu);
    EXPECT_EQ(script.FindLabel("sub"), 23u);
    EXPECT_EQ(script.FindLabel("none"), std::nullopt);
    EXPECT_EQ(script.LabelEntry(23), 37u);
    EXPECT_EQ(script.LabelEntry(0), 15u);
    EXPECT_EQ(script.LabelEntry(ScriptFile::NoBlock), ScriptFile::NoEntry);
    EXPECT_EQ(script.LabelEntry(24), ScriptFile::NoEntry);
    EXPECT_STREQ(script.String(1), "hello");
    EXPECT_STREQ(script.String(2), "");
    EXPECT_EQ(script.String(0), nullptr);
    EXPECT_EQ(script.String(3), nullptr);
    const auto call = script.TargetAt(0);
    ASSERT_TRUE(call);
    EXPECT_EQ(call->kind, 1);
    EXPECT_EQ(call->block, 23u);
    const auto other = script.TargetAt(8);
    ASSERT_TRUE(other && other->text);
    EXPECT_EQ(*other->text, "scr00003::go");
    EXPECT_FALSE(script.TargetAt(8 + 4 + 13 - 3)); // its kind would run past the table
}

TEST(ScriptFileTest, EmptySectionsLoad)
{
    ScriptFile script;
    ASSERT_TRUE(ReadScript(script, Assemble(".script 0\nmain: halt"), 0));
    EXPECT_EQ(script.StringCount(), 0u);
    EXPECT_FALSE(script.TargetAt(0));
}

TEST(ScriptFileTest, EveryFaultFailsTheRead)
{
    const Bytes good = Sample();
    const std::uint32_t code = 64, strings = static_cast<std::uint32_t>(good.size()) - 11;
    const struct {
        const char* what;
        std::size_t offset;
        std::uint32_t value;
    } cases[] = {
        {"another script number", 8, 13},
        {"code past the file", 32, 0x10000},
        {"code offset past the file", 28, 0xFFFFFFF0},
        {"targets past the file", 44, 1000},
        {"strings past the file", 56, 1000},
        {"more labels than blocks", 36, 3},
        {"block size past the code", code, 1000},
        {"block size below its header", code, 9},
        {"name field past its block", code + 4, 200},
        {"name not terminated", code + 4, 2},
        {"more strings than records", 60, 3},
        {"string length past the section", strings, 100},
        {"string length below its header", strings, 2},
    };
    for (const auto& c : cases) {
        Bytes bad = good;
        if (c.offset == strings)
            bad[c.offset] = static_cast<unsigned char>(c.value); // a u16 length
        else if (c.offset == code + 4)
            bad[c.offset] = static_cast<unsigned char>(c.value);
        else
            Set32(bad, c.offset, c.value);
        ScriptFile script;
        EXPECT_FALSE(ReadScript(script, bad, 12)) << c.what;
        EXPECT_FALSE(script.IsLoaded()) << c.what;
    }
    ScriptFile script;
    EXPECT_FALSE(ReadScript(script, Bytes(good.begin(), good.begin() + 63), 12)) << "short header";
    EXPECT_FALSE(ReadScript(script, good, -1)) << "negative number";
}

TEST(ScriptFileTest, StampNeedsAWholeHeaderNamingTheScript)
{
    const Bytes good = Sample();
    TMemoryStream stream;
    stream.Write(good.data(), static_cast<int>(good.size()));
    EXPECT_EQ(ScriptFile::ReadStamp(stream, 12), 0xABCDu);
    EXPECT_EQ(ScriptFile::ReadStamp(stream, 11), std::nullopt);
    TMemoryStream shortStream;
    shortStream.Write(good.data(), 63);
    EXPECT_EQ(ScriptFile::ReadStamp(shortStream, 12), std::nullopt);
    EXPECT_EQ(ScriptFile::FileName(42), "scr00042.dvo");
}

} // namespace
