// TXeRGBBits conversion and blend primitives: known values, the MMX flag forced both ways, and a
// clipping property for every pair of layouts: random rectangles reaching past every edge of
// top-down and bottom-up bitmaps give, pixel by pixel, the single-value rules and nothing else.
#include "graphics/bitmaps/TXeRGBBits.h"

#include "graphics/kernels/BlendKernels.h"
#include "graphics/kernels/BlendLevel.h"
#include "graphics/kernels/PixelConvert.h"
#include "graphics/kernels/SaturateKernels.h"

#include "tests/graphics/GuardedBits.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <vector>

namespace {

const TPixFormat kFormats[] = {pf16_565, pf16_555, pf16_5551, pf16_4444, pf24_888, pf32_888, pf32_8888};

std::uint32_t Low(std::uint32_t v, int bytes)
{
    return bytes == 4 ? v : v & ((1u << (8 * bytes)) - 1);
}

// A raw block of w x h pixels with a row pitch wider than the row, random content.
struct TRawBlock {
    int bytes = 0, pitch = 0;
    std::vector<std::uint8_t> data;
    TRawBlock(int w, int h, int bytes_, std::mt19937& rng) : bytes(bytes_), pitch(w * bytes_ + 3)
    {
        data.resize(static_cast<std::size_t>(pitch * h + 1));
        for (auto& v : data)
            v = static_cast<std::uint8_t>(rng() % 4 == 0 ? (rng() % 2 ? 0 : 255) : rng());
    }
    std::uint32_t At(int k, int j) const
    {
        std::uint32_t v = 0;
        for (int i = 0; i < bytes; ++i)
            v |= std::uint32_t{data[static_cast<std::size_t>(j * pitch + k * bytes + i)]} << (8 * i);
        return v;
    }
};

// Single-pixel form of XeConvert's routing.
std::uint32_t ConvertPixel(TPixFormat from, TPixFormat to, std::uint32_t p)
{
    const int toBytes = PixFormatBytes(to);
    std::uint32_t v;
    if (from == to)
        v = p;
    else if (from == pf24_888)
        v = RGBtoTable[to](p);
    else if (PixFormatBytes(from) == 4)
        v = toBytes == 4 ? p : RGBtoTable[to](p);
    else if (toBytes >= 3)
        v = RGBfromTable[from](p);
    else
        v = RGBtoTable[to](RGBfromTable[from](p) & 0xFFFFFF);
    return Low(v, toBytes);
}

std::uint32_t ToQuad(TPixFormat f, std::uint32_t p)
{
    return PixFormatBytes(f) == 4 ? p : RGBfromTable[f](p);
}

std::uint32_t FromQuad(TPixFormat f, std::uint32_t q)
{
    return Low(PixFormatBytes(f) == 4 ? q : RGBtoTable[f](q), PixFormatBytes(f));
}

// Bytes 0..2 of d moved toward s by w / 128; byte 3 kept.
std::uint32_t Mix(std::uint32_t d, std::uint32_t s, int w)
{
    std::uint32_t r = d & 0xFF000000;
    for (int k = 0; k < 3; ++k) {
        const int dc = (d >> (8 * k)) & 0xFF, sc = (s >> (8 * k)) & 0xFF;
        r |= static_cast<std::uint32_t>((dc * (128 - w) + sc * w) >> 7) << (8 * k);
    }
    return r;
}

// One trial: draws into the bitmap at (x, y) and tells the pixel expected at block offset (k, j).
struct TTrial {
    std::function<bool(TXeRGBBits&, int x, int y)> run;
    std::function<std::uint32_t(int k, int j, std::uint32_t before)> pixel;
};
using TTrialMaker = std::function<TTrial(TPixFormat dst, int w, int h, std::mt19937& rng)>;

void CheckClipped(TPixFormat dst, bool mmx, const TTrialMaker& make)
{
    std::mt19937 rng(dst * 131 + mmx);
    for (bool bottomUp : {false, true}) {
        TGuardedBits b(13, 9, dst, bottomUp, rng());
        b.SetMMX(mmx);
        for (int trial = 0; trial < 60; ++trial) {
            const int w = static_cast<int>(rng() % 20), h = static_cast<int>(rng() % 14);
            const int x = static_cast<int>(rng() % 36) - 18, y = static_cast<int>(rng() % 26) - 13;
            const TTrial t = make(dst, w, h, rng);
            std::vector<std::uint32_t> before;
            for (int py = 0; py < 9; ++py)
                for (int px = 0; px < 13; ++px)
                    before.push_back(b.At(px, py));
            ASSERT_TRUE(t.run(b, x, y));
            for (int py = 0; py < 9; ++py)
                for (int px = 0; px < 13; ++px) {
                    const std::uint32_t old = before[static_cast<std::size_t>(py * 13 + px)];
                    const int k = px - x, j = py - y;
                    const bool inside = k >= 0 && k < w && j >= 0 && j < h;
                    ASSERT_EQ(b.At(px, py), inside ? t.pixel(k, j, old) : old)
                        << "pixel " << px << "," << py << " of " << x << "," << y << " " << w << "x" << h;
                }
            ASSERT_TRUE(b.OutsideIntact());
        }
    }
}

}  // namespace

TEST(TXeRGBBitsBlend, ConvertClipsAndRoutesEveryPair)
{
    for (TPixFormat dst : kFormats)
        for (TPixFormat src : kFormats)
            CheckClipped(dst, true, [src](TPixFormat to, int w, int h, std::mt19937& rng) {
                auto block = std::make_shared<TRawBlock>(w, h, PixFormatBytes(src), rng);
                return TTrial{[=](TXeRGBBits& b, int x, int y) {
                                  return b.XeConvert(x, y, w, h, block->data.data(), src, block->pitch);
                              },
                              [=](int k, int j, std::uint32_t) { return ConvertPixel(src, to, block->At(k, j)); }};
            });
}

TEST(TXeRGBBitsBlend, AlphaMapClipsAndRoutesEveryPair)
{
    for (TPixFormat dst : kFormats)
        for (TPixFormat src : kFormats)
            CheckClipped(dst, false, [src](TPixFormat to, int w, int h, std::mt19937& rng) {
                auto block = std::make_shared<TRawBlock>(w, h, PixFormatBytes(src), rng);
                auto alpha = std::make_shared<TRawBlock>(w, h, 1, rng);
                return TTrial{[=](TXeRGBBits& b, int x, int y) {
                                  return b.XeAlphaMask(x, y, w, h, block->data.data(), block->pitch, src,
                                                       alpha->data.data(), alpha->pitch);
                              },
                              [=](int k, int j, std::uint32_t old) {
                                  const int a = static_cast<int>(alpha->At(k, j));
                                  return FromQuad(to, Mix(ToQuad(to, old), ToQuad(src, block->At(k, j)), (a + 1) >> 1));
                              }};
            });
}

TEST(TXeRGBBitsBlend, TwoSourcesAndDoubleAlphaClip)
{
    for (TPixFormat dst : {pf16_4444, pf24_888, pf32_8888})
        for (TPixFormat src : {pf16_565, pf24_888, pf32_888}) {
            CheckClipped(dst, false, [src](TPixFormat to, int w, int h, std::mt19937& rng) {
                const int bytes = PixFormatBytes(src);
                auto under = std::make_shared<TRawBlock>(w, h, bytes, rng);
                auto over = std::make_shared<TRawBlock>(w, h, bytes, rng);
                auto alpha = std::make_shared<TRawBlock>(w, h, 1, rng);
                return TTrial{[=](TXeRGBBits& b, int x, int y) {
                                  return b.XeAlphaMask(x, y, w, h, under->data.data(), under->pitch, over->data.data(),
                                                       over->pitch, src, alpha->data.data(), alpha->pitch);
                              },
                              [=](int k, int j, std::uint32_t) {
                                  const int a = static_cast<int>(alpha->At(k, j));
                                  return FromQuad(to, Mix(ToQuad(src, under->At(k, j)), ToQuad(src, over->At(k, j)),
                                                          (a + 1) >> 1));
                              }};
            });
            for (int level : {0, 37, 64, 128})
                CheckClipped(dst, true, [src, level](TPixFormat to, int w, int h, std::mt19937& rng) {
                    auto block = std::make_shared<TRawBlock>(w, h, PixFormatBytes(src), rng);
                    auto alpha = std::make_shared<TRawBlock>(w, h, 1, rng);
                    return TTrial{[=](TXeRGBBits& b, int x, int y) {
                                      return b.XeDoubleAlphaMask(x, y, w, h, block->data.data(), block->pitch, src,
                                                                 alpha->data.data(), alpha->pitch, level);
                                  },
                                  [=](int k, int j, std::uint32_t old) {
                                      const int a = static_cast<int>(alpha->At(k, j));
                                      return FromQuad(to, Mix(ToQuad(to, old), ToQuad(src, block->At(k, j)), a * level / 255));
                                  }};
                });
        }
}

TEST(TXeRGBBitsBlend, SourceAlphaClips)
{
    for (TPixFormat dst : kFormats)
        CheckClipped(dst, false, [](TPixFormat to, int w, int h, std::mt19937& rng) {
            auto block = std::make_shared<TRawBlock>(w, h, 4, rng);
            return TTrial{[=](TXeRGBBits& b, int x, int y) {
                              return b.XeAlphaMask(x, y, w, h, block->data.data(), block->pitch, pf32_8888);
                          },
                          [=](int k, int j, std::uint32_t old) {
                              const std::uint32_t s = block->At(k, j);
                              return FromQuad(to, Mix(ToQuad(to, old), s, static_cast<int>((s >> 24) + 1) >> 1));
                          }};
        });
}

TEST(TXeRGBBitsBlend, LevelBlendAddSubAndPaletteClip)
{
    for (TPixFormat dst : kFormats) {
        const int bytes = PixFormatBytes(dst);
        for (int level : {0, 1, 64, 100, 128, 200}) {
            CheckClipped(dst, level % 2 == 0, [level, bytes](TPixFormat to, int w, int h, std::mt19937& rng) {
                auto a = std::make_shared<TRawBlock>(w, h, bytes, rng);
                auto b = std::make_shared<TRawBlock>(w, h, bytes, rng);
                return TTrial{[=](TXeRGBBits& bits, int x, int y) {
                                  return bits.XeAlphaBlend(x, y, w, h, a->data.data(), a->pitch, b->data.data(), b->pitch,
                                                           level);
                              },
                              [=](int k, int j, std::uint32_t) {
                                  std::uint32_t pa = a->At(k, j), pb = b->At(k, j), out = 0;
                                  SetAlphaParam(level);
                                  (level == 64 ? RGBHalfTable : RGBAlphaTable)[to](&out, &pa, &pb, 1);
                                  return out;
                              }};
            });
        }
        for (bool add : {true, false})
            CheckClipped(dst, add, [add, bytes](TPixFormat to, int w, int h, std::mt19937& rng) {
                auto s = std::make_shared<TRawBlock>(w, h, bytes, rng);
                return TTrial{[=](TXeRGBBits& bits, int x, int y) {
                                  return add ? bits.XeSaturationAdd(x, y, w, h, s->data.data(), s->pitch)
                                             : bits.XeSaturationSub(x, y, w, h, s->data.data(), s->pitch);
                              },
                              [=](int k, int j, std::uint32_t old) {
                                  std::uint32_t ps = s->At(k, j);
                                  (add ? RGBAddTable : RGBSubTable)[to](&old, &ps, 1);
                                  return old;
                              }};
            });
        CheckClipped(dst, true, [](TPixFormat to, int w, int h, std::mt19937& rng) {
            auto indices = std::make_shared<TRawBlock>(w, h, 1, rng);
            auto palette = std::make_shared<TRawBlock>(256, 1, 4, rng);
            return TTrial{[=](TXeRGBBits& bits, int x, int y) {
                              return bits.XeIndexColor(x, y, w, h, indices->data.data(),
                                                       reinterpret_cast<const tagRGBQUAD*>(palette->data.data()),
                                                       indices->pitch);
                          },
                          [=](int k, int j, std::uint32_t) {
                              return FromQuad(to, palette->At(static_cast<int>(indices->At(k, j)), 0));
                          }};
        });
    }
}

TEST(TXeRGBBitsBlend, KnownValues)
{
    TGuardedBits b(4, 2, pf16_565, false);
    const std::uint8_t triples[6] = {0xFF, 0, 0, 0, 0, 0xFF};  // blue, then red
    ASSERT_TRUE(b.XeConvert(0, 0, 2, 1, triples, pf24_888, 6));
    EXPECT_EQ(b.At(0, 0), 0x001Fu);
    EXPECT_EQ(b.At(1, 0), 0xF800u);
    const std::uint16_t from555[2] = {0x7FFF, 0x03E0};
    ASSERT_TRUE(b.XeConvert(0, 1, 2, 1, from555, pf16_555, 4));
    EXPECT_EQ(b.At(0, 1), 0xFFFFu);
    EXPECT_EQ(b.At(1, 1), 0x07E0u);
    EXPECT_FALSE(b.XeConvert(0, 0, 1, 1, from555, static_cast<TPixFormat>(9), 4));
    EXPECT_FALSE(b.XeConvert(0, 0, 1, 1, from555, pfNone, 4));
    // At x = -2 the first two source pixels (of the source's size) are skipped.
    const std::uint32_t quads[3] = {0xFFFFFF, 0xFFFFFF, 0x0000FF};
    ASSERT_TRUE(b.XeConvert(-2, 0, 3, 1, quads, pf32_8888, 12));
    EXPECT_EQ(b.At(0, 0), 0x001Fu);
    // Wholly outside: true, nothing drawn.
    EXPECT_TRUE(b.XeConvert(4, 0, 3, 1, quads, pf32_8888, 12));
    EXPECT_TRUE(b.XeAlphaMask(0, -5, 3, 5, quads, 12, pf32_8888, triples, 3));

    TGuardedBits c(2, 1, pf24_888, false);
    const std::uint8_t white[6] = {255, 255, 255, 255, 255, 255}, black[6] = {};
    ASSERT_TRUE(c.XeAlphaBlend(0, 0, 2, 1, black, 6, white, 6, 64));
    EXPECT_EQ(c.At(0, 0), 0x7F7F7Fu);
    ASSERT_TRUE(c.XeAlphaBlend(0, 0, 2, 1, black, 6, white, 6, 200));
    EXPECT_EQ(c.At(1, 0), 0xFFFFFFu);
    ASSERT_TRUE(c.XeSaturationSub(0, 0, 2, 1, white, 6));
    EXPECT_EQ(c.At(1, 0), 0u);
    ASSERT_TRUE(c.XeSaturationAdd(0, 0, 2, 1, white, 6));
    EXPECT_EQ(c.At(0, 0), 0xFFFFFFu);

    // The two-source mask ignores the old destination.
    const std::uint8_t none[2] = {0, 0}, full[2] = {255, 255};
    const std::uint8_t mid[6] = {1, 2, 3, 4, 5, 6};
    ASSERT_TRUE(c.XeAlphaMask(0, 0, 2, 1, mid, 6, white, 6, pf24_888, none, 2));
    EXPECT_EQ(c.At(0, 0), 0x030201u);
    ASSERT_TRUE(c.XeAlphaMask(0, 0, 2, 1, mid, 6, white, 6, pf24_888, full, 2));
    EXPECT_EQ(c.At(1, 0), 0xFFFFFFu);
    // The source-alpha mask of a 24-bit source is a conversion.
    ASSERT_TRUE(c.XeAlphaMask(0, 0, 2, 1, mid, 6, pf24_888));
    EXPECT_EQ(c.At(1, 0), 0x060504u);

    TXeRGBBits uncreated(nullptr);
    EXPECT_FALSE(uncreated.XeConvert(0, 0, 1, 1, mid, pf24_888, 3));
    EXPECT_FALSE(uncreated.XeAlphaBlend(0, 0, 1, 1, mid, 3, mid, 3, 10));
    EXPECT_FALSE(uncreated.XeAlphaMask(0, 0, 1, 1, mid, 3, pf24_888, full, 1));
    EXPECT_FALSE(c.XeAlphaMask(0, 0, 1, 1, mid, 3, pf24_888, nullptr, 1));
    EXPECT_FALSE(c.XeIndexColor(0, 0, 1, 1, nullptr, nullptr, 1));
}

// Three pixels of alpha 1 laid from white over black: with the MMX flag the first two take the
// pair rule (weight 1/256, so they stay 0), the last one the plain rule; without it all three take
// the plain rule (weight 1/128). Direct rows and rows blended through quads alike.
TEST(TXeRGBBitsBlend, MMXFlagPicksTheForm)
{
    const std::uint32_t white32[3] = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
    const std::uint8_t white24[9] = {255, 255, 255, 255, 255, 255, 255, 255, 255};
    const std::uint8_t ones[3] = {1, 1, 1};
    struct TCase {
        TPixFormat dst, src;
        const void* white;
    };
    for (const TCase& c : {TCase{pf32_8888, pf32_8888, white32}, TCase{pf24_888, pf24_888, white24},
                           TCase{pf24_888, pf32_888, white32}, TCase{pf16_565, pf24_888, white24}}) {
        for (bool mmx : {false, true}) {
            TGuardedBits b(3, 1, c.dst, false);
            b.XeBoxFill(0, 0, 2, 0, 0);
            b.SetMMX(mmx);
            ASSERT_TRUE(b.XeAlphaMask(0, 0, 3, 1, c.white, 12, c.src, ones, 3));
            const std::uint32_t plain = c.dst == pf16_565 ? 0u : 0x010101u;  // 1 narrows to 0 in 565
            EXPECT_EQ(b.At(0, 0), mmx ? 0u : plain) << int{c.dst} << " mmx " << mmx;
            EXPECT_EQ(b.At(1, 0), mmx ? 0u : plain) << int{c.dst} << " mmx " << mmx;
            EXPECT_EQ(b.At(2, 0), plain) << int{c.dst} << " mmx " << mmx;
        }
    }
}
