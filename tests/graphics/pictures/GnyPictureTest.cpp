// GNY loader on generated files: the scramble table's positions, every format, rows that cross the
// table's wrap, size-only reads, bad sizes and short or raising streams.
#include "graphics/pictures/GnyPicture.h"

#include "tests/graphics/PictureTestSupport.h"

#include <gtest/gtest.h>

#include <numeric>
#include <random>

using namespace pictest;

namespace {

Bytes RandomBytes(std::mt19937& rng, std::size_t n)
{
    Bytes b(n);
    for (auto& v : b)
        v = static_cast<std::uint8_t>(rng());
    return b;
}

// A GNY file of width x height pixels (blue, green, red triples, top row first), scrambled.
Bytes MakeGny(std::int32_t width, std::int32_t height, const Bytes& triples, const Bytes& table)
{
    Bytes file;
    for (std::int32_t v : {width, height})
        for (int k = 0; k < 4; ++k)
            file.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * k)));
    file.insert(file.end(), triples.begin(), triples.end());
    GnyScramble(file.data(), file.size(), 0, table.data());
    return file;
}

std::vector<std::uint32_t> QuadsOfTriples(const Bytes& triples)
{
    std::vector<std::uint32_t> quads;
    for (std::size_t i = 0; i + 2 < triples.size(); i += 3)
        quads.push_back(triples[i] | triples[i + 1] << 8 | triples[i + 2] << 16);
    return quads;
}

}  // namespace

TEST(GnyPicture, TwoByOnePictureUsesTableEntriesEightToThirteen)
{
    Bytes table(256);
    std::iota(table.begin(), table.end(), 0);
    for (auto& v : table)
        v = static_cast<std::uint8_t>(v * 37 + 11);
    const Bytes triples = {1, 2, 3, 4, 5, 6};
    const Bytes file = MakeGny(2, 1, triples, table);
    ASSERT_EQ(file.size(), 14u);
    for (int p = 8; p < 14; ++p)
        EXPECT_EQ(file[p], triples[p - 8] ^ table[p]) << p;
    unsigned char* pixels = nullptr;
    int w = 0, h = 0;
    ASSERT_TRUE(LoadGny(StreamOf(file).get(), &pixels, &w, &h, pf24_888, table.data()));
    EXPECT_EQ(w, 2);
    EXPECT_EQ(h, 1);
    EXPECT_EQ(Take(pixels, 6), triples);
}

TEST(GnyPicture, EveryFormatAcrossTheTableWrap)
{
    std::mt19937 rng(21);
    const Bytes table = RandomBytes(rng, 256);
    for (auto [w, h] : {std::pair{1, 1}, {50, 4}, {85, 3}, {7, 40}}) {
        const Bytes triples = RandomBytes(rng, std::size_t(w) * h * 3);
        const Bytes file = MakeGny(w, h, triples, table);
        for (TPixFormat f : kFormats) {
            unsigned char* pixels = nullptr;
            int gw = 0, gh = 0;
            ASSERT_TRUE(LoadGny(StreamOf(file).get(), &pixels, &gw, &gh, f, table.data()));
            EXPECT_EQ(FirstDifference(Take(pixels, PictureBytes(w, h, PixFormatBytes(f))),
                                      PixelsOf(QuadsOfTriples(triples), f), PixFormatBytes(f), w),
                      "")
                << w << " x " << h << " format " << int{f};
        }
    }
}

TEST(GnyPicture, SizeOnlyBadFormatsAndBadSizes)
{
    std::mt19937 rng(22);
    const Bytes table = RandomBytes(rng, 256);
    const Bytes file = MakeGny(3, 2, RandomBytes(rng, 18), table);
    int w = 0, h = 0;
    auto stream = StreamOf(file);
    EXPECT_TRUE(LoadGny(stream.get(), nullptr, &w, &h, pf16_565, table.data()));
    EXPECT_EQ(stream->GetPosition(), 8);
    EXPECT_EQ(w, 3);
    EXPECT_EQ(h, 2);
    for (int format : {0, 8}) {
        auto s = StreamOf(file);
        EXPECT_FALSE(LoadGny(s.get(), nullptr, &w, &h, TPixFormat(format), table.data()));
        EXPECT_EQ(s->GetPosition(), 0);
    }
    // No table or no stream: refused before anything is read.
    auto untouched = StreamOf(file);
    EXPECT_FALSE(LoadGny(untouched.get(), nullptr, &w, &h, pf24_888, nullptr));
    EXPECT_EQ(untouched->GetPosition(), 0);
    EXPECT_FALSE(LoadGny(nullptr, nullptr, &w, &h, pf24_888, table.data()));
    for (auto [bw, bh] : {std::pair{0, 2}, {3, 0}, {-3, 2}, {3, INT32_MIN}, {16385, 1}, {1, 16385}}) {
        unsigned char* pixels = nullptr;
        EXPECT_FALSE(LoadGny(StreamOf(MakeGny(bw, bh, Bytes(18), table)).get(), &pixels, &w, &h, pf24_888,
                             table.data()))
            << bw << " x " << bh;
        EXPECT_EQ(pixels, nullptr);
    }
}

TEST(GnyPicture, ShortAndRaisingStreamsGiveFalse)
{
    std::mt19937 rng(23);
    const Bytes table = RandomBytes(rng, 256);
    const Bytes file = MakeGny(4, 3, RandomBytes(rng, 36), table);
    for (std::size_t n = 0; n < file.size(); ++n) {
        unsigned char* pixels = nullptr;
        int w = 0, h = 0;
        EXPECT_FALSE(LoadGny(StreamOf(Bytes(file.begin(), file.begin() + n)).get(), &pixels, &w, &h, pf32_8888,
                             table.data()));
        TRaisingStream raising(file, static_cast<std::int64_t>(n));
        EXPECT_FALSE(LoadGny(&raising, &pixels, &w, &h, pf32_8888, table.data()));
        EXPECT_EQ(pixels, nullptr);
    }
    // 16384 x 16384 announced by a 20-byte file: refused before any block is allocated.
    unsigned char* pixels = nullptr;
    int w = 0, h = 0;
    EXPECT_FALSE(LoadGny(StreamOf(MakeGny(16384, 16384, Bytes(12), table)).get(), &pixels, &w, &h, pf32_8888,
                         table.data()));
}
