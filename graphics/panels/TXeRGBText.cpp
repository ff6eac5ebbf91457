// TXeRGBText: a panel that shows one line of text rendered into its own buffers.
#include "graphics/panels/TXeRGBText.h"

#include "graphics/panels/PanelGeometry.h"

#include <algorithm>
#include <climits>

namespace {

constexpr int kTextWidth = 160;
constexpr int kTextHeight = 24;
// The fixed-pitch face the panel asks for: "ＭＳ ゴシック", as Shift-JIS bytes.
constexpr const char* kTextFace = "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E";

// COLORREF (red in the low byte) of a 0x00RRGGBB colour.
COLORREF ColorRefOf(std::uint32_t rgb)
{
    return RGB(static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8), static_cast<std::uint8_t>(rgb));
}

// One coverage value from the sum of four double-size samples.
std::uint8_t Shade(int sum, int shade)
{
    switch (shade) {
    case 1: return static_cast<std::uint8_t>(std::min(255, (3 * sum) >> 3));
    case 2: return static_cast<std::uint8_t>(std::min(255, sum >> 1));
    default: return static_cast<std::uint8_t>(sum >> 2);
    }
}

} // namespace

TXeRGBText::TXeRGBText(TComponent* owner) : TXeRGBText(owner, nullptr) {}

TXeRGBText::TXeRGBText(TComponent* owner, TXeRGBPanel* parent)
    : TXeRGBPanel(owner, parent), FFont(std::make_unique<TFont>())
{
    SetSizeX(kTextWidth);
    SetSizeY(kTextHeight);
    SetAutoSize(false);
    FFont->Name = kTextFace;
    FFont->Pitch = fpFixed;
    FFont->Height = -FFontSize;
}

TXeRGBText::~TXeRGBText()
{
    Dispose();
    ReleaseBuffer();
}

bool TXeRGBText::MakeBuffer(TPixFormat format)
{
    FPixFormat = format;
    const bool made = CreateBuffer();
    DrawTextA();
    return made;
}

bool TXeRGBText::CreateBuffer()
{
    const bool existed = FBufferMade;
    if (existed)
        ReleaseBuffer();
    FColourBuffer = std::make_unique<TXeRGBDib>(nullptr);
    FColourBuffer->SetPixFormat(FPixFormat);
    if (!FColourBuffer->Resize(SizeX(), SizeY()) || !FColourBuffer->Create()) {
        FColourBuffer.reset();
        return false;
    }
    SetImage(FColourBuffer.get());
    SetMaskMode(mmColorKey);
    SetColorKey(XeRGB(FKeyColor));
    if (FAntiAliase) {
        FAlphaBuffer = std::make_unique<TXeAlpha>(nullptr);
        FDoubleBuffer = std::make_unique<TXeAlphaDib>(nullptr);
        const bool doubleFits = SizeX() <= INT_MAX / 2 && SizeY() <= INT_MAX / 2;
        if (!FAlphaBuffer->Resize(SizeX(), SizeY()) || !FAlphaBuffer->Create() || !doubleFits ||
            !FDoubleBuffer->Resize(2 * SizeX(), 2 * SizeY()) || !FDoubleBuffer->Create()) {
            DetachImages();
            FreeBuffers();
            return false;
        }
        SetAlpha(FAlphaBuffer.get());
        SetMaskMode(mmAlpha);
        FColourBuffer->BoxFill(0, 0, FColourBuffer->Width() - 1, FColourBuffer->Height() - 1,
                               FColourBuffer->TXeRGBtoPixel(XeRGB(FTextColor)));
    }
    MakeTextFont();
    FBufferMade = true;
    if (existed)
        DrawTextA();
    return true;
}

void TXeRGBText::FreeBuffers()
{
    FColourBuffer.reset();
    FAlphaBuffer.reset();
    FDoubleBuffer.reset();
}

void TXeRGBText::ReleaseBuffer()
{
    DetachImages();
    FreeBuffers();
    FTextFont.reset();
    FBufferMade = false;
}

void TXeRGBText::MakeTextFont()
{
    FFont->Height = FAntiAliase ? -2 * FFontSize : -FFontSize;
    FFont->Pitch = fpFixed;
    // Plain glyphs: the plain buffer then holds only text-colour and key pixels, and the
    // anti-aliased form gets its grey levels from the 2 x 2 reduction.
    FTextFont = GetNonAntiAliasedFont(FFont.get());
}

void TXeRGBText::SetText(const AnsiString& text)
{
    FText = text;
    if (FBufferMade)
        DrawTextA();
}

void TXeRGBText::SetAntiAliase(bool on)
{
    if (on == FAntiAliase)
        return;
    FAntiAliase = on;
    if (FBufferMade)
        CreateBuffer();
}

void TXeRGBText::SetFontSize(int size)
{
    size &= ~1;
    if (size == FFontSize)
        return;
    FFontSize = size;
    if (FBufferMade) {
        MakeTextFont();
        DrawTextA();
    }
}

void TXeRGBText::SetFont(const TFont& font)
{
    FFont->Name = font.Name;
    FFont->Height = font.Height;
    FFont->Style = font.Style;
    FFont->Charset = font.Charset;
    FFont->Pitch = font.Pitch;
    FFont->Color = font.Color;
    if (FBufferMade) {
        MakeTextFont();
        DrawTextA();
    }
}

void TXeRGBText::SetTextColor(std::uint32_t colour)
{
    colour &= 0xFFFFFF;
    if (colour == FTextColor)
        return;
    FTextColor = colour;
    FKeyColor = ~colour & 0xFFFFFF;
    SetColorKey(XeRGB(FKeyColor));
    if (!FBufferMade)
        return;
    if (FAntiAliase) {
        FColourBuffer->BoxFill(0, 0, FColourBuffer->Width() - 1, FColourBuffer->Height() - 1,
                               FColourBuffer->TXeRGBtoPixel(XeRGB(colour)));
        // The picture changed under the panel, so it must be repainted.
        SetModify();
    } else {
        DrawTextA();
    }
}

void TXeRGBText::SetTextColorRed(int v) { SetTextColor((FTextColor & 0x00FFFF) | (std::uint32_t(v & 0xFF) << 16)); }
void TXeRGBText::SetTextColorGreen(int v) { SetTextColor((FTextColor & 0xFF00FF) | (std::uint32_t(v & 0xFF) << 8)); }
void TXeRGBText::SetTextColorBlue(int v) { SetTextColor((FTextColor & 0xFFFF00) | std::uint32_t(v & 0xFF)); }

void TXeRGBText::SetCentering(bool on)
{
    if (on == FCentering)
        return;
    FCentering = on;
    if (FBufferMade)
        DrawTextA();
}

void TXeRGBText::SetAAShade(int shade)
{
    if (shade < 0 || shade > 2 || shade == FAAShade)
        return;
    FAAShade = shade;
    if (FBufferMade)
        DrawTextA();
}

void TXeRGBText::ChangeState()
{
    if (Created() && Visible())
        SetModify();
}

void TXeRGBText::TextOrigin(int& x, int& y) const
{
    x = 0;
    y = 0;
    if (!FCentering)
        return;
    const long long width = static_cast<long long>(FText.size()) * (FFontSize / 2);
    x = static_cast<int>(std::max<long long>(INT_MIN, (FColourBuffer->Width() - width) / 2));
    y = (FColourBuffer->Height() - FFontSize) / 2;
}

template <typename Buffer> void TXeRGBText::DrawInto(Buffer& buffer, int x, int y, COLORREF colour)
{
    void* handle = nullptr;
    if (!buffer.GetDC(&handle))
        return;
    auto* dc = static_cast<DeviceContext*>(handle);
    const LogicalFont* previous = dc->SelectFont(FTextFont.get());
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(colour);
    dc->TextOutA(x, y, FText.data(), static_cast<int>(std::min<std::size_t>(FText.size(), INT_MAX)));
    dc->SelectFont(previous);
    buffer.ReleaseDC(handle);
}

void TXeRGBText::DrawPlain()
{
    TXeRGBDib& buffer = *FColourBuffer;
    buffer.BoxFill(0, 0, buffer.Width() - 1, buffer.Height() - 1, buffer.TXeRGBtoPixel(XeRGB(FKeyColor)));
    int x = 0, y = 0;
    TextOrigin(x, y);
    DrawInto(buffer, x, y, ColorRefOf(FTextColor));
}

void TXeRGBText::DrawAntialiased()
{
    FDoubleBuffer->Fill(0);
    int x = 0, y = 0;
    TextOrigin(x, y);
    DrawInto(*FDoubleBuffer, SatAdd(x, x), SatAdd(y, y), RGB(255, 255, 255));
    Reduce();
}

void TXeRGBText::Reduce()
{
    const TXeAlphaDib& big = *FDoubleBuffer;
    TXeAlpha& out = *FAlphaBuffer;
    for (int r = 0; r < out.Height(); ++r) {
        const std::uint8_t* top = big.Bits() + static_cast<std::ptrdiff_t>(2 * r) * big.Pitch();
        const std::uint8_t* bottom = top + big.Pitch();
        std::uint8_t* dst = out.Bits() + static_cast<std::ptrdiff_t>(r) * out.Pitch();
        for (int c = 0; c < out.Width(); ++c) {
            const int sum = top[2 * c] + top[2 * c + 1] + bottom[2 * c] + bottom[2 * c + 1];
            dst[c] = Shade(sum, FAAShade);
        }
    }
}

void TXeRGBText::DrawTextA()
{
    if (!FBufferMade)
        return;
    FAntiAliase ? DrawAntialiased() : DrawPlain();
    SetModify();
}
