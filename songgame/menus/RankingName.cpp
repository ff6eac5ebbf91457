// RankingName: the ranking alphabet and the drawing of a name from it.
#include "songgame/menus/RankingName.h"

#include "base/memory/TMemMan.h"
#include "graphics/bitmaps/TXeAlpha.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "graphics/panels/TXeRGBPanel.h"
#include "shell/GameGlobals.h"
#include "shell/helpers/PictureLoading.h"

#include <algorithm>
#include <string_view>

namespace {

constexpr std::string_view kSigns = "-#.:/!?";
constexpr int kFirstSign = 26;
constexpr int kFirstDigit = 33;
constexpr int kStar = 43;
constexpr int kPlus = 44;

} // namespace

RankingName* RankingName::Create(TFileMan* files, const AnsiString& fileName)
{
    if (MemMan == nullptr)
        return nullptr;
    RankingName* ranking = MemMan->Create<RankingName>();
    if (ranking != nullptr && !ranking->LoadPictures(files, fileName))
        MemMan->Delete(ranking);
    return ranking;
}

bool RankingName::LoadPictures(TFileMan* files, const AnsiString& fileName)
{
    FreePictures();
    return LoadImageFile(&FBits, &FAlpha, fileName, files);
}

void RankingName::FreePictures()
{
    if (MemMan == nullptr)
        return;
    MemMan->Delete(FBits);
    MemMan->Delete(FAlpha);
}

int RankingName::CellOf(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= '0' && c <= '9')
        return kFirstDigit + (c - '0');
    if (c == '*')
        return kStar;
    if (c == '+')
        return kPlus;
    const std::size_t sign = kSigns.find(c);
    return sign == std::string_view::npos ? -1 : kFirstSign + static_cast<int>(sign);
}

void RankingName::Draw(TXeRGBPanel* panel, const AnsiString& text) const
{
    if (FBits == nullptr || panel == nullptr || panel->SizeY() > kCellHeight)
        return;
    TXeRGBBits* bits = panel->Image();
    TXeAlpha* alpha = panel->Alpha();
    if (bits == nullptr || alpha == nullptr)
        return;
    // Letters stay within the picture, however long the text.
    const int width = static_cast<int>(
        std::min(text.size() * kCellWidth, static_cast<std::size_t>(std::max(bits->Width(), 0))));
    panel->SetSizeX(width);
    bits->Cls();
    alpha->Fill(0);
    for (int i = 1; kCellWidth * i <= width; ++i) {
        const std::size_t at = static_cast<std::size_t>(i - 1);
        if (StrByteType(text, at) == mbLeadByte)
            break;
        const int cell = CellOf(text[at]);
        // A short alphabet picture lacks the later cells.
        if (cell < 0 || kCellHeight * (cell + 1) > FBits->Height() || FBits->Width() < kCellWidth)
            continue;
        const int x = kCellWidth * (i - 1);
        bits->Draw(x, 0, FBits, 0, kCellHeight * cell, kCellWidth, kCellHeight);
        if (FAlpha != nullptr && FAlpha->Height() >= FBits->Height() && FAlpha->Width() >= kCellWidth)
            alpha->Draw(x, 0, FAlpha, 0, kCellHeight * cell, kCellWidth, kCellHeight);
        else
            alpha->BoxFill(x, 0, x + kCellWidth - 1, kCellHeight - 1, 255);
    }
    panel->SetModify();
}
