// GNY loader: unscrambles the header and each row with the caller's table, then converts the rows.
#include "graphics/pictures/GnyPicture.h"

#include "graphics/pictures/PictureBlock.h"
#include "graphics/kernels/RowConvert.h"
#include "platform/classes/Exception.h"

#include <vector>

namespace {

constexpr std::size_t kHeaderBytes = 8;

std::int32_t ReadInt32(TStream& stream, std::size_t offset, const unsigned char* table)
{
    unsigned char b[4];
    stream.ReadBuffer(b, 4);
    GnyScramble(b, 4, offset, table);
    return static_cast<std::int32_t>(b[0] | (std::uint32_t{b[1]} << 8) | (std::uint32_t{b[2]} << 16) |
                                     (std::uint32_t{b[3]} << 24));
}

bool DecodeGny(TStream& stream, unsigned char** pixels, int* width, int* height, TPixFormat format,
               const unsigned char* table)
{
    const std::int32_t w = ReadInt32(stream, 0, table);
    const std::int32_t h = ReadInt32(stream, 4, table);
    if (!PictureSizeValid(w, h))
        return false;
    if (width)
        *width = w;
    if (height)
        *height = h;
    if (!pixels)
        return true;
    const std::size_t rowBytes = static_cast<std::size_t>(w) * 3;
    if (StreamRemaining(stream) < static_cast<std::int64_t>(rowBytes * static_cast<std::size_t>(h)))
        return false;
    std::vector<unsigned char> row(rowBytes);
    TPictureOutput out(pixels);
    const std::size_t outRowBytes = static_cast<std::size_t>(w) * PixFormatBytes(format);
    unsigned char* block = out.Prepare(PictureBytes(w, h, PixFormatBytes(format)), "LoadGny MemoryAllocError");
    TRowConvert* convert = KernelFor(RGBTRIPLEcpyToTable, format);
    for (std::size_t y = 0; y < static_cast<std::size_t>(h); ++y) {
        stream.ReadBuffer(row.data(), static_cast<int>(rowBytes));
        GnyScramble(row.data(), rowBytes, kHeaderBytes + rowBytes * y, table);
        convert(block + y * outRowBytes, row.data(), static_cast<unsigned>(w));
    }
    out.Commit();
    return true;
}

}  // namespace

void GnyScramble(unsigned char* data, std::size_t length, std::size_t start, const unsigned char* table)
{
    for (std::size_t i = 0; i < length; ++i)
        data[i] ^= table[(start + i) & 0xFF];
}

bool LoadGny(TStream* stream, unsigned char** pixels, int* width, int* height, TPixFormat format,
             const unsigned char* table)
{
    if (!LoaderFormatValid(format) || table == nullptr)
        return false;
    return StreamGuarded(stream, [&](TStream& s) { return DecodeGny(s, pixels, width, height, format, table); });
}
