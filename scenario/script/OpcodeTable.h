// OpcodeTable: the one table of the script machine's opcodes (number, mnemonic, operand size, stack
// effect) that the engine dispatches on and the script tools read and write by.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

enum class OpcodeGroup : std::uint8_t {
    Undefined, // raises EGameErr when executed
    Core,      // run by the engine itself
    Command,   // run by the adventure screen through ScriptScreen
};

struct OpcodeInfo {
    std::string_view mnemonic; // empty for an undefined opcode
    OpcodeGroup group;
    std::uint8_t operandSize; // 0 or 4 (a signed 32-bit operand after the opcode)
    std::int8_t pops;         // values taken from the stack; -1 when it varies
    std::int8_t pushes;       // values left on the stack; -1 when it varies
};

namespace Opcodes {

inline constexpr int Count = 176;
// Opcodes the engine knows by number.
inline constexpr std::uint16_t Push = 1, Jump = 3, JumpIfZero = 4, JumpIfNotZero = 5, Call = 6, Return = 14,
                               Halt = 15, StartScene = 48;

// Entry `opcode`; an opcode outside the table reads as an undefined entry.
const OpcodeInfo& Info(unsigned opcode);
std::span<const OpcodeInfo, Count> Table();
// The opcode with this mnemonic (exact match), or none.
std::optional<std::uint16_t> Find(std::string_view mnemonic);
// The arguments of this opcode (bit i for the i-th value pushed) that are string operands.
unsigned TextOperands(unsigned opcode);
// Bytes an instruction with this opcode takes: 6 with an operand, else 2.
inline unsigned Length(unsigned opcode) { return 2 + Info(opcode).operandSize; }

} // namespace Opcodes
