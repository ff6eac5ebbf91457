// TXeRGBDib: a TXeRGBBits whose pixels live in a device-independent bitmap.
#include "graphics/bitmaps/TXeRGBDib.h"

#include <array>

namespace {

// The red, green and blue masks of each format's section; empty for BI_RGB (24 bits).
std::span<const std::uint32_t> MasksOf(TPixFormat format)
{
    static constexpr std::array<std::uint32_t, 3> k565{0xF800, 0x07E0, 0x001F};
    static constexpr std::array<std::uint32_t, 3> k555{0x7C00, 0x03E0, 0x001F};
    static constexpr std::array<std::uint32_t, 3> k4444{0x0F00, 0x00F0, 0x000F};
    static constexpr std::array<std::uint32_t, 3> k888{0xFF0000, 0xFF00, 0xFF};
    switch (format) {
    case pf16_565: return k565;
    case pf16_555:
    case pf16_5551: return k555;
    case pf16_4444: return k4444;
    case pf32_888:
    case pf32_8888: return k888;
    default: return {};
    }
}

} // namespace

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
    return MakeDibSection(8 * FBitDepth, w, h, FDirection == ddTopDown, MasksOf(FPixFormat), {}, pitch, bits, handle);
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
    if (!FCreated)
        return;
    while (FLocked) {
        if (!Unlock())
            break;
    }
    FDC.Close();
    FHandle.reset();
    FBits = nullptr;
    FCreated = false;
}

bool TXeRGBDib::Resize(int w, int h)
{
    if (w < 1 || h < 1)
        return false;
    if (FCreated) {
        if (FAttached != 0 || FLocked)
            return false;
        int pitch = 0;
        void* bits = nullptr;
        std::unique_ptr<DibSection> handle;
        if (!CreateDIB(w, h, &pitch, &bits, &handle))
            return false;
        FDC.Reselect(handle.get());
        FHandle = std::move(handle);
        FBits = static_cast<std::uint8_t*>(bits);
        FPitch = pitch;
        FModified = false;
        FModifiedSw = true;
        FModifiedOffCount = 0;
    }
    FWidth = w;
    FHeight = h;
    return true;
}

bool TXeRGBDib::GetDC(void** dc)
{
    return FCreated && FDC.Get(FHandle.get(), dc);
}

bool TXeRGBDib::ReleaseDC(void* dc)
{
    return FDC.Release(dc);
}
