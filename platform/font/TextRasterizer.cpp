// TextRasterizer: lays out code-page text in a logical font and rasterises it with FreeType.
#include "platform/font/TextRasterizer.h"

#include "platform/classes/Exception.h"
#include "platform/codepage/CodePage.h"
#include "platform/font/FontMatch.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

namespace {

// Weights from this one on count as bold, as in the system's font mapper.
constexpr int kBoldWeight = 600;
// Layout stops once the pen has gone this far: nothing beyond can land on any bitmap.
constexpr long long kMaxPen = INT_MAX / 2;

// Whole pixels of a 26.6 value, rounded to nearest.
int Round26(long v) { return static_cast<int>((v + 32) >> 6); }
// Whole pixels of a 26.6 value, rounded up.
int Ceil26(long v) { return static_cast<int>((v + 63) >> 6); }

// Decodes UTF-8 (valid, as the code-page conversion makes it) into code points.
std::vector<char32_t> CodePoints(const std::string& utf8)
{
    std::vector<char32_t> out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const int extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        char32_t cp = extra == 0 ? lead : lead & (0x3F >> extra);
        for (int k = 1; k <= extra && i + k < utf8.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        out.push_back(cp);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

std::vector<char32_t> DecodeText(const LogicalFont& font, std::string_view text)
{
    try {
        return CodePoints(CodePage::ToUtf8(text, CodePageOfCharset(font.charSet)));
    } catch (const EConvertError&) {
        // A code page iconv does not know: show the bytes as Latin-1.
        return std::vector<char32_t>(text.begin(), text.end());
    }
}

bool Antialiased(const LogicalFont& font) { return font.quality != kNonAntialiasedQuality; }

// Sets the face to a font height, clamped. The character cell is one em high, as in the
// system's CJK faces, so a negative height (the character height) and a positive one (the cell
// height) both give the em size.
bool SetHeight(FT_Face face, int height)
{
    const long pixels = std::min(height == 0 ? TextRasterizer::kDefaultPixelHeight : std::abs(height),
                                 TextRasterizer::kMaxPixelHeight);
    FT_Size_RequestRec request{};
    request.type = FT_SIZE_REQUEST_TYPE_NOMINAL;
    request.height = pixels * 64;
    return FT_Request_Size(face, &request) == 0;
}

// An ideograph ("middle") whose box is the face's ideographic box.
constexpr char32_t kIdeograph = 0x4E2D;

// The ascent of the em-high cell: the one that centres the face's ideographs vertically in it
// (the layouts of the system's screens centre text by the cell), or the face's own ascender share
// when it has no ideograph.
int CellAscent(FT_Face face, int em, FT_Int32 loadTarget)
{
    if (FT_Get_Char_Index(face, kIdeograph) != 0 && FT_Load_Char(face, kIdeograph, FT_LOAD_DEFAULT | loadTarget) == 0) {
        const FT_Glyph_Metrics& m = face->glyph->metrics;
        const long spare = static_cast<long>(em) * 64 - m.height;
        return std::clamp(Ceil26(m.horiBearingY + spare / 2), 0, em);
    }
    const long span = face->ascender - face->descender;
    return span > 0 ? static_cast<int>(static_cast<long long>(em) * face->ascender / span) : em;
}

// A face set to the size of one font, with what the font asks beyond the face.
struct SizedFace {
    FT_Face face = nullptr;
    bool antialiased = true;
    bool embolden = false;
    bool oblique = false;
    int ascent = 0;
    int descent = 0;
};

FT_Int32 LoadTarget(const SizedFace& sized) { return sized.antialiased ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO; }

// A horizontal bar of the cell: top row and thickness.
struct Bar {
    int y = 0;
    int thickness = 0;
};

class Rasterizer {
public:
    static Rasterizer& Instance()
    {
        static Rasterizer instance;
        return instance;
    }

    ~Rasterizer()
    {
        for (auto& [key, face] : faces_)
            FT_Done_Face(face);
        if (library_ != nullptr)
            FT_Done_FreeType(library_);
    }

    std::mutex& Lock() { return lock_; }

    // Under Lock(): the face of the font at its size, or nothing.
    std::optional<SizedFace> Prepare(const LogicalFont& font)
    {
        const std::optional<FaceLocation>& location = Locate(font);
        if (!location)
            return std::nullopt;
        FT_Face face = Open(*location);
        if (face == nullptr)
            return std::nullopt;
        if (!SetHeight(face, font.height))
            return std::nullopt;
        SizedFace sized;
        sized.face = face;
        sized.antialiased = Antialiased(font);
        sized.embolden = font.weight >= kBoldWeight && (face->style_flags & FT_STYLE_FLAG_BOLD) == 0;
        sized.oblique = font.italic && (face->style_flags & FT_STYLE_FLAG_ITALIC) == 0;
        const int em = face->size->metrics.y_ppem;
        sized.ascent = CellAscent(face, em, LoadTarget(sized));
        sized.descent = em - sized.ascent;
        return sized;
    }

    const std::optional<FaceLocation>& Locate(const LogicalFont& font)
    {
        const std::string key = font.faceName + '\n' + std::to_string(CodePageOfCharset(font.charSet)) + '\n' +
                                std::to_string(font.weight >= kBoldWeight) + std::to_string(font.italic) +
                                std::to_string((font.pitchAndFamily & 3) == kFixedPitch);
        auto it = locations_.find(key);
        if (it == locations_.end())
            it = locations_.emplace(key, MatchFace(font)).first;
        return it->second;
    }

private:
    Rasterizer()
    {
        if (FT_Init_FreeType(&library_) != 0)
            library_ = nullptr;
    }

    FT_Face Open(const FaceLocation& location)
    {
        if (library_ == nullptr)
            return nullptr;
        const std::string key = location.file + '#' + std::to_string(location.index);
        if (const auto it = faces_.find(key); it != faces_.end())
            return it->second;
        FT_Face face = nullptr;
        if (FT_New_Face(library_, location.file.c_str(), location.index, &face) != 0)
            return nullptr;
        faces_.emplace(key, face);
        return face;
    }

    std::mutex lock_;
    FT_Library library_ = nullptr;
    std::map<std::string, std::optional<FaceLocation>> locations_;
    std::map<std::string, FT_Face> faces_;
};

// Loads one character into the face's glyph slot with the font's synthesis; rendered when asked.
bool LoadGlyph(const SizedFace& sized, char32_t cp, bool render)
{
    if (FT_Load_Char(sized.face, cp, FT_LOAD_DEFAULT | LoadTarget(sized)) != 0)
        return false;
    FT_GlyphSlot slot = sized.face->glyph;
    if (sized.embolden)
        FT_GlyphSlot_Embolden(slot);
    if (sized.oblique)
        FT_GlyphSlot_Oblique(slot);
    if (!render || slot->format == FT_GLYPH_FORMAT_BITMAP)
        return true;
    return FT_Render_Glyph(slot, sized.antialiased ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) == 0;
}

// The rendered glyph's bitmap as coverage bytes; false for pixel modes that carry no coverage.
bool GlyphCoverage(const FT_Bitmap& bitmap, bool antialiased, std::vector<std::uint8_t>& out)
{
    const int w = static_cast<int>(bitmap.width);
    const int h = static_cast<int>(bitmap.rows);
    out.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
    for (int y = 0; y < h; ++y) {
        const unsigned char* row = bitmap.buffer + static_cast<std::ptrdiff_t>(y) * bitmap.pitch;
        std::uint8_t* dst = out.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
        for (int x = 0; x < w; ++x) {
            if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
                dst[x] = (row[x >> 3] & (0x80 >> (x & 7))) != 0 ? 255 : 0;
            else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY)
                dst[x] = antialiased ? row[x] : (row[x] >= 128 ? 255 : 0);
            else
                return false;
        }
    }
    return true;
}

// Underline and strike-out bars of the sized face, in cell rows.
Bar UnderlineBar(const SizedFace& sized)
{
    const FT_Face face = sized.face;
    const FT_Fixed scale = face->size->metrics.y_scale;
    const int thickness = std::max(1, Round26(FT_MulFix(face->underline_thickness, scale)));
    const int below = std::max(1, Round26(-FT_MulFix(face->underline_position, scale)));
    return {sized.ascent + std::min(below, std::max(0, sized.descent - thickness)), thickness};
}

Bar StrikeOutBar(const SizedFace& sized)
{
    const FT_Face face = sized.face;
    const FT_Fixed scale = face->size->metrics.y_scale;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 != nullptr && os2->yStrikeoutSize > 0)
        return {sized.ascent - Round26(FT_MulFix(os2->yStrikeoutPosition, scale)),
                std::max(1, Round26(FT_MulFix(os2->yStrikeoutSize, scale)))};
    return {sized.ascent - sized.ascent / 3, UnderlineBar(sized).thickness};
}

// Walks the text: for every character, loads it and calls visit(penX) before advancing the pen.
template <typename Visit> int LayOut(const SizedFace& sized, const std::vector<char32_t>& text, bool render, Visit&& visit)
{
    long long pen = 0;
    for (const char32_t cp : text) {
        if (pen > kMaxPen)
            break;
        if (!LoadGlyph(sized, cp, render))
            continue;
        visit(static_cast<int>(pen));
        pen += Round26(sized.face->glyph->advance.x);
    }
    return static_cast<int>(std::min(pen, kMaxPen));
}

void EmitBar(const Bar& bar, int width, const CoverageSink& sink)
{
    if (width <= 0)
        return;
    const std::vector<std::uint8_t> row(static_cast<std::size_t>(width), 255);
    sink(CoverageBlock{0, bar.y, width, bar.thickness, 0, row.data()});
}

} // namespace

namespace TextRasterizer {

bool Measure(const LogicalFont& font, std::string_view text, TextExtent* extent)
{
    const std::vector<char32_t> codePoints = DecodeText(font, text);
    Rasterizer& rasterizer = Rasterizer::Instance();
    std::lock_guard guard(rasterizer.Lock());
    const std::optional<SizedFace> sized = rasterizer.Prepare(font);
    if (!sized)
        return false;
    const int width = LayOut(*sized, codePoints, false, [](int) {});
    if (extent != nullptr)
        *extent = TextExtent{width, sized->ascent + sized->descent};
    return true;
}

bool Rasterize(const LogicalFont& font, std::string_view text, const CoverageSink& sink, TextExtent* extent)
{
    const std::vector<char32_t> codePoints = DecodeText(font, text);
    Rasterizer& rasterizer = Rasterizer::Instance();
    std::lock_guard guard(rasterizer.Lock());
    const std::optional<SizedFace> sized = rasterizer.Prepare(font);
    if (!sized)
        return false;
    std::vector<std::uint8_t> coverage;
    const int width = LayOut(*sized, codePoints, true, [&](int penX) {
        const FT_GlyphSlot slot = sized->face->glyph;
        if (slot->bitmap.width == 0 || slot->bitmap.rows == 0 || !GlyphCoverage(slot->bitmap, sized->antialiased, coverage))
            return;
        const int w = static_cast<int>(slot->bitmap.width);
        sink(CoverageBlock{penX + slot->bitmap_left, sized->ascent - slot->bitmap_top, w,
                           static_cast<int>(slot->bitmap.rows), w, coverage.data()});
    });
    if (font.underline)
        EmitBar(UnderlineBar(*sized), width, sink);
    if (font.strikeOut)
        EmitBar(StrikeOutBar(*sized), width, sink);
    if (extent != nullptr)
        *extent = TextExtent{width, sized->ascent + sized->descent};
    return true;
}

std::string FamilyOf(const LogicalFont& font)
{
    Rasterizer& rasterizer = Rasterizer::Instance();
    std::lock_guard guard(rasterizer.Lock());
    const std::optional<FaceLocation>& location = rasterizer.Locate(font);
    return location ? location->family : std::string();
}

bool IsAntialiased(const LogicalFont& font) { return Antialiased(font); }

} // namespace TextRasterizer
