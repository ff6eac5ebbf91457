// BMP loaders on generated files: row padding and flipping for every width mod 4, both bit counts,
// every format, top-down files, colour counts 0, 2, 256 and bogus ones, refused bit counts and
// compression, longer headers and gaps before the rows, short and raising streams.
#include "graphics/pictures/BmpPicture.h"

#include "tests/graphics/PictureTestSupport.h"

#include <gtest/gtest.h>

#include <random>

using namespace pictest;

namespace {

// A BMP file as a writer would make it; the fields a test breaks are plain members.
struct TBmpFile {
    int width = 1;
    int height = 1;  // negative: rows stored top first
    int bitCount = 24;
    std::vector<tagRGBQUAD> table;  // written as is, after the info header
    std::uint32_t clrUsed = 0;
    std::uint32_t compression = 0;
    std::uint32_t infoSize = 40;
    std::uint32_t gap = 0;  // bytes between the colour table and the rows, announced in bfOffBits
    char magic[2] = {'B', 'M'};
    // Pixel bytes of each row, top row first, without padding (blue, green, red or indices).
    std::vector<Bytes> rows;

    Bytes Make() const
    {
        Bytes out;
        auto u16 = [&](std::uint32_t v) { out.insert(out.end(), {std::uint8_t(v), std::uint8_t(v >> 8)}); };
        auto u32 = [&](std::uint32_t v) {
            u16(v & 0xFFFF);
            u16(v >> 16);
        };
        const std::uint32_t offBits = 14 + infoSize + 4 * static_cast<std::uint32_t>(table.size()) + gap;
        out.insert(out.end(), {std::uint8_t(magic[0]), std::uint8_t(magic[1])});
        u32(0);
        u32(0);
        u32(offBits);
        u32(infoSize);
        u32(static_cast<std::uint32_t>(width));
        u32(static_cast<std::uint32_t>(height));
        u16(1);
        u16(static_cast<std::uint32_t>(bitCount));
        u32(compression);
        u32(0);
        u32(2835);
        u32(2835);
        u32(clrUsed);
        u32(0);
        out.resize(14 + infoSize, 0x5A);
        for (const tagRGBQUAD& q : table)
            out.insert(out.end(), {q.rgbBlue, q.rgbGreen, q.rgbRed, q.rgbReserved});
        out.resize(out.size() + gap, 0x77);
        for (std::size_t k = 0; k < rows.size(); ++k) {
            const Bytes& row = rows[height < 0 ? k : rows.size() - 1 - k];
            out.insert(out.end(), row.begin(), row.end());
            out.resize(out.size() + (4 - row.size() % 4) % 4, 0xAB);  // padding that is no pixel
        }
        return out;
    }

    // The picture as quads 0xAARRGGBB, top row first: an index's entry with its reserved byte as
    // AA (black for an index beyond the table), a triple with AA 0.
    std::vector<std::uint32_t> Quads() const
    {
        std::vector<std::uint32_t> quads;
        for (const Bytes& row : rows) {
            if (bitCount == 24) {
                for (std::size_t i = 0; i + 2 < row.size(); i += 3)
                    quads.push_back(row[i] | row[i + 1] << 8 | row[i + 2] << 16);
            } else {
                const std::size_t n = clrUsed == 0 ? 256 : clrUsed;
                for (std::uint8_t index : row) {
                    const tagRGBQUAD q = index < n && index < table.size() ? table[index] : tagRGBQUAD{};
                    quads.push_back(q.rgbBlue | q.rgbGreen << 8 | q.rgbRed << 16 | std::uint32_t{q.rgbReserved} << 24);
                }
            }
        }
        return quads;
    }
};

TBmpFile RandomBmp(std::mt19937& rng, int width, int height, int bitCount, std::uint32_t clrUsed)
{
    TBmpFile f;
    f.width = width;
    f.height = height;
    f.bitCount = bitCount;
    f.clrUsed = clrUsed;
    if (bitCount == 8)
        for (std::uint32_t i = 0; i < (clrUsed == 0 ? 256 : clrUsed); ++i)
            f.table.push_back({std::uint8_t(rng()), std::uint8_t(rng()), std::uint8_t(rng()), std::uint8_t(rng())});
    for (int y = 0; y < std::abs(height); ++y) {
        Bytes row(static_cast<std::size_t>(width) * (bitCount / 8));
        for (auto& b : row)
            b = static_cast<std::uint8_t>(rng());
        f.rows.push_back(row);
    }
    return f;
}

struct TLoaded {
    bool ok = false;
    int width = -1;
    int height = -1;
    Bytes pixels;
};

TLoaded Load(const Bytes& file, TPixFormat format)
{
    auto stream = StreamOf(file);
    TLoaded r;
    unsigned char* pixels = nullptr;
    r.ok = LoadBmp(stream.get(), &pixels, &r.width, &r.height, format);
    EXPECT_EQ(r.ok, pixels != nullptr);
    if (r.ok)
        r.pixels = Take(pixels, PictureBytes(r.width, r.height, PixFormatBytes(format)));
    return r;
}

void ExpectLoads(const TBmpFile& f, TPixFormat format)
{
    const TLoaded r = Load(f.Make(), format);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.width, f.width);
    EXPECT_EQ(r.height, std::abs(f.height));
    ASSERT_EQ(FirstDifference(r.pixels, PixelsOf(f.Quads(), format), PixFormatBytes(format), f.width), "");
}

}  // namespace

TEST(BmpPicture, EveryWidthBitCountFormatAndRowOrder)
{
    std::mt19937 rng(5);
    for (int bitCount : {8, 24})
        for (int width = 1; width <= 9; ++width)
            for (int height : {1, 3, -1, -4})
                for (TPixFormat format : kFormats) {
                    SCOPED_TRACE(std::to_string(bitCount) + " bits " + std::to_string(width) + " x " +
                                 std::to_string(height) + " format " + std::to_string(format));
                    ExpectLoads(RandomBmp(rng, width, height, bitCount, 0), format);
                }
}

TEST(BmpPicture, ThreeByTwoTwentyFourBitFile)
{
    TBmpFile f;
    f.width = 3;
    f.height = 2;
    f.rows = {{1, 2, 3, 4, 5, 6, 7, 8, 9}, {11, 12, 13, 14, 15, 16, 17, 18, 19}};
    const Bytes file = f.Make();
    EXPECT_EQ(file.size(), 54u + 2 * 12);
    // The first stored row (the bottom one) becomes block row 1.
    EXPECT_EQ(Bytes(file.begin() + 54, file.begin() + 63), f.rows[1]);
    const TLoaded r = Load(file, pf24_888);
    EXPECT_EQ(r.pixels, Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15, 16, 17, 18, 19}));
}

TEST(BmpPicture, WhiteInTheSixteenBitFormats)
{
    TBmpFile f;
    f.rows = {{255, 255, 255}};
    EXPECT_EQ(Load(f.Make(), pf16_565).pixels, Bytes({0xFF, 0xFF}));
    EXPECT_EQ(Load(f.Make(), pf16_555).pixels, Bytes({0xFF, 0x7F}));
    EXPECT_EQ(Load(f.Make(), pf16_4444).pixels, Bytes({0xFF, 0x0F}));
}

TEST(BmpPicture, ColourCounts)
{
    std::mt19937 rng(9);
    // Two entries: only 8 bytes of table precede the rows; indices beyond it are black.
    TBmpFile two;
    two.bitCount = 8;
    two.width = 3;
    two.clrUsed = 2;
    two.table = {{0x10, 0x20, 0x30, 0x80}, {1, 2, 3, 4}};
    two.rows = {{0, 1, 200}};
    EXPECT_EQ(two.Make().size(), 54u + 8 + 4);
    EXPECT_EQ(Load(two.Make(), pf32_8888).pixels, Bytes({0x10, 0x20, 0x30, 0x80, 1, 2, 3, 4, 0, 0, 0, 0}));
    for (TPixFormat format : kFormats) {
        ExpectLoads(two, format);
        ExpectLoads(RandomBmp(rng, 5, 2, 8, 256), format);
        ExpectLoads(RandomBmp(rng, 5, 2, 8, 0), format);
        ExpectLoads(RandomBmp(rng, 5, 2, 8, 1), format);
    }
    for (std::uint32_t bogus : {257u, 1000u, 0x80000000u, 0xFFFFFFFFu}) {
        TBmpFile f = RandomBmp(rng, 4, 2, 8, 0);
        f.clrUsed = bogus;
        EXPECT_FALSE(Load(f.Make(), pf24_888).ok) << bogus;
    }
}

TEST(BmpPicture, RefusedBitCountsStoreTheSize)
{
    for (int bitCount : {1, 4, 16, 32}) {
        TBmpFile f;
        f.width = 7;
        f.height = -5;
        f.bitCount = bitCount;
        f.rows.assign(5, Bytes(28, 0));
        const TLoaded r = Load(f.Make(), pf32_8888);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.width, 7);
        EXPECT_EQ(r.height, 5);
    }
}

TEST(BmpPicture, SizeOnlyAndBadFormats)
{
    std::mt19937 rng(3);
    const Bytes file = RandomBmp(rng, 6, 4, 8, 0).Make();
    auto stream = StreamOf(file);
    int w = 0, h = 0;
    EXPECT_TRUE(LoadBmp(stream.get(), nullptr, &w, &h, pf16_565));
    EXPECT_EQ(stream->GetPosition(), 54);
    EXPECT_EQ(w, 6);
    EXPECT_EQ(h, 4);
    for (int format : {0, 8, 255}) {
        auto s = StreamOf(file);
        unsigned char* pixels = nullptr;
        EXPECT_FALSE(LoadBmp(s.get(), &pixels, &w, &h, TPixFormat(format)));
        EXPECT_EQ(s->GetPosition(), 0);
        EXPECT_EQ(pixels, nullptr);
    }
    // No stream: refused by every BMP loader.
    unsigned char* pixels = nullptr;
    tagRGBQUAD* palette = nullptr;
    EXPECT_FALSE(LoadBmp(nullptr, &pixels, &w, &h, pf16_565));
    EXPECT_FALSE(LoadAlpha(nullptr, &pixels, &w, &h));
    EXPECT_FALSE(LoadPalette(nullptr, &palette, &pixels, &w, &h));
    EXPECT_EQ(pixels, nullptr);
}

TEST(BmpPicture, BrokenHeadersAreRefused)
{
    std::mt19937 rng(4);
    auto broken = [&](auto&& change) {
        TBmpFile f = RandomBmp(rng, 4, 3, 24, 0);
        change(f);
        return Load(f.Make(), pf32_888).ok;
    };
    EXPECT_FALSE(broken([](TBmpFile& f) { f.compression = 1; }));  // run-length
    EXPECT_FALSE(broken([](TBmpFile& f) { f.magic[0] = 'X'; }));
    EXPECT_FALSE(broken([](TBmpFile& f) { f.infoSize = 12; }));
    EXPECT_FALSE(broken([](TBmpFile& f) { f.width = 0; }));
    EXPECT_FALSE(broken([](TBmpFile& f) { f.width = -4; }));
    EXPECT_FALSE(broken([](TBmpFile& f) { f.height = 0; }));
    EXPECT_FALSE(broken([](TBmpFile& f) { f.width = 16385; }));
    EXPECT_FALSE(broken([](TBmpFile& f) { f.height = -16385; }));
    EXPECT_FALSE(broken([](TBmpFile& f) { f.height = INT32_MIN; }));
    EXPECT_FALSE(broken([](TBmpFile& f) { f.height = 16384; }));  // rows missing: refused before allocating
}

TEST(BmpPicture, LongerHeadersAndGapsBeforeTheRows)
{
    std::mt19937 rng(6);
    for (int bitCount : {8, 24}) {
        TBmpFile f = RandomBmp(rng, 5, 3, bitCount, bitCount == 8 ? 16 : 0);
        f.infoSize = 124;
        f.gap = 10;
        ExpectLoads(f, pf32_8888);
    }
}

TEST(BmpPicture, ShortAndRaisingStreamsGiveFalse)
{
    std::mt19937 rng(7);
    for (int bitCount : {8, 24}) {
        const Bytes file = RandomBmp(rng, 5, 3, bitCount, 0).Make();
        for (std::size_t n = 0; n < file.size(); n += 7) {
            unsigned char* pixels = nullptr;
            EXPECT_FALSE(LoadBmp(StreamOf(Bytes(file.begin(), file.begin() + n)).get(), &pixels, nullptr, nullptr,
                                 pf24_888));
            EXPECT_EQ(pixels, nullptr);
            TRaisingStream raising(file, static_cast<std::int64_t>(n));
            EXPECT_FALSE(LoadBmp(&raising, &pixels, nullptr, nullptr, pf24_888));
            EXPECT_FALSE(LoadAlpha(&raising, &pixels, nullptr, nullptr));
        }
    }
}

TEST(BmpPicture, CallerBufferIsFilledInPlace)
{
    std::mt19937 rng(8);
    const TBmpFile f = RandomBmp(rng, 3, 2, 24, 0);
    Bytes buffer(3 * 2 * 2 + 2, 0xEE);
    unsigned char* p = buffer.data();
    ASSERT_TRUE(LoadBmp(StreamOf(f.Make()).get(), &p, nullptr, nullptr, pf16_565));
    EXPECT_EQ(p, buffer.data());
    EXPECT_EQ(Bytes(buffer.begin(), buffer.end() - 2), PixelsOf(f.Quads(), pf16_565));
    EXPECT_EQ(buffer[12], 0xEE);
}

TEST(BmpPicture, AlphaIsTheGreyOfEachEntry)
{
    TBmpFile f;
    f.bitCount = 8;
    f.width = 3;
    f.height = 2;
    f.clrUsed = 3;
    f.table = {{91, 60, 30, 0}, {255, 255, 255, 0}, {0, 0, 2, 9}};
    f.rows = {{0, 1, 2}, {2, 1, 0}};
    unsigned char* alpha = nullptr;
    int w = 0, h = 0;
    ASSERT_TRUE(LoadAlpha(StreamOf(f.Make()).get(), &alpha, &w, &h));
    EXPECT_EQ(Take(alpha, 6), Bytes({60, 255, 0, 0, 255, 60}));
    alpha = nullptr;

    TBmpFile colour = f;
    colour.bitCount = 24;
    colour.rows = {Bytes(9, 1), Bytes(9, 2)};
    EXPECT_FALSE(LoadAlpha(StreamOf(colour.Make()).get(), &alpha, &w, &h));
    EXPECT_EQ(alpha, nullptr);
    EXPECT_TRUE(LoadAlpha(StreamOf(f.Make()).get(), nullptr, &w, &h));
}

TEST(BmpPicture, PaletteAndRawIndices)
{
    std::mt19937 rng(10);
    TBmpFile f = RandomBmp(rng, 5, 3, 8, 7);  // 5 wide: 3 padding bytes after each row
    tagRGBQUAD* palette = nullptr;
    unsigned char* indices = nullptr;
    int w = 0, h = 0;
    ASSERT_TRUE(LoadPalette(StreamOf(f.Make()).get(), &palette, &indices, &w, &h));
    std::unique_ptr<tagRGBQUAD, decltype(&std::free)> ownPalette(palette, &std::free);
    const Bytes got = Take(indices, 15);
    for (int y = 0; y < 3; ++y)
        EXPECT_EQ(Bytes(got.begin() + 5 * y, got.begin() + 5 * y + 5), f.rows[y]) << "row " << y;
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(palette[i], i < 7 ? f.table[i] : tagRGBQUAD{}) << "entry " << i;

    // Without a palette the table is skipped; into the caller's buffers.
    Bytes buffer(15, 0);
    unsigned char* p = buffer.data();
    ASSERT_TRUE(LoadPalette(StreamOf(f.Make()).get(), nullptr, &p, &w, &h));
    EXPECT_EQ(buffer, got);
    std::array<tagRGBQUAD, 256> table{};
    tagRGBQUAD* t = table.data();
    ASSERT_TRUE(LoadPalette(StreamOf(f.Make()).get(), &t, nullptr, &w, &h));
    EXPECT_EQ(table[6], f.table[6]);

    f.bitCount = 24;
    f.rows.assign(3, Bytes(15, 1));
    palette = nullptr;
    EXPECT_FALSE(LoadPalette(StreamOf(f.Make()).get(), &palette, &indices, &w, &h));
    EXPECT_EQ(palette, nullptr);
}
