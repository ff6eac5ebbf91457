// Code pages: the process's ANSI code page, lead-byte tests, and conversion to and from UTF-8 (iconv).
#pragma once

#include <string>
#include <string_view>

namespace CodePage {

inline constexpr int ShiftJis = 932;
inline constexpr int Gbk = 936;
inline constexpr int Latin1 = 1252;
inline constexpr int Utf8 = 65001;

// The "system ANSI code page" that byte-type tests and edge conversions assume; default Gbk.
// Thread-safe; meant to be set once at start-up (or by a test).
int Ansi();
void SetAnsi(int codePage);

// True when `byte` begins a double-byte character in `codePage` (only 932, 936, 949 and 950 have any).
bool IsLeadByte(unsigned char byte, int codePage);
inline bool IsLeadByte(unsigned char byte) { return IsLeadByte(byte, Ansi()); }

// Converts text in `codePage` to UTF-8. Bytes that do not form a character become U+FFFD,
// so the result is always valid UTF-8. Throws EConvertError for a code page iconv does not know.
std::string ToUtf8(std::string_view text, int codePage);
inline std::string ToUtf8(std::string_view text) { return ToUtf8(text, Ansi()); }

// Converts UTF-8 to `codePage`. Characters the code page cannot hold become "?".
// Throws EConvertError for a code page iconv does not know.
std::string FromUtf8(std::string_view utf8, int codePage);
inline std::string FromUtf8(std::string_view utf8) { return FromUtf8(utf8, Ansi()); }

} // namespace CodePage
