// TXeRGBNum: a panel that shows a decimal integer with digit pictures.
#include "graphics/panels/TXeRGBNum.h"

#include "graphics/panels/PanelGeometry.h"

namespace {

constexpr int kNumberWidth = 98;
constexpr int kNumberHeight = 31;
constexpr int kDigits = 10;
constexpr int kMaxColumn = 10;

} // namespace

TXeRGBNum::TXeRGBNum(TComponent* owner) : TXeRGBPanel(owner)
{
    SetSizeX(kNumberWidth);
    SetSizeY(kNumberHeight);
    SetAutoSize(false);
}

TXeRGBNum::TXeRGBNum(TComponent* owner, TXeRGBPanel* parent) : TXeRGBPanel(owner, parent)
{
    SetSizeX(kNumberWidth);
    SetSizeY(kNumberHeight);
    SetAutoSize(false);
    SetNumBlock(kDigits);
}

TXeRGBNum::~TXeRGBNum()
{
    Dispose();
}

void TXeRGBNum::SetColumn(int n)
{
    if (n < 0 || n > kMaxColumn || n == FColumn)
        return;
    FColumn = n;
    ChangeState();
}

void TXeRGBNum::SetNumber(int n)
{
    if (n == FNumber)
        return;
    FNumber = n;
    ChangeState();
}

void TXeRGBNum::ChangeState()
{
    if (Created() && Visible() && Image() != nullptr)
        SetModify();
}

bool TXeRGBNum::CallOnDraw(TXeRGBBits* dest, int x, int y, int sx, int sy, int dx, int dy)
{
    if (OnDraw && OnDraw(this, dest, x, y, sx, sy, dx, dy))
        return true;
    TXeRGBBits* strip = Image();
    if (strip == nullptr || strip->Height() < kDigits)
        return false;
    const TXeRect clip = RectAt(sx, sy, dx, dy);
    const long long width = strip->Width();
    int n = FNumber;
    for (int i = 0; i < FColumn && (i == 0 || n != 0); ++i) {
        const long long left = SizeX() - width * (i + 1);
        if (left < INT_MIN)
            break;
        const TXeRect cell = RectAt(static_cast<int>(left), 0, strip->Width(), strip->Height() / kDigits);
        const TXeRect part = Overlap(clip, cell);
        if (!part.IsRectEmpty())
            DrawDigit(dest, x, y, sx, sy, part, cell.left, n % 10);
        n /= 10;
    }
    return true;
}

// Draws the part of digit d's cell that lies in `part`, with the panel's mask mode.
bool TXeRGBNum::DrawDigit(TXeRGBBits* dest, int x, int y, int sx, int sy, const TXeRect& part, int cellLeft,
                          int digit)
{
    if (digit < 0)
        return true;
    TXeRGBBits* strip = Image();
    const int dx = SatAdd(SatAdd(x, part.left), -static_cast<long long>(sx));
    const int dy = SatAdd(SatAdd(y, part.top), -static_cast<long long>(sy));
    const int srcX = part.left - cellLeft;
    const int srcY = part.top + strip->Height() / kDigits * digit;
    const int w = part.right - part.left;
    const int h = part.bottom - part.top;
    switch (MaskMode()) {
    case mmNormal: return dest->Draw(dx, dy, strip, srcX, srcY, w, h);
    case mmAlpha: return Alpha() == nullptr || dest->DrawAlphaMask(dx, dy, strip, srcX, srcY, w, h, Alpha());
    case mmColorKey: return dest->DrawKey(dx, dy, strip, srcX, srcY, w, h, ColorKey());
    default: return true;
    }
}
