// TSongID, the four-character song code, with its order, its text, its folder name and the version
// rule of a song's identity file.
#pragma once

#include "platform/classes/AnsiString.h"

#include <string_view>

// Two capital letters and two digits, not zero-terminated inside its four bytes; a code whose first
// byte is 0 is none (an empty slot of the system record's song table).
struct TSongID {
    char FCode[4];

    bool IsEmpty() const { return FCode[0] == 0; }
    // The first four bytes of `text`, zero-padded when it is shorter.
    static TSongID FromText(std::string_view text);
};
static_assert(sizeof(TSongID) == 4);

// A text of exactly four characters as a code in upper case; any other length gives the empty code
// of four zero bytes.
TSongID StringToTag4(std::string_view text);

// -1 when a sorts first, 1 when b does, 0 when equal: by the row of the two-letter prefix in the
// game's prefix table (an unknown prefix after all of them), then byte by byte as unsigned
// characters up to the first difference or a zero byte.
int CompareSongId(const TSongID& a, const TSongID& b);

// The code's characters up to the first zero byte; empty for an empty code.
AnsiString SongIdCode(const TSongID& code);

// "Song\" + the code, or empty when the code is empty or could lead out of that folder: a code with
// '/', '\', '.' or a control byte is refused.
AnsiString SongFolderName(const TSongID& code);

// The version of an identity file's first line: exactly seven characters, the fourth the major digit
// and the sixth and seventh the minor digits, giving major * 100 + minor; anything else gives 0.
int ParseVersionNumber(std::string_view text);
