// PNG reading and writing: PngSuite against its reference pixel dumps in every format, the corrupt
// files, the channel test, white matte, crafted files (palette overrun, broken CRC, truncation,
// raising streams) and round trips through the writer, checked by libpng's own reader too.
#include "graphics/pictures/PngPicture.h"

#include "graphics/kernels/PixelConvert.h"
#include "platform/classes/Exception.h"

#include "tests/graphics/PictureTestSupport.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <random>

using namespace pictest;

namespace {

std::filesystem::path SuiteFolder() { return TestData("pngsuite"); }

// Colour type and bit depth from the IHDR chunk, which PNG puts first.
struct TIhdr {
    int bitDepth;
    int colourType;
};

TIhdr IhdrOf(const Bytes& file) { return {file.at(24), file.at(25)}; }

// What the loader accepts: 8-bit palettes, 8- and 16-bit RGB and RGB + alpha.
bool LoaderAccepts(TIhdr h)
{
    return (h.colourType == 3 && h.bitDepth == 8) || h.colourType == 2 || h.colourType == 6;
}

std::vector<int> ReadJsonInts(const std::filesystem::path& path)
{
    std::vector<int> values;
    int value = -1;
    for (std::uint8_t c : ReadFileBytes(path)) {
        if (c >= '0' && c <= '9') {
            value = (value < 0 ? 0 : value * 10) + (c - '0');
        } else if (value >= 0) {
            values.push_back(value);
            value = -1;
        }
    }
    return values;
}

// The reference RGBA dump of a suite image in 8-bit values: 16-bit images keep their high byte,
// as the suite's `_to8` dumps do (two 16-bit images have no such dump).
std::vector<int> ReferenceRgba(const std::filesystem::path& png, TIhdr h)
{
    const auto folder = SuiteFolder() / "reference-rgba-json";
    const std::string stem = png.stem().string();
    if (h.bitDepth == 16 && std::filesystem::exists(folder / (stem + "_to8.json")))
        return ReadJsonInts(folder / (stem + "_to8.json"));
    std::vector<int> values = ReadJsonInts(folder / (stem + ".json"));
    if (h.bitDepth == 16)
        for (int& v : values)
            v >>= 8;
    return values;
}

bool StoresAlpha(TPixFormat f) { return f == pf16_4444 || f == pf32_8888; }

// Quads of the loader's intermediate row: the reference colour, the fourth byte the pixel's alpha
// (RGB + alpha) or 255 (palette, RGB) for formats that store it, else 0.
std::vector<std::uint32_t> ExpectedQuads(const std::vector<int>& rgba, TIhdr h, TPixFormat f, bool whiteMatte)
{
    std::vector<std::uint32_t> quads;
    for (std::size_t i = 0; i + 3 < rgba.size(); i += 4) {
        const int a = h.colourType == 6 ? rgba[i + 3] : 255;
        auto channel = [&](int c) { return whiteMatte && h.colourType == 6 ? PngWhiteMatte(a, c) : c; };
        const std::uint32_t fourth = StoresAlpha(f) ? a : 0;
        quads.push_back(fourth << 24 | channel(rgba[i]) << 16 | channel(rgba[i + 1]) << 8 | channel(rgba[i + 2]));
    }
    return quads;
}

Bytes ExpectedAlpha(const std::vector<int>& rgba, TIhdr h)
{
    Bytes alpha;
    for (std::size_t i = 0; i + 3 < rgba.size(); i += 4)
        alpha.push_back(h.colourType == 6 ? static_cast<std::uint8_t>(rgba[i + 3]) : 255);
    return alpha;
}

std::vector<std::filesystem::path> SuiteFiles(bool corrupt)
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(SuiteFolder() / "png"))
        if (entry.path().extension() == ".png" && (entry.path().filename().string()[0] == 'x') == corrupt)
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

// Result of one load with both blocks allocated by the loader.
struct TLoaded {
    bool ok = false;
    int width = 0;
    int height = 0;
    Bytes pixels;
    Bytes alpha;
};

TLoaded Load(const Bytes& file, TPixFormat f, bool whiteMatte = false)
{
    auto stream = StreamOf(file);
    TLoaded r;
    unsigned char* pixels = nullptr;
    unsigned char* alpha = nullptr;
    r.ok = whiteMatte ? LoadPngWhiteMat(stream.get(), &pixels, &alpha, &r.width, &r.height, f)
                      : LoadPng(stream.get(), &pixels, &alpha, &r.width, &r.height, f);
    EXPECT_EQ(r.ok, pixels != nullptr);
    EXPECT_EQ(r.ok, alpha != nullptr);
    r.pixels = Take(pixels, PictureBytes(r.width, r.height, PixFormatBytes(f)));
    r.alpha = Take(alpha, PictureBytes(r.width, r.height, 1));
    return r;
}

void CheckSuite(bool whiteMatte)
{
    for (const auto& path : SuiteFiles(false)) {
        const Bytes file = ReadFileBytes(path);
        const TIhdr h = IhdrOf(file);
        if (whiteMatte && h.colourType != 6)
            continue;
        const std::vector<int> rgba = LoaderAccepts(h) ? ReferenceRgba(path, h) : std::vector<int>{};
        for (TPixFormat f : kFormats) {
            SCOPED_TRACE(path.filename().string() + " format " + std::to_string(f));
            const TLoaded r = Load(file, f, whiteMatte);
            ASSERT_EQ(r.ok, LoaderAccepts(h));
            if (!r.ok)
                continue;
            ASSERT_EQ(std::size_t(r.width) * r.height * 4, rgba.size());
            const Bytes expected = PixelsOf(ExpectedQuads(rgba, h, f, whiteMatte), f);
            ASSERT_EQ(FirstDifference(r.pixels, expected, PixFormatBytes(f), r.width), "");
            ASSERT_EQ(FirstDifference(r.alpha, ExpectedAlpha(rgba, h), 1, r.width), "");
        }
    }
}

// --- A writer of small PNG files chunk by chunk, for damage libpng's writer would not make ---

void PutU32(Bytes& out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void PutChunk(Bytes& out, const char* type, const Bytes& data)
{
    PutU32(out, static_cast<std::uint32_t>(data.size()));
    Bytes body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    PutU32(out, static_cast<std::uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size()))));
}

// A non-interlaced PNG whose rows (filter byte 0 added here) are `rows`; a damaged byte of the
// deflate stream can be asked for (its chunk keeps a valid CRC).
Bytes MakePng(int width, int height, int bitDepth, int colourType, const Bytes& rows, const Bytes& plte = {},
              int damagedDeflateByte = -1)
{
    Bytes out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    Bytes ihdr;
    PutU32(ihdr, width);
    PutU32(ihdr, height);
    ihdr.insert(ihdr.end(), {static_cast<std::uint8_t>(bitDepth), static_cast<std::uint8_t>(colourType), 0, 0, 0});
    PutChunk(out, "IHDR", ihdr);
    if (!plte.empty())
        PutChunk(out, "PLTE", plte);
    const std::size_t rowBytes = rows.size() / height;
    Bytes raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), rows.begin() + y * rowBytes, rows.begin() + (y + 1) * rowBytes);
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    Bytes packed(packedSize);
    compress(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()));
    packed.resize(packedSize);
    if (damagedDeflateByte >= 0)
        packed.at(damagedDeflateByte) ^= 0xFF;
    PutChunk(out, "IDAT", packed);
    PutChunk(out, "IEND", {});
    return out;
}

// A 3 x 2 RGB + alpha picture with known values.
Bytes SmallRgba(int damagedDeflateByte = -1)
{
    return MakePng(3, 2, 8, 6,
                   {10, 20, 30, 255, 40, 50, 60, 0, 70, 80, 90, 128,  //
                    200, 210, 220, 1, 1, 2, 3, 254, 255, 255, 255, 255},
                   {}, damagedDeflateByte);
}

// Random quads 0xAARRGGBB whose colours survive a round trip through format f (16-bit channels
// repeat their top bits), with the alpha byte a PNG read gives back for f.
std::vector<std::uint32_t> RoundTripQuads(std::mt19937& rng, std::size_t n, TPixFormat f, bool withAlpha)
{
    std::vector<std::uint32_t> quads;
    for (std::size_t i = 0; i < n; ++i) {
        std::uint32_t c = RGBfromTable[f](RGBtoTable[f](rng() & 0x00FFFFFF)) & 0x00FFFFFF;
        std::uint32_t a = withAlpha ? rng() & 0xFF : 255;
        if (f == pf16_4444)
            a = (a >> 4) * 17;
        quads.push_back((StoresAlpha(f) ? a : 0) << 24 | c);
    }
    return quads;
}

}  // namespace

TEST(PngPicture, SuiteImagesDecodeToTheirReferencePixelsInEveryFormat)
{
    XE_SKIP_WITHOUT(SuiteFolder());
    CheckSuite(false);
}

TEST(PngPicture, SuiteImagesWithAlphaLoseTheirWhiteMatte)
{
    XE_SKIP_WITHOUT(SuiteFolder());
    CheckSuite(true);
}

TEST(PngPicture, CorruptSuiteFilesAreRefused)
{
    XE_SKIP_WITHOUT(SuiteFolder());
    const auto files = SuiteFiles(true);
    EXPECT_EQ(files.size(), 14u);
    for (const auto& path : files) {
        SCOPED_TRACE(path.filename().string());
        EXPECT_FALSE(Load(ReadFileBytes(path), pf32_8888).ok);
        EXPECT_EQ(ChkChannelPng(StreamOf(ReadFileBytes(path)).get()), 0);
    }
}

TEST(PngPicture, ChannelTestNamesTheColourType)
{
    XE_SKIP_WITHOUT(SuiteFolder());
    const std::pair<const char*, int> cases[] = {
        {"basn3p08.png", 1}, {"basn3p01.png", 1}, {"basn2c08.png", 3}, {"basn2c16.png", 3},
        {"basn6a08.png", 4}, {"basi6a16.png", 4}, {"basn0g08.png", 0}, {"basn4a08.png", 0},
    };
    for (const auto& [name, channels] : cases) {
        auto stream = StreamOf(ReadFileBytes(SuiteFolder() / "png" / name));
        EXPECT_EQ(ChkChannelPng(stream.get()), channels) << name;
    }
    EXPECT_EQ(ChkChannelPng(StreamOf(Bytes(100, 0)).get()), 0);
    EXPECT_EQ(ChkChannelPng(StreamOf({}).get()), 0);
}

TEST(PngPicture, ChannelTestLeavesTheStreamAfterTheHeaderAndRaisesWhenItEnds)
{
    const Bytes file = SmallRgba();
    auto stream = StreamOf(file);
    EXPECT_EQ(ChkChannelPng(stream.get()), 4);
    // Signature and IHDR chunk, then the length and type of the IDAT chunk.
    EXPECT_EQ(stream->GetPosition(), 8 + 25 + 8);

    const Bytes cut(file.begin(), file.begin() + 20);
    EXPECT_THROW(ChkChannelPng(StreamOf(cut).get()), Exception);
}

TEST(PngPicture, HeaderOnlyWithoutBlocks)
{
    const Bytes file = MakePng(5, 7, 8, 0, Bytes(35, 9));  // grey: refused only when decoded
    int w = 0, h = 0;
    EXPECT_TRUE(LoadPng(StreamOf(file).get(), nullptr, nullptr, &w, &h, pf24_888));
    EXPECT_EQ(w, 5);
    EXPECT_EQ(h, 7);
    unsigned char* pixels = nullptr;
    EXPECT_FALSE(LoadPng(StreamOf(file).get(), &pixels, &w, &h, pf24_888));
    EXPECT_EQ(pixels, nullptr);
    EXPECT_FALSE(LoadPng(StreamOf(SmallRgba()).get(), nullptr, nullptr, nullptr, nullptr, pfNone));
    EXPECT_FALSE(LoadPng(StreamOf(SmallRgba()).get(), nullptr, nullptr, nullptr, nullptr, TPixFormat(8)));
}

TEST(PngPicture, KnownPixelsAndCallerBuffers)
{
    // 3 x 2 RGB + alpha into pf16_4444 and pf32_888, written into the caller's guarded buffers.
    const Bytes expected4444 = {0x11, 0xF0, 0x33, 0x02, 0x55, 0x84, 0xDD, 0x0C, 0x00, 0xF0, 0xFF, 0xFF};
    Bytes pixels(12 + 4, 0xEE), alpha(6 + 4, 0xEE);
    unsigned char* p = pixels.data();
    unsigned char* a = alpha.data();
    int w = 0, h = 0;
    ASSERT_TRUE(LoadPng(StreamOf(SmallRgba()).get(), &p, &a, &w, &h, pf16_4444));
    EXPECT_EQ(p, pixels.data());
    EXPECT_EQ(Bytes(pixels.begin(), pixels.begin() + 12), expected4444);
    EXPECT_EQ(alpha, Bytes({255, 0, 128, 1, 254, 255, 0xEE, 0xEE, 0xEE, 0xEE}));
    EXPECT_EQ(pixels[12], 0xEE);

    const TLoaded r = Load(SmallRgba(), pf32_888);
    EXPECT_EQ(r.pixels, Bytes({30, 20, 10, 0, 60, 50, 40, 0, 90, 80, 70, 0, 220, 210, 200, 0, 3, 2, 1, 0, 255, 255, 255, 0}));
}

TEST(PngPicture, ColourOnlyAndAlphaOnlyLoads)
{
    unsigned char* pixels = nullptr;
    ASSERT_TRUE(LoadPng(StreamOf(SmallRgba()).get(), &pixels, nullptr, nullptr, pf24_888));
    EXPECT_EQ(Take(pixels, 18), Bytes({30, 20, 10, 60, 50, 40, 90, 80, 70, 220, 210, 200, 3, 2, 1, 255, 255, 255}));
    unsigned char* alpha = nullptr;
    ASSERT_TRUE(LoadPng(StreamOf(SmallRgba()).get(), nullptr, &alpha, nullptr, nullptr, pf24_888));
    EXPECT_EQ(Take(alpha, 6), Bytes({255, 0, 128, 1, 254, 255}));
}

TEST(PngPicture, WhiteMatteTable)
{
    for (int c = 0; c < 256; ++c) {
        EXPECT_EQ(PngWhiteMatte(0, c), 0);
        EXPECT_EQ(PngWhiteMatte(255, c), c);
    }
    // 145 at alpha 128 over white shows as 128 x 145 / 255 + 127 = 199.8.
    EXPECT_EQ(PngWhiteMatte(128, 200), 145);
    // Below the blend's range the quotient is negative and keeps its low byte: (1 x 255 - 65025) / 1.
    EXPECT_EQ(PngWhiteMatte(1, 0), static_cast<unsigned char>(-64770));
    // White matte leaves transparent pixels black and opaque ones as they are.
    unsigned char* pixels = nullptr;
    ASSERT_TRUE(LoadPngWhiteMat(StreamOf(SmallRgba()).get(), &pixels, nullptr, nullptr, pf24_888));
    const Bytes p = Take(pixels, 18);
    EXPECT_EQ(Bytes(p.begin(), p.begin() + 6), Bytes({30, 20, 10, 0, 0, 0}));
    EXPECT_EQ(Bytes(p.begin() + 15, p.end()), Bytes({255, 255, 255}));
}

TEST(PngPicture, PaletteIndicesBeyondThePaletteAreBlack)
{
    const Bytes plte = {255, 0, 0, 0, 255, 0};  // two entries: red, green
    const Bytes file = MakePng(4, 1, 8, 3, {0, 1, 2, 255}, plte);
    const TLoaded r = Load(file, pf32_8888);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.pixels, Bytes({0, 0, 255, 255, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255}));
}

TEST(PngPicture, DamagedFilesAreRefusedWithoutHandingOverBlocks)
{
    const Bytes good = SmallRgba();
    Bytes badCrc = good;
    badCrc[good.size() - 12 - 1] ^= 1;  // last CRC byte of IDAT
    std::vector<Bytes> cases = {badCrc, SmallRgba(2), SmallRgba(5), MakePng(0, 1, 8, 2, {}), MakePng(16385, 1, 8, 2, Bytes(16385 * 3))};
    for (std::size_t n = 0; n < good.size() - 12; n += 3)  // every cut before IEND
        cases.emplace_back(good.begin(), good.begin() + n);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        unsigned char* pixels = nullptr;
        unsigned char* alpha = nullptr;
        int w = -1;
        EXPECT_FALSE(LoadPng(StreamOf(cases[i]).get(), &pixels, &alpha, &w, nullptr, pf32_8888)) << "case " << i;
        EXPECT_EQ(pixels, nullptr);
        EXPECT_EQ(alpha, nullptr);
        EXPECT_EQ(w, -1);
    }
}

TEST(PngPicture, AStreamThatRaisesEndsTheLoadWithFalse)
{
    const Bytes file = SmallRgba();
    for (std::int64_t limit : {0, 8, 20, 40, 60}) {
        TRaisingStream stream(file, limit);
        unsigned char* pixels = nullptr;
        EXPECT_FALSE(LoadPng(&stream, &pixels, nullptr, nullptr, pf24_888)) << limit;
        EXPECT_EQ(pixels, nullptr);
    }
}

TEST(PngPicture, SavedPicturesReadBackIdenticallyInEveryFormat)
{
    std::mt19937 rng(77);
    const int w = 37, h = 11;
    for (TPixFormat f : kFormats) {
        for (bool withAlpha : {false, true}) {
            SCOPED_TRACE("format " + std::to_string(f) + (withAlpha ? " with alpha" : ""));
            const auto quads = RoundTripQuads(rng, w * h, f, withAlpha);
            const Bytes pixels = PixelsOf(quads, f);
            Bytes alpha;
            for (std::uint32_t q : quads)
                alpha.push_back(withAlpha ? static_cast<std::uint8_t>(StoresAlpha(f) ? q >> 24 : rng()) : 255);
            TMemoryStream out;
            ASSERT_TRUE(SavePng(&out, pixels.data(), withAlpha ? alpha.data() : nullptr, w, h, f));
            const Bytes file(out.Memory(), out.Memory() + out.GetSize());
            EXPECT_EQ(IhdrOf(file).colourType, withAlpha ? 6 : 2);
            const TLoaded r = Load(file, f);
            ASSERT_TRUE(r.ok);
            EXPECT_EQ(FirstDifference(r.pixels, pixels, PixFormatBytes(f), w), "");
            EXPECT_EQ(r.alpha, alpha);

            // libpng's own reader accepts the file and sees the same colours.
            png_image image{};
            image.version = PNG_IMAGE_VERSION;
            ASSERT_TRUE(png_image_begin_read_from_memory(&image, file.data(), file.size())) << image.message;
            image.format = PNG_FORMAT_BGRA;
            Bytes bgra(PNG_IMAGE_SIZE(image));
            ASSERT_TRUE(png_image_finish_read(&image, nullptr, bgra.data(), 0, nullptr)) << image.message;
            for (std::size_t i = 0; i < quads.size(); ++i) {
                std::uint32_t v;
                std::memcpy(&v, &bgra[4 * i], 4);
                ASSERT_EQ(v, (quads[i] & 0x00FFFFFF) | std::uint32_t{alpha[i]} << 24) << "pixel " << i;
            }
        }
    }
}

TEST(PngPicture, SaveEdgeCases)
{
    const Bytes pixels(4 * 4 * 4, 0x80);
    TMemoryStream header;
    ASSERT_TRUE(SavePng(&header, nullptr, 4, 4, pf32_8888));
    ASSERT_EQ(header.GetSize(), 8 + 25);  // signature and IHDR only
    EXPECT_EQ(IhdrOf(Bytes(header.Memory(), header.Memory() + 33)).colourType, 2);

    TMemoryStream unused;
    EXPECT_FALSE(SavePng(&unused, pixels.data(), 4, 4, pfNone));
    EXPECT_FALSE(SavePng(&unused, pixels.data(), 0, 4, pf32_8888));
    EXPECT_FALSE(SavePng(&unused, pixels.data(), 4, 16385, pf32_8888));
    for (std::int64_t limit : {0, 10, 40, 60}) {
        TShortWriteStream shortStream(limit);
        EXPECT_FALSE(SavePng(&shortStream, pixels.data(), 4, 4, pf32_8888)) << limit;
    }
}
