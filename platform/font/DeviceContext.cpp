// DeviceContext: a memory device context that draws text into the DibSection selected into it.
#include "platform/font/DeviceContext.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// One colour channel of a pixel layout.
struct Channel {
    int shift = 0;
    int bits = 0;

    explicit Channel(std::uint32_t mask)
        : shift(mask == 0 ? 0 : std::countr_zero(mask)), bits(mask == 0 ? 0 : std::popcount(mask))
    {
    }
    std::uint32_t Pack(std::uint8_t v) const
    {
        if (bits == 0)
            return 0;
        const std::uint32_t scaled = bits <= 8 ? v >> (8 - bits) : std::uint32_t{v} << (bits - 8);
        return scaled << shift;
    }
    std::uint8_t Unpack(std::uint32_t pixel) const
    {
        if (bits == 0)
            return 0;
        const std::uint64_t max = (std::uint64_t{1} << bits) - 1;
        const std::uint64_t raw = (pixel >> shift) & max;
        return static_cast<std::uint8_t>((raw * 255 + max / 2) / max);
    }
};

struct Colour {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
};

Colour FromColorRef(COLORREF c)
{
    return {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8), static_cast<std::uint8_t>(c >> 16)};
}

Colour FromTableEntry(std::uint32_t c)
{
    return {static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8), static_cast<std::uint8_t>(c)};
}

std::uint8_t Mix(std::uint8_t from, std::uint8_t to, int coverage)
{
    return static_cast<std::uint8_t>(from + ((to - from) * coverage + (to >= from ? 127 : -127)) / 255);
}

Colour Mix(const Colour& from, const Colour& to, int coverage)
{
    return {Mix(from.r, to.r, coverage), Mix(from.g, to.g, coverage), Mix(from.b, to.b, coverage)};
}

// Reads and writes the pixels of one bitmap in its layout.
class PixelWriter {
public:
    explicit PixelWriter(const DibSection& dib)
        : dib_(dib), bytes_(dib.BitCount() / 8), red_(dib.RedMask()), green_(dib.GreenMask()), blue_(dib.BlueMask()),
          colourBits_(dib.RedMask() | dib.GreenMask() | dib.BlueMask()), greyRamp_(IsGreyRamp(dib.Colours()))
    {
    }

    std::uint8_t* At(int x, int y) const
    {
        return dib_.Row0() + static_cast<std::ptrdiff_t>(y) * dib_.RowPitch() + static_cast<std::ptrdiff_t>(x) * bytes_;
    }

    Colour Load(const std::uint8_t* p) const
    {
        if (bytes_ == 1)
            return FromTableEntry(dib_.Colours()[*p]);
        const std::uint32_t v = Raw(p);
        return {red_.Unpack(v), green_.Unpack(v), blue_.Unpack(v)};
    }

    void Store(std::uint8_t* p, const Colour& c) const
    {
        if (bytes_ == 1) {
            *p = Nearest(c);
            return;
        }
        const std::uint32_t packed = red_.Pack(c.r) | green_.Pack(c.g) | blue_.Pack(c.b);
        const std::uint32_t v = (Raw(p) & ~colourBits_) | packed;
        for (int k = 0; k < bytes_; ++k)
            p[k] = static_cast<std::uint8_t>(v >> (8 * k));
    }

private:
    std::uint32_t Raw(const std::uint8_t* p) const
    {
        std::uint32_t v = 0;
        for (int k = 0; k < bytes_; ++k)
            v |= std::uint32_t{p[k]} << (8 * k);
        return v;
    }

    // Entry i is grey i: the nearest entry is the mean of the channels, rounded (a third never ties).
    static bool IsGreyRamp(std::span<const std::uint32_t> table)
    {
        if (table.size() != 256)
            return false;
        for (std::size_t i = 0; i < table.size(); ++i)
            if (table[i] != i * 0x010101u)
                return false;
        return true;
    }

    std::uint8_t Nearest(const Colour& c) const
    {
        if (greyRamp_)
            return static_cast<std::uint8_t>((c.r + c.g + c.b + 1) / 3);
        const auto table = dib_.Colours();
        int best = 0;
        int bestDistance = INT_MAX;
        for (std::size_t i = 0; i < table.size() && bestDistance != 0; ++i) {
            const Colour t = FromTableEntry(table[i]);
            const int distance = (t.r - c.r) * (t.r - c.r) + (t.g - c.g) * (t.g - c.g) + (t.b - c.b) * (t.b - c.b);
            if (distance < bestDistance) {
                bestDistance = distance;
                best = static_cast<int>(i);
            }
        }
        return static_cast<std::uint8_t>(best);
    }

    const DibSection& dib_;
    int bytes_;
    Channel red_;
    Channel green_;
    Channel blue_;
    std::uint32_t colourBits_;
    bool greyRamp_;
};

// Lays coverage over the bitmap with the block's top-left at (x, y), clipped to the bitmap.
void Compose(const PixelWriter& writer, const DibSection& dib, const CoverageBlock& block, int x, int y,
             const Colour& colour)
{
    const long long left = std::max<long long>(0, static_cast<long long>(x) + block.x);
    const long long top = std::max<long long>(0, static_cast<long long>(y) + block.y);
    const long long right = std::min<long long>(dib.Width(), static_cast<long long>(x) + block.x + block.width);
    const long long bottom = std::min<long long>(dib.Height(), static_cast<long long>(y) + block.y + block.height);
    for (long long py = top; py < bottom; ++py) {
        const std::uint8_t* row = block.coverage + static_cast<std::ptrdiff_t>(py - y - block.y) * block.pitch;
        for (long long px = left; px < right; ++px) {
            const int coverage = row[px - x - block.x];
            if (coverage == 0)
                continue;
            std::uint8_t* p = writer.At(static_cast<int>(px), static_cast<int>(py));
            writer.Store(p, coverage == 255 ? colour : Mix(writer.Load(p), colour, coverage));
        }
    }
}

// The font used while none is selected: the default face at the default size.
const LogicalFont& StockFont()
{
    static const LogicalFont font;
    return font;
}

} // namespace

DibSection* DeviceContext::SelectBitmap(DibSection* bitmap)
{
    return std::exchange(bitmap_, bitmap);
}

const LogicalFont* DeviceContext::SelectFont(const LogicalFont* font)
{
    return std::exchange(font_, font);
}

int DeviceContext::SetBkMode(int mode)
{
    if (mode != TRANSPARENT && mode != OPAQUE)
        return 0;
    return std::exchange(bkMode_, mode);
}

COLORREF DeviceContext::SetTextColor(COLORREF colour)
{
    return std::exchange(textColour_, colour & 0xFFFFFF);
}

COLORREF DeviceContext::SetBkColor(COLORREF colour)
{
    return std::exchange(bkColour_, colour & 0xFFFFFF);
}

const LogicalFont& DeviceContext::CurrentFont() const
{
    return font_ != nullptr ? *font_ : StockFont();
}

bool DeviceContext::TextOutA(int x, int y, const char* text, int len)
{
    if (len < 0 || (text == nullptr && len > 0))
        return false;
    const std::string_view bytes(text == nullptr ? "" : text, static_cast<std::size_t>(len));
    if (bitmap_ == nullptr)
        return TextRasterizer::Measure(CurrentFont(), bytes, nullptr);
    const PixelWriter writer(*bitmap_);
    if (bkMode_ == OPAQUE) {
        TextExtent cell;
        if (!TextRasterizer::Measure(CurrentFont(), bytes, &cell))
            return false;
        const std::vector<std::uint8_t> full(static_cast<std::size_t>(std::max(cell.cx, 0)), 255);
        Compose(writer, *bitmap_, CoverageBlock{0, 0, cell.cx, cell.cy, 0, full.data()}, x, y, FromColorRef(bkColour_));
    }
    const Colour colour = FromColorRef(textColour_);
    return TextRasterizer::Rasterize(CurrentFont(), bytes, [&](const CoverageBlock& block) {
        Compose(writer, *bitmap_, block, x, y, colour);
    });
}

bool DeviceContext::GetTextExtentPoint32A(const char* text, int len, TextExtent* size)
{
    if (len < 0 || (text == nullptr && len > 0) || size == nullptr)
        return false;
    return TextRasterizer::Measure(CurrentFont(), std::string_view(text == nullptr ? "" : text, static_cast<std::size_t>(len)),
                                   size);
}
