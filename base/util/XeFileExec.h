// XeFileExec: opens a document with its associated program, reporting a failure in a message box.
#pragma once

#include "platform/classes/AnsiString.h"

void XeFileExec(const AnsiString& file);

// The message shown for a failed opening's result code (UTF-8).
const char* FileExecErrorText(int code);
