// The engine's core instructions: stack, arithmetic, comparison, jumps, calls and returns, flags and
// variables, name texts and the scene start.
#include "scenario/records/TGameState.h"
#include "scenario/records/TSystemState.h"
#include "scenario/script/OpcodeTable.h"
#include "scenario/script/ScriptScreen.h"
#include "scenario/script/TScriptEngine.h"
#include "shell/GameExceptions.h"

#include <climits>

namespace {

// Arithmetic wraps at 32 bits, as the stored scripts expect, without signed overflow.
std::int32_t Wrap(std::uint32_t value) { return static_cast<std::int32_t>(value); }

} // namespace

void TScriptEngine::RunCore(std::uint16_t opcode, std::uint32_t pc)
{
    TGameState& s = context_.state;
    std::int32_t a = 0;
    std::int32_t b = 0;
    switch (opcode) {
    case 0:
        break;
    case Opcodes::Push:
        s.PushValue(Operand(pc));
        break;
    case 2:
        s.PopValue();
        break;
    case Opcodes::Jump:
        nextPc_ = pc + static_cast<std::uint32_t>(Operand(pc));
        break;
    case Opcodes::JumpIfZero:
    case Opcodes::JumpIfNotZero:
        b = Operand(pc);
        if ((s.PopValue() == 0) == (opcode == Opcodes::JumpIfZero))
            nextPc_ = pc + static_cast<std::uint32_t>(b);
        break;
    case Opcodes::Call:
        Call();
        break;
    case 8:
        a = s.PeekValue();
        s.PushValue(a);
        break;
    case 9:
        b = s.PopValue();
        a = s.PopValue();
        s.PushValue(b);
        s.PushValue(a);
        break;
    case 10:
        b = s.PopValue();
        a = s.PopValue();
        s.PushValue(a);
        s.PushValue(a);
        s.PushValue(b);
        break;
    case 11: {
        const std::int32_t c = s.PopValue();
        b = s.PopValue();
        a = s.PopValue();
        s.PushValue(b);
        s.PushValue(a);
        s.PushValue(c);
        break;
    }
    case Opcodes::Return:
        Return();
        break;
    case Opcodes::Halt:
        Halt();
        break;
    case 16:
        s.PushValue(s.PopValue() == 0 ? 1 : 0);
        break;
    case 19:
    case 22:
    case 23:
        b = s.PopValue();
        a = s.PopValue();
        s.PushValue(Wrap(opcode == 19   ? static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b)
                         : opcode == 22 ? static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b)
                                        : static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b)));
        break;
    case 20:
    case 21:
        Divide(opcode == 21);
        break;
    case 24:
    case 25:
    case 26:
    case 27:
    case 28:
    case 29:
    case 30:
    case 31:
        Compare(opcode);
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
    case 41:
        s.PushValue(s.PopValue() < 0 ? INT_MIN : 0);
        break;
    case 42:
        s.SetFrameWord1(s.PopValue());
        break;
    case 43:
        s.PushValue(s.GetFrameWord1());
        break;
    case 44:
        s.PushValue(s.GetLocalFlag(s.PopValue()) ? 1 : 0);
        break;
    case 45:
        s.PushValue(s.GetSubVar(s.PopValue()));
        break;
    case 46:
        s.PushValue(s.GetFrameWord2());
        break;
    case Opcodes::StartScene:
        StartSceneAt(static_cast<std::uint32_t>(s.PopValue()));
        break;
    default:
        throw EGameErr();
    }
}

void TScriptEngine::Divide(bool remainder)
{
    TGameState& s = context_.state;
    const std::int32_t b = s.PopValue();
    const std::int32_t a = s.PopValue();
    std::int32_t r = 0;
    if (b == 0)
        r = remainder || a < 0 ? 0 : -1;
    else if (a == INT_MIN && b == -1)
        r = remainder ? 0 : INT_MIN; // the one quotient that does not fit wraps to itself
    else
        r = remainder ? a % b : a / b;
    s.PushValue(r);
}

void TScriptEngine::Compare(std::uint16_t opcode)
{
    TGameState& s = context_.state;
    const std::int32_t b = s.PopValue();
    const std::int32_t a = s.PopValue();
    bool r = false;
    switch (opcode) {
    case 24: r = a < b; break;
    case 25: r = a <= b; break;
    case 26: r = a > b; break;
    case 27: r = a >= b; break;
    case 28: r = a == b; break;
    case 29: r = a != b; break;
    case 30: r = a != 0 && b != 0; break;
    default: r = a != 0 || b != 0; break;
    }
    s.PushValue(r ? 1 : 0);
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
    std::int32_t script = script_.Number();
    std::string label;
    std::uint32_t entry = ScriptFile::NoEntry;
    if (target.kind == ScriptFile::CallHere && target.block) {
        entry = script_.LabelEntry(*target.block);
    } else if (target.kind != ScriptFile::CallOther || !target.text || !ResolveCallTarget(*target.text, s.GetScriptNumber(), script, label)) {
        Halt();
        return;
    }
    if (target.kind == ScriptFile::CallHere && entry == ScriptFile::NoEntry) {
        Halt();
        return;
    }
    s.PushFrame({s.GetScriptNumber(), s.GetScriptStamp(), nextPc_, s.GetValueBase(), s.GetValueCount(), s.GetFrameWord1(), s.GetFrameWord2()});
    s.SetFrameWord1(0);
    s.SetFrameWord2(0);
    if (target.kind == ScriptFile::CallOther) {
        const auto block = LoadScript(script) ? script_.FindLabel(label) : std::nullopt;
        if (!block) {
            Halt();
            return;
        }
        s.SetScript(script_.Number(), script_.Stamp());
        entry = script_.LabelEntry(*block);
    }
    nextPc_ = entry;
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
