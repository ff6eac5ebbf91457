// ScriptAssembler: scripts and scene tables against bytes laid out by hand, sharing of strings and
// targets, the halt that ends open blocks, and every error with its line.
#include "scenario/script/ScriptAssembler.h"

#include "ScriptTestSupport.h"
#include "platform/classes/Stream.h"
#include "scenario/script/SceneTable.h"
#include "scenario/script/ScriptBytes.h"
#include "scenario/script/ScriptFile.h"

#include <gtest/gtest.h>

using namespace ScriptTest;

namespace {

ScriptFile Load(const ScriptAssembler::Bytes& bytes, std::int32_t number)
{
    TMemoryStream stream;
    stream.Write(bytes.data(), static_cast<int>(bytes.size()));
    ScriptFile script;
    EXPECT_TRUE(script.Read(stream, number));
    return script;
}

std::string ErrorOf(const std::string& text)
{
    try {
        ScriptAssembler::AssembleScript(text);
        return "";
    } catch (const ScriptAssembler::Error& e) {
        return e.what();
    }
}

TEST(ScriptAssembler, MatchesAScriptLaidOutByHand)
{
    const auto bytes = ScriptAssembler::AssembleScript(R"(
        .script 12          ; comment
        .stamp 0xABCD
        main:
            message "hello"
            call sub
            call "scr00003::go"
            setname 2 ""
            message "hello"
            push name(5)
            scene "next"
        count: push 3
        @loop:
            push -1
            add
            dup
            jnz @loop
            jz @out
        @out:   jmp main
        sub:
            ret
        'odd label':
    )");
    ScriptBuilder b(12, 0xABCD);
    b.Label("main").Op(1, 1).Op(64).Call(0).Call(8).Op(1, 2).Op(1, 2).Op(40).Op(1, 1).Op(64).Op(1, INT32_MIN | 5);
    b.Op(1, 8 + 4 + 13).Op(48).Op(15);
    b.Label("count").Op(1, 3).Op(1, -1).Op(22).Op(8).Op(5, -10).Op(4, 6);
    b.Op(3, static_cast<std::int32_t>(b.EntryOf("main") - b.Here())).Label("sub").Op(14).Label("odd label").Op(15);
    b.TargetBlock(b.BlockOf("sub"));
    b.TargetText("scr00003::go");
    b.TargetText("next", 0);
    b.String("hello");
    b.String("");
    EXPECT_EQ(bytes, b.Build());
}

TEST(ScriptAssembler, SceneTableKeepsTheOrderOfItsLines)
{
    const ScriptAssembler::Source sources[] = {
        {"one", ".script 2\n.scene \"start\" main start 401 930 limit 410 1800\nfirst: halt\nmain: halt\n"},
        {"two", ".scene \"raw\" 4 25\n.script 3\n.scene \"gone\" none\n.scene \"back\" 2 first limit 1 2\nx: ret\n"},
    };
    const auto scenario = ScriptAssembler::Assemble(sources);
    EXPECT_EQ(scenario.sceneCount, 4u);
    EXPECT_EQ(scenario.sceneTable, SceneTableBytes({{2, 18, "start", 401, 930, 410, 1800},
                                                    {4, 25, "raw"},
                                                    {3, SceneTable::NoBlock, "gone"},
                                                    {2, 0, "back", 0, 0, 1, 2}}));
    ASSERT_EQ(scenario.scripts.size(), 2u);
    EXPECT_EQ(Load(scenario.scripts.at(2), 2).FindLabel("main"), 18u);
    EXPECT_EQ(Load(scenario.scripts.at(3), 3).FindLabel("x"), 0u);
}

TEST(ScriptAssembler, RawFormsAndDefaults)
{
    const auto bytes = ScriptAssembler::AssembleScript(".script 4\n.string \"a\"\n.string \"a\"\n.target 1 9\n.target 1 9\n"
                                                       "m: push \"a\"\npush target(1, 9)\n.opcode 7\n.bytes 1 \"\xC4\xE3\"\n.runon\n"
                                                       "n: message \"\\\"\xC4\xE3\\x01\\n\"\nmessage \"\x81\\\x81\\\\\\\"\n");
    const ScriptFile script = Load(bytes, 4);
    EXPECT_EQ(script.StringCount(), 4u);
    EXPECT_STREQ(script.String(3), "\"\xC4\xE3\x01\n");
    EXPECT_STREQ(script.String(4), "\x81\\\x81\\\\") << "a double-byte character's second byte is no escape";
    ASSERT_TRUE(script.TargetAt(8));
    EXPECT_EQ(script.TargetAt(8)->block, 9u);
    const auto code = script.Code();
    const std::size_t body = 10 + 2; // the header of block "m"
    EXPECT_EQ(ScriptBytes::U32(code, body + 2), 1u) << "a text takes the first equal string";
    EXPECT_EQ(ScriptBytes::U32(code, body + 8), 0u) << "a target takes the first equal record";
    EXPECT_EQ(ScriptBytes::U16(code, body + 12), 7u);
    EXPECT_EQ(code[body + 14], 1);
    EXPECT_EQ(script.FindLabel("n"), body + 17) << ".runon leaves out the halt";
    // The default stamp follows the content.
    const auto stamp = [](const char* text) { return Load(ScriptAssembler::AssembleScript(text), 1).Stamp(); };
    EXPECT_EQ(stamp(".script 1\nm: halt"), stamp(".script 1\nm: halt ; same"));
    EXPECT_NE(stamp(".script 1\nm: halt"), stamp(".script 1\nm: ret"));
}

TEST(ScriptAssembler, ErrorsNameTheirLine)
{
    const struct {
        std::string text;
        std::string error;
    } cases[] = {
        {"m: halt", "script:1: this needs a .script line first"},
        {".script 1\npush 1", "script:2: code needs a label first"},
        {".script 1\nm:\n frob", "script:3: unknown mnemonic 'frob'"},
        {".script 1\nm: jmp @nowhere", "script:2: no mark @nowhere"},
        {".script 1\nm: call nolabel", "script:2: script 1 has no label 'nolabel'"},
        {".script 1\n.scene \"s\" nolabel", "script:2: script 1 has no label 'nolabel'"},
        {".script 1\nm:\n@a: halt\n@a: halt", "script:4: mark @a is defined twice"},
        {".script 1\n.script 1", "script:2: script 1 is assembled twice"},
        {".script -1", "script:1: a script number out of range: -1"},
        {".script 1\nm: push", "script:2: push needs a value"},
        {".script 1\nm: jz", "script:2: jz needs a mark, label or offset"},
        {".script 1\nm: push 0x100000000", "script:2: bad number '0x100000000'"},
        {".script 1\nm: push 12ab", "script:2: bad number '12ab'"},
        {".script 1\nm: push -2147483649", "script:2: the value does not fit 32 bits"},
        {".script 1\nm: push 1 2", "script:2: unexpected '2'"},
        {".script 1\nm: message \"abc", "script:2: the quoted text does not end on its line"},
        {".script 1\nm: message \"\\q\"", "script:2: unknown escape \\q"},
        {".script 1\nm: message \"a\\x00b\"", "script:2: a string cannot hold a zero byte"},
        {".script 1\nm: message \"\\x4\"", "script:2: \\x needs two hexadecimal digits"},
        {".script 1\nm: push name(3", "script:2: expected ')'"},
        {".script 1\nm: push target(1 m)", "script:2: expected ','"},
        {".script 1\nm: message halt", "script:2: expected a value, found 'halt'"},
        {".script 1\nm: .bytes 256", "script:2: a byte out of range: 256"},
        {".script 1\n.bogus", "script:2: unknown directive .bogus"},
        {".script 1\n.scene \"" + std::string(64, 's') + "\" m\nm: halt", "script:2: a scene name must be under 64 bytes"},
        {".scene \"s\" 3 m\n.script 1", "script:1: script 3 is not among the assembled scripts"},
        {".scene \"s\" m", "script:1: this needs a .script line first"},
        {".script 1\n.scene \"s\"", "script:2: .scene takes a block, or a script number and a block"},
        {".script 1\n.runon", "script:2: code needs a label first"},
        {".script 1\n12: halt", "script:2: '12' cannot be a label"},
        {"", "script: the text holds 0 scripts, not one"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ErrorOf(c.text).substr(0, c.error.size()), c.error) << c.text;
}

} // namespace
