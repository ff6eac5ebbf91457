// TXeAlphaDib: a TXeAlpha whose values live in an 8-bit device-independent bitmap.
#include "graphics/bitmaps/TXeAlphaDib.h"

#include <array>

namespace {

// Colour i is grey i.
const std::array<std::uint32_t, 256>& GreyTable()
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < t.size(); ++i)
            t[i] = i * 0x010101;
        return t;
    }();
    return table;
}

} // namespace

TXeAlphaDib::TXeAlphaDib(TComponent* owner) : TXeAlpha(owner) {}

TXeAlphaDib::~TXeAlphaDib()
{
    Release();
}

void TXeAlphaDib::SetDirection(TDIBDirection direction)
{
    if (!FCreated)
        FDib.SetDirection(direction);
}

std::span<const std::uint32_t> TXeAlphaDib::Palette() const
{
    return FDib.Handle() ? FDib.Handle()->Colours() : std::span<const std::uint32_t>();
}

bool TXeAlphaDib::CreateDIB(int w, int h, int* pitch, void** bits, std::unique_ptr<DibSection>* handle) const
{
    return MakeDibSection(8, w, h, FDib.TopDown(), {}, GreyTable(), pitch, bits, handle);
}

bool TXeAlphaDib::Create()
{
    if (FCreated || FWidth <= 0 || FHeight <= 0)
        return false;
    if (!FDib.Replace(*this, FWidth, FHeight, FBits, FPitch))
        return false;
    FCreated = true;
    return true;
}

void TXeAlphaDib::Release()
{
    ReleaseStorage([&] { FDib.Drop(); });
}

bool TXeAlphaDib::Resize(int w, int h)
{
    return ResizeStorage(w, h, [&](int width, int height) { return FDib.Replace(*this, width, height, FBits, FPitch); });
}

bool TXeAlphaDib::GetDC(void** dc)
{
    return FCreated && FDib.GetDC(dc);
}

bool TXeAlphaDib::ReleaseDC(void* dc)
{
    return FDib.ReleaseDC(dc);
}
