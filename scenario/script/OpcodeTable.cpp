#include "scenario/script/OpcodeTable.h"

#include "scenario/script/OpcodeEntries.h"

namespace {

constexpr OpcodeInfo kUndefined{{}, OpcodeGroup::Undefined, 0, 0, 0};

} // namespace

namespace Opcodes {

const OpcodeInfo& Info(unsigned opcode) { return opcode < Entries.size() ? Entries[opcode] : kUndefined; }

std::span<const OpcodeInfo, Count> Table() { return Entries; }

unsigned TextOperands(unsigned opcode)
{
    switch (opcode) {
    case 40: return 0b10;    // setname: index, text
    case 64: return 0b1;     // message
    case 120: return 0b1111; // choice: four texts
    default: return 0;
    }
}

std::optional<std::uint16_t> Find(std::string_view mnemonic)
{
    if (mnemonic.empty())
        return std::nullopt;
    for (std::size_t i = 0; i < Entries.size(); ++i)
        if (Entries[i].mnemonic == mnemonic)
            return static_cast<std::uint16_t>(i);
    return std::nullopt;
}

} // namespace Opcodes
