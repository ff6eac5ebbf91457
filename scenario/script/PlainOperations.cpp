// The engine's plain instructions: those that touch only the value stack, the pc and the frame
// registers (stack shuffles, arithmetic, comparisons, jumps). They run many in a row from the run
// loop, on the registers held in locals, decoded through the script's opcode map, with the stack
// checked once per instruction against the table's stack effect.
#include "scenario/records/TGameState.h"
#include "scenario/script/OpcodeEntries.h"
#include "scenario/script/TScriptEngine.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>
#include <utility>

namespace {

// The machine registers while plain instructions run.
struct Machine {
    std::int32_t* values;
    std::int32_t count;
    std::int32_t base;
    std::uint32_t pc;
    std::span<const std::uint8_t> code;
    const TGameState& state;
};

// Arithmetic wraps at 32 bits, as the stored scripts expect, without signed overflow.
std::int32_t Wrap(std::uint32_t value) { return static_cast<std::int32_t>(value); }

// Division by 0 gives -1 for a >= 0 and 0 below; INT_MIN / -1, the one quotient that does not
// fit, wraps to itself.
std::int32_t Quotient(std::int32_t a, std::int32_t b)
{
    if (b == 0)
        return a < 0 ? 0 : -1;
    return a == INT_MIN && b == -1 ? INT_MIN : a / b;
}

std::int32_t Remainder(std::int32_t a, std::int32_t b) { return b == 0 || b == -1 ? 0 : a % b; }

// a b -> r.
template <std::uint16_t Op>
std::int32_t Binary(std::int32_t a, std::int32_t b)
{
    const auto ua = static_cast<std::uint32_t>(a);
    const auto ub = static_cast<std::uint32_t>(b);
    if constexpr (Op == 19) return Wrap(ua * ub);
    else if constexpr (Op == 20) return Quotient(a, b);
    else if constexpr (Op == 21) return Remainder(a, b);
    else if constexpr (Op == 22) return Wrap(ua + ub);
    else if constexpr (Op == 23) return Wrap(ua - ub);
    else if constexpr (Op == 24) return a < b;
    else if constexpr (Op == 25) return a <= b;
    else if constexpr (Op == 26) return a > b;
    else if constexpr (Op == 27) return a >= b;
    else if constexpr (Op == 28) return a == b;
    else if constexpr (Op == 29) return a != b;
    else if constexpr (Op == 30) return a != 0 && b != 0;
    else {
        static_assert(Op == 31, "not a binary operation");
        return a != 0 || b != 0;
    }
}

// The little-endian operand after the opcode, in one load.
std::int32_t Operand(const Machine& m, std::uint32_t pc)
{
    static_assert(std::endian::native == std::endian::little, "operands are read as they lie in the code");
    std::int32_t value = 0;
    std::memcpy(&value, m.code.data() + pc + 2, sizeof value);
    return value;
}

// Runs instruction Op at m.pc when the stack holds the values it pops above the base and has room
// for those it pushes; otherwise false, and nothing has changed.
template <std::uint16_t Op>
bool RunOne(Machine& m)
{
    constexpr OpcodeInfo info = Opcodes::Entries[Op];
    static_assert(info.group == OpcodeGroup::Core && info.pops >= 0 && info.pushes >= 0);
    // As the stack's own pops and pushes check: the base only when popping, the room only when growing.
    if ((info.pops > 0 && m.count - m.base < info.pops) || (info.pushes > info.pops && m.count - info.pops + info.pushes > TGameState::StackSize))
        return false;
    std::int32_t* const top = m.values + m.count; // one past the top value
    const std::uint32_t pc = m.pc;
    m.count += info.pushes - info.pops;
    m.pc = pc + 2 + info.operandSize;
    // Jumps are relative to the jump instruction itself.
    if constexpr (Op == Opcodes::Push) {
        top[0] = Operand(m, pc);
    } else if constexpr (Op == Opcodes::Jump) {
        m.pc = pc + static_cast<std::uint32_t>(Operand(m, pc));
    } else if constexpr (Op == Opcodes::JumpIfZero || Op == Opcodes::JumpIfNotZero) {
        if ((top[-1] == 0) == (Op == Opcodes::JumpIfZero))
            m.pc = pc + static_cast<std::uint32_t>(Operand(m, pc));
    } else if constexpr (Op == 8) { // dup
        top[0] = top[-1];
    } else if constexpr (Op == 9) { // swap
        std::swap(top[-2], top[-1]);
    } else if constexpr (Op == 10) { // over: a b -> a a b
        top[0] = top[-1];
        top[-1] = top[-2];
    } else if constexpr (Op == 11) { // swap2: a b c -> b a c
        std::swap(top[-3], top[-2]);
    } else if constexpr (Op == 16) { // not
        top[-1] = top[-1] == 0 ? 1 : 0;
    } else if constexpr (Op == 41) { // signbit: the string operands' name-text bit from a sign
        top[-1] = top[-1] < 0 ? INT_MIN : 0;
    } else if constexpr (Op == 43) {
        top[0] = m.state.GetFrameWord1();
    } else if constexpr (Op == 46) {
        top[0] = m.state.GetFrameWord2();
    } else if constexpr (info.pops == 2 && info.pushes == 1) {
        top[-2] = Binary<Op>(top[-2], top[-1]);
    } else {
        static_assert(Op == 0 || Op == 2, "nop and drop change only the pc and the count");
    }
    return true;
}

} // namespace

int TScriptEngine::RunPlain(int limit)
{
    TGameState& s = context_.state;
    const std::span<const std::uint8_t> map = script_.OpcodeMap();
    // Every offset past the code reads the map's last entry, NoOpcode.
    const auto end = static_cast<std::uint32_t>(map.size() - 1);
    Machine m{s.FValueStack, s.FValueCount, s.FValueBase, s.FPc, script_.Code(), s};
    int done = 0;
    for (; done < limit; ++done) {
        bool ran = false;
        switch (map[std::min(m.pc, end)]) {
        case 0: ran = RunOne<0>(m); break;
        case 1: ran = RunOne<1>(m); break;
        case 2: ran = RunOne<2>(m); break;
        case 3: ran = RunOne<3>(m); break;
        case 4: ran = RunOne<4>(m); break;
        case 5: ran = RunOne<5>(m); break;
        case 8: ran = RunOne<8>(m); break;
        case 9: ran = RunOne<9>(m); break;
        case 10: ran = RunOne<10>(m); break;
        case 11: ran = RunOne<11>(m); break;
        case 16: ran = RunOne<16>(m); break;
        case 19: ran = RunOne<19>(m); break;
        case 20: ran = RunOne<20>(m); break;
        case 21: ran = RunOne<21>(m); break;
        case 22: ran = RunOne<22>(m); break;
        case 23: ran = RunOne<23>(m); break;
        case 24: ran = RunOne<24>(m); break;
        case 25: ran = RunOne<25>(m); break;
        case 26: ran = RunOne<26>(m); break;
        case 27: ran = RunOne<27>(m); break;
        case 28: ran = RunOne<28>(m); break;
        case 29: ran = RunOne<29>(m); break;
        case 30: ran = RunOne<30>(m); break;
        case 31: ran = RunOne<31>(m); break;
        case 41: ran = RunOne<41>(m); break;
        case 43: ran = RunOne<43>(m); break;
        case 46: ran = RunOne<46>(m); break;
        default: break;
        }
        if (!ran)
            break;
    }
    s.FValueCount = m.count;
    s.FPc = m.pc;
    return done;
}
