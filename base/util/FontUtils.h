// Fonts with anti-aliased or plain output made from a TFont.
#pragma once

#include "platform/font/LogicalFont.h"

// A new font handle for `font`; the caller owns it. Null when font is null.
FontHandle GetAntiAliasedFont(const TFont* font);
FontHandle GetNonAntiAliasedFont(const TFont* font);
