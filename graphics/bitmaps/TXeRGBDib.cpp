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
        FDirection = direction;
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
    return MakeDibSection(8 * FBitDepth, w, h, FDirection == ddTopDown, DibMasksOf(FPixFormat), {}, pitch, bits, handle);
}

bool TXeRGBDib::Create()
{
    if (FCreated || !ChkDepthAndFormat(FBitDepth, FPixFormat))
        return false;
    if (FWidth <= 0 || FHeight <= 0 || FBitDepth < bd16 || FBitDepth > bd32 || FPixFormat < pf16_565 ||
        FPixFormat > pf32_8888)
        return false;
    int pitch = 0;
    void* bits = nullptr;
    std::unique_ptr<DibSection> handle;
    if (!CreateDIB(FWidth, FHeight, &pitch, &bits, &handle) || !SetProcs())
        return false;
    FHandle = std::move(handle);
    FBits = static_cast<std::uint8_t*>(bits);
    FPitch = pitch;
    ResetState();
    FCreated = true;
    return true;
}

void TXeRGBDib::Release()
{
    ReleaseStorage([&] {
        FDC.Close();
        FHandle.reset();
    });
}

bool TXeRGBDib::Resize(int w, int h)
{
    return ResizeStorage(w, h, [&](int width, int height) {
        int pitch = 0;
        void* bits = nullptr;
        std::unique_ptr<DibSection> handle;
        if (!CreateDIB(width, height, &pitch, &bits, &handle))
            return false;
        FDC.Reselect(handle.get());
        FHandle = std::move(handle);
        FBits = static_cast<std::uint8_t*>(bits);
        FPitch = pitch;
        return true;
    });
}

bool TXeRGBDib::GetDC(void** dc)
{
    return FCreated && FDC.Get(FHandle.get(), dc);
}

bool TXeRGBDib::ReleaseDC(void* dc)
{
    return FDC.Release(dc);
}
