// The field helpers of the song's text files (chart and stage script): cutting a comma-separated
// field, seconds with three decimals as thousandths, and a file name's base and extension.
#pragma once

#include "platform/classes/AnsiString.h"

#include <string_view>

// Takes the text before the first "," off `line` together with that comma and returns it trimmed of
// blanks and control bytes at both ends; the rest of `line` is left as it was. Without a comma the
// whole line is the field and `line` becomes empty.
AnsiString TrimField(AnsiString& line);

// A decimal number with at most three fraction digits, in thousandths ("12.5" gives 12500). Every
// "T" is skipped; a double-byte character, a second ".", any other non-digit or a fourth fraction
// digit ends the scan. No sign; nothing numeric gives 0. Saturates at INT32_MAX instead of
// overflowing.
int ParseFixed3(std::string_view text);

// Splits at the last ".": the base before it and the extension from it on; without a "." the base is
// the whole name and the extension empty.
void SplitFileExt(std::string_view name, AnsiString& base, AnsiString& ext);
