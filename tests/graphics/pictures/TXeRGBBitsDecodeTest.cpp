// TXeRGBBits decode-and-put: generated BMP, JPEG, PNG and GNY pictures put into bitmaps of every
// format match loading them and putting the block; creation of a bitmap or alpha map not yet
// created; partial fits, pictures that land nowhere, broken streams; the rectangle reported.
#include "graphics/bitmaps/TXeRGBBits.h"

#include "graphics/pictures/BmpPicture.h"
#include "graphics/pictures/GnyPicture.h"
#include "graphics/pictures/JpegPicture.h"
#include "graphics/pictures/PictureBlock.h"
#include "graphics/pictures/PngPicture.h"
#include "graphics/bitmaps/TXeAlpha.h"
#include "platform/classes/Stream.h"

#include "tests/graphics/DrawTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <jpeglib.h>

#include <functional>
#include <random>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, std::uint32_t v)
{
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(Bytes& b, std::uint32_t v)
{
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// A w x h picture of colours 0x00RRGGBB, row 0 at the top.
std::vector<std::uint32_t> Picture(int w, int h, std::uint32_t seed)
{
    std::mt19937 rng(seed);
    std::vector<std::uint32_t> colours(static_cast<std::size_t>(w) * h);
    for (auto& c : colours)
        c = rng() & 0xFFFFFF;
    return colours;
}

// A 24-bit BMP file, rows bottom-up and padded to 4 bytes.
Bytes Bmp24(int w, int h, const std::vector<std::uint32_t>& colours)
{
    const int stride = (3 * w + 3) / 4 * 4;
    Bytes b = {'B', 'M'};
    Put32(b, static_cast<std::uint32_t>(54 + stride * h));
    Put32(b, 0);
    Put32(b, 54);
    for (std::uint32_t v : {40u, static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h)})
        Put32(b, v);
    Put16(b, 1);
    Put16(b, 24);
    for (int i = 0; i < 6; ++i)
        Put32(b, 0);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            const std::uint32_t c = colours[static_cast<std::size_t>(y * w + x)];
            b.insert(b.end(), {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8),
                               static_cast<std::uint8_t>(c >> 16)});
        }
        b.resize(b.size() + static_cast<std::size_t>(stride - 3 * w), 0);
    }
    return b;
}

// An 8-bit BMP file with a 256-entry grey-ish palette (entry i: blue i, green 255 - i, red i / 2).
Bytes Bmp8(int w, int h, const Bytes& indices)
{
    const int stride = (w + 3) / 4 * 4;
    Bytes b = {'B', 'M'};
    Put32(b, static_cast<std::uint32_t>(54 + 1024 + stride * h));
    Put32(b, 0);
    Put32(b, 54 + 1024);
    for (std::uint32_t v : {40u, static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h)})
        Put32(b, v);
    Put16(b, 1);
    Put16(b, 8);
    for (int i = 0; i < 6; ++i)
        Put32(b, 0);
    for (int i = 0; i < 256; ++i)
        b.insert(b.end(), {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                           static_cast<std::uint8_t>(i / 2), 0});
    for (int y = h - 1; y >= 0; --y) {
        b.insert(b.end(), indices.begin() + y * w, indices.begin() + (y + 1) * w);
        b.resize(b.size() + static_cast<std::size_t>(stride - w), 0);
    }
    return b;
}

const unsigned char* GnyTable()
{
    static const auto table = [] {
        std::array<unsigned char, 256> t{};
        for (int i = 0; i < 256; ++i)
            t[static_cast<std::size_t>(i)] = static_cast<unsigned char>(i * 73 + 19);
        return t;
    }();
    return table.data();
}

Bytes Gny(int w, int h, const std::vector<std::uint32_t>& colours)
{
    Bytes b;
    Put32(b, static_cast<std::uint32_t>(w));
    Put32(b, static_cast<std::uint32_t>(h));
    for (std::uint32_t c : colours)
        b.insert(b.end(), {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8),
                           static_cast<std::uint8_t>(c >> 16)});
    GnyScramble(b.data(), b.size(), 0, GnyTable());
    return b;
}

// An RGB + alpha PNG written by our own writer from 32-bit quads and an alpha plane.
Bytes Png(int w, int h, const std::vector<std::uint32_t>& colours, const Bytes& alpha)
{
    TMemoryStream out;
    EXPECT_TRUE(SavePng(&out, reinterpret_cast<const unsigned char*>(colours.data()), alpha.data(), w, h, pf32_888));
    const std::uint8_t* data = out.Memory();
    return Bytes(data, data + out.GetSize());
}

// A baseline JPEG made by libjpeg.
Bytes Jpeg(int w, int h, const std::vector<std::uint32_t>& colours)
{
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = static_cast<JDIMENSION>(w);
    c.image_height = static_cast<JDIMENSION>(h);
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_start_compress(&c, TRUE);
    Bytes row(static_cast<std::size_t>(w) * 3);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::uint32_t v = colours[static_cast<std::size_t>(y * w + x)];
            row[static_cast<std::size_t>(x) * 3] = static_cast<std::uint8_t>(v >> 16);
            row[static_cast<std::size_t>(x) * 3 + 1] = static_cast<std::uint8_t>(v >> 8);
            row[static_cast<std::size_t>(x) * 3 + 2] = static_cast<std::uint8_t>(v);
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&c, rows, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    Bytes result(out, out + size);
    std::free(out);
    return result;
}

std::unique_ptr<TMemoryStream> StreamOf(const Bytes& bytes)
{
    auto s = std::make_unique<TMemoryStream>();
    s->WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
    s->SetPosition(0);
    return s;
}

// One decode-and-put member and the loader it stands for.
struct TKind {
    const char* name;
    std::function<Bytes(int w, int h, const std::vector<std::uint32_t>&)> make;
    std::function<bool(TXeRGBBits&, TStream*, int, int)> put;
    std::function<bool(TStream*, unsigned char**, int*, int*, TPixFormat)> load;
};

const std::vector<TKind>& Kinds()
{
    static const std::vector<TKind> kinds = {
        {"Bmp", Bmp24, [](TXeRGBBits& b, TStream* s, int x, int y) { return b.DrawBmpStream(s, x, y); },
         [](TStream* s, unsigned char** p, int* w, int* h, TPixFormat f) { return LoadBmp(s, p, w, h, f); }},
        {"Bmp8",
         [](int w, int h, const std::vector<std::uint32_t>& c) {
             Bytes indices;
             for (std::uint32_t v : c)
                 indices.push_back(static_cast<std::uint8_t>(v));
             return Bmp8(w, h, indices);
         },
         [](TXeRGBBits& b, TStream* s, int x, int y) { return b.DrawBmpStream(s, x, y); },
         [](TStream* s, unsigned char** p, int* w, int* h, TPixFormat f) { return LoadBmp(s, p, w, h, f); }},
        {"Jpeg", Jpeg, [](TXeRGBBits& b, TStream* s, int x, int y) { return b.DrawJpegStream(s, x, y); },
         [](TStream* s, unsigned char** p, int* w, int* h, TPixFormat f) { return LoadJpeg(s, p, w, h, f); }},
        {"Png",
         [](int w, int h, const std::vector<std::uint32_t>& c) { return Png(w, h, c, Bytes(c.size(), 200)); },
         [](TXeRGBBits& b, TStream* s, int x, int y) { return b.DrawPngStream(s, x, y); },
         [](TStream* s, unsigned char** p, int* w, int* h, TPixFormat f) { return LoadPng(s, p, w, h, f); }},
        {"PngWM",
         [](int w, int h, const std::vector<std::uint32_t>& c) { return Png(w, h, c, Bytes(c.size(), 200)); },
         [](TXeRGBBits& b, TStream* s, int x, int y) { return b.DrawPngWMStream(s, x, y); },
         [](TStream* s, unsigned char** p, int* w, int* h, TPixFormat f) { return LoadPngWhiteMat(s, p, w, h, f); }},
        {"Gny", Gny, [](TXeRGBBits& b, TStream* s, int x, int y) { return b.DrawGnyStream(s, x, y, GnyTable()); },
         [](TStream* s, unsigned char** p, int* w, int* h, TPixFormat f) {
             return LoadGny(s, p, w, h, f, GnyTable());
         }},
    };
    return kinds;
}

}  // namespace

// Into created bitmaps of every format, at places inside, across every edge, and partly outside:
// the same pixels as the loader's block put with PutPat, and one report of the visible rectangle.
TEST(TXeRGBBitsDecode, MatchesLoadThenPut)
{
    struct TPlace {
        int x, y;
    };
    const TPlace places[] = {{2, 3}, {-4, -2}, {15, 9}, {-3, 12}};
    for (const TKind& kind : Kinds())
        for (TPixFormat f : kDrawFormats) {
            const Bytes file = kind.make(9, 7, Picture(9, 7, 1));
            for (const TPlace& at : places) {
                TTestBits put(20, 16, f, 2), reference(20, 16, f, 2);
                TChangeLog log(put);
                auto stream = StreamOf(file);
                ASSERT_TRUE(kind.put(put, stream.get(), at.x, at.y)) << kind.name << " " << FormatName(f);
                EXPECT_EQ(stream->GetPosition(), stream->GetSize()) << kind.name;

                auto again = StreamOf(file);
                unsigned char* pixels = nullptr;
                int w = 0, h = 0;
                ASSERT_TRUE(kind.load(again.get(), &pixels, &w, &h, f));
                const TPictureMemory block(pixels);
                ASSERT_TRUE(reference.PutPat(at.x, at.y, w, h, pixels));
                EXPECT_EQ(put.Pixels(), reference.Pixels()) << kind.name << " " << FormatName(f);

                const int left = std::max(at.x, 0), top = std::max(at.y, 0);
                const int right = std::min(at.x + 9, 20) - 1, bottom = std::min(at.y + 7, 16) - 1;
                EXPECT_TRUE(log.One(left, top, right, bottom)) << kind.name << " at " << at.x << "," << at.y;
            }
        }
}

// A bitmap not yet created is created reaching the picture's far corner, zero outside the picture.
TEST(TXeRGBBitsDecode, CreatesTheBitmap)
{
    const auto colours = Picture(100, 50, 3);
    for (const TKind& kind : Kinds()) {
        TXeRGBBits bits(nullptr);
        bits.SetPixFormat(pf32_888);
        auto stream = StreamOf(kind.make(100, 50, colours));
        ASSERT_TRUE(kind.put(bits, stream.get(), 10, 20)) << kind.name;
        ASSERT_TRUE(bits.Created());
        EXPECT_EQ(bits.Width(), 110);
        EXPECT_EQ(bits.Height(), 70);
        EXPECT_EQ(bits.PGet(9, 20), 0u);
        EXPECT_EQ(bits.PGet(10, 19), 0u);
        // Lossless kinds whose pixels are the picture's colours.
        if (kind.name == std::string("Bmp") || kind.name == std::string("Png") || kind.name == std::string("Gny")) {
            EXPECT_EQ(bits.PGet(10, 20), colours[0]) << kind.name;
            EXPECT_EQ(bits.PGet(109, 69), colours.back()) << kind.name;
        }

        // Left of and above the origin: sized to the far corner, the visible part put.
        TXeRGBBits shifted(nullptr);
        shifted.SetPixFormat(pf24_888);
        auto again = StreamOf(kind.make(100, 50, colours));
        ASSERT_TRUE(kind.put(shifted, again.get(), -30, -5)) << kind.name;
        EXPECT_EQ(shifted.Width(), 70);
        EXPECT_EQ(shifted.Height(), 45);
    }
}

// A picture that decodes is reported as drawn also where none of it lands: an uncreated bitmap
// whose far corner lies left of or above (0, 0) or beyond int stays uncreated, a created one keeps
// its pixels and reports only empty rectangles.
TEST(TXeRGBBitsDecode, DecodedPictureSucceedsWhereNothingLands)
{
    const auto colours = Picture(8, 8, 4);
    for (const TKind& kind : Kinds()) {
        const Bytes file = kind.make(8, 8, colours);

        TXeRGBBits uncreated(nullptr);
        for (const auto& [x, y] : {std::pair{-8, 0}, std::pair{0, -20}, std::pair{2147483640, 0}}) {
            auto s = StreamOf(file);
            EXPECT_TRUE(kind.put(uncreated, s.get(), x, y)) << kind.name << " " << x << "," << y;
        }
        EXPECT_FALSE(uncreated.Created());
        EXPECT_EQ(uncreated.Width(), 640);

        TTestBits created(16, 16, pf16_565, 5);
        const auto before = created.Pixels();
        TChangeLog log(created);
        for (const auto& [x, y] : {std::pair{16, 0}, std::pair{0, 16}, std::pair{-8, 3}, std::pair{3, -8}}) {
            auto s = StreamOf(file);
            EXPECT_TRUE(kind.put(created, s.get(), x, y)) << kind.name << " " << x << "," << y;
        }
        EXPECT_EQ(created.Pixels(), before) << kind.name;
        for (const TXeRect& r : log.Rects())
            EXPECT_TRUE(r.IsRectEmpty()) << kind.name;
    }
}

// An undecodable, empty or null stream, and a GNY picture without its table: false, nothing drawn.
TEST(TXeRGBBitsDecode, FailsWhenThePictureDoesNotDecode)
{
    const auto colours = Picture(8, 8, 4);
    for (const TKind& kind : Kinds()) {
        const Bytes file = kind.make(8, 8, colours);
        TTestBits created(16, 16, pf16_565, 5);
        const auto before = created.Pixels();
        TChangeLog log(created);
        auto broken = StreamOf(Bytes(file.begin(), file.begin() + 20));
        EXPECT_FALSE(kind.put(created, broken.get(), 0, 0)) << kind.name;
        auto empty = StreamOf(Bytes{});
        EXPECT_FALSE(kind.put(created, empty.get(), 0, 0)) << kind.name;
        EXPECT_FALSE(kind.put(created, nullptr, 0, 0)) << kind.name;
        EXPECT_EQ(created.Pixels(), before) << kind.name;
        EXPECT_TRUE(log.Rects().empty()) << kind.name;
    }
    TTestBits bits(4, 4, pf24_888);
    auto s = StreamOf(Gny(2, 2, Picture(2, 2, 6)));
    EXPECT_FALSE(bits.DrawGnyStream(s.get(), 0, 0, nullptr));
}

TEST(TXeRGBBitsDecode, PngAlphaIntoTheMap)
{
    const auto colours = Picture(6, 5, 7);
    Bytes alpha(colours.size());
    for (std::size_t i = 0; i < alpha.size(); ++i)
        alpha[i] = static_cast<std::uint8_t>(i * 37);
    const Bytes file = Png(6, 5, colours, alpha);
    using TPut = bool (TXeRGBBits::*)(TStream*, int, int, TXeAlpha*);
    using TLoad = bool (*)(TStream*, unsigned char**, unsigned char**, int*, int*, TPixFormat);
    const std::pair<TPut, TLoad> forms[] = {{&TXeRGBBits::DrawPngStream, &LoadPng},
                                            {&TXeRGBBits::DrawPngWMStream, &LoadPngWhiteMat}};
    for (const auto& [put, load] : forms)
        for (TPixFormat f : kDrawFormats) {
            // A map not yet created is sized and created like the bitmap, 255 outside the picture.
            TXeRGBBits bits(nullptr);
            bits.SetPixFormat(f);
            TXeAlpha map(nullptr);
            auto stream = StreamOf(file);
            ASSERT_TRUE((bits.*put)(stream.get(), 3, 2, &map));
            ASSERT_TRUE(map.Created());
            EXPECT_EQ(map.Width(), 9);
            EXPECT_EQ(map.Height(), 7);
            EXPECT_EQ(map.PGet(2, 2), 255);
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 6; ++x)
                    ASSERT_EQ(map.PGet(3 + x, 2 + y), alpha[static_cast<std::size_t>(y * 6 + x)]);

            // Colour and alpha as the loader gives them, into a created bitmap and map.
            TTestBits drawn(8, 8, f, 8), reference(8, 8, f, 8);
            TTestAlpha putMap(8, 8, 9), referenceMap(8, 8, 9);
            auto again = StreamOf(file);
            ASSERT_TRUE((drawn.*put)(again.get(), -1, 4, &putMap));
            auto third = StreamOf(file);
            unsigned char* pixels = nullptr;
            unsigned char* values = nullptr;
            int w = 0, h = 0;
            ASSERT_TRUE(load(third.get(), &pixels, &values, &w, &h, f));
            const TPictureMemory p(pixels), v(values);
            reference.PutPat(-1, 4, w, h, pixels);
            referenceMap.PutAlpha(-1, 4, w, h, values);
            EXPECT_EQ(drawn.Pixels(), reference.Pixels()) << FormatName(f);
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 8; ++x)
                    ASSERT_EQ(putMap.PGet(x, y), referenceMap.PGet(x, y));

            // A map the picture misses: the colour is drawn and the map kept, and the picture
            // decoded, so the call succeeds.
            TTestAlpha small(2, 2, 10);
            auto fourth = StreamOf(file);
            EXPECT_TRUE((drawn.*put)(fourth.get(), 3, 3, &small));
            EXPECT_EQ(small.PGet(1, 1), TTestAlpha(2, 2, 10).PGet(1, 1));
        }
}

TEST(TXeRGBBitsDecode, PngWithoutMapDrawsOnlyColour)
{
    const auto colours = Picture(4, 4, 11);
    const Bytes file = Png(4, 4, colours, Bytes(16, 0));
    TTestBits bits(4, 4, pf32_8888, 12);
    auto stream = StreamOf(file);
    ASSERT_TRUE(bits.DrawPngStream(stream.get(), 0, 0, nullptr));
    // The PNG's alpha reaches the fourth byte of pf32_8888 pixels only.
    EXPECT_EQ(bits.PGet(1, 1), colours[5]);
}
