// TXeRGBDib: a TXeRGBBits whose pixels live in a device-independent bitmap.
#include "graphics/bitmaps/TXeRGBDib.h"

TXeRGBDib::TXeRGBDib(TComponent* owner) : TXeRGBBits(owner) {}

TXeRGBDib::~TXeRGBDib()
{
    Release();
}

void TXeRGBDib::SetDirection(TDIBDirection direction)
{
    if (!FCreated)
        FDib.SetDirection(direction);
}

void TXeRGBDib::SetBitDepth(TBitDepth depth)
{
    if (depth != bdNone && depth != bd8)
        TXeRGBBits::SetBitDepth(depth);
}

void TXeRGBDib::SetPixFormat(TPixFormat format)
{
    if (format != pfNone)
        TXeRGBBits::SetPixFormat(format);
}

bool TXeRGBDib::CreateDIB(int w, int h, int* pitch, void** bits, std::unique_ptr<DibSection>* handle) const
{
    return MakeDibSection(8 * FBitDepth, w, h, FDib.TopDown(), DibMasksOf(FPixFormat), {}, pitch, bits, handle);
}

bool TXeRGBDib::Create()
{
    if (FCreated || !ChkDepthAndFormat(FBitDepth, FPixFormat))
        return false;
    if (FWidth <= 0 || FHeight <= 0 || FBitDepth < bd16 || FBitDepth > bd32 || FPixFormat < pf16_565 ||
        FPixFormat > pf32_8888)
        return false;
    if (!SetProcs() || !FDib.Replace(*this, FWidth, FHeight, FBits, FPitch))
        return false;
    ResetState();
    FCreated = true;
    return true;
}

void TXeRGBDib::Release()
{
    ReleaseStorage([&] { FDib.Drop(); });
}

bool TXeRGBDib::Resize(int w, int h)
{
    return ResizeStorage(w, h, [&](int width, int height) { return FDib.Replace(*this, width, height, FBits, FPitch); });
}

bool TXeRGBDib::GetDC(void** dc)
{
    return FCreated && FDib.GetDC(dc);
}

bool TXeRGBDib::ReleaseDC(void* dc)
{
    return FDib.ReleaseDC(dc);
}
