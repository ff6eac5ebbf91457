#include "songgame/menus/RankingPictures.h"

#include "graphics/pictures/PngPicture.h"
#include "platform/classes/Stream.h"

namespace rankingtest {

namespace {

void PutColour(Bytes& pixels, std::uint32_t colour)
{
    for (int shift : {0, 8, 16})
        pixels.push_back(static_cast<std::uint8_t>(colour >> shift));
}

Bytes Saved(const Bytes& pixels, const Bytes* alpha, int width, int height)
{
    TMemoryStream stream;
    const bool saved = alpha != nullptr ? SavePng(&stream, pixels.data(), alpha->data(), width, height, pf24_888)
                                        : SavePng(&stream, pixels.data(), width, height, pf24_888);
    return saved ? Bytes(stream.Memory(), stream.Memory() + stream.GetSize()) : Bytes{};
}

} // namespace

std::uint32_t CellColour(int cell) { return 0x100000u * static_cast<std::uint32_t>(cell % 16) + 0x0203u * static_cast<std::uint32_t>(cell + 1); }

std::uint8_t CellAlpha(int cell) { return static_cast<std::uint8_t>(100 + cell); }

Bytes AlphabetPng(int cells, bool withAlpha)
{
    constexpr int kWidth = 17;
    constexpr int kCellHeight = 34;
    Bytes pixels, alpha;
    for (int y = 0; y < cells * kCellHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            PutColour(pixels, CellColour(y / kCellHeight));
            alpha.push_back(CellAlpha(y / kCellHeight));
        }
    return Saved(pixels, withAlpha ? &alpha : nullptr, kWidth, cells * kCellHeight);
}

Bytes PngOfColour(int width, int height, std::uint32_t colour)
{
    Bytes pixels;
    for (int i = 0; i < width * height; ++i)
        PutColour(pixels, colour);
    return Saved(pixels, nullptr, width, height);
}

} // namespace rankingtest
