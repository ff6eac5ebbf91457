// ScriptDisassembler: the text it prints of a script, and scripts laid out by hand in ways the plain
// forms do not say, each printed and assembled back to the same bytes.
#include "scenario/script/ScriptDisassembler.h"

#include "ScriptTestSupport.h"
#include "scenario/script/OpcodeTable.h"

#include <gtest/gtest.h>

using namespace ScriptTest;

namespace {

Bytes Reassembled(const std::string& text) { return ScriptAssembler::AssembleScript(text); }

TEST(ScriptDisassembler, PrintsArgumentsTextsTargetsAndMarks)
{
    ScriptBuilder b(3, 0x10);
    const auto hello = b.String("hello");
    b.String("hello");
    b.TargetText("scr2::far");
    b.Label("main").Op(1, 4).Op(1, hello).Op(40).Op(1, 2).Op(64).Op(1, 0).Call(0).Op(1, 5).Op(4, 8).Op(15).Op(3, -6);
    const std::string text = ScriptDisassembler::PrintScript(b.Build());
    EXPECT_EQ(text, ".script 3\n.stamp 0x00000010\n.string \"hello\"\n.string \"hello\"\n.target 2 \"scr2::far\"\n\n"
                    "main:\n"
                    "    setname 4 \"hello\"\n"
                    "    message 2\n" // the second "hello" is not the one a text names
                    "    push 0\n"
                    "    call \"scr2::far\"\n"
                    "    push 5\n"
                    "    jz @L65\n"
                    "    halt\n"
                    "@L65:\n"
                    "    jmp -6\n"); // no instruction starts at its target
    EXPECT_EQ(Reassembled(text), b.Build());
}

TEST(ScriptDisassembler, OddScriptsPrintBackToTheSameBytes)
{
    const auto odd = [](auto build) {
        ScriptBuilder b(1);
        build(b);
        return b.Build();
    };
    const struct {
        const char* what;
        Bytes bytes;
    } cases[] = {
        {"empty", odd([](ScriptBuilder&) {})},
        {"blocks that run on", odd([](ScriptBuilder& b) { b.Label("a").Op(1, 1).Label("b").Label("c").Op(64); })},
        {"undefined opcodes", odd([](ScriptBuilder& b) { b.Label("a").Op(7).Op(0xFFFF).Op(175).Op(15); })},
        {"cut instruction", odd([](ScriptBuilder& b) { b.Label("a").Op(15).Label("b").Op(1); })},
        {"jumps in the middle, outside, to duplicates", odd([](ScriptBuilder& b) {
             b.Label("x").Op(3, 2).Op(4, 1000).Op(5, -100).Label("x").Op(1, 1).Op(3, -24);
         })},
        {"labels that need quotes", odd([](ScriptBuilder& b) {
             for (const char* label : {"none", "start", "limit", "name", "target", "a b", "12", ".x", "", "q'\"", "\xC4\xE3"})
                 b.Label(label).Op(15);
         })},
        {"odd target records", odd([](ScriptBuilder& b) {
             const auto self = b.TargetBlock(0);
             b.TargetBlock(0);
             const auto none = b.TargetBlock(3);
             const auto kind3 = b.TargetText("scr1::a", 3);
             const auto scene = b.TargetText("s", 2);
             b.TargetText("", 0);
             b.Label("a").Call(self).Call(8).Call(none).Call(kind3).Op(1, scene).Op(48).Op(1, 7).Op(48).Op(1, -1).Op(6);
         })},
        {"texts where strings are and are not", odd([](ScriptBuilder& b) {
             b.String("\n\t\"\\\x01\xC4\xE3");
             b.String("\x81\\\x81\\\\"); // double-byte characters whose second byte is a backslash
             b.String("");
             b.Label("a").Op(1, 1).Op(1, 2).Op(1, 0).Op(1, INT32_MIN | 3).Op(120).Op(1, 9).Op(64).Op(1, 2).Op(1, 1).Op(22).Op(15);
         })},
        {"more pushes than arguments", odd([](ScriptBuilder& b) { b.Label("a").Op(1, 1).Op(1, 2).Op(1, 3).Op(1, 4).Op(32).Op(14); })},
    };
    for (const auto& c : cases) {
        const std::string text = ScriptDisassembler::PrintScript(c.bytes);
        EXPECT_EQ(Reassembled(text), c.bytes) << c.what << "\n" << text;
    }
}

TEST(ScriptDisassembler, ScenesNameBlocksOfTheScriptsGiven)
{
    ScriptBuilder b(2);
    b.Label("a").Op(15).Label("b").Op(15);
    const Bytes table = SceneTableBytes({{2, 14, "at b", 401, 0, 0, 5}, {2, 15, "inside b"}, {9, 0, "elsewhere"}, {2, 0x0FFFFFFF, "none"}});
    const std::string text = ScriptDisassembler::PrintScenario({b.Build()}, &table);
    EXPECT_EQ(text.substr(0, text.find("\n\n")), ".scene \"at b\" 2 b start 401 0 limit 0 5\n"
                                                  ".scene \"inside b\" 2 15\n"
                                                  ".scene \"elsewhere\" 9 0\n"
                                                  ".scene \"none\" 2 none");
    const ScriptAssembler::Source source{"printed", text};
    const auto again = ScriptAssembler::Assemble(std::span(&source, 1));
    EXPECT_EQ(again.sceneTable, table);
    EXPECT_EQ(again.scripts.at(2), b.Build());
}

TEST(ScriptDisassembler, RefusesWhatTheEngineWouldNotLoad)
{
    ScriptBuilder b(1);
    b.Label("a").Op(15);
    Bytes broken = b.Build();
    Set32(broken, 36, 2); // a second block that is not there
    EXPECT_THROW(ScriptDisassembler::PrintScript(broken), ScriptDisassembler::Error);
    EXPECT_THROW(ScriptDisassembler::PrintScript(Bytes(63, 0)), ScriptDisassembler::Error);
    const Bytes table{'T', 'V', 'Q', 'E', 1, 0, 0, 0};
    EXPECT_THROW(ScriptDisassembler::PrintScenario({}, &table), ScriptDisassembler::Error);
}

} // namespace
