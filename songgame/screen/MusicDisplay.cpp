// The song screen's own drawing: the stage with its characters, the sheet with its notes while the
// song is performed, and the lyric line.
#include "songgame/screen/TMusicUnit.h"

#include "songgame/screen/MusicRun.h"

#include "graphics/bitmaps/TXeRGBBits.h"

namespace {

constexpr int PhasePerform = 3;
constexpr int HighQuality = 2;

// The panel's own picture over the part, clipped to the picture.
void DrawOwnImage(TXeRGBBits& dest, int x, int y, const TXeRect& part, TXeRGBBits* image)
{
    if (image == nullptr)
        return;
    const TXeRect r = Overlap(part, {0, 0, image->Width(), image->Height()});
    if (!r.IsRectEmpty())
        dest.Draw(x + r.left, y + r.top, image, r.left, r.top, r.right - r.left, r.bottom - r.top);
}

} // namespace

bool TMusicUnit::BGPanelDraw(TXeRGBBits* dest, int x, int y, const TXeRect& part)
{
    DrawOwnImage(*dest, x, y, part, Panel("BGPanel")->Image());
    FCharacters.Draw(*dest, x, y, part);
    return true;
}

bool TMusicUnit::SheetPDraw(TXeRGBBits* dest, int x, int y, const TXeRect& part)
{
    if (FPhase != PhasePerform || !FRun)
        return false;
    DrawOwnImage(*dest, x, y, part, Panel("SheetP")->Image());
    const SheetPictures pictures{FNotePicture.bits, FNotePicture.alpha, FAlphabetPicture.bits, FAlphabetPicture.alpha};
    FRun->Sheet().Draw(*dest, x, y, part, pictures);
    return true;
}

bool TMusicUnit::WordPDraw(TXeRGBBits* dest, int x, int y, const TXeRect& part)
{
    if (FWordMode != HighQuality)
        return false;
    DrawLyricLine(*dest, x, y, part, Lyrics(), FLyricLength);
    return true;
}

LyricSurfaces TMusicUnit::Lyrics() const
{
    return {FLyricDib, FLyricAlpha, FLyricBits[0], FLyricBits[1], FLyricMask, FLyricFont.get()};
}

void TMusicUnit::DrawLyrics(std::string_view text)
{
    if (FWordMode == 0)
        return;
    TXeRGBPanel* word = Panel("WordP");
    if (text.empty()) {
        word->SetVisible(false);
        return;
    }
    FLyricLength = static_cast<int>(text.size());
    RenderLyricLine(Lyrics(), FWordMode, text);
    word->SetVisible(true);
    word->SetModify();
}
