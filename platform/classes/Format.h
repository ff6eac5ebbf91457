// Format: printf-style formatting into an AnsiString.
#pragma once

#include "platform/classes/AnsiString.h"

#include <cstdarg>

AnsiString Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
AnsiString FormatV(const char* format, va_list args);
