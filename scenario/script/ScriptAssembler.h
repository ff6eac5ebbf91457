// ScriptAssembler: turns script text into compiled scripts "scr%05d.dvo" and the scene table
// "Scene.tbl", by the one opcode table.
//
// The text, one statement a line; ';' starts a comment:
//
//   .script 1                        ; starts script 1 (file "scr00001.dvo"); a text may hold several
//   .stamp 0x1234                    ; optional; by default the CRC-32 of the script's sections
//   .scene "prologue" main start 401 930 limit 410 1800
//                                    ; a "Scene.tbl" entry: name (under 64 bytes), its block (a label of
//                                    ; this script, `none`, or a raw offset), optional start date and
//                                    ; time, optional limit date and time (month*100+day, hour*100+minute).
//                                    ; `.scene "x" 2 main` names a block of script 2; outside a script
//                                    ; the script number is required. Entries keep the order of the text.
//   main:                            ; starts a labelled block; a label that is not a plain word, or is
//   'any label':                     ; none, start or limit, is written in single quotes
//       push 5                       ; one mnemonic per opcode, as in the opcode table
//   @loop:                           ; a jump mark: a code position, not stored in the file
//       jnz @loop                    ; jmp, jz and jnz take a mark, a label (its entry) or a raw offset
//                                    ; relative to the jump itself
//       setflag 3 1                  ; arguments of any other instruction are pushed first, in order
//       message "Hello"              ; "text": the number of that string (added once, then shared)
//       message name(2)              ; name text 2 of the record (bit 31 set)
//       call sub                     ; call a block of this script (a target record of kind 1)
//       call "scr2::far"             ; call into another script; "::far" is this script (kind 2)
//       scene "next"                 ; start the scene named in a target record
//       push target(1, sub)          ; a target record's offset: kind, then a label, text or number
//       ret
//
// Values are numbers (decimal or 0x hex, 32 bits, signed or not), "texts", name(N) and
// target(KIND, X). Texts take \\ \" \' \n \t \r and \xHH escapes; GBK bytes pass through raw.
// Raw forms, used by the disassembler for what the plain forms do not say:
//   .string "text"                   ; appends a string even when an equal one exists
//   .target 2 "scr2::far"            ; appends a target record even when an equal one exists
//   .opcode 7                        ; an opcode word alone, whatever the table says of it
//   .bytes 0x01 2 "ab"               ; raw bytes in the code
//   .runon                           ; this block runs on into the next one
// Strings and target records are numbered in the order of their first appearance. Every block that
// does not end with jmp, ret or halt (and does not say .runon) gets a halt, because the engine runs
// on from one block into the next. A label defined twice resolves to its first block, as the engine
// resolves it.
#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace ScriptAssembler {

using Bytes = std::vector<std::uint8_t>;

// Raised with "source:line: what is wrong".
class Error : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Source {
    std::string name; // for messages
    std::string text;
};

struct Scenario {
    std::map<std::int32_t, Bytes> scripts; // the file "scr%05d.dvo" of each script number
    Bytes sceneTable;                      // "Scene.tbl"
    std::size_t sceneCount = 0;
};

// Assembles all sources as one scenario: every script they hold, and one scene table of all their
// scene lines in order.
Scenario Assemble(std::span<const Source> sources);
// The one script a text holds (its scene lines are checked, then left out).
Bytes AssembleScript(std::string_view text);

} // namespace ScriptAssembler
