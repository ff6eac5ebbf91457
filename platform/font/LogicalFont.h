// TFont and LogicalFont: a font as the program describes it, and the logical font made from it.
//
// A logical font is a description only; the text rasteriser resolves its face name to an
// installed face when text is drawn, so making one cannot fail for want of a face.
#pragma once

#include "platform/classes/AnsiString.h"
#include "platform/classes/Component.h"

#include <cstdint>
#include <memory>

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
enum TFontPitch { fpDefault, fpVariable, fpFixed };

inline constexpr std::uint8_t DEFAULT_CHARSET = 1;
inline constexpr std::uint8_t SHIFTJIS_CHARSET = 128;
inline constexpr std::uint8_t GB2312_CHARSET = 134;

class TFont : public TObject {
public:
    AnsiString Name = "Default";
    // Negative: character height in pixels; positive: cell height.
    int Height = -12;
    unsigned Style = 0; // TFontStyle bits
    std::uint8_t Charset = DEFAULT_CHARSET;
    TFontPitch Pitch = fpDefault;
    std::uint32_t Color = 0; // 0x00BBGGRR
};

inline constexpr std::uint8_t kDefaultQuality = 0;
inline constexpr std::uint8_t kNonAntialiasedQuality = 3;
inline constexpr std::uint8_t kAntialiasedQuality = 4;
inline constexpr std::uint8_t kDefaultPitch = 0;
inline constexpr std::uint8_t kFixedPitch = 1;
inline constexpr std::uint8_t kVariablePitch = 2;
inline constexpr std::size_t kFaceNameBytes = 31;

struct LogicalFont {
    int height = 0;
    int width = 0;
    int escapement = 0;
    int orientation = 0;
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    std::uint8_t charSet = DEFAULT_CHARSET;
    std::uint8_t outPrecision = 0;
    std::uint8_t clipPrecision = 0;
    std::uint8_t quality = kDefaultQuality;
    std::uint8_t pitchAndFamily = kDefaultPitch;
    AnsiString faceName; // ANSI code page, at most kFaceNameBytes bytes
};

// A font handle: the caller owns it.
using FontHandle = std::unique_ptr<LogicalFont>;

// A handle for the description, the face name cut to kFaceNameBytes without splitting a character.
FontHandle CreateFontIndirect(const LogicalFont& description);
