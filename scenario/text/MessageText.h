// Message text helpers: cuts and sign searches that respect the ANSI code page's double-byte
// characters, and the print speed a message piece starts with.
#pragma once

#include "platform/classes/AnsiString.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace MessageText {

// The bytes of a line of the window, backlog and choice records, and of a message.
inline constexpr std::size_t LineBytes = 52;
inline constexpr std::size_t MessageBytes = 255;

// The text cut to at most `limit` bytes without splitting a double-byte character; a lead byte
// left without its trail byte at the end is dropped too.
AnsiString Cut(std::string_view text, std::size_t limit);

// Where the sign "\" + letter ("\n" new line, "\p" new page) first stands at a character boundary,
// so that a double-byte character whose trail byte is "\" is not taken for one; npos when nowhere.
std::size_t FindSign(std::string_view text, char letter);

// The time per character (hundredths of a frame) a piece prints at: 30000 / message speed, or 0
// (at once) for a message speed of 0 or below and for a piece that begins with the bytes 0x81 0x79.
std::int32_t PieceSpeed(std::string_view piece, std::int32_t messageSpeed);

} // namespace MessageText
