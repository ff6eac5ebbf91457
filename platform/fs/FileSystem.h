// The path layer: every file access of the system maps its backslash, code-page name to disk here.
//
// Game code names files with "\" separators in the ANSI code page and expects Windows-like,
// case-insensitive lookup. NativePath turns such a name into a path on disk: "\" (never the trail
// byte of a double-byte character) and "/" separate components, each component is converted to
// UTF-8 and matched case-insensitively against the real folder. A name with a drive ("C:\...")
// or a leading separator is absolute from the root; any other name is relative to the current
// folder. Components that do not exist keep the spelling given, so new files get the name asked.
//
// All functions are safe to call from any thread; the folder listings they cache are guarded by a
// lock inside the layer.
#pragma once

#include "platform/classes/AnsiString.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace FileSystem {

std::filesystem::path NativePath(std::string_view name);
// The ANSI, backslash form of a native path (the inverse of NativePath for names that exist).
AnsiString FromNative(const std::filesystem::path& path);

bool Exists(std::string_view name);
bool IsFile(std::string_view name);
bool IsDirectory(std::string_view name);

// Last-write time in nanoseconds since 1970-01-01 UTC; empty when the file cannot be read.
std::optional<std::int64_t> LastWriteTime(std::string_view name);
bool SetLastWriteTime(std::string_view name, std::int64_t unixNanoseconds);
std::optional<std::int64_t> FileSize(std::string_view name);

struct DirEntry {
    AnsiString name; // ANSI code page, no folder part
    bool directory = false;
};
// The entries of a folder in name order, without "." and ".."; empty when it cannot be read.
std::vector<DirEntry> List(std::string_view folder);

bool CreateFolder(std::string_view name);
bool DeleteFile(std::string_view name);
// Replaces `to` atomically when it exists.
bool RenameFile(std::string_view from, std::string_view to);

// Folders in the ANSI backslash form, each ending in "\".
AnsiString CurrentFolder();
bool SetCurrentFolder(std::string_view name);
AnsiString ProgramFolder();
AnsiString TempFolder();

// Tells the layer that the folder holding `path` changed outside its own calls.
void NoteChanged(const std::filesystem::path& path);

} // namespace FileSystem
