#include "scenario/script/TScriptEngine.h"

#include "base/packs/TFileMan.h"
#include "scenario/records/TGameState.h"
#include "scenario/records/TReadMesTable.h"
#include "scenario/script/OpcodeTable.h"
#include "scenario/script/ScriptBytes.h"
#include "scenario/script/ScriptScreen.h"
#include "shell/GameExceptions.h"

#include <cctype>
#include <cstdio>

TScriptEngine::TScriptEngine(const Context& context) : context_(context) {}

bool TScriptEngine::LoadSceneTable()
{
    scenes_.Load(context_.scripts);
    speakers_.Load(context_.data);
    return true;
}

bool TScriptEngine::LoadScript(std::int32_t number)
{
    if (script_.IsLoaded() && script_.Number() == number)
        return true;
    script_.Clear();
    if (number < 0)
        return false;
    TStream* stream = context_.scripts.Open(ScriptFile::FileName(number).c_str());
    if (stream == nullptr)
        return false;
    const bool read = script_.Read(*stream, number);
    context_.scripts.Close(stream);
    if (read)
        context_.readMes.SetScriptStamp(static_cast<std::uint32_t>(number), script_.Stamp());
    return read;
}

std::optional<std::uint32_t> TScriptEngine::GetScriptStamp(std::int32_t number)
{
    if (number < 0)
        return std::nullopt;
    TStream* stream = context_.scripts.Open(ScriptFile::FileName(number).c_str());
    if (stream == nullptr)
        return std::nullopt;
    const auto stamp = ScriptFile::ReadStamp(*stream, number);
    context_.scripts.Close(stream);
    return stamp;
}

bool TScriptEngine::StartScene(std::string_view name)
{
    if (!scenes_.IsLoaded() || name.size() >= TGameState::SceneNameSize)
        return false;
    TGameState& state = context_.state;
    context_.sceneStart = state;
    const SceneEntry* entry = scenes_.Find(name);
    if (entry == nullptr || entry->script > 0x7FFFFFFF || !LoadScript(static_cast<std::int32_t>(entry->script)))
        return false;
    state.ClearWindowLines();
    if (!state.GetBacklogLine(state.GetBacklogCount() - 1).empty())
        state.AdvanceBacklog();
    state.ResetStage();
    state.SetSceneName(name);
    state.SetScript(script_.Number(), script_.Stamp());
    state.SetPc(script_.LabelEntry(entry->block));
    state.SetHalt(false);
    state.SetStop(false);
    if (entry->startDate != 0) {
        state.SetDate(entry->startDate);
        state.SetTime(entry->startTime);
    }
    if (entry->limitDate != 0) {
        state.SetLimitDate(entry->limitDate);
        state.SetLimitTime(entry->limitTime);
    } else {
        state.ClearLimit();
    }
    state.ClearStack();
    state.SetFrameWord1(0);
    state.SetFrameWord2(0);
    state.SetGameMode(0);
    return true;
}

bool TScriptEngine::RestoreState()
{
    TGameState& state = context_.state;
    bool valid = GetScriptStamp(state.GetScriptNumber()) == state.GetScriptStamp();
    for (int i = 0; valid && i < state.GetFrameCount(); ++i) {
        const TCallFrame frame = state.GetFrame(i);
        valid = GetScriptStamp(frame.FScriptNumber) == frame.FStamp;
    }
    if (valid)
        return Resume();
    // A script was rebuilt or is missing: the scene replays from its start with the state it had then.
    const std::string name(state.GetSceneName().c_str());
    state = context_.sceneStart;
    return StartScene(name);
}

bool TScriptEngine::Resume()
{
    if (!scenes_.IsLoaded() || context_.state.GetHalt())
        return false;
    return LoadScript(context_.state.GetScriptNumber());
}

bool TScriptEngine::Run()
{
    TGameState& state = context_.state;
    if (state.GetStop())
        return false;
    state.SetGameMode(0);
    yield_ = false;
    for (int steps = 0; !state.GetHalt() && !state.GetStop() && !yield_ && steps < StepBound; ++steps) {
        if (!context_.screen.HasMessageText()) {
            // Plain instructions leave the message and the flags above alone, so a run of them goes
            // at once; the first other instruction takes the full step.
            steps += RunPlain(StepBound - steps);
            if (steps == StepBound)
                break;
            Step();
            if (state.GetHalt())
                context_.screen.MarkMessageRead();
        } else if (context_.screen.PrintMessagePiece(*this)) {
            context_.screen.MarkMessageRead();
        }
    }
    return state.GetHalt();
}

void TScriptEngine::Step()
{
    TGameState& state = context_.state;
    if (state.GetHalt() || state.GetStop())
        return;
    const std::uint32_t pc = state.GetPc();
    if (!script_.IsLoaded() || pc >= script_.Code().size()) {
        Halt();
        return;
    }
    autoSave_ = false;
    try {
        const std::uint16_t opcode = ReadCodeWord(pc);
        const OpcodeInfo& info = Opcodes::Info(opcode);
        nextPc_ = pc + 2 + info.operandSize;
        // An operand cut short by the end of the code fails the instruction before it starts.
        if (info.operandSize != 0 && nextPc_ > script_.Code().size())
            throw EGameErr();
        Execute(opcode, info.group);
    } catch (const EGameErr&) {
        // Failing the same instruction again every frame helps nobody: the script ends here.
        std::fprintf(stderr, "script %d: the instruction at %u failed; the script halts\n", script_.Number(), pc);
        Halt();
        return;
    }
    state.SetPc(nextPc_);
    if (autoSave_)
        context_.screen.WriteAutoSave();
}

void TScriptEngine::Execute(std::uint16_t opcode, OpcodeGroup group)
{
    switch (group) {
    case OpcodeGroup::Core:
        RunCore(opcode);
        break;
    case OpcodeGroup::Command:
        RunCommand(opcode);
        break;
    case OpcodeGroup::Undefined:
        throw EGameErr();
    }
}

void TScriptEngine::Halt() { context_.state.SetHalt(true); }

void TScriptEngine::SetChoice(std::int32_t value)
{
    if (!context_.state.GetStop())
        return;
    context_.state.PushValue(value);
    context_.state.SetStop(false);
}

std::uint16_t TScriptEngine::ReadCodeWord(std::uint32_t offset) const
{
    if (!script_.IsLoaded() || std::uint64_t{offset} + 1 >= script_.Code().size())
        throw EGameErr();
    return ScriptBytes::U16(script_.Code(), offset);
}

std::int32_t TScriptEngine::ReadCodeLong(std::uint32_t offset) const
{
    if (!script_.IsLoaded() || std::uint64_t{offset} + 3 >= script_.Code().size())
        throw EGameErr();
    return static_cast<std::int32_t>(ScriptBytes::U32(script_.Code(), offset));
}

AnsiString TScriptEngine::GetStringOperand(std::int32_t value) const
{
    if (!script_.IsLoaded())
        throw EGameErr();
    if (value == 0)
        return AnsiString();
    if (value < 0)
        return context_.state.GetNameText(value & 0x7FFFFFFF);
    const char* text = script_.String(static_cast<std::uint32_t>(value));
    if (text == nullptr)
        throw EGameErr();
    return AnsiString(text);
}

bool TScriptEngine::ResolveCallTarget(std::string_view target, std::int32_t current, std::int32_t& script, std::string& label)
{
    const std::size_t split = target.find("::");
    if (split == std::string_view::npos)
        return false;
    label = std::string(target.substr(split + 2));
    if (split == 0) {
        script = current;
        return true;
    }
    const std::string_view part = target.substr(0, split);
    if (part.size() < 4)
        return false;
    for (std::size_t i = 0; i < 3; ++i)
        if (std::tolower(static_cast<unsigned char>(part[i])) != "scr"[i])
            return false;
    std::int32_t number = 0;
    for (const char c : part.substr(3)) {
        if (c < '0' || c > '9')
            return false;
        number = number * 10 + (c - '0');
        if (number > 65535)
            return false;
    }
    script = number;
    return true;
}
