// TXeRGBBits pixel, line, box and pattern primitives: the known values, and a clipping property
// in every depth on top-down and bottom-up storage with gaps: random puts, gets, boxes and lines
// reaching past every edge change exactly the visible pixels and nothing outside the bitmap.
#include "graphics/bitmaps/TXeRGBBits.h"

#include "tests/graphics/GuardedBits.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <vector>

namespace {

using Pixels = std::vector<std::uint32_t>;

Pixels Snapshot(const TGuardedBits& b)
{
    Pixels p;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            p.push_back(b.At(x, y));
    return p;
}

// A pattern of w x h pixels of `bytes` bytes with a row pitch, random content.
struct TPattern {
    int w, h, bytes, pitch;
    std::vector<std::uint8_t> data;
    TPattern(int w_, int h_, int bytes_, int extra, std::mt19937& rng) : w(w_), h(h_), bytes(bytes_), pitch(w_ * bytes_ + extra)
    {
        data.resize(static_cast<std::size_t>(std::max(1, pitch * h)));
        for (auto& v : data)
            v = static_cast<std::uint8_t>(rng() % 3 == 0 ? 0 : rng());  // zero pixels for the key
    }
    std::uint32_t At(int k, int j) const
    {
        std::uint32_t v = 0;
        for (int i = 0; i < bytes; ++i)
            v |= std::uint32_t{data[static_cast<std::size_t>(j * pitch + k * bytes + i)]} << (8 * i);
        return v;
    }
};

bool MaskBit(const std::vector<std::uint8_t>& mask, int maskW, int maskH, int k, int j)
{
    const int row = j % maskH, bit = k % maskW;
    return mask[static_cast<std::size_t>(row * ((maskW + 7) / 8) + bit / 8)] & (0x80 >> (bit % 8));
}

const TPixFormat kDepths[] = {pf16_565, pf24_888, pf32_8888};

}  // namespace

TEST(TXeRGBBitsDraw, LineWalk)
{
    TGuardedBits b(8, 8, pf24_888, false);
    b.Cls();
    ASSERT_TRUE(b.XeLine(0, 0, 3, 1, 0x111111));
    std::set<std::pair<int, int>> set;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            if (b.At(x, y) == 0x111111)
                set.insert({x, y});
    EXPECT_EQ(set, (std::set<std::pair<int, int>>{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));

    b.Cls();
    ASSERT_TRUE(b.XeLine(3, 1, 0, 0, 0x222222));
    EXPECT_EQ(b.At(0, 0), 0x222222u);
    EXPECT_EQ(b.At(1, 0), 0x222222u);
    EXPECT_EQ(b.At(2, 1), 0x222222u);
    EXPECT_EQ(b.At(3, 1), 0x222222u);

    b.Cls();
    ASSERT_TRUE(b.XeLine(2, 2, 2, 2, 5));
    EXPECT_EQ(b.At(2, 2), 5u);
    EXPECT_EQ(b.At(3, 2), 0u);

    TGuardedBits narrow(5, 8, pf16_565, true);
    narrow.Cls();
    EXPECT_TRUE(narrow.XeLine(-10, 5, 10, 5, 0xFFFF));
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(narrow.At(x, 5), 0xFFFFu);
    EXPECT_TRUE(narrow.OutsideIntact());
}

TEST(TXeRGBBitsDraw, BoxesAndFills)
{
    TGuardedBits b(8, 8, pf32_8888, false);
    b.Cls();
    ASSERT_TRUE(b.XeBoxFill(5, 5, 2, 2, 9));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(b.At(x, y), (x >= 2 && x <= 5 && y >= 2 && y <= 5) ? 9u : 0u);
    const Pixels before = Snapshot(b);
    EXPECT_TRUE(b.XeBoxFill(-3, -3, -1, -1, 7));
    EXPECT_EQ(Snapshot(b), before);

    b.Cls();
    std::vector<TXeRect> changes;
    b.OnChange = [&](TObject*) {
        TXeRect r;
        b.GetModifiedRect(&r);
        changes.push_back(r);
    };
    ASSERT_TRUE(b.Box(0, 0, 0, 5, 3));
    for (int y = 0; y < 8; ++y)
        EXPECT_EQ(b.At(0, y), y <= 5 ? 3u : 0u);
    EXPECT_EQ(b.At(1, 0), 0u);
    ASSERT_TRUE(b.Box(1, 1, 4, 3, 4));
    EXPECT_EQ(b.At(1, 1), 4u);
    EXPECT_EQ(b.At(4, 3), 4u);
    EXPECT_EQ(b.At(2, 2), 0u);
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[1].right, 5);
    EXPECT_EQ(changes[1].bottom, 4);
    EXPECT_TRUE(b.OutsideIntact());
}

TEST(TXeRGBBitsDraw, PixelsAndClear)
{
    TGuardedBits b(4, 3, pf32_8888, true);
    int fired = 0;
    b.OnChange = [&](TObject*) { ++fired; };
    EXPECT_FALSE(b.PSet(4, 0, 1));
    EXPECT_FALSE(b.PSet(0, -1, 1));
    EXPECT_EQ(fired, 0);
    EXPECT_TRUE(b.PSet(3, 2, 0xAABBCCDD));
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(b.PGet(3, 2), 0xAABBCCDDu);
    EXPECT_EQ(b.PGet(-1, 0), 0u);
    EXPECT_EQ(b.PGet(0, 3), 0u);
    b.PSet(0, 0, 0x12345678);
    EXPECT_EQ(b.TopLeftGet(), 0x12345678u);

    TXeRect whole;
    b.OnChange = [&](TObject*) { b.GetModifiedRect(&whole); };
    b.Cls();
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(b.At(x, y), 0u);
    EXPECT_EQ(whole.right, 4);
    EXPECT_EQ(whole.bottom, 3);
    EXPECT_TRUE(b.OutsideIntact());

    TXeRGBBits none(nullptr);
    EXPECT_FALSE(none.PSet(0, 0, 1));
    EXPECT_EQ(none.PGet(0, 0), 0u);
    EXPECT_FALSE(none.XeLine(0, 0, 1, 1, 1));
    EXPECT_FALSE(none.Line(0, 0, 1, 1, 1));
    EXPECT_FALSE(none.Box(0, 0, 1, 1, 1));
    EXPECT_FALSE(none.XeBoxFill(0, 0, 1, 1, 1));
    EXPECT_FALSE(none.XePutPat(0, 0, 1, 1, &whole, 4, false, 0));
}

TEST(TXeRGBBitsDraw, PatternPutsKnownValues)
{
    TGuardedBits b(6, 6, pf24_888, false);
    b.Cls();
    std::vector<std::uint8_t> block(4 * 4 * 3);
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<std::uint8_t>(i + 1);
    TXeRect changed;
    b.OnChange = [&](TObject*) { b.GetModifiedRect(&changed); };
    ASSERT_TRUE(b.PutPat(-2, -2, 4, 4, block.data()));
    EXPECT_EQ(b.At(0, 0), 0x21201Fu);  // block pixel (2, 2): bytes 30..32 hold 31, 32, 33
    EXPECT_EQ(changed.left, 0);
    EXPECT_EQ(changed.right, 2);
    EXPECT_EQ(changed.bottom, 2);
    EXPECT_EQ(b.At(2, 0), 0u);

    // Key 0: destination pixels under zero pattern pixels stay.
    b.XeBoxFill(0, 0, 5, 5, 0x777777);
    const std::uint8_t keyed[6] = {0, 0, 0, 1, 2, 3};
    ASSERT_TRUE(b.PasPat(0, 0, 2, 1, keyed, 0));
    EXPECT_EQ(b.At(0, 0), 0x777777u);
    EXPECT_EQ(b.At(1, 0), 0x030201u);

    // Mirrored: A B C.
    const std::uint8_t abc[9] = {0xA, 0, 0, 0xB, 0, 0, 0xC, 0, 0};
    EXPECT_FALSE(b.XePutPatR(0, 1, 3, 1, abc, 9, false, 0));
    b.SetReverse(true);
    b.Cls();
    ASSERT_TRUE(b.PutPat(0, 1, 3, 1, abc));
    EXPECT_EQ(b.At(0, 1), 0xCu);
    EXPECT_EQ(b.At(1, 1), 0xBu);
    EXPECT_EQ(b.At(2, 1), 0xAu);
    b.Cls();
    ASSERT_TRUE(b.PutPat(-1, 1, 3, 1, abc));
    EXPECT_EQ(b.At(0, 1), 0xBu);
    EXPECT_EQ(b.At(1, 1), 0xAu);
    EXPECT_EQ(b.At(2, 1), 0u);
    b.Cls();
    ASSERT_TRUE(b.PutPat(4, 1, 3, 1, abc));
    EXPECT_EQ(b.At(4, 1), 0xCu);
    EXPECT_EQ(b.At(5, 1), 0xBu);
    EXPECT_TRUE(b.OutsideIntact());
}

TEST(TXeRGBBitsDraw, MaskKeepsItsPhase)
{
    TGuardedBits b(5, 1, pf16_565, false);
    std::vector<std::uint8_t> pattern(10);
    for (int k = 0; k < 5; ++k)
        pattern[static_cast<std::size_t>(2 * k)] = static_cast<std::uint8_t>(k + 1);
    const std::uint8_t mask[1] = {0x80};  // 2 x 1: bit 1 then bit 0
    b.Cls();
    ASSERT_TRUE(b.PasMPat(0, 0, 5, 1, pattern.data(), mask, 2, 1));
    EXPECT_EQ(b.At(0, 0), 1u);
    EXPECT_EQ(b.At(1, 0), 0u);
    EXPECT_EQ(b.At(2, 0), 3u);
    EXPECT_EQ(b.At(3, 0), 0u);
    EXPECT_EQ(b.At(4, 0), 5u);
    b.Cls();
    ASSERT_TRUE(b.PasMPat(-1, 0, 5, 1, pattern.data(), mask, 2, 1));
    EXPECT_EQ(b.At(0, 0), 0u);
    EXPECT_EQ(b.At(1, 0), 3u);
    EXPECT_EQ(b.At(2, 0), 0u);
    EXPECT_EQ(b.At(3, 0), 5u);

    EXPECT_FALSE(b.PasMPat(0, 0, 5, 1, pattern.data(), nullptr, 2, 1));
    EXPECT_FALSE(b.XePutPatM(0, 0, 5, 1, pattern.data(), 10, mask, 0, 1));
    EXPECT_FALSE(b.XePutPatMR(0, 0, 5, 1, pattern.data(), 10, mask, 2, 1));
    EXPECT_TRUE(b.OutsideIntact());
}

TEST(TXeRGBBitsDraw, GetPatLeavesOutsidePixels)
{
    TGuardedBits b(4, 2, pf24_888, true);
    b.PSet(0, 0, 0x010203);
    b.PSet(1, 0, 0x040506);
    std::uint8_t buf[9] = {9, 9, 9, 9, 9, 9, 9, 9, 9};
    ASSERT_TRUE(b.GetPat(-1, 0, 3, 1, buf));
    EXPECT_EQ(buf[0], 9);
    EXPECT_EQ(buf[3], 0x03);
    EXPECT_EQ(buf[6], 0x06);
    EXPECT_EQ(buf[8], 0x04);
}

// Random puts, keyed, masked and mirrored puts, gets, fills and lines, most of them reaching past
// the edges: the visible pixels are those of a model, nothing else changes.
TEST(TXeRGBBitsDraw, ClippingPropertyInEveryDepth)
{
    std::mt19937 rng(42);
    for (TPixFormat format : kDepths) {
        for (bool bottomUp : {false, true}) {
            TGuardedBits b(13, 9, format, bottomUp, rng());
            const int bytes = b.BitDepth();
            for (int trial = 0; trial < 300; ++trial) {
                const int w = static_cast<int>(rng() % 20), h = static_cast<int>(rng() % 14);
                const int x = static_cast<int>(rng() % 36) - 18, y = static_cast<int>(rng() % 26) - 13;
                const int op = trial % 5;
                const bool mirror = rng() % 2 == 1;
                b.SetReverse(mirror && op < 3);
                TPattern pat(w, h, bytes, static_cast<int>(rng() % 4), rng);
                const int maskW = 1 + static_cast<int>(rng() % 11), maskH = 1 + static_cast<int>(rng() % 3);
                std::vector<std::uint8_t> mask(static_cast<std::size_t>(maskH * ((maskW + 7) / 8)));
                for (auto& m : mask)
                    m = static_cast<std::uint8_t>(rng());
                const Pixels before = Snapshot(b);
                Pixels expected = before;
                const auto set = [&](int px, int py, std::uint32_t v) {
                    if (px >= 0 && px < b.Width() && py >= 0 && py < b.Height())
                        expected[static_cast<std::size_t>(py * b.Width() + px)] = v;
                };
                bool ok = false;
                if (op == 3) {
                    std::vector<std::uint8_t> buf(static_cast<std::size_t>(std::max(1, w * h * bytes)), 0xEE);
                    const auto copy = buf;
                    ok = b.GetPat(x, y, w, h, buf.data());
                    for (int j = 0; j < h; ++j)
                        for (int k = 0; k < w; ++k) {
                            const int px = x + k, py = y + j;
                            const bool inside = px >= 0 && px < b.Width() && py >= 0 && py < b.Height();
                            for (int i = 0; i < bytes; ++i) {
                                const std::size_t at = static_cast<std::size_t>((j * w + k) * bytes + i);
                                const auto want = inside ? static_cast<std::uint8_t>(b.At(px, py) >> (8 * i)) : copy[at];
                                ASSERT_EQ(buf[at], want) << "get at " << k << "," << j;
                            }
                        }
                } else if (op == 4) {
                    const std::uint32_t v = rng() & ((bytes == 4) ? 0xFFFFFFFFu : (1u << (8 * bytes)) - 1);
                    ok = b.XeBoxFill(x, y, x + w, y + h, v);
                    for (int py = std::min(y, y + h); py <= std::max(y, y + h); ++py)
                        for (int px = std::min(x, x + w); px <= std::max(x, x + w); ++px)
                            set(px, py, v);
                } else {
                    const bool key = op == 1, masked = op == 2;
                    const std::uint32_t keyValue = 0;
                    if (masked)
                        ok = b.XePutPatM(x, y, w, h, pat.data.data(), pat.pitch, mask.data(), maskW, maskH);
                    else
                        ok = b.XePutPat(x, y, w, h, pat.data.data(), pat.pitch, key, keyValue);
                    for (int j = 0; j < h; ++j)
                        for (int k = 0; k < w; ++k) {
                            const std::uint32_t v = pat.At(k, j);
                            if ((key && v == keyValue) || (masked && !MaskBit(mask, maskW, maskH, k, j)))
                                continue;
                            set(mirror ? x + w - 1 - k : x + k, y + j, v);
                        }
                }
                ASSERT_TRUE(ok) << "op " << op;
                ASSERT_EQ(Snapshot(b), expected) << "op " << op << " at " << x << "," << y << " size " << w << "x" << h
                                                 << " mirror " << mirror << " format " << int{format};
                ASSERT_TRUE(b.OutsideIntact()) << "op " << op;
            }
        }
    }
}

// Lines against the same line drawn unclipped on a larger bitmap, offset to hold it whole.
TEST(TXeRGBBitsDraw, LinesClipLikeTheUnclippedWalk)
{
    std::mt19937 rng(7);
    for (bool bottomUp : {false, true}) {
        TGuardedBits b(11, 7, pf24_888, bottomUp);
        TGuardedBits big(71, 67, pf24_888, false);
        for (int trial = 0; trial < 400; ++trial) {
            const int x1 = static_cast<int>(rng() % 61) - 25, y1 = static_cast<int>(rng() % 57) - 25;
            const int x2 = static_cast<int>(rng() % 61) - 25, y2 = static_cast<int>(rng() % 57) - 25;
            b.Cls();
            big.Cls();
            ASSERT_TRUE(b.XeLine(x1, y1, x2, y2, 0xABCDEF));
            ASSERT_TRUE(big.XeLine(x1 + 30, y1 + 30, x2 + 30, y2 + 30, 0xABCDEF));
            for (int y = 0; y < 7; ++y)
                for (int x = 0; x < 11; ++x)
                    ASSERT_EQ(b.At(x, y), big.At(x + 30, y + 30)) << x1 << "," << y1 << " - " << x2 << "," << y2;
            ASSERT_TRUE(b.OutsideIntact());
        }
    }
}
