// BmpFile: small uncompressed BMP files for the tests.
#include "support/BmpFile.h"

namespace TestSupport {

namespace {

using Bytes = std::vector<std::uint8_t>;

void PutLE(Bytes& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

int RowBytes(int width, int bitCount) { return (width * bitCount / 8 + 3) & ~3; }

// The 54-byte file and information headers of a bottom-up BMP, then its palette's room.
Bytes BmpHeader(int width, int height, int bitCount, int paletteEntries)
{
    const std::uint32_t offset = 54 + 4 * static_cast<std::uint32_t>(paletteEntries);
    const auto pixelBytes = static_cast<std::uint32_t>(RowBytes(width, bitCount) * height);
    Bytes out = {'B', 'M'};
    PutLE(out, offset + pixelBytes, 4);
    PutLE(out, 0, 4);
    PutLE(out, offset, 4);
    PutLE(out, 40, 4);
    PutLE(out, static_cast<std::uint32_t>(width), 4);
    PutLE(out, static_cast<std::uint32_t>(height), 4);
    PutLE(out, 1, 2);
    PutLE(out, static_cast<std::uint32_t>(bitCount), 2);
    PutLE(out, 0, 4);
    PutLE(out, pixelBytes, 4);
    PutLE(out, 2835, 4);
    PutLE(out, 2835, 4);
    PutLE(out, static_cast<std::uint32_t>(paletteEntries), 4);
    PutLE(out, 0, 4);
    return out;
}

} // namespace

Bytes Bmp24(int width, int height, const std::function<std::uint32_t(int x, int y)>& colour)
{
    Bytes out = BmpHeader(width, height, 24, 0);
    const int pad = RowBytes(width, 24) - width * 3;
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x)
            PutLE(out, colour(x, y), 3);
        out.insert(out.end(), static_cast<std::size_t>(pad), 0);
    }
    return out;
}

Bytes GreyBmp(int width, int height, const std::function<std::uint8_t(int x, int y)>& value)
{
    Bytes out = BmpHeader(width, height, 8, 256);
    for (std::uint32_t i = 0; i < 256; ++i)
        PutLE(out, i * 0x010101u, 4);
    const int pad = RowBytes(width, 8) - width;
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x)
            out.push_back(value(x, y));
        out.insert(out.end(), static_cast<std::size_t>(pad), 0);
    }
    return out;
}

} // namespace TestSupport
