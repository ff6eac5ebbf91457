// TFont and LogicalFont: a font as the program describes it, and the logical font made from it.
#include "platform/font/LogicalFont.h"

FontHandle CreateFontIndirect(const LogicalFont& description)
{
    auto font = std::make_unique<LogicalFont>(description);
    if (font->faceName.size() > kFaceNameBytes) {
        std::size_t keep = kFaceNameBytes;
        if (StrByteType(font->faceName, keep) == mbTrailByte)
            --keep;
        font->faceName.resize(keep);
    }
    return font;
}
