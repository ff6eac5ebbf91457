// FontMatch: the installed face that fontconfig chooses for a logical font.
#pragma once

#include "platform/font/LogicalFont.h"

#include <cstdint>
#include <optional>
#include <string>

// One face in one font file.
struct FaceLocation {
    std::string file;
    int index = 0;        // face index inside a collection
    std::string family;   // UTF-8
};

// The code page a font's character set stands for: its text and its face name are in it.
// DEFAULT_CHARSET and unknown sets give the process's ANSI code page.
int CodePageOfCharset(std::uint8_t charSet);

// The installed face for `font`: fontconfig's best match for its face name, weight, slant and
// pitch (monospaced when fixed pitch is asked) in the language of its code page. The system draws
// Japanese and Chinese text with every face it asks for, so a match that cannot show CJK text is
// replaced by the best CJK face for the same weight, slant and pitch. Nothing when no face is
// installed. Not thread-safe: the text rasteriser calls it under its lock.
std::optional<FaceLocation> MatchFace(const LogicalFont& font);
