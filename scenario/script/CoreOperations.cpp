// The engine's core instructions other than the plain ones: calls and returns, the halt, flags and
// variables, name texts and the scene start.
#include "scenario/records/TGameState.h"
#include "scenario/records/TSystemState.h"
#include "scenario/script/OpcodeTable.h"
#include "scenario/script/ScriptScreen.h"
#include "scenario/script/TScriptEngine.h"
#include "shell/GameExceptions.h"

void TScriptEngine::RunCore(std::uint16_t opcode)
{
    TGameState& s = context_.state;
    std::int32_t b = 0;
    switch (opcode) {
    case Opcodes::Call:
        Call();
        break;
    case Opcodes::Return:
        Return();
        break;
    case Opcodes::Halt:
        Halt();
        break;
    case 32:
        b = s.PopValue();
        s.SetFlag(s.PopValue(), b != 0);
        break;
    case 33:
        s.PushValue(s.GetFlag(s.PopValue()) ? 1 : 0);
        break;
    case 34:
        b = s.PopValue();
        context_.system.SetSystemFlag(s.PopValue(), b != 0);
        break;
    case 35:
        s.PushValue(context_.system.GetSystemFlag(s.PopValue()) ? 1 : 0);
        break;
    case 36:
        b = s.PopValue();
        s.SetVar(s.PopValue(), b);
        break;
    case 37:
        s.PushValue(s.GetVar(s.PopValue()));
        break;
    case 38:
        b = s.PopValue();
        context_.system.SetSystemValue(s.PopValue(), b);
        break;
    case 39:
        s.PushValue(context_.system.GetSystemValue(s.PopValue()));
        break;
    case 40: {
        const AnsiString text = GetStringOperand(s.PopValue());
        s.SetNameText(s.PopValue(), text.c_str());
        break;
    }
    case 42:
        s.SetFrameWord1(s.PopValue());
        break;
    case 44:
        s.PushValue(s.GetLocalFlag(s.PopValue()) ? 1 : 0);
        break;
    case 45:
        s.PushValue(s.GetSubVar(s.PopValue()));
        break;
    case Opcodes::StartScene:
        StartSceneAt(static_cast<std::uint32_t>(s.PopValue()));
        break;
    default:
        // The plain instructions (stack, arithmetic, comparisons, jumps); one whose values are not
        // on the stack, or whose results do not fit on it, is not started.
        if (RunPlain(1) == 0)
            throw EGameErr();
        nextPc_ = s.GetPc();
        break;
    }
}

void TScriptEngine::Call()
{
    const auto target = script_.TargetAt(static_cast<std::uint32_t>(context_.state.PopValue()));
    if (!target)
        Halt();
    else
        CallTarget(*target);
}

void TScriptEngine::CallTarget(const ScriptFile::Target& target)
{
    TGameState& s = context_.state;
    // A record cut short by the table's end, or a kind 1 record where no block starts, halts like
    // an unknown kind, before anything changes.
    const bool here = target.kind == ScriptFile::CallHere && target.block && script_.LabelEntry(*target.block) != ScriptFile::NoEntry;
    const bool other = target.kind == ScriptFile::CallOther && target.text;
    if (!here && !other) {
        Halt();
        return;
    }
    s.PushFrame({s.GetScriptNumber(), s.GetScriptStamp(), nextPc_, s.GetValueBase(), s.GetValueCount(), s.GetFrameWord1(), s.GetFrameWord2()});
    s.SetFrameWord1(0);
    s.SetFrameWord2(0);
    if (here) {
        nextPc_ = script_.LabelEntry(*target.block);
        return;
    }
    // The frame is pushed before the text is read: a text that does not split, a script that does
    // not load or a label it lacks halts the script with the call's frame in place.
    std::int32_t script = 0;
    std::string label;
    const auto block = ResolveCallTarget(*target.text, s.GetScriptNumber(), script, label) && LoadScript(script) ? script_.FindLabel(label) : std::nullopt;
    if (!block) {
        Halt();
        return;
    }
    s.SetScript(script_.Number(), script_.Stamp());
    nextPc_ = script_.LabelEntry(*block);
}

void TScriptEngine::Return()
{
    TGameState& s = context_.state;
    if (s.GetFrameCount() == 0) {
        Halt();
        return;
    }
    const TCallFrame frame = s.PopFrame();
    const std::int32_t result = s.GetValueCount() > frame.FValueCount ? s.PopValue() : 0;
    if (!LoadScript(frame.FScriptNumber)) {
        Halt();
        return;
    }
    s.SetScript(script_.Number(), script_.Stamp());
    nextPc_ = frame.FReturnPc;
    // Values the callee left are dropped; values of the caller it consumed stay consumed.
    s.SetValueBase(0);
    while (s.GetValueCount() > frame.FValueCount)
        s.PopValue();
    s.SetValueBase(frame.FValueBase);
    s.SetFrameWord1(frame.FFrameWord1);
    s.SetFrameWord2(frame.FFrameWord2);
    s.PushValue(result);
}

void TScriptEngine::StartSceneAt(std::uint32_t offset)
{
    const auto target = script_.TargetAt(offset);
    if (!target || !target->text || !StartScene(*target->text)) {
        Halt();
        return;
    }
    context_.screen.RebuildFromRecord();
    nextPc_ = context_.state.GetPc();
}
