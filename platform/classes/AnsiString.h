// AnsiString: 8-bit multibyte text as bytes, with the 1-based helpers the game is written against.
#pragma once

#include <string>
#include <string_view>

using AnsiString = std::string;

// Byte classes of a multibyte string under the process's ANSI code page.
enum TMbcsByteType { mbSingleByte, mbLeadByte, mbTrailByte };

// Class of the byte at 1-based `index` of `s`; mbSingleByte when the index is outside the string.
TMbcsByteType ByteType(std::string_view s, int index);
// Class of the byte at 0-based `index` of `s`.
TMbcsByteType StrByteType(std::string_view s, std::size_t index);

// Folder part of a backslash path, up to and including the last "\" or ":".
AnsiString ExtractFilePath(std::string_view name);
// Folder part without its trailing "\" (kept after a drive's ":").
AnsiString ExtractFileDir(std::string_view name);
// Name part after the last "\" or ":".
AnsiString ExtractFileName(std::string_view name);
// Extension including its ".", or "" when the name part has none.
AnsiString ExtractFileExt(std::string_view name);
AnsiString ChangeFileExt(std::string_view name, std::string_view ext);
// "\" appended unless the text is empty or already ends in one.
AnsiString IncludeTrailingBackslash(std::string_view name);

// Case folding of the basic Latin letters only; multibyte characters are left alone.
AnsiString UpperCase(std::string_view s);
AnsiString LowerCase(std::string_view s);
bool SameText(std::string_view a, std::string_view b);

AnsiString IntToStr(long long value);
// Parses a decimal integer; throws EConvertError when the whole text is not one.
int StrToInt(std::string_view s);
int StrToIntDef(std::string_view s, int fallback);
