// ScriptDisassembler: prints compiled scripts and the scene table back as script text (the format
// in ScriptAssembler.h) that assembles to the same bytes.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace ScriptDisassembler {

// Raised for bytes the engine would not load as a script or scene table.
class Error : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The text of one compiled script: its strings and target records in file order, then its blocks.
// Pushes that feed an instruction are printed as its arguments; strings where the opcode table
// says an argument is a text; jumps by label or mark. What the plain forms cannot say (undefined
// opcodes, cut instructions, blocks without an end) comes in the raw forms.
std::string PrintScript(std::span<const std::uint8_t> file);

// Scene lines of the scene table (when given), then every script, as one text; the scene lines name
// each block of these scripts by its label and any other by its offset. Raises Error for a script
// or table the engine would not load.
std::string PrintScenario(const std::vector<std::vector<std::uint8_t>>& scripts, const std::vector<std::uint8_t>* sceneTable);

} // namespace ScriptDisassembler
