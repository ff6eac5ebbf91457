// TXeAlpha loading from 8-bit BMP pictures: grey values and palette indices, creation of a map not
// yet created, clipping into a created map, pictures that land nowhere and broken streams.
#include "graphics/bitmaps/TXeAlpha.h"

#include "graphics/pictures/BmpPicture.h"
#include "graphics/pictures/PictureBlock.h"
#include "platform/classes/Stream.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put32(Bytes& b, std::uint32_t v)
{
    for (int k = 0; k < 4; ++k)
        b.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
}

// An 8-bit BMP whose palette entry i is (blue i, green 3 i mod 256, red 255 - i): its grey is
// (i + 3 i mod 256 + 255 - i) div 3. Index (x, y) is (x + 7 y) mod 256.
Bytes Bmp8(int w, int h)
{
    const int stride = (w + 3) / 4 * 4;
    Bytes b = {'B', 'M'};
    Put32(b, static_cast<std::uint32_t>(54 + 1024 + stride * h));
    Put32(b, 0);
    Put32(b, 54 + 1024);
    Put32(b, 40);
    Put32(b, static_cast<std::uint32_t>(w));
    Put32(b, static_cast<std::uint32_t>(h));
    b.insert(b.end(), {1, 0, 8, 0});
    for (int i = 0; i < 6; ++i)
        Put32(b, 0);
    for (int i = 0; i < 256; ++i)
        b.insert(b.end(), {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(3 * i), static_cast<std::uint8_t>(255 - i), 0});
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x)
            b.push_back(static_cast<std::uint8_t>(x + 7 * y));
        b.resize(b.size() + static_cast<std::size_t>(stride - w), 0);
    }
    return b;
}

int Index(int x, int y)
{
    return (x + 7 * y) & 0xFF;
}

int Grey(int x, int y)
{
    const int i = Index(x, y);
    return (i + ((3 * i) & 0xFF) + 255 - i) / 3;
}

std::unique_ptr<TMemoryStream> StreamOf(const Bytes& bytes)
{
    auto s = std::make_unique<TMemoryStream>();
    s->WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
    s->SetPosition(0);
    return s;
}

}  // namespace

TEST(TXeAlphaLoad, CreatesTheMapReachingThePicture)
{
    TXeAlpha map(nullptr);
    auto stream = StreamOf(Bmp8(32, 16));
    ASSERT_TRUE(map.LoadAlphaStream(stream.get(), 8, 8));
    ASSERT_TRUE(map.Created());
    EXPECT_EQ(map.Width(), 40);
    EXPECT_EQ(map.Height(), 24);
    EXPECT_EQ(map.PGet(7, 8), 255);
    EXPECT_EQ(map.PGet(8, 7), 255);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x)
            ASSERT_EQ(map.PGet(8 + x, 8 + y), Grey(x, y)) << x << "," << y;

    TXeAlpha indices(nullptr);
    auto again = StreamOf(Bmp8(5, 3));
    ASSERT_TRUE(indices.LoadIndexStream(again.get(), 0, 1));
    EXPECT_EQ(indices.Width(), 5);
    EXPECT_EQ(indices.Height(), 4);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(indices.PGet(x, 1 + y), Index(x, y));
}

TEST(TXeAlphaLoad, ClipsIntoACreatedMap)
{
    TXeAlpha map(nullptr);
    map.Resize(6, 6);
    map.Create();
    map.Fill(1);
    auto stream = StreamOf(Bmp8(5, 3));
    ASSERT_TRUE(map.LoadIndexStream(stream.get(), -2, 4));
    EXPECT_EQ(map.PGet(0, 4), Index(2, 0));
    EXPECT_EQ(map.PGet(2, 5), Index(4, 1));
    EXPECT_EQ(map.PGet(3, 5), 1);
    EXPECT_EQ(map.PGet(0, 3), 1);
}

// A picture that decodes is reported as loaded also where none of it lands; one that does not
// decode fails. Either way the map keeps its values.
TEST(TXeAlphaLoad, SucceedsWhenThePictureDecodes)
{
    const Bytes file = Bmp8(4, 4);
    TXeAlpha map(nullptr);
    for (const auto& [x, y] : {std::pair{-4, 0}, std::pair{0, -9}, std::pair{2147483647, 0}}) {
        auto s = StreamOf(file);
        EXPECT_TRUE(map.LoadAlphaStream(s.get(), x, y));
        EXPECT_FALSE(map.Created());
    }
    map.Resize(4, 4);
    map.Create();
    for (const auto& [x, y] : {std::pair{4, 0}, std::pair{0, 4}, std::pair{-4, 0}}) {
        auto s = StreamOf(file);
        EXPECT_TRUE(map.LoadIndexStream(s.get(), x, y));
    }
    auto broken = StreamOf(Bytes(file.begin(), file.begin() + 60));
    EXPECT_FALSE(map.LoadAlphaStream(broken.get(), 0, 0));
    EXPECT_FALSE(map.LoadAlphaStream(nullptr, 0, 0));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(map.PGet(x, y), 255);

    // A 24-bit picture is no alpha map.
    Bytes wide = file;
    wide[28] = 24;
    auto s = StreamOf(wide);
    EXPECT_FALSE(map.LoadAlphaStream(s.get(), 0, 0));
}
