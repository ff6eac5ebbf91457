// File and folder tests, and conversions between absolute and relative folder paths.
//
// Paths are backslash names. A root is a drive ("C:\") or, for this platform's absolute names,
// a leading "\". Both arguments of a conversion are taken as folders; every non-empty result ends
// in "\".
#pragma once

#include "platform/classes/AnsiString.h"

bool FileIsExist(const char* path);
bool FolderIsExist(const char* path);

AnsiString AbsToRelPath(AnsiString path, AnsiString base);
// AbsToRelPath without its trailing "\" (kept after a root).
AnsiString AbsToRelDir(AnsiString path, AnsiString base);
AnsiString AbsToRelPathName(AnsiString file, AnsiString base);

AnsiString RelToAbsPath(AnsiString path, AnsiString base);
// RelToAbsPath without its trailing "\" (kept after a root).
AnsiString RelToAbsDir(AnsiString path, AnsiString base);
AnsiString RelToAbsPathName(AnsiString file, AnsiString base);
