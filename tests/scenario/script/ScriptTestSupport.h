// Helpers of the script tests: scripts assembled from text (each checked to print back to the same
// bytes), compiled scripts and scene tables built as bytes by hand, and a recording adventure screen.
#pragma once

#include "scenario/script/ScriptAssembler.h"
#include "scenario/script/ScriptScreen.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace ScriptTest {

using Bytes = std::vector<unsigned char>;

// Assembles script text and checks that the disassembler's text of every script and the scene table
// assembles to the same bytes, so every script a test assembles is a round-trip case too.
ScriptAssembler::Scenario AssembleScenario(const std::string& text);
// The one script of the text, checked the same way.
Bytes Assemble(const std::string& text);

void Put16(Bytes& out, std::uint32_t value);
void Put32(Bytes& out, std::uint32_t value);
void Set32(Bytes& out, std::size_t offset, std::uint32_t value);

// A compiled script made block by block; Build lays it out as a file.
class ScriptBuilder {
public:
    explicit ScriptBuilder(std::int32_t number, std::uint32_t stamp = 7) : number_(number), stamp_(stamp) {}

    // Starts a labelled block; later instructions go into it.
    ScriptBuilder& Label(const std::string& name);
    ScriptBuilder& Op(std::uint16_t opcode);
    ScriptBuilder& Op(std::uint16_t opcode, std::int32_t operand);
    // A "push" of a target record's offset followed by opcode 6 (call).
    ScriptBuilder& Call(std::int32_t target);
    // The code offset the next instruction will take.
    std::uint32_t Here() const;
    // The block offset and entry pc of a label made so far.
    std::uint32_t BlockOf(const std::string& label) const { return blocks_.at(label); }
    std::uint32_t EntryOf(const std::string& label) const;

    // Returns the string's number.
    std::int32_t String(const std::string& text);
    // Target records; each returns its offset in the table.
    std::int32_t TargetBlock(std::uint32_t block, std::uint16_t kind = 1);
    std::int32_t TargetText(const std::string& text, std::uint16_t kind = 2);

    Bytes Build() const;

private:
    std::int32_t number_;
    std::uint32_t stamp_;
    Bytes code_;
    std::size_t blockStart_ = 0;
    std::uint32_t labelCount_ = 0;
    std::map<std::string, std::uint32_t> blocks_;
    Bytes targets_;
    Bytes strings_;
    std::uint32_t stringCount_ = 0;
};

struct SceneRow {
    std::uint32_t script;
    std::uint32_t block;
    std::string name;
    std::uint16_t startDate = 0, startTime = 0, limitDate = 0, limitTime = 0;
};
Bytes SceneTableBytes(const std::vector<SceneRow>& rows);

class RecordingScreen : public ScriptScreen {
public:
    void RunCommand(std::uint16_t opcode, TScriptEngine& engine) override;
    void RebuildFromRecord() override { ++rebuilds; }
    bool HasMessageText() override { return false; }
    bool PrintMessagePiece(TScriptEngine&) override { return true; }
    void MarkMessageRead() override { ++messagesRead; }
    void WriteAutoSave() override { ++autoSaves; }

    std::vector<std::uint16_t> commands;
    int rebuilds = 0;
    int messagesRead = 0;
    int autoSaves = 0;
};

} // namespace ScriptTest
