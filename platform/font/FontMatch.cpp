// FontMatch: the installed face that fontconfig chooses for a logical font.
#include "platform/font/FontMatch.h"

#include "platform/classes/Exception.h"
#include "platform/codepage/CodePage.h"

#include <fontconfig/fontconfig.h>

#include <memory>

namespace {

// A CJK ideograph ("one") that every face able to show Japanese or Chinese text holds.
constexpr FcChar32 kCjkProbe = 0x4E00;

struct PatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;

const char* LanguageOf(int codePage)
{
    switch (codePage) {
    case CodePage::Gbk: return "zh-cn";
    case 949: return "ko";
    case 950: return "zh-tw";
    default: return "ja";
    }
}

AnsiString FaceNameUtf8(const LogicalFont& font, int codePage)
{
    try {
        return CodePage::ToUtf8(font.faceName, codePage);
    } catch (const EConvertError&) {
        return font.faceName;
    }
}

// The request: family (when given), language, weight, slant and spacing.
Pattern MakeRequest(const LogicalFont& font, bool withFamily)
{
    Pattern request(FcPatternCreate());
    if (!request)
        return nullptr;
    const int codePage = CodePageOfCharset(font.charSet);
    const AnsiString family = FaceNameUtf8(font, codePage);
    if (withFamily && !family.empty())
        FcPatternAddString(request.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddString(request.get(), FC_LANG, reinterpret_cast<const FcChar8*>(LanguageOf(codePage)));
    FcPatternAddInteger(request.get(), FC_WEIGHT, FcWeightFromOpenType(font.weight > 0 ? font.weight : 400));
    FcPatternAddInteger(request.get(), FC_SLANT, font.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    if ((font.pitchAndFamily & 3) == kFixedPitch)
        FcPatternAddInteger(request.get(), FC_SPACING, FC_MONO);
    FcConfigSubstitute(nullptr, request.get(), FcMatchPattern);
    FcDefaultSubstitute(request.get());
    return request;
}

Pattern BestMatch(const LogicalFont& font, bool withFamily)
{
    Pattern request = MakeRequest(font, withFamily);
    if (!request)
        return nullptr;
    FcResult result = FcResultNoMatch;
    Pattern match(FcFontMatch(nullptr, request.get(), &result));
    return result == FcResultMatch ? std::move(match) : nullptr;
}

bool ShowsCjk(const FcPattern* face)
{
    FcCharSet* chars = nullptr;
    return FcPatternGetCharSet(face, FC_CHARSET, 0, &chars) == FcResultMatch && FcCharSetHasChar(chars, kCjkProbe);
}

std::optional<FaceLocation> Describe(const FcPattern* face)
{
    FcChar8* file = nullptr;
    if (FcPatternGetString(face, FC_FILE, 0, &file) != FcResultMatch)
        return std::nullopt;
    FaceLocation location;
    location.file = reinterpret_cast<const char*>(file);
    FcPatternGetInteger(face, FC_INDEX, 0, &location.index);
    FcChar8* family = nullptr;
    if (FcPatternGetString(face, FC_FAMILY, 0, &family) == FcResultMatch)
        location.family = reinterpret_cast<const char*>(family);
    return location;
}

} // namespace

// fontconfig's configuration parser loses one block while reading the system's configuration
// files; leak checking in sanitised builds ignores it.
#if defined(__SANITIZE_ADDRESS__)
#define XE_LEAK_CHECKED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define XE_LEAK_CHECKED 1
#endif
#endif
#ifdef XE_LEAK_CHECKED
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
#endif

int CodePageOfCharset(std::uint8_t charSet)
{
    switch (charSet) {
    case SHIFTJIS_CHARSET: return CodePage::ShiftJis;
    case GB2312_CHARSET: return CodePage::Gbk;
    default: return CodePage::Ansi();
    }
}

std::optional<FaceLocation> MatchFace(const LogicalFont& font)
{
    if (FcInit() == FcFalse)
        return std::nullopt;
    Pattern match = BestMatch(font, true);
    if (!match || !ShowsCjk(match.get())) {
        Pattern cjk = BestMatch(font, false);
        if (cjk && (ShowsCjk(cjk.get()) || !match))
            match = std::move(cjk);
    }
    return match ? Describe(match.get()) : std::nullopt;
}
