#include "ScriptTestSupport.h"

#include "scenario/script/OpcodeTable.h"
#include "scenario/script/ScriptDisassembler.h"
#include "scenario/script/TScriptEngine.h"

#include <gtest/gtest.h>

namespace ScriptTest {

ScriptAssembler::Scenario AssembleScenario(const std::string& text)
{
    const ScriptAssembler::Source source{"test", text};
    auto scenario = ScriptAssembler::Assemble(std::span(&source, 1));
    std::vector<Bytes> scripts;
    for (const auto& [number, bytes] : scenario.scripts)
        scripts.push_back(bytes);
    const std::string printed = ScriptDisassembler::PrintScenario(scripts, scenario.sceneCount > 0 ? &scenario.sceneTable : nullptr);
    const ScriptAssembler::Source again{"printed", printed};
    const auto reassembled = ScriptAssembler::Assemble(std::span(&again, 1));
    EXPECT_EQ(reassembled.scripts, scenario.scripts) << printed;
    EXPECT_EQ(reassembled.sceneTable, scenario.sceneTable) << printed;
    return scenario;
}

Bytes Assemble(const std::string& text)
{
    auto scenario = AssembleScenario(text);
    EXPECT_EQ(scenario.scripts.size(), 1u);
    return scenario.scripts.empty() ? Bytes() : scenario.scripts.begin()->second;
}

void Put16(Bytes& out, std::uint32_t value)
{
    out.push_back(static_cast<unsigned char>(value));
    out.push_back(static_cast<unsigned char>(value >> 8));
}

void Put32(Bytes& out, std::uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

void Set32(Bytes& out, std::size_t offset, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[offset + static_cast<std::size_t>(i)] = static_cast<unsigned char>(value >> (8 * i));
}

ScriptBuilder& ScriptBuilder::Label(const std::string& name)
{
    if (labelCount_ > 0)
        Set32(code_, blockStart_, static_cast<std::uint32_t>(code_.size() - blockStart_));
    blockStart_ = code_.size();
    blocks_.try_emplace(name, static_cast<std::uint32_t>(blockStart_));
    Put32(code_, 0);
    Put16(code_, static_cast<std::uint32_t>(name.size() + 1));
    Put32(code_, 0);
    code_.insert(code_.end(), name.begin(), name.end());
    code_.push_back(0);
    ++labelCount_;
    return *this;
}

ScriptBuilder& ScriptBuilder::Op(std::uint16_t opcode)
{
    Put16(code_, opcode);
    return *this;
}

ScriptBuilder& ScriptBuilder::Op(std::uint16_t opcode, std::int32_t operand)
{
    Put16(code_, opcode);
    Put32(code_, static_cast<std::uint32_t>(operand));
    return *this;
}

ScriptBuilder& ScriptBuilder::Call(std::int32_t target) { return Op(Opcodes::Push, target).Op(Opcodes::Call); }

std::uint32_t ScriptBuilder::Here() const { return static_cast<std::uint32_t>(code_.size()); }

std::uint32_t ScriptBuilder::EntryOf(const std::string& label) const
{
    return BlockOf(label) + 10 + static_cast<std::uint32_t>(label.size() + 1);
}

std::int32_t ScriptBuilder::String(const std::string& text)
{
    Put16(strings_, static_cast<std::uint32_t>(text.size() + 3));
    strings_.insert(strings_.end(), text.begin(), text.end());
    strings_.push_back(0);
    return static_cast<std::int32_t>(++stringCount_);
}

std::int32_t ScriptBuilder::TargetBlock(std::uint32_t block, std::uint16_t kind)
{
    const auto offset = static_cast<std::int32_t>(targets_.size());
    Put16(targets_, 0);
    Put16(targets_, kind);
    Put32(targets_, block);
    return offset;
}

std::int32_t ScriptBuilder::TargetText(const std::string& text, std::uint16_t kind)
{
    const auto offset = static_cast<std::int32_t>(targets_.size());
    Put16(targets_, 0);
    Put16(targets_, kind);
    targets_.insert(targets_.end(), text.begin(), text.end());
    targets_.push_back(0);
    return offset;
}

Bytes ScriptBuilder::Build() const
{
    Bytes code = code_;
    if (labelCount_ > 0)
        Set32(code, blockStart_, static_cast<std::uint32_t>(code.size() - blockStart_));
    Bytes file(64, 0);
    const auto codeAt = static_cast<std::uint32_t>(file.size());
    file.insert(file.end(), code.begin(), code.end());
    const auto targetsAt = static_cast<std::uint32_t>(file.size());
    file.insert(file.end(), targets_.begin(), targets_.end());
    const auto stringsAt = static_cast<std::uint32_t>(file.size());
    file.insert(file.end(), strings_.begin(), strings_.end());
    Set32(file, 8, static_cast<std::uint32_t>(number_));
    Set32(file, 12, stamp_);
    Set32(file, 28, codeAt);
    Set32(file, 32, static_cast<std::uint32_t>(code.size()));
    Set32(file, 36, labelCount_);
    Set32(file, 40, targetsAt);
    Set32(file, 44, static_cast<std::uint32_t>(targets_.size()));
    Set32(file, 52, stringsAt);
    Set32(file, 56, static_cast<std::uint32_t>(strings_.size()));
    Set32(file, 60, stringCount_);
    return file;
}

Bytes SceneTableBytes(const std::vector<SceneRow>& rows)
{
    Bytes block;
    for (const SceneRow& row : rows) {
        Put16(block, static_cast<std::uint32_t>(22 + row.name.size() + 1));
        Put32(block, row.script);
        Put32(block, 0);
        Put32(block, row.block);
        for (const std::uint16_t v : {row.startDate, row.startTime, row.limitDate, row.limitTime})
            Put16(block, v);
        block.insert(block.end(), row.name.begin(), row.name.end());
        block.push_back(0);
    }
    Bytes file{'T', 'V', 'Q', 'E'};
    Put32(file, static_cast<std::uint32_t>(block.size()));
    Put32(file, static_cast<std::uint32_t>(rows.size()));
    file.insert(file.end(), block.begin(), block.end());
    return file;
}

void RecordingScreen::Log(const std::string& name, std::initializer_list<std::int64_t> values, bool stage)
{
    std::string call = name;
    for (const std::int64_t value : values)
        call += " " + std::to_string(value);
    if (stage && record)
        call += " mode=" + std::to_string(record->GetCharacterChangeMode());
    calls.push_back(call);
}

} // namespace ScriptTest
