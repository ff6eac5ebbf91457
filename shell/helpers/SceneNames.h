// The captions of the scenes shown on save slots, cut to the room a slot gives them.
#pragma once

#include "platform/classes/AnsiString.h"

#include <cstdint>

// The caption of scene `number` ("" for a number not in the table). A caption longer than maxBytes
// is cut without splitting a double-byte character: with 4 or more bytes of room it keeps
// maxBytes - 2 bytes and ends with the two-byte ellipsis; with less it keeps what fits, without one;
// maxBytes <= 0 gives "".
AnsiString GetSceneName(std::int32_t number, std::int32_t maxBytes);
// The cutting rule of GetSceneName applied to any caption in the ANSI code page.
AnsiString FitSceneCaption(const AnsiString& caption, std::int32_t maxBytes);
