// Windows BMP loaders: header validation, colour tables and row decoding.
#include "graphics/pictures/BmpPicture.h"

#include "graphics/pictures/PictureBlock.h"
#include "graphics/kernels/RowConvert.h"
#include "platform/classes/Exception.h"

#include <array>
#include <cstring>
#include <cstdlib>
#include <vector>

namespace {

using Byte = std::uint8_t;

constexpr int kFileHeaderBytes = 14;
constexpr int kInfoHeaderBytes = 40;
constexpr int kHeaderBytes = kFileHeaderBytes + kInfoHeaderBytes;
constexpr int kMaxColours = 256;

std::uint32_t U16(const Byte* p) { return p[0] | (std::uint32_t{p[1]} << 8); }
std::uint32_t U32(const Byte* p) { return U16(p) | (U16(p + 2) << 16); }

// What the headers say, validated: the picture, its colour table and where its rows start.
struct TBmpHeader {
    int width = 0;
    int height = 0;
    bool topDown = false;
    int bitCount = 0;
    int colours = 0;          // colour-table entries that follow the info header
    std::int64_t gap = 0;     // bytes between the end of the colour table and the first row
    std::int64_t extraInfo = 0;  // info-header bytes beyond the 40 we read

    std::size_t Stride() const
    {
        return (static_cast<std::size_t>(width) * static_cast<std::size_t>(bitCount / 8) + 3) & ~std::size_t{3};
    }
};

// Reads and checks both headers; stores the size in width/height when it is valid. False for a
// stream that is no uncompressed BMP of a valid size, or whose bit count is neither 8 nor, when
// accept24 (LoadBmp), 24.
bool ReadHeader(TStream& stream, TBmpHeader& h, int* width, int* height, bool accept24)
{
    Byte raw[kHeaderBytes];
    stream.ReadBuffer(raw, kHeaderBytes);
    const std::uint32_t infoSize = U32(raw + 14);
    const auto biWidth = static_cast<std::int32_t>(U32(raw + 18));
    const auto biHeight = static_cast<std::int32_t>(U32(raw + 22));
    if (raw[0] != 'B' || raw[1] != 'M' || infoSize < kInfoHeaderBytes)
        return false;
    const std::int64_t rows = biHeight < 0 ? -std::int64_t{biHeight} : biHeight;
    if (!PictureSizeValid(biWidth, rows))
        return false;
    h.width = biWidth;
    h.height = static_cast<int>(rows);
    h.topDown = biHeight < 0;
    if (width)
        *width = h.width;
    if (height)
        *height = h.height;

    h.bitCount = static_cast<int>(U16(raw + 28));
    if (h.bitCount != 8 && !(accept24 && h.bitCount == 24))
        return false;
    if (U32(raw + 30) != 0)  // BI_RGB only: run-length or bit-field data would decode as garbage
        return false;
    const std::uint32_t clrUsed = U32(raw + 46);
    if (h.bitCount == 8) {
        if (clrUsed > kMaxColours)
            return false;
        h.colours = clrUsed == 0 ? kMaxColours : static_cast<int>(clrUsed);
    }
    h.extraInfo = std::int64_t{infoSize} - kInfoHeaderBytes;
    const std::int64_t tableEnd = kHeaderBytes + h.extraInfo + std::int64_t{h.colours} * 4;
    const std::uint32_t offBits = U32(raw + 10);
    h.gap = offBits > tableEnd ? offBits - tableEnd : 0;
    return true;
}

void Skip(TStream& stream, std::int64_t bytes)
{
    if (bytes > 0)
        stream.Seek(bytes, soCurrent);
}

// Skips the rest of the info header and reads the colour table (zero beyond the file's entries).
std::array<tagRGBQUAD, kMaxColours> ReadColourTable(TStream& stream, const TBmpHeader& h)
{
    Skip(stream, h.extraInfo);
    std::array<tagRGBQUAD, kMaxColours> table{};
    stream.ReadBuffer(table.data(), h.colours * 4);
    return table;
}

// Positions the stream on the first row and checks that every row is there.
void SeekRows(TStream& stream, const TBmpHeader& h)
{
    Skip(stream, h.gap);
    const auto rowBytes = static_cast<std::int64_t>(h.Stride()) * h.height;
    if (StreamRemaining(stream) < rowBytes)
        throw EReadError("BMP rows missing");
}

// Reads the rows in file order and hands each to put(row, block row index).
template <typename Put> void ForEachRow(TStream& stream, const TBmpHeader& h, Put&& put)
{
    std::vector<Byte> row(h.Stride());
    for (int k = 0; k < h.height; ++k) {
        stream.ReadBuffer(row.data(), static_cast<int>(row.size()));
        put(row.data(), h.topDown ? k : h.height - 1 - k);
    }
}

// Replaces each index of an 8-bit row by its entry of a table of N-byte pixel values.
template <int N> void ExpandIndices(Byte* dst, const Byte* indices, const Byte* table, int count)
{
    for (int i = 0; i < count; ++i)
        std::memcpy(dst + i * N, table + indices[i] * N, N);
}

void ExpandRow(int bytes, Byte* dst, const Byte* indices, const Byte* table, int count)
{
    switch (bytes) {
    case 2: ExpandIndices<2>(dst, indices, table, count); break;
    case 3: ExpandIndices<3>(dst, indices, table, count); break;
    default: ExpandIndices<4>(dst, indices, table, count); break;
    }
}

bool DecodeBmp(TStream& stream, unsigned char** pixels, int* width, int* height, TPixFormat format)
{
    TBmpHeader h;
    if (!ReadHeader(stream, h, width, height, true))
        return false;
    if (!pixels)
        return true;
    const int bytes = PixFormatBytes(format);
    const std::size_t rowBytes = static_cast<std::size_t>(h.width) * bytes;
    TPictureOutput out(pixels);
    if (h.bitCount == 24) {
        Skip(stream, h.extraInfo);
        SeekRows(stream, h);
        Byte* block = out.Prepare(PictureBytes(h.width, h.height, bytes), "LoadBmp MemoryAllocError");
        TRowConvert* convert = KernelFor(RGBTRIPLEcpyToTable, format);
        ForEachRow(stream, h, [&](const Byte* row, int y) { convert(block + y * rowBytes, row, h.width); });
    } else {
        const auto quads = ReadColourTable(stream, h);
        std::array<Byte, kMaxColours * 4> table{};
        KernelFor(RGBQUADcpyToTable, format)(table.data(), quads.data(), kMaxColours);
        SeekRows(stream, h);
        Byte* block = out.Prepare(PictureBytes(h.width, h.height, bytes), "LoadBmp MemoryAllocError");
        ForEachRow(stream, h,
                   [&](const Byte* row, int y) { ExpandRow(bytes, block + y * rowBytes, row, table.data(), h.width); });
    }
    out.Commit();
    return true;
}

bool DecodeAlpha(TStream& stream, unsigned char** pixels, int* width, int* height)
{
    TBmpHeader h;
    if (!ReadHeader(stream, h, width, height, false))
        return false;
    if (!pixels)
        return true;
    const auto quads = ReadColourTable(stream, h);
    std::array<Byte, kMaxColours> grey{};
    for (int i = 0; i < kMaxColours; ++i)
        grey[i] = static_cast<Byte>((quads[i].rgbBlue + quads[i].rgbGreen + quads[i].rgbRed) / 3);
    SeekRows(stream, h);
    TPictureOutput out(pixels);
    Byte* block = out.Prepare(PictureBytes(h.width, h.height, 1), "LoadAlpha MemoryAllocError");
    ForEachRow(stream, h, [&](const Byte* row, int y) {
        Byte* d = block + static_cast<std::size_t>(y) * h.width;
        for (int i = 0; i < h.width; ++i)
            d[i] = grey[row[i]];
    });
    out.Commit();
    return true;
}

bool DecodePalette(TStream& stream, tagRGBQUAD** palette, unsigned char** indices, int* width, int* height)
{
    TBmpHeader h;
    if (!ReadHeader(stream, h, width, height, false))
        return false;
    Skip(stream, h.extraInfo);
    // The palette block is allocated here rather than by TPictureOutput, whose blocks are bytes.
    struct TFreePalette {
        void operator()(tagRGBQUAD* p) const { std::free(p); }
    };
    std::unique_ptr<tagRGBQUAD, TFreePalette> ownPalette;
    if (palette) {
        tagRGBQUAD* table = *palette;
        if (!table) {
            ownPalette.reset(static_cast<tagRGBQUAD*>(std::calloc(kMaxColours, sizeof(tagRGBQUAD))));
            if (!ownPalette)
                throw Exception("LoadPalette MemoryAllocError");
            table = ownPalette.get();
        }
        stream.ReadBuffer(table, h.colours * 4);
    } else {
        Skip(stream, std::int64_t{h.colours} * 4);
    }
    TPictureOutput out(indices);
    if (indices) {
        SeekRows(stream, h);
        Byte* block = out.Prepare(PictureBytes(h.width, h.height, 1), "LoadPalette MemoryAllocError");
        ForEachRow(stream, h, [&](const Byte* row, int y) {
            std::memcpy(block + static_cast<std::size_t>(y) * h.width, row, static_cast<std::size_t>(h.width));
        });
    }
    out.Commit();
    if (ownPalette)
        *palette = ownPalette.release();
    return true;
}

// Runs a decoder; any exception (a short stream, no memory) becomes false.
}  // namespace

bool LoadBmp(TStream* stream, unsigned char** pixels, int* width, int* height, TPixFormat format)
{
    if (!LoaderFormatValid(format))
        return false;
    return StreamGuarded(stream, [&](TStream& s) { return DecodeBmp(s, pixels, width, height, format); });
}

bool LoadAlpha(TStream* stream, unsigned char** pixels, int* width, int* height)
{
    return StreamGuarded(stream, [&](TStream& s) { return DecodeAlpha(s, pixels, width, height); });
}

bool LoadPalette(TStream* stream, tagRGBQUAD** palette, unsigned char** indices, int* width, int* height)
{
    return StreamGuarded(stream, [&](TStream& s) { return DecodePalette(s, palette, indices, width, height); });
}
