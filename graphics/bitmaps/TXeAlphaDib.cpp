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
        FDirection = direction;
}

std::span<const std::uint32_t> TXeAlphaDib::Palette() const
{
    return FHandle ? FHandle->Colours() : std::span<const std::uint32_t>();
}

bool TXeAlphaDib::CreateDIB(int w, int h, int* pitch, void** bits, std::unique_ptr<DibSection>* handle) const
{
    return MakeDibSection(8, w, h, FDirection == ddTopDown, {}, GreyTable(), pitch, bits, handle);
}

bool TXeAlphaDib::Create()
{
    if (FCreated || FWidth <= 0 || FHeight <= 0)
        return false;
    int pitch = 0;
    void* bits = nullptr;
    if (!CreateDIB(FWidth, FHeight, &pitch, &bits, &FHandle))
        return false;
    FBits = static_cast<std::uint8_t*>(bits);
    FPitch = pitch;
    FCreated = true;
    return true;
}

void TXeAlphaDib::Release()
{
    ReleaseStorage([&] {
        FDC.Close();
        FHandle.reset();
    });
}

bool TXeAlphaDib::Resize(int w, int h)
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

bool TXeAlphaDib::GetDC(void** dc)
{
    return FCreated && FDC.Get(FHandle.get(), dc);
}

bool TXeAlphaDib::ReleaseDC(void* dc)
{
    return FDC.Release(dc);
}
