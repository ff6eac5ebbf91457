// Text utilities for Shift_JIS strings: bounded copy, line splitting, hex, front and rear, trimming,
// wildcard matching of file names, full-width integers.
#pragma once

#include "platform/classes/AnsiString.h"

#include <span>

// Copies from src until a zero byte, a CR, a "," (when stopAtComma) or n bytes; a double-byte
// character is copied whole or not at all. dst needs room for n + 1 bytes and is always terminated.
char* hstrncpy(char* dst, const char* src, unsigned int n, bool stopAtComma);

// Splits s at LF into out[0 .. out.size() - 1]; entries past the end of s are empty and text after
// the last entry's LF is dropped. A CR before an LF stays in its entry.
void SeparateString(const AnsiString& s, std::span<AnsiString> out);

// The first eight characters of s as hexadecimal; a character that is not a hex digit counts as 0.
int HexToInt(const AnsiString& s);

// The first min(n, length) bytes; "" when that is below 1.
AnsiString DivideFront(const AnsiString& s, int n);
// The bytes from 1-based position max(n, 1) to the end; "" when that is past the end.
AnsiString DivideRear(const AnsiString& s, int n);

// s without blank bytes (single-byte characters whose signed value is at most 32) at both ends,
// at the start, at the end. No byte of a double-byte character is blank.
AnsiString XeTrim(const AnsiString& s);
AnsiString XeTrimLeft(const AnsiString& s);
AnsiString XeTrimRight(const AnsiString& s);

// File-name wildcard match ("*", "?"), case-insensitive for a-z, double-byte aware.
bool WildCardCmp(const char* pattern, const char* name);

// value in full-width Shift_JIS digits, zero-padded to max(digits, 1) digits (10 at most),
// preceded by the full-width minus when negative.
AnsiString IntToWideStr(int value, int digits);
