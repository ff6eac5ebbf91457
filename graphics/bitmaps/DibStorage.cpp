// DibStorage: the section and device-context handling that TXeRGBDib and TXeAlphaDib share.
#include "graphics/bitmaps/DibStorage.h"

#include <array>
#include <new>

std::span<const std::uint32_t> DibMasksOf(TPixFormat format)
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

bool MakeDibSection(int bitCount, int w, int h, bool topDown, std::span<const std::uint32_t> masks,
                    std::span<const std::uint32_t> colours, int* pitch, void** bits, std::unique_ptr<DibSection>* handle)
{
    if (w <= 0 || h <= 0)
        return false;
    BitmapInfoHeader header;
    header.biWidth = w;
    header.biHeight = topDown ? -h : h;
    header.biBitCount = static_cast<std::uint16_t>(bitCount);
    header.biCompression = masks.empty() ? BI_RGB : BI_BITFIELDS;
    header.biClrUsed = static_cast<std::uint32_t>(colours.size());
    std::unique_ptr<DibSection> section = DibSection::Create(header, masks, colours);
    if (!section)
        return false;
    *pitch = static_cast<int>(section->RowPitch());
    *bits = section->Row0();
    *handle = std::move(section);
    return true;
}

bool DibContext::Get(DibSection* section, void** dc)
{
    if (dc_ != nullptr || dc == nullptr)
        return false;
    try {
        dc_ = std::make_unique<DeviceContext>();
    } catch (const std::bad_alloc&) {
        return false;
    }
    oldObject_ = dc_->SelectBitmap(section);
    *dc = dc_.get();
    return true;
}

bool DibContext::Release(void* dc)
{
    if (dc_ == nullptr)
        return true;
    if (dc != dc_.get())
        return false;
    dc_->SelectBitmap(oldObject_);
    oldObject_ = nullptr;
    dc_.reset();
    return true;
}

void DibContext::Reselect(DibSection* section)
{
    if (dc_ != nullptr)
        dc_->SelectBitmap(section);
}
