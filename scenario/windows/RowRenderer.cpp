#include "scenario/windows/RowRenderer.h"

#include "graphics/bitmaps/TXeAlpha.h"
#include "graphics/panels/TXeRGBText.h"
#include "shell/GameGlobals.h"

namespace {

struct MakerLook {
    int fontSize;
    int shade;
};
// Font sizes from the form; the novel rows are drawn a shade stronger.
constexpr std::array<MakerLook, 3> Looks = {{{18, 0}, {20, 1}, {20, 0}}};

} // namespace

RowRenderer::RowRenderer(TComponent* owner)
{
    for (std::size_t i = 0; i < makers_.size(); ++i) {
        const auto kind = static_cast<RowKind>(i);
        auto* maker = new TXeRGBText(owner);
        maker->SetSizeX(Width(kind));
        maker->SetSizeY(Height(kind));
        maker->SetAntiAliase(true);
        maker->SetFontSize(Looks[i].fontSize);
        maker->SetAAShade(Looks[i].shade);
        TFont font;
        font.Name = FaceName;
        font.Charset = GB2312_CHARSET;
        font.Pitch = fpFixed;
        font.Height = -2 * Looks[i].fontSize;
        maker->SetFont(font);
        makers_[i] = maker;
    }
}

bool RowRenderer::CreateBuffers()
{
    const TPixFormat format = GameBitDepth == bd32 ? pf32_888 : pf24_888;
    for (TXeRGBText* maker : makers_)
        if (!maker->MakeBuffer(format))
            return false;
    return true;
}

void RowRenderer::ReleaseBuffers()
{
    for (TXeRGBText* maker : makers_)
        maker->ReleaseBuffer();
}

void RowRenderer::Draw(std::string_view text, RowKind kind, int y, TXeAlpha& dest)
{
    const int w = Width(kind);
    const int h = Height(kind);
    dest.BoxFill(0, y, w - 1, y + h - 1, 0);
    TXeRGBText& maker = Maker(kind);
    if (text.empty() || maker.AlphaBuffer() == nullptr)
        return;
    maker.SetText(AnsiString(text));
    dest.Draw(0, y, maker.AlphaBuffer(), 0, 0, w, h);
}
