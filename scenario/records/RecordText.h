// Fixed-size text fields of the stored records: zero-terminated bytes within their field.
#pragma once

#include "platform/classes/AnsiString.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>

// The field's text up to its first zero byte (the whole field when it has none).
template <std::size_t N> AnsiString ReadText(const char (&field)[N]) { return AnsiString(field, strnlen(field, N)); }

// Stores the text cut to N - 1 bytes and zero-fills the rest of the field.
template <std::size_t N> void StoreText(char (&field)[N], std::string_view text)
{
    const std::size_t length = std::min(text.size(), N - 1);
    if (length > 0) // an empty view may carry no pointer at all
        std::memcpy(field, text.data(), length);
    std::memset(field + length, 0, N - length);
}

template <std::size_t N> bool IsTerminated(const char (&field)[N]) { return std::memchr(field, 0, N) != nullptr; }

template <std::size_t M, std::size_t N> bool AllTerminated(const char (&fields)[M][N])
{
    return std::all_of(std::begin(fields), std::end(fields), [](const char (&field)[N]) { return IsTerminated(field); });
}
