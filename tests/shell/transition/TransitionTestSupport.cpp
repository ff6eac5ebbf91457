#include "tests/shell/transition/TransitionTestSupport.h"

#include "shell/transition/THaloEffect.h"
#include "shell/transition/TWaterEffect.h"
#include "support/BmpFile.h"

#include <algorithm>

namespace transitiontest {

namespace {

void PutLE(Bytes& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

} // namespace

std::uint32_t SourceColour(int x, int y)
{
    return 0x200000u | static_cast<std::uint32_t>((y * 7) & 0xFF) << 8 | static_cast<std::uint32_t>((x * 3) & 0xFF);
}

std::uint32_t TargetColour(int x, int y)
{
    return 0xE00000u | static_cast<std::uint32_t>((x * 5) & 0xFF) << 8 | static_cast<std::uint32_t>((y * 11) & 0xFF);
}

std::unique_ptr<TXeRGBBits> MakePicture(TBitDepth depth, const std::function<std::uint32_t(int, int)>& colour,
                                        int width, int height)
{
    auto bits = std::make_unique<TXeRGBBits>(nullptr);
    bits->SetBitDepth(depth);
    bits->Resize(width, height);
    if (!bits->Create() || !bits->Lock())
        return bits;
    const int bytes = PixFormatBytes(bits->PixFormat());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t pixel = bits->TXeRGBtoPixel(TXeRGB(colour(x, y)));
            std::uint8_t* p = bits->Bits() + static_cast<std::ptrdiff_t>(y) * bits->Pitch() + x * bytes;
            for (int b = 0; b < bytes; ++b)
                p[b] = static_cast<std::uint8_t>(pixel >> (8 * b));
        }
    bits->Unlock();
    return bits;
}

std::uint32_t ColourAt(TXeRGBBits& bits, int x, int y)
{
    const TXeRGB c = bits.PixeltoTXeRGB(bits.PGet(x, y));
    return static_cast<std::uint32_t>(c.Red) << 16 | static_cast<std::uint32_t>(c.Green) << 8 | c.Blue;
}

bool SamePixels(TXeRGBBits& a, TXeRGBBits& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height() || a.PixFormat() != b.PixFormat() || !a.Lock())
        return false;
    if (!b.Lock()) {
        a.Unlock();
        return false;
    }
    // The colour bytes only: the fourth byte of a 32-bit pixel carries no colour.
    const int bytes = PixFormatBytes(a.PixFormat());
    const int compared = bytes == 4 ? 3 : bytes;
    bool same = true;
    for (int y = 0; y < a.Height() && same; ++y) {
        const std::uint8_t* pa = a.Bits() + static_cast<std::ptrdiff_t>(y) * a.Pitch();
        const std::uint8_t* pb = b.Bits() + static_cast<std::ptrdiff_t>(y) * b.Pitch();
        for (int x = 0; x < a.Width() && same; ++x)
            same = std::equal(pa + x * bytes, pa + x * bytes + compared, pb + x * bytes);
    }
    b.Unlock();
    a.Unlock();
    return same;
}

Bytes GreyBmp(int width, int height, const std::function<std::uint8_t(int, int)>& value)
{
    return TestSupport::GreyBmp(width, height, value);
}

Bytes ColourBmp(int width, int height, std::uint32_t colour)
{
    return TestSupport::Bmp24(width, height, [colour](int, int) { return colour; });
}

Bytes WaterDistance(const std::function<std::uint16_t(int row, int column)>& value)
{
    Bytes out;
    for (int r = 0; r < TWaterEffect::kDistRows; ++r)
        for (int c = 0; c < TWaterEffect::kDistColumns; ++c)
            PutLE(out, value(r, c), 2);
    return out;
}

Bytes WaterSine(const std::function<std::uint8_t(int)>& value)
{
    Bytes out;
    for (int i = 0; i < TWaterEffect::kSinSize; ++i)
        out.push_back(value(i));
    return out;
}

Bytes WaterMulti(const std::function<std::uint8_t(int row, int column)>& value)
{
    Bytes out;
    for (int r = 0; r < TWaterEffect::kMultiRows; ++r)
        for (int c = 0; c < TWaterEffect::kMultiColumns; ++c)
            out.push_back(value(r, c));
    return out;
}

void WriteHaloPictures(DataFolder& data)
{
    data.Write(THaloEffect::kBackFile, ColourBmp(640, 480, 0x101010));
    for (int k = 0; k < THaloEffect::kSpriteCount; ++k)
        data.Write(THaloEffect::kSpriteFiles[static_cast<std::size_t>(k)],
                   ColourBmp(16 + 8 * k, 16, 0x202020u * static_cast<std::uint32_t>(k + 1)));
}

void WriteWaterTables(DataFolder& data, std::uint8_t sine, std::uint8_t multi)
{
    data.Write(TWaterEffect::kDistFile, WaterDistance([](int, int) { return std::uint16_t{0}; }));
    data.Write(TWaterEffect::kSinFile, WaterSine([sine](int) { return sine; }));
    data.Write(TWaterEffect::kMultiFile, WaterMulti([multi](int, int) { return multi; }));
}

} // namespace transitiontest
