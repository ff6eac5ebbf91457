// TIniFile: keys in sections of a settings file, with the private-profile rules of the system.
//
// The file holds "[section]" lines, each followed by "key=value" lines. Sections and keys match
// without regard to the case of basic Latin letters; the first match counts. Names and values are
// trimmed of spaces and tabs, and a value enclosed in a pair of double or single quotes loses them.
// Lines starting with ";" are comments. Lines may end in CR LF or LF; every write rewrites the whole
// file with CR LF, keeping every other line as it stands: a key that exists is replaced in place, a
// new key goes after the last line of its section, a new section at the end of the file. The file
// is created when missing. Each write reaches the disk before it returns, through a temporary file
// in the same folder renamed over the old one, so a failed write never destroys the old file.
//
// A file that cannot be read reads as empty, and a write that cannot be made is dropped: neither
// ever raises, so a read-only or missing settings file never ends the game. The name goes through
// the path layer (backslash, ANSI code page, case-insensitive lookup).
//
// Threads: any thread; one process-wide lock makes each read and each read-modify-write of any
// file whole, so threads writing keys of the same file never lose each other's.
#pragma once

#include "platform/classes/AnsiString.h"

class TIniFile {
public:
    explicit TIniFile(AnsiString fileName) : FFileName(std::move(fileName)) {}

    const AnsiString& FileName() const { return FFileName; }

    // The key's value; `fallback` when the file, the section or the key is missing.
    AnsiString ReadString(std::string_view section, std::string_view ident, std::string_view fallback) const;
    void WriteString(std::string_view section, std::string_view ident, std::string_view value);
    // A decimal value; `fallback` when missing or not a number.
    int ReadInteger(std::string_view section, std::string_view ident, int fallback) const;
    void WriteInteger(std::string_view section, std::string_view ident, int value);
    // Any non-zero number is true; written as "1" or "0".
    bool ReadBool(std::string_view section, std::string_view ident, bool fallback) const;
    void WriteBool(std::string_view section, std::string_view ident, bool value);

private:
    AnsiString FFileName;
};
