#include "scenario/script/ScriptDisassembler.h"

#include "platform/classes/Exception.h"
#include "platform/classes/Stream.h"
#include "scenario/script/OpcodeTable.h"
#include "scenario/script/SceneTable.h"
#include "scenario/script/ScriptBytes.h"
#include "scenario/script/ScriptFile.h"
#include "scenario/script/ScriptText.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <vector>

namespace ScriptDisassembler {

namespace {

using ScriptText::Quote;

std::string Hex(std::uint32_t value, int digits)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

// The label that names the block at this offset, as the text prints it: "" when no block starts
// there or its label finds an earlier block.
std::string BlockLabel(const ScriptFile& script, std::uint32_t block)
{
    if (script.LabelEntry(block) == ScriptFile::NoEntry)
        return "";
    const char* label = reinterpret_cast<const char*>(script.Code().data() + block + ScriptFile::BlockHeaderSize);
    return script.FindLabel(label) == block ? ScriptText::LabelName(label) : "";
}

// One decoded piece of a block: an instruction, an opcode word the table does not define, or bytes
// that do not make a whole instruction.
struct Item {
    enum class Kind : std::uint8_t { Instruction, Opcode, Bytes } kind;
    std::uint32_t pc;
    std::uint32_t length;
    std::uint16_t opcode = 0;
    std::int32_t operand = 0;
};

class Printer {
public:
    explicit Printer(const ScriptFile& script) : s_(script) {}
    std::string Text();

private:
    void Strings();
    void Targets();
    std::vector<Item> Decode(std::uint32_t from, std::uint32_t end) const;
    void Block(std::uint32_t offset, const std::vector<Item>& items);
    void Flush(std::vector<const Item*>& pushes);
    void Instruction(const Item& item, std::span<const Item* const> args);
    std::string Argument(std::uint16_t opcode, std::size_t position, std::int32_t value) const;
    std::string TargetArgument(std::uint16_t opcode, std::int32_t value) const;
    std::string JumpTarget(const Item& item) const;
    void Line(const std::string& text) { out_ += "    " + text + "\n"; }

    const ScriptFile& s_;
    std::string out_;
    std::map<std::string, std::uint32_t> firstString_; // the number the assembler gives each text
    // Target records by offset, as printed (kind and payload), and the first record of each.
    std::map<std::uint32_t, std::pair<std::uint16_t, std::string>> records_;
    std::map<std::pair<std::uint16_t, std::string>, std::uint32_t> firstRecord_;
    std::set<std::uint32_t> marks_;
    std::map<std::uint32_t, std::string> entryLabels_; // entry pc of each block its label names
};

std::string Printer::Text()
{
    out_ = ".script " + std::to_string(s_.Number()) + "\n.stamp " + Hex(s_.Stamp(), 8) + "\n";
    for (const auto& [block, entry] : s_.Blocks())
        if (std::string label = BlockLabel(s_, block); !label.empty())
            entryLabels_.emplace(entry, std::move(label));
    Strings();
    Targets();
    const auto blocks = s_.Blocks();
    std::vector<std::vector<Item>> decoded;
    std::set<std::uint32_t> starts;
    for (const auto& [block, entry] : blocks) {
        decoded.push_back(Decode(entry, block + ScriptBytes::U32(s_.Code(), block)));
        for (const Item& item : decoded.back())
            starts.insert(item.pc);
    }
    // Jumps to a labelled entry name the label; other jumps to an instruction get a mark there.
    for (const auto& items : decoded)
        for (const Item& item : items)
            if (item.kind == Item::Kind::Instruction && Opcodes::Info(item.opcode).operandSize != 0 && item.opcode != Opcodes::Push) {
                const std::uint32_t to = item.pc + static_cast<std::uint32_t>(item.operand);
                if (!entryLabels_.contains(to) && starts.contains(to))
                    marks_.insert(to);
            }
    for (std::size_t i = 0; i < blocks.size(); ++i)
        Block(blocks[i].first, decoded[i]);
    return out_;
}

void Printer::Strings()
{
    for (std::uint32_t number = 1; number <= s_.StringCount(); ++number) {
        const std::string text = s_.String(number);
        firstString_.try_emplace(text, number);
        out_ += ".string " + Quote(text) + "\n";
    }
}

void Printer::Targets()
{
    const auto table = s_.Targets();
    std::size_t offset = 0;
    while (ScriptBytes::Fits(offset, 4, table.size())) {
        const std::uint16_t kind = ScriptBytes::U16(table, offset + 2);
        std::string payload;
        std::size_t size = 0;
        const bool text = kind != ScriptFile::CallHere && ScriptBytes::Terminated(table, offset + 4, table.size());
        if (text) {
            const std::string value(reinterpret_cast<const char*>(table.data() + offset + 4));
            payload = Quote(value);
            size = 4 + value.size() + 1;
        } else if (ScriptBytes::Fits(offset + 4, 4, table.size())) {
            const std::uint32_t block = ScriptBytes::U32(table, offset + 4);
            payload = kind == ScriptFile::CallHere ? BlockLabel(s_, block) : "";
            if (payload.empty())
                payload = std::to_string(block);
            size = 8;
        } else {
            break; // the rest is no record the text can write
        }
        records_.emplace(static_cast<std::uint32_t>(offset), std::pair(kind, payload));
        firstRecord_.try_emplace(std::pair(kind, payload), static_cast<std::uint32_t>(offset));
        out_ += ".target " + std::to_string(kind) + " " + payload + "\n";
        offset += size;
    }
}

std::vector<Item> Printer::Decode(std::uint32_t pc, std::uint32_t end) const
{
    std::vector<Item> items;
    const auto code = s_.Code();
    while (pc < end) {
        if (end - pc < 2) {
            items.push_back({Item::Kind::Bytes, pc, end - pc});
            break;
        }
        const std::uint16_t opcode = ScriptBytes::U16(code, pc);
        const std::uint32_t length = Opcodes::Length(opcode);
        if (Opcodes::Info(opcode).group == OpcodeGroup::Undefined) {
            items.push_back({Item::Kind::Opcode, pc, 2, opcode});
        } else if (end - pc < length) {
            items.push_back({Item::Kind::Bytes, pc, end - pc});
        } else {
            const auto operand = length > 2 ? static_cast<std::int32_t>(ScriptBytes::U32(code, pc + 2)) : 0;
            items.push_back({Item::Kind::Instruction, pc, length, opcode, operand});
        }
        pc += items.back().length;
    }
    return items;
}

void Printer::Block(std::uint32_t offset, const std::vector<Item>& items)
{
    out_.append("\n").append(ScriptText::LabelName(reinterpret_cast<const char*>(s_.Code().data() + offset + ScriptFile::BlockHeaderSize))).append(":\n");
    std::vector<const Item*> pushes; // pushes not printed yet: they may be the next instruction's arguments
    for (const Item& item : items) {
        if (marks_.contains(item.pc)) {
            Flush(pushes);
            out_ += "@L" + std::to_string(item.pc) + ":\n";
        }
        if (item.kind == Item::Kind::Instruction && item.opcode == Opcodes::Push) {
            pushes.push_back(&item);
            continue;
        }
        const int pops = Opcodes::Info(item.opcode).pops;
        const bool takesArguments = item.kind == Item::Kind::Instruction && Opcodes::Info(item.opcode).operandSize == 0 && pops > 0;
        const std::size_t count = takesArguments ? std::min<std::size_t>(static_cast<std::size_t>(pops), pushes.size()) : 0;
        std::vector<const Item*> args(pushes.end() - static_cast<std::ptrdiff_t>(count), pushes.end());
        pushes.resize(pushes.size() - count);
        Flush(pushes);
        if (item.kind == Item::Kind::Bytes) {
            std::string line = ".bytes";
            for (std::uint32_t i = 0; i < item.length; ++i)
                line.append(1, ' ').append(Hex(s_.Code()[item.pc + i], 2));
            Line(line);
        } else if (item.kind == Item::Kind::Opcode) {
            Line(".opcode " + std::to_string(item.opcode));
        } else {
            Instruction(item, args);
        }
    }
    Flush(pushes);
    const Item* last = items.empty() ? nullptr : &items.back();
    const bool ends = last != nullptr && last->kind == Item::Kind::Instruction
                      && (last->opcode == Opcodes::Jump || last->opcode == Opcodes::Return || last->opcode == Opcodes::Halt);
    if (!ends)
        Line(".runon");
}

void Printer::Flush(std::vector<const Item*>& pushes)
{
    for (const Item* push : pushes)
        Line("push " + std::to_string(push->operand));
    pushes.clear();
}

void Printer::Instruction(const Item& item, std::span<const Item* const> args)
{
    std::string line(Opcodes::Info(item.opcode).mnemonic);
    if (Opcodes::Info(item.opcode).operandSize != 0)
        line.append(1, ' ').append(JumpTarget(item));
    const std::size_t first = static_cast<std::size_t>(std::max<int>(Opcodes::Info(item.opcode).pops, 0)) - args.size();
    for (std::size_t i = 0; i < args.size(); ++i)
        line.append(1, ' ').append(Argument(item.opcode, first + i, args[i]->operand));
    Line(line);
}

std::string Printer::Argument(std::uint16_t opcode, std::size_t position, std::int32_t value) const
{
    if (opcode == Opcodes::Call || opcode == Opcodes::StartScene)
        return TargetArgument(opcode, value);
    if ((Opcodes::TextOperands(opcode) >> position & 1) != 0) {
        if (value < 0)
            return "name(" + std::to_string(value & 0x7FFFFFFF) + ")";
        if (value > 0 && static_cast<std::uint32_t>(value) <= s_.StringCount()) {
            const std::string text = s_.String(static_cast<std::uint32_t>(value));
            if (firstString_.at(text) == static_cast<std::uint32_t>(value))
                return Quote(text);
        }
    }
    return std::to_string(value);
}

std::string Printer::TargetArgument(std::uint16_t opcode, std::int32_t value) const
{
    const auto it = records_.find(static_cast<std::uint32_t>(value));
    if (value < 0 || it == records_.end() || firstRecord_.at(it->second) != static_cast<std::uint32_t>(value))
        return std::to_string(value);
    const auto& [kind, payload] = it->second;
    // The payload prints as a "text", a number or a label.
    const bool text = payload[0] == '"';
    const bool label = !text && (payload[0] < '0' || payload[0] > '9');
    if (opcode == Opcodes::Call && ((kind == ScriptFile::CallHere && label) || (kind == ScriptFile::CallOther && text)))
        return payload;
    if (opcode == Opcodes::StartScene && kind == 0 && text)
        return payload;
    return "target(" + std::to_string(kind) + ", " + payload + ")";
}

std::string Printer::JumpTarget(const Item& item) const
{
    const std::uint32_t to = item.pc + static_cast<std::uint32_t>(item.operand);
    if (const auto it = entryLabels_.find(to); it != entryLabels_.end())
        return it->second;
    if (marks_.contains(to))
        return "@L" + std::to_string(to);
    return std::to_string(item.operand);
}

// The scene lines of a "Scene.tbl", each naming its script.
std::string PrintScenes(std::span<const std::uint8_t> table, const std::map<std::int32_t, ScriptFile>& scripts)
{
    TMemoryStream stream;
    stream.Write(table.data(), static_cast<int>(table.size()));
    stream.Seek(0, soBeginning);
    SceneTable scenes;
    try {
        scenes.Read(stream);
    } catch (const Exception&) {
        throw Error("not a scene table the engine would load");
    }
    std::string out;
    for (const SceneEntry& entry : scenes.Entries()) {
        const auto script = scripts.find(static_cast<std::int32_t>(entry.script));
        std::string block = entry.block == ScriptFile::NoBlock ? "none" : script != scripts.end() ? BlockLabel(script->second, entry.block) : "";
        if (block.empty())
            block = std::to_string(entry.block);
        out += ".scene " + Quote(entry.name) + " " + std::to_string(entry.script) + " " + block;
        if (entry.startDate != 0 || entry.startTime != 0)
            out += " start " + std::to_string(entry.startDate) + " " + std::to_string(entry.startTime);
        if (entry.limitDate != 0 || entry.limitTime != 0)
            out += " limit " + std::to_string(entry.limitDate) + " " + std::to_string(entry.limitTime);
        out += "\n";
    }
    return out;
}

} // namespace

std::string PrintScript(std::span<const std::uint8_t> file)
{
    if (file.size() < ScriptFile::HeaderSize || file.size() > 0x7FFFFFFF)
        throw Error("not a compiled script: no whole header");
    const auto number = static_cast<std::int32_t>(ScriptBytes::U32(file, 8));
    TMemoryStream stream;
    stream.Write(file.data(), static_cast<int>(file.size()));
    ScriptFile script;
    if (!script.Read(stream, number))
        throw Error("not a compiled script the engine would load");
    return Printer(script).Text();
}

std::string PrintScenario(const std::vector<std::vector<std::uint8_t>>& scripts, const std::vector<std::uint8_t>* sceneTable)
{
    std::map<std::int32_t, ScriptFile> loaded;
    std::string code;
    for (const auto& bytes : scripts) {
        code.append("\n").append(PrintScript(bytes));
        const auto number = static_cast<std::int32_t>(ScriptBytes::U32(bytes, 8));
        TMemoryStream stream;
        stream.Write(bytes.data(), static_cast<int>(bytes.size()));
        loaded[number].Read(stream, number);
    }
    return (sceneTable ? PrintScenes(*sceneTable, loaded) : std::string()) + code;
}

} // namespace ScriptDisassembler
