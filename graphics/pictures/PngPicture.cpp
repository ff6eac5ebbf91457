// PNG reading and writing over TStream with libpng.
//
// libpng reports errors by longjmp. Each run of libpng calls goes through PngProtected, whose frame
// holds the jump target; everything that must be released after a jump (the contexts, the blocks,
// the work rows) lives in objects made before the run, outside the frames the jump skips. The
// stream callbacks catch whatever the stream raises and turn it into a libpng error.
#include "graphics/pictures/PngPicture.h"

#include "graphics/pictures/PictureBlock.h"
#include "graphics/kernels/RowConvert.h"
#include "graphics/kernels/VectorLoops.h"
#include "platform/classes/Exception.h"

#include <png.h>

#include <algorithm>
#include <array>
#include <climits>
#include <csetjmp>
#include <cstring>
#include <vector>

namespace {

using Byte = std::uint8_t;

constexpr char kReadError[] = "Png Error. Read Error.";
constexpr char kWriteError[] = "Png Error. Write Error.";
constexpr int kSignatureBytes = 8;

[[noreturn]] void OnPngError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// Runs libpng calls; false when libpng jumped out of them with an error. The jump skips the frame
// of `step`, which therefore holds no object with a destructor and raises nothing.
template <typename Step> bool PngProtected(png_structp png, Step&& step)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    step();
    return true;
}

bool ReadSignature(TStream& stream)
{
    Byte signature[kSignatureBytes];
    return ReadStreamFully(stream, signature, kSignatureBytes) && png_sig_cmp(signature, 0, kSignatureBytes) == 0;
}

// A read context with its info record over a stream whose signature has been read.
class TPngReader {
public:
    explicit TPngReader(TStream& stream) : stream_(stream)
    {
        png = png_create_read_struct(PNG_LIBPNG_VER_STRING, this, OnPngError, OnPngWarning);
        if (!png)
            return;
        info = png_create_info_struct(png);
        png_set_read_fn(png, this, &TPngReader::ReadData);
        png_set_sig_bytes(png, kSignatureBytes);
        png_set_user_limits(png, kMaxPictureSide, kMaxPictureSide);
    }
    ~TPngReader() { png_destroy_read_struct(&png, &info, nullptr); }
    TPngReader(const TPngReader&) = delete;
    TPngReader& operator=(const TPngReader&) = delete;

    bool Valid() const { return info != nullptr; }
    // The stream ended (or raised) while libpng was reading.
    bool StreamFailed() const { return streamFailed_; }

    png_structp png = nullptr;
    png_infop info = nullptr;

private:
    static void ReadData(png_structp png, png_bytep data, size_t length)
    {
        auto* self = static_cast<TPngReader*>(png_get_io_ptr(png));
        if (!ReadStreamFully(self->stream_, data, length)) {
            self->streamFailed_ = true;
            png_error(png, kReadError);
        }
    }

    TStream& stream_;
    bool streamFailed_ = false;
};

struct TPngHeader {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colourType = 0;
};

bool ReadHeader(TPngReader& reader, TPngHeader& h)
{
    return PngProtected(reader.png, [&] {
        png_read_info(reader.png, reader.info);
        png_get_IHDR(reader.png, reader.info, &h.width, &h.height, &h.bitDepth, &h.colourType, nullptr, nullptr,
                     nullptr);
    });
}

const std::array<Byte, 256 * 256>& WhiteMatteTable()
{
    static const std::array<Byte, 256 * 256> table = [] {
        std::array<Byte, 256 * 256> t{};
        for (int a = 1; a < 256; ++a)
            for (int c = 0; c < 256; ++c)
                t[a * 256 + c] = static_cast<Byte>(((c + a) * 255 - 65025) / a);
        return t;
    }();
    return table;
}

// The three kinds of file the loader decodes. libpng hands over their rows as they are stored,
// 16-bit samples cut to their high byte: palette indices, red-green-blue triples, or
// red-green-blue-alpha quads.
enum class TPngSource { Palette, Rgb, Rgba };

// A stored red-green-blue-alpha quad, read as a little-endian word, with red and blue swapped.
inline std::uint32_t SwapRedBlue(std::uint32_t rgba)
{
    return (rgba & 0xFF00FF00) | ((rgba & 0xFF) << 16) | ((rgba >> 16) & 0xFF);
}

inline std::uint32_t LoadWord(const Byte* p)
{
    std::uint32_t w;
    std::memcpy(&w, p, 4);
    return w;
}

inline void StoreWord(Byte* p, std::uint32_t w)
{
    std::memcpy(p, &w, 4);
}

// Stored triples to quads blue, green, red, `fourth`: four pixels (three words in, four out) a
// step, which the vectoriser widens; the last count mod 4 pixels go one at a time.
XE_VECTOR_BODY void RgbToQuads(Byte* dst, const Byte* rgb, std::size_t count, std::uint32_t fourth)
{
    const std::uint32_t top = fourth << 24;
    const std::size_t groups = count / 4;
    for (std::size_t j = 0; j < groups; ++j) {
        const std::uint32_t w0 = LoadWord(rgb + 12 * j), w1 = LoadWord(rgb + 12 * j + 4), w2 = LoadWord(rgb + 12 * j + 8);
        StoreWord(dst + 16 * j, SwapRedBlue(w0 & 0xFFFFFF) | top);
        StoreWord(dst + 16 * j + 4, SwapRedBlue((w0 >> 24) | ((w1 & 0xFFFF) << 8)) | top);
        StoreWord(dst + 16 * j + 8, SwapRedBlue((w1 >> 16) | ((w2 & 0xFF) << 16)) | top);
        StoreWord(dst + 16 * j + 12, SwapRedBlue(w2 >> 8) | top);
    }
    for (std::size_t i = groups * 4; i < count; ++i) {
        dst[4 * i] = rgb[3 * i + 2];
        dst[4 * i + 1] = rgb[3 * i + 1];
        dst[4 * i + 2] = rgb[3 * i];
        dst[4 * i + 3] = static_cast<Byte>(fourth);
    }
}

// Stored quads to quads blue, green, red, alpha (keepAlpha) or 0.
XE_VECTOR_BODY void RgbaToQuads(Byte* dst, const Byte* rgba, std::size_t count, bool keepAlpha)
{
    const std::uint32_t mask = keepAlpha ? 0xFFFFFFFF : 0x00FFFFFF;
    for (std::size_t i = 0; i < count; ++i)
        StoreWord(dst + 4 * i, SwapRedBlue(LoadWord(rgba + 4 * i)) & mask);
}

// As RgbaToQuads, each colour value c of a pixel with alpha a first taken through the white-matte
// table's entry [a][c].
void RgbaToQuadsMatte(Byte* dst, const Byte* rgba, std::size_t count, bool keepAlpha, const Byte* matte)
{
    for (std::size_t i = 0; i < count; ++i) {
        const Byte a = rgba[4 * i + 3];
        const Byte* m = matte + a * 256;
        dst[4 * i] = m[rgba[4 * i + 2]];
        dst[4 * i + 1] = m[rgba[4 * i + 1]];
        dst[4 * i + 2] = m[rgba[4 * i]];
        dst[4 * i + 3] = keepAlpha ? a : 0;
    }
}

XE_VECTOR_BODY void ExtractAlpha(Byte* dst, const Byte* rgba, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        dst[i] = rgba[4 * i + 3];
}

void ExpandPalette(Byte* dst, const Byte* indices, const std::uint32_t* palette, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        StoreWord(dst + 4 * i, palette[indices[i]]);
}

// Turns each decoded row into the caller's blocks. The intermediate row holds quads blue, green,
// red and a fourth byte (the alpha for pf16_4444 and pf32_8888, else 0); for the 32-bit formats it
// is the block row itself, for the others it goes through the format's quad converter. Alpha bytes
// go into the alpha plane.
struct TPngRows {
    TPngSource source;
    int width;
    bool storesAlpha;      // the format keeps the fourth byte as alpha
    const Byte* matte;     // white-matte table, or null
    TRowConvert* convert;  // quads to the format
    int bytes;             // per pixel of the format
    Byte* colour;          // block or null
    Byte* alpha;           // plane or null
    Byte* quad;            // work row of width quads
    std::array<std::uint32_t, 256> palette;  // index to quad; indices beyond the palette are black

    // Out of line: inlined into the frame that calls setjmp it would be compiled without most
    // optimisations.
    [[gnu::noinline]] void Finish(int y, const Byte* row) const
    {
        const auto n = static_cast<std::size_t>(width);
        if (alpha) {
            Byte* alphaRow = alpha + static_cast<std::size_t>(y) * n;
            if (source == TPngSource::Rgba)
                XeVectorRun<&ExtractAlpha>(alphaRow, row, n);
            else
                std::memset(alphaRow, 255, n);
        }
        if (!colour)
            return;
        Byte* colourRow = colour + static_cast<std::size_t>(y) * n * bytes;
        Byte* quads = bytes == 4 ? colourRow : quad;
        switch (source) {
        case TPngSource::Palette: ExpandPalette(quads, row, palette.data(), n); break;
        case TPngSource::Rgb: XeVectorRun<&RgbToQuads>(quads, row, n, storesAlpha ? 255 : 0); break;
        case TPngSource::Rgba:
            if (matte)
                RgbaToQuadsMatte(quads, row, n, storesAlpha, matte);
            else
                XeVectorRun<&RgbaToQuads>(quads, row, n, storesAlpha);
            break;
        }
        if (quads != colourRow)
            convert(colourRow, quads, static_cast<unsigned>(width));
    }
};

// Reads the rows of an image whose header has been read (and found supported) into the blocks.
bool DecodeImage(TPngReader& r, const TPngHeader& h, TPictureOutput& colourOut, TPictureOutput& alphaOut,
                 TPixFormat format, bool whiteMatte)
{
    const int width = static_cast<int>(h.width);
    const int height = static_cast<int>(h.height);
    const bool storesAlpha = format == pf16_4444 || format == pf32_8888;
    const Byte fourth = storesAlpha ? 255 : 0;
    TPngRows rows{};
    rows.source = h.colourType == PNG_COLOR_TYPE_PALETTE ? TPngSource::Palette
                  : h.colourType == PNG_COLOR_TYPE_RGB   ? TPngSource::Rgb
                                                         : TPngSource::Rgba;
    rows.width = width;
    rows.storesAlpha = storesAlpha;
    rows.matte = whiteMatte ? WhiteMatteTable().data() : nullptr;
    rows.convert = KernelFor(RGBQUADcpyToTable, format);
    rows.bytes = PixFormatBytes(format);
    rows.palette.fill(std::uint32_t{fourth} << 24);

    int passes = 1;
    std::size_t rowBytes = 0;
    const bool prepared = PngProtected(r.png, [&] {
        if (rows.source == TPngSource::Palette) {
            png_colorp entries = nullptr;
            int count = 0;
            if (png_get_PLTE(r.png, r.info, &entries, &count) != 0)
                for (int i = 0; i < std::min(count, 256); ++i)
                    rows.palette[i] = entries[i].blue | (entries[i].green << 8) | (entries[i].red << 16) |
                                      (std::uint32_t{fourth} << 24);
        }
        if (h.bitDepth == 16)
            png_set_strip_16(r.png);
        passes = png_set_interlace_handling(r.png);
        png_read_update_info(r.png, r.info);
        rowBytes = png_get_rowbytes(r.png, r.info);
    });
    const std::size_t pixelBytes = rows.source == TPngSource::Palette ? 1 : rows.source == TPngSource::Rgb ? 3 : 4;
    if (!prepared || rowBytes != pixelBytes * static_cast<std::size_t>(width))
        return false;

    if (colourOut.Wanted())
        rows.colour = colourOut.Prepare(PictureBytes(width, height, rows.bytes), "LoadPng MemoryAllocError");
    if (alphaOut.Wanted())
        rows.alpha = alphaOut.Prepare(PictureBytes(width, height, 1), "LoadPng MemoryAllocError");
    std::vector<Byte> quad(static_cast<std::size_t>(width) * 4);
    rows.quad = quad.data();
    // A file read in one pass goes row by row through one buffer; an interlaced one needs the
    // whole image before any row is complete.
    std::vector<Byte> buffer(rowBytes * (passes == 1 ? 1 : static_cast<std::size_t>(height)));
    std::vector<Byte*> pointers(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        pointers[y] = buffer.data() + (passes == 1 ? 0 : rowBytes * y);

    return PngProtected(r.png, [&] {
        if (passes == 1) {
            for (int y = 0; y < height; ++y) {
                png_read_row(r.png, pointers[y], nullptr);
                rows.Finish(y, pointers[y]);
            }
        } else {
            png_read_image(r.png, pointers.data());
            for (int y = 0; y < height; ++y)
                rows.Finish(y, pointers[y]);
        }
        png_read_end(r.png, nullptr);
    });
}

bool Supported(const TPngHeader& h)
{
    switch (h.colourType) {
    case PNG_COLOR_TYPE_PALETTE: return h.bitDepth == 8;
    case PNG_COLOR_TYPE_RGB:
    case PNG_COLOR_TYPE_RGB_ALPHA: return h.bitDepth == 8 || h.bitDepth == 16;
    default: return false;  // grey and grey + alpha
    }
}

bool DecodePng(TStream& stream, unsigned char** pixels, unsigned char** alpha, int* width, int* height,
               TPixFormat format, bool whiteMatte)
{
    if (!ReadSignature(stream))
        return false;
    TPngReader reader(stream);
    TPngHeader h;
    if (!reader.Valid() || !ReadHeader(reader, h))
        return false;
    TPictureOutput colourOut(pixels);
    TPictureOutput alphaOut(alpha);
    if (colourOut.Wanted() || alphaOut.Wanted()) {
        if (!Supported(h) || !DecodeImage(reader, h, colourOut, alphaOut, format, whiteMatte))
            return false;
        colourOut.Commit();
        alphaOut.Commit();
    }
    if (width)
        *width = static_cast<int>(h.width);
    if (height)
        *height = static_cast<int>(h.height);
    return true;
}

bool LoadPngGuarded(TStream* stream, unsigned char** pixels, unsigned char** alpha, int* width, int* height,
                    TPixFormat format, bool whiteMatte)
{
    if (!LoaderFormatValid(format))
        return false;
    return StreamGuarded(stream,
                         [&](TStream& s) { return DecodePng(s, pixels, alpha, width, height, format, whiteMatte); });
}

// A write context with its info record over a stream.
class TPngWriter {
public:
    explicit TPngWriter(TStream& stream) : stream_(stream)
    {
        png = png_create_write_struct(PNG_LIBPNG_VER_STRING, this, OnPngError, OnPngWarning);
        if (!png)
            return;
        info = png_create_info_struct(png);
        png_set_write_fn(png, this, &TPngWriter::WriteData, &TPngWriter::Flush);
    }
    ~TPngWriter() { png_destroy_write_struct(&png, &info); }
    TPngWriter(const TPngWriter&) = delete;
    TPngWriter& operator=(const TPngWriter&) = delete;

    bool Valid() const { return info != nullptr; }

    png_structp png = nullptr;
    png_infop info = nullptr;

private:
    static void WriteData(png_structp png, png_bytep data, size_t length)
    {
        auto* self = static_cast<TPngWriter*>(png_get_io_ptr(png));
        if (!self->Write(data, length))
            png_error(png, kWriteError);
    }
    static void Flush(png_structp) {}

    bool Write(const Byte* data, std::size_t length) noexcept
    {
        try {
            while (length > 0) {
                const int chunk = static_cast<int>(std::min<std::size_t>(length, INT_MAX));
                if (stream_.Write(data, chunk) != chunk)
                    return false;
                data += chunk;
                length -= static_cast<std::size_t>(chunk);
            }
        } catch (...) {
            return false;
        }
        return true;
    }

    TStream& stream_;
};

bool EncodePng(TStream& stream, const unsigned char* pixels, const unsigned char* alpha, int width, int height,
               TPixFormat format)
{
    const auto w = static_cast<std::size_t>(width);
    const std::size_t sourceRowBytes = w * PixFormatBytes(format);
    TRowConvert* toTriples = KernelFor(RGBTRIPLEcpyFromTable, format);
    std::vector<Byte> triples(pixels ? w * 3 : 0);
    std::vector<Byte> quads(pixels && alpha ? w * 4 : 0);
    TPngWriter writer(stream);
    if (!writer.Valid())
        return false;
    return PngProtected(writer.png, [&] {
        png_set_IHDR(writer.png, writer.info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                     alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(writer.png, writer.info);
        if (!pixels)
            return;
        // Rows go out as blue, green, red (and alpha); libpng stores them red first.
        png_set_bgr(writer.png);
        for (int y = 0; y < height; ++y) {
            toTriples(triples.data(), pixels + sourceRowBytes * y, static_cast<unsigned>(width));
            const Byte* row = triples.data();
            if (alpha) {
                const Byte* a = alpha + w * y;
                for (std::size_t i = 0; i < w; ++i) {
                    std::memcpy(&quads[4 * i], &triples[3 * i], 3);
                    quads[4 * i + 3] = a[i];
                }
                row = quads.data();
            }
            png_write_row(writer.png, row);
        }
        png_write_end(writer.png, writer.info);
    });
}

}  // namespace

int ChkChannelPng(TStream* stream)
{
    if (!ReadSignature(*stream))
        return 0;
    TPngReader reader(*stream);
    TPngHeader h;
    if (!reader.Valid())
        return 0;
    if (!ReadHeader(reader, h)) {
        if (reader.StreamFailed())
            throw Exception(kReadError);
        return 0;
    }
    switch (h.colourType) {
    case PNG_COLOR_TYPE_PALETTE: return 1;
    case PNG_COLOR_TYPE_RGB: return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
    default: return 0;
    }
}

bool LoadPng(TStream* stream, unsigned char** pixels, unsigned char** alpha, int* width, int* height,
             TPixFormat format)
{
    return LoadPngGuarded(stream, pixels, alpha, width, height, format, false);
}

bool LoadPng(TStream* stream, unsigned char** pixels, int* width, int* height, TPixFormat format)
{
    return LoadPngGuarded(stream, pixels, nullptr, width, height, format, false);
}

bool LoadPngWhiteMat(TStream* stream, unsigned char** pixels, unsigned char** alpha, int* width, int* height,
                     TPixFormat format)
{
    return LoadPngGuarded(stream, pixels, alpha, width, height, format, true);
}

bool LoadPngWhiteMat(TStream* stream, unsigned char** pixels, int* width, int* height, TPixFormat format)
{
    return LoadPngGuarded(stream, pixels, nullptr, width, height, format, true);
}

unsigned char PngWhiteMatte(unsigned char a, unsigned char c)
{
    return WhiteMatteTable()[a * 256 + c];
}

bool SavePng(TStream* stream, const unsigned char* pixels, const unsigned char* alpha, int width, int height,
             TPixFormat format)
{
    if (!LoaderFormatValid(format) || !PictureSizeValid(width, height))
        return false;
    return StreamGuarded(stream, [&](TStream& s) { return EncodePng(s, pixels, alpha, width, height, format); });
}

bool SavePng(TStream* stream, const unsigned char* pixels, int width, int height, TPixFormat format)
{
    return SavePng(stream, pixels, nullptr, width, height, format);
}
