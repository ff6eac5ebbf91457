// Fonts with anti-aliased or plain output made from a TFont.
#include "base/util/FontUtils.h"

namespace {

// The face the name "Default" stands for.
constexpr const char* kDefaultFace = "MS UI Gothic";

FontHandle MakeFont(const TFont* font, std::uint8_t quality)
{
    if (font == nullptr)
        return nullptr;
    LogicalFont description;
    description.height = font->Height;
    description.weight = (font->Style & fsBold) ? 700 : 400;
    description.italic = (font->Style & fsItalic) != 0;
    description.underline = (font->Style & fsUnderline) != 0;
    description.strikeOut = (font->Style & fsStrikeOut) != 0;
    description.charSet = font->Charset;
    description.faceName = SameText(font->Name, "Default") ? kDefaultFace : font->Name;
    description.quality = quality;
    description.pitchAndFamily = font->Pitch == fpVariable ? kVariablePitch
                                 : font->Pitch == fpFixed  ? kFixedPitch
                                                           : kDefaultPitch;
    return CreateFontIndirect(description);
}

} // namespace

FontHandle GetAntiAliasedFont(const TFont* font) { return MakeFont(font, kAntialiasedQuality); }

FontHandle GetNonAntiAliasedFont(const TFont* font) { return MakeFont(font, kNonAntialiasedQuality); }
