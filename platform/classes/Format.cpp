// Format: printf-style formatting into an AnsiString.
#include "platform/classes/Format.h"

#include <cstdio>

AnsiString FormatV(const char* format, va_list args)
{
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length <= 0)
        return {};
    AnsiString text(static_cast<std::size_t>(length), '\0');
    std::vsnprintf(text.data(), text.size() + 1, format, args);
    return text;
}

AnsiString Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    AnsiString text = FormatV(format, args);
    va_end(args);
    return text;
}
