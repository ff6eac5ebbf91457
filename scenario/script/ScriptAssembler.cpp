#include "scenario/script/ScriptAssembler.h"

#include "scenario/records/TGameState.h"
#include "scenario/script/OpcodeTable.h"
#include "scenario/script/SceneTable.h"
#include "scenario/script/ScriptBytes.h"
#include "scenario/script/ScriptFile.h"
#include "scenario/script/ScriptText.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <optional>
#include <variant>

namespace ScriptAssembler {

namespace {

using ScriptText::Token;
using ScriptText::TokenKind;

void Put16(Bytes& out, std::uint32_t value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(Bytes& out, std::uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

void Set32(Bytes& out, std::size_t offset, std::uint32_t value)
{
    for (std::size_t i = 0; i < 4; ++i)
        out[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void PutText(Bytes& out, std::string_view text)
{
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

// A label of a script, resolved once all of the script's blocks are known.
struct LabelRef {
    std::string name;
    bool operator==(const LabelRef&) const = default;
};

// What a target record holds at its offset 4.
using Payload = std::variant<std::uint32_t, std::string, LabelRef>;

struct TargetKey {
    std::uint16_t kind;
    Payload payload;
    bool operator==(const TargetKey&) const = default;
};

// A place that takes a label's or mark's position once the script is complete.
struct Fixup {
    bool jump;        // a jump distance in the code, else a block offset in the target table
    std::size_t at;   // where the four bytes go
    std::uint32_t pc; // the jump's own address
    std::string name;
    bool mark;
    std::string where;
};

struct SceneLine {
    std::string name;
    std::optional<std::int32_t> script;
    std::variant<std::uint32_t, LabelRef> block;
    std::uint16_t dates[4] = {0, 0, 0, 0}; // start date and time, limit date and time
    std::string where;
};

struct Script {
    std::int32_t number = 0;
    std::optional<std::uint32_t> stamp;
    Bytes code, targets, strings;
    std::uint32_t stringCount = 0;
    std::uint32_t blockCount = 0;
    std::map<std::string, std::uint32_t> labels; // block offset of each label's first block
    std::map<std::string, std::uint32_t> marks;  // code offset
    std::vector<Fixup> fixups;
    std::vector<std::pair<TargetKey, std::uint32_t>> targetIndex; // each record and its offset
    std::map<std::string, std::int32_t> stringIndex;              // the first string of each text
    // The block being written.
    bool inBlock = false;
    std::size_t blockStart = 0;
    bool runOn = false;
    std::optional<std::uint16_t> lastOpcode;

    std::uint32_t EntryOf(std::uint32_t block) const
    {
        return block + static_cast<std::uint32_t>(ScriptFile::BlockHeaderSize) + ScriptBytes::U16(code, block + 4);
    }
};

// Walks the tokens of one statement.
class Cursor {
public:
    explicit Cursor(const std::vector<Token>& tokens, std::size_t at) : tokens_(tokens), at_(at) {}
    bool AtEnd() const { return at_ >= tokens_.size(); }
    const Token* Peek() const { return AtEnd() ? nullptr : &tokens_[at_]; }
    bool PeekIs(TokenKind kind, std::string_view text = {}) const
    {
        return !AtEnd() && tokens_[at_].kind == kind && (text.empty() || tokens_[at_].text == text);
    }
    const Token* Next() { return AtEnd() ? nullptr : &tokens_[at_++]; }

private:
    const std::vector<Token>& tokens_;
    std::size_t at_;
};

class Assembler {
public:
    void Feed(const Source& source);
    Scenario Finish();

private:
    [[noreturn]] void Fail(const std::string& what) const { throw Error(where_ + ": " + what); }
    void Statement(const std::vector<Token>& tokens);
    void Directive(const std::string& name, Cursor& c);
    void Instruction(const std::string& mnemonic, Cursor& c);
    void StartScript(std::int64_t number);
    void SceneStatement(Cursor& c);
    void DefineLabel(const std::string& name);
    void DefineMark(const std::string& name);
    void EndBlock();
    void EndScript();
    Bytes Layout(const Script& s) const;

    Script& Current();
    Script& InBlock();
    std::int32_t Value(Cursor& c);
    Payload TargetPayload(const Token& token);
    std::int64_t Number(Cursor& c, std::int64_t low, std::int64_t high, const char* what);
    void Expect(Cursor& c, std::string_view punct);
    void EmitPush(std::int32_t value);
    void EmitJump(std::uint16_t opcode, const Token& target);
    std::int32_t InternString(const std::string& text, bool always);
    std::int32_t InternTarget(const TargetKey& key, bool always);
    std::uint32_t Resolve(const Script& s, const std::string& label, const std::string& where) const;

    std::vector<Script> scripts_;
    std::optional<std::size_t> current_;
    std::vector<SceneLine> scenes_;
    std::string where_;
};

void Assembler::Feed(const Source& source)
{
    std::size_t start = 0;
    for (int line = 1; start <= source.text.size(); ++line) {
        std::size_t end = source.text.find('\n', start);
        if (end == std::string::npos)
            end = source.text.size();
        where_ = source.name + ":" + std::to_string(line);
        try {
            Statement(ScriptText::Tokenize(std::string_view(source.text).substr(start, end - start)));
        } catch (const ScriptText::Error& e) {
            Fail(e.what());
        }
        start = end + 1;
    }
    // A script ends with its source: the next source starts afresh.
    EndScript();
}

void Assembler::Statement(const std::vector<Token>& tokens)
{
    std::size_t i = 0;
    // Labels and marks first: "name:", "'name':", "@mark:".
    while (i + 1 < tokens.size() && tokens[i + 1].kind == TokenKind::Punct && tokens[i + 1].text == ":") {
        const Token& t = tokens[i];
        if (t.kind == TokenKind::Mark)
            DefineMark(t.text);
        else if (t.kind == TokenKind::Name || (t.kind == TokenKind::Word && t.text[0] != '.'))
            DefineLabel(t.text);
        else
            Fail("'" + t.text + "' cannot be a label");
        i += 2;
    }
    if (i == tokens.size())
        return;
    if (tokens[i].kind != TokenKind::Word)
        Fail("expected a mnemonic or directive, found '" + tokens[i].text + "'");
    Cursor c(tokens, i + 1);
    if (tokens[i].text[0] == '.')
        Directive(tokens[i].text, c);
    else
        Instruction(tokens[i].text, c);
    if (const Token* extra = c.Peek())
        Fail("unexpected '" + extra->text + "'");
}

Script& Assembler::Current()
{
    if (!current_)
        Fail("this needs a .script line first");
    return scripts_[*current_];
}

Script& Assembler::InBlock()
{
    Script& s = Current();
    if (!s.inBlock)
        Fail("code needs a label first");
    return s;
}

void Assembler::Directive(const std::string& name, Cursor& c)
{
    if (name == ".script") {
        StartScript(Number(c, 0, INT_MAX, "a script number"));
    } else if (name == ".stamp") {
        Current().stamp = static_cast<std::uint32_t>(Number(c, INT_MIN, UINT32_MAX, "a stamp"));
    } else if (name == ".scene") {
        SceneStatement(c);
    } else if (name == ".string") {
        const Token* text = c.Next();
        if (text == nullptr || text->kind != TokenKind::Text)
            Fail(".string needs a \"text\"");
        InternString(text->text, true);
    } else if (name == ".target") {
        const auto kind = static_cast<std::uint16_t>(Number(c, 0, 0xFFFF, "a target kind"));
        const Token* payload = c.Next();
        if (payload == nullptr)
            Fail(".target needs a label, \"text\" or number after its kind");
        InternTarget({kind, TargetPayload(*payload)}, true);
    } else if (name == ".opcode") {
        Script& s = InBlock();
        const auto opcode = static_cast<std::uint16_t>(Number(c, 0, 0xFFFF, "an opcode"));
        Put16(s.code, opcode);
        s.lastOpcode = opcode;
    } else if (name == ".bytes") {
        Script& s = InBlock();
        if (c.AtEnd())
            Fail(".bytes needs bytes");
        while (!c.AtEnd()) {
            if (c.PeekIs(TokenKind::Text)) {
                const std::string& text = c.Next()->text;
                s.code.insert(s.code.end(), text.begin(), text.end());
            } else {
                s.code.push_back(static_cast<std::uint8_t>(Number(c, 0, 255, "a byte")));
            }
        }
        s.lastOpcode.reset();
    } else if (name == ".runon") {
        InBlock().runOn = true;
    } else {
        Fail("unknown directive " + name);
    }
}

void Assembler::StartScript(std::int64_t number)
{
    EndScript();
    for (const Script& s : scripts_)
        if (s.number == number)
            Fail("script " + std::to_string(number) + " is assembled twice");
    scripts_.emplace_back().number = static_cast<std::int32_t>(number);
    current_ = scripts_.size() - 1;
}

void Assembler::SceneStatement(Cursor& c)
{
    SceneLine scene;
    scene.where = where_;
    const Token* name = c.Next();
    if (name == nullptr || name->kind != TokenKind::Text)
        Fail(".scene needs a \"name\"");
    if (name->text.size() >= static_cast<std::size_t>(TGameState::SceneNameSize) || name->text.find('\0') != std::string::npos)
        Fail("a scene name must be under 64 bytes, without zero bytes");
    scene.name = name->text;
    std::vector<const Token*> places;
    while (!c.AtEnd() && !c.PeekIs(TokenKind::Word, "start") && !c.PeekIs(TokenKind::Word, "limit"))
        places.push_back(c.Next());
    if (places.empty() || places.size() > 2)
        Fail(".scene takes a block, or a script number and a block");
    if (places.size() == 2) {
        if (places[0]->kind != TokenKind::Number || places[0]->number < 0 || places[0]->number > INT_MAX)
            Fail("expected a script number, found '" + places[0]->text + "'");
        scene.script = static_cast<std::int32_t>(places[0]->number);
    } else {
        scene.script = Current().number;
    }
    const Token& block = *places.back();
    if (block.kind == TokenKind::Word && block.text == "none")
        scene.block = ScriptFile::NoBlock;
    else if (block.kind == TokenKind::Word || block.kind == TokenKind::Name)
        scene.block = LabelRef{block.text};
    else if (block.kind == TokenKind::Number && block.number >= 0)
        scene.block = static_cast<std::uint32_t>(block.number);
    else
        Fail("expected a block, found '" + block.text + "'");
    for (std::size_t at : {0, 2}) {
        if (c.PeekIs(TokenKind::Word, at == 0 ? "start" : "limit")) {
            c.Next();
            scene.dates[at] = static_cast<std::uint16_t>(Number(c, 0, 0xFFFF, "a date"));
            scene.dates[at + 1] = static_cast<std::uint16_t>(Number(c, 0, 0xFFFF, "a time"));
        }
    }
    scenes_.push_back(std::move(scene));
}

void Assembler::Instruction(const std::string& mnemonic, Cursor& c)
{
    const auto opcode = Opcodes::Find(mnemonic);
    if (!opcode)
        Fail("unknown mnemonic '" + mnemonic + "'");
    Script& s = InBlock();
    if (*opcode == Opcodes::Push) {
        if (c.AtEnd())
            Fail("push needs a value");
        EmitPush(Value(c));
        return;
    }
    if (Opcodes::Info(*opcode).operandSize != 0) {
        const Token* target = c.Next();
        if (target == nullptr)
            Fail(mnemonic + " needs a mark, label or offset");
        EmitJump(*opcode, *target);
        return;
    }
    if ((*opcode == Opcodes::Call || *opcode == Opcodes::StartScene) && !c.AtEnd()) {
        // The one argument of a call or scene start names its target record.
        const Token& t = *c.Peek();
        if (t.kind == TokenKind::Text) {
            c.Next();
            EmitPush(InternTarget({*opcode == Opcodes::Call ? ScriptFile::CallOther : std::uint16_t{0}, t.text}, false));
        } else if (*opcode == Opcodes::Call && (t.kind == TokenKind::Name || (t.kind == TokenKind::Word && !c.PeekIs(TokenKind::Word, "target")))) {
            c.Next();
            EmitPush(InternTarget({ScriptFile::CallHere, LabelRef{t.text}}, false));
        } else {
            EmitPush(Value(c));
        }
    } else {
        while (!c.AtEnd())
            EmitPush(Value(c));
    }
    Put16(s.code, *opcode);
    s.lastOpcode = *opcode;
}

void Assembler::EmitPush(std::int32_t value)
{
    Script& s = Current();
    Put16(s.code, Opcodes::Push);
    Put32(s.code, static_cast<std::uint32_t>(value));
    s.lastOpcode = Opcodes::Push;
}

void Assembler::EmitJump(std::uint16_t opcode, const Token& target)
{
    Script& s = Current();
    const auto pc = static_cast<std::uint32_t>(s.code.size());
    Put16(s.code, opcode);
    if (target.kind == TokenKind::Number) {
        if (target.number < INT_MIN)
            Fail("the offset does not fit 32 bits");
        Put32(s.code, static_cast<std::uint32_t>(target.number));
    } else if (target.kind == TokenKind::Mark || target.kind == TokenKind::Word || target.kind == TokenKind::Name) {
        s.fixups.push_back({true, s.code.size(), pc, target.text, target.kind == TokenKind::Mark, where_});
        Put32(s.code, 0);
    } else {
        Fail("expected a mark, label or offset, found '" + target.text + "'");
    }
    s.lastOpcode = opcode;
}

std::int32_t Assembler::Value(Cursor& c)
{
    const Token* next = c.Next();
    if (next == nullptr)
        Fail("expected a value");
    const Token& t = *next;
    if (t.kind == TokenKind::Number) {
        if (t.number < INT_MIN)
            Fail("the value does not fit 32 bits");
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(t.number));
    }
    if (t.kind == TokenKind::Text)
        return InternString(t.text, false);
    if (t.kind == TokenKind::Word && (t.text == "name" || t.text == "target") && c.PeekIs(TokenKind::Punct, "(")) {
        c.Next();
        std::int32_t value = 0;
        if (t.text == "name") {
            value = static_cast<std::int32_t>(0x80000000u | static_cast<std::uint32_t>(Number(c, 0, INT_MAX, "a name number")));
        } else {
            const auto kind = static_cast<std::uint16_t>(Number(c, 0, 0xFFFF, "a target kind"));
            Expect(c, ",");
            const Token* payload = c.Next();
            if (payload == nullptr)
                Fail("target( needs a label, \"text\" or number after its kind");
            value = InternTarget({kind, TargetPayload(*payload)}, false);
        }
        Expect(c, ")");
        return value;
    }
    Fail("expected a value, found '" + t.text + "'");
}

Payload Assembler::TargetPayload(const Token& token)
{
    if (token.kind == TokenKind::Number) {
        if (token.number < INT_MIN)
            Fail("the number does not fit 32 bits");
        return static_cast<std::uint32_t>(token.number);
    }
    if (token.kind == TokenKind::Text) {
        if (token.text.find('\0') != std::string::npos)
            Fail("a target text cannot hold a zero byte");
        return token.text;
    }
    if (token.kind == TokenKind::Word || token.kind == TokenKind::Name)
        return LabelRef{token.text};
    Fail("expected a label, \"text\" or number, found '" + token.text + "'");
}

std::int64_t Assembler::Number(Cursor& c, std::int64_t low, std::int64_t high, const char* what)
{
    const Token* t = c.Next();
    if (t == nullptr || t->kind != TokenKind::Number)
        Fail(std::string("expected ") + what + (t ? ", found '" + t->text + "'" : std::string()));
    if (t->number < low || t->number > high)
        Fail(std::string(what) + " out of range: " + t->text);
    return t->number;
}

void Assembler::Expect(Cursor& c, std::string_view punct)
{
    if (!c.PeekIs(TokenKind::Punct, punct))
        Fail("expected '" + std::string(punct) + "'");
    c.Next();
}

std::int32_t Assembler::InternString(const std::string& text, bool always)
{
    Script& s = Current();
    if (!always)
        if (const auto it = s.stringIndex.find(text); it != s.stringIndex.end())
            return it->second;
    if (text.find('\0') != std::string::npos)
        Fail("a string cannot hold a zero byte");
    if (text.size() + 3 > 0xFFFF)
        Fail("a string is limited to 65532 bytes");
    Put16(s.strings, static_cast<std::uint32_t>(text.size() + 3));
    PutText(s.strings, text);
    const auto number = static_cast<std::int32_t>(++s.stringCount);
    s.stringIndex.try_emplace(text, number);
    return number;
}

std::int32_t Assembler::InternTarget(const TargetKey& key, bool always)
{
    Script& s = Current();
    if (!always)
        for (const auto& [known, offset] : s.targetIndex)
            if (known == key)
                return static_cast<std::int32_t>(offset);
    const auto offset = static_cast<std::uint32_t>(s.targets.size());
    Put16(s.targets, 0);
    Put16(s.targets, key.kind);
    if (const auto* number = std::get_if<std::uint32_t>(&key.payload)) {
        Put32(s.targets, *number);
    } else if (const auto* text = std::get_if<std::string>(&key.payload)) {
        PutText(s.targets, *text);
    } else {
        s.fixups.push_back({false, s.targets.size(), 0, std::get<LabelRef>(key.payload).name, false, where_});
        Put32(s.targets, 0);
    }
    s.targetIndex.emplace_back(key, offset);
    return static_cast<std::int32_t>(offset);
}

void Assembler::DefineLabel(const std::string& name)
{
    Script& s = Current();
    if (name.find('\0') != std::string::npos || name.size() + 1 > 0xFFFF)
        Fail("a label must be under 65535 bytes, without zero bytes");
    EndBlock();
    s.blockStart = s.code.size();
    s.labels.try_emplace(name, static_cast<std::uint32_t>(s.blockStart));
    Put32(s.code, 0); // the block's size, set when it ends
    Put16(s.code, static_cast<std::uint32_t>(name.size() + 1));
    Put32(s.code, 0);
    PutText(s.code, name);
    s.inBlock = true;
    s.runOn = false;
    s.lastOpcode.reset();
    ++s.blockCount;
}

void Assembler::DefineMark(const std::string& name)
{
    Script& s = Current();
    if (!s.marks.try_emplace(name, static_cast<std::uint32_t>(s.code.size())).second)
        Fail("mark @" + name + " is defined twice");
}

void Assembler::EndBlock()
{
    Script& s = scripts_[*current_];
    if (!s.inBlock)
        return;
    const bool ends = s.lastOpcode == Opcodes::Jump || s.lastOpcode == Opcodes::Return || s.lastOpcode == Opcodes::Halt;
    if (!ends && !s.runOn)
        Put16(s.code, Opcodes::Halt);
    Set32(s.code, s.blockStart, static_cast<std::uint32_t>(s.code.size() - s.blockStart));
    s.inBlock = false;
}

std::uint32_t Assembler::Resolve(const Script& s, const std::string& label, const std::string& where) const
{
    const auto it = s.labels.find(label);
    if (it == s.labels.end())
        throw Error(where + ": script " + std::to_string(s.number) + " has no label '" + label + "'");
    return it->second;
}

void Assembler::EndScript()
{
    if (!current_)
        return;
    EndBlock();
    Script& s = scripts_[*current_];
    for (const Fixup& f : s.fixups) {
        if (!f.jump) {
            Set32(s.targets, f.at, Resolve(s, f.name, f.where));
            continue;
        }
        std::uint32_t to = 0;
        if (f.mark) {
            const auto it = s.marks.find(f.name);
            if (it == s.marks.end())
                throw Error(f.where + ": no mark @" + f.name);
            to = it->second;
        } else {
            to = s.EntryOf(Resolve(s, f.name, f.where));
        }
        Set32(s.code, f.at, to - f.pc);
    }
    s.fixups.clear();
    current_.reset();
}

Bytes Assembler::Layout(const Script& s) const
{
    Bytes file(ScriptFile::HeaderSize + s.code.size() + s.targets.size() + s.strings.size(), 0);
    std::size_t at = ScriptFile::HeaderSize;
    const auto section = [&file, &at](const Bytes& bytes, std::size_t offsetAt, std::size_t sizeAt) {
        Set32(file, offsetAt, static_cast<std::uint32_t>(at));
        Set32(file, sizeAt, static_cast<std::uint32_t>(bytes.size()));
        std::copy(bytes.begin(), bytes.end(), file.begin() + static_cast<std::ptrdiff_t>(at));
        at += bytes.size();
    };
    section(s.code, 28, 32);
    section(s.targets, 40, 44);
    section(s.strings, 52, 56);
    Set32(file, 8, static_cast<std::uint32_t>(s.number));
    Set32(file, 36, s.blockCount);
    Set32(file, 60, s.stringCount);
    // By default the stamp follows the content, so a rebuilt script that changed gets a new one.
    Set32(file, 12, s.stamp ? *s.stamp : static_cast<std::uint32_t>(crc32(0, file.data(), static_cast<uInt>(file.size()))));
    return file;
}

Scenario Assembler::Finish()
{
    EndScript();
    Scenario out;
    for (const Script& s : scripts_)
        out.scripts.emplace(s.number, Layout(s));
    Bytes block;
    for (const SceneLine& scene : scenes_) {
        std::uint32_t offset = 0;
        if (const auto* raw = std::get_if<std::uint32_t>(&scene.block)) {
            offset = *raw;
        } else {
            const Script* script = nullptr;
            for (const Script& s : scripts_)
                if (s.number == *scene.script)
                    script = &s;
            if (script == nullptr)
                throw Error(scene.where + ": script " + std::to_string(*scene.script) + " is not among the assembled scripts");
            offset = Resolve(*script, std::get<LabelRef>(scene.block).name, scene.where);
        }
        Put16(block, static_cast<std::uint32_t>(SceneTable::EntryHeaderSize + scene.name.size() + 1));
        Put32(block, static_cast<std::uint32_t>(*scene.script));
        Put32(block, 0);
        Put32(block, offset);
        for (const std::uint16_t value : scene.dates)
            Put16(block, value);
        PutText(block, scene.name);
    }
    out.sceneTable = {'T', 'V', 'Q', 'E'};
    Put32(out.sceneTable, static_cast<std::uint32_t>(block.size()));
    Put32(out.sceneTable, static_cast<std::uint32_t>(scenes_.size()));
    out.sceneTable.insert(out.sceneTable.end(), block.begin(), block.end());
    out.sceneCount = scenes_.size();
    return out;
}

} // namespace

Scenario Assemble(std::span<const Source> sources)
{
    Assembler assembler;
    for (const Source& source : sources)
        assembler.Feed(source);
    return assembler.Finish();
}

Bytes AssembleScript(std::string_view text)
{
    const Source source{"script", std::string(text)};
    Scenario scenario = Assemble(std::span(&source, 1));
    if (scenario.scripts.size() != 1)
        throw Error("script: the text holds " + std::to_string(scenario.scripts.size()) + " scripts, not one");
    return std::move(scenario.scripts.begin()->second);
}

} // namespace ScriptAssembler
