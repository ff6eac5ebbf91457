// Row copy and fill primitives against a unit-by-unit reference, plus the named edge cases.
#include "base/memory/XeMem.h"

#include "support/FirstDifference.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <random>
#include <string>
#include <variant>
#include <vector>

namespace {

using CopyFn = void* (*)(void*, const void*, std::size_t);
using KeyFn = void* (*)(void*, const void*, std::size_t, std::uint32_t);
using MaskFn = void* (*)(void*, const void*, std::size_t, const std::uint8_t*, unsigned);

struct Primitive {
    const char* name;
    int width;
    bool mirrored;
    std::variant<CopyFn, KeyFn, MaskFn> fn;
};

const Primitive kPrimitives[] = {
    {"XeMemcpy", 1, false, CopyFn{XeMemcpy}},      {"XeMemcpyS", 1, false, CopyFn{XeMemcpyS}},
    {"XeMemcpyB", 1, false, CopyFn{XeMemcpyB}},    {"XeMemcpyR", 1, true, CopyFn{XeMemcpyR}},
    {"XeMemcpy2R", 2, true, CopyFn{XeMemcpy2R}},   {"XeMemcpy3R", 3, true, CopyFn{XeMemcpy3R}},
    {"XeMemcpy4R", 4, true, CopyFn{XeMemcpy4R}},   {"XeMemcpyK", 1, false, KeyFn{XeMemcpyK}},
    {"XeMemcpy2K", 2, false, KeyFn{XeMemcpy2K}},   {"XeMemcpy3K", 3, false, KeyFn{XeMemcpy3K}},
    {"XeMemcpy4K", 4, false, KeyFn{XeMemcpy4K}},   {"XeMemcpyRK", 1, true, KeyFn{XeMemcpyRK}},
    {"XeMemcpy2RK", 2, true, KeyFn{XeMemcpy2RK}},  {"XeMemcpy3RK", 3, true, KeyFn{XeMemcpy3RK}},
    {"XeMemcpy4RK", 4, true, KeyFn{XeMemcpy4RK}},  {"XeMemcpyM", 1, false, MaskFn{XeMemcpyM}},
    {"XeMemcpy2M", 2, false, MaskFn{XeMemcpy2M}},  {"XeMemcpy3M", 3, false, MaskFn{XeMemcpy3M}},
    {"XeMemcpy4M", 4, false, MaskFn{XeMemcpy4M}},  {"XeMemcpyRM", 1, true, MaskFn{XeMemcpyRM}},
    {"XeMemcpy2RM", 2, true, MaskFn{XeMemcpy2RM}}, {"XeMemcpy3RM", 3, true, MaskFn{XeMemcpy3RM}},
    {"XeMemcpy4RM", 4, true, MaskFn{XeMemcpy4RM}},
};

std::uint32_t UnitAt(const std::uint8_t* p, int width, std::size_t i)
{
    std::uint32_t v = 0;
    for (int b = 0; b < width; ++b)
        v |= static_cast<std::uint32_t>(p[i * width + b]) << (8 * b);
    return v;
}

void CopyUnit(std::uint8_t* d, std::size_t to, const std::uint8_t* s, std::size_t from, int width)
{
    std::memcpy(d + to * width, s + from * width, width);
}

std::uint32_t KeyOfWidth(std::uint32_t key, int width)
{
    return width == 1 ? key & 0xFF : width == 2 ? key & 0xFFFF : key;
}

bool MaskBit(const std::uint8_t* mask, unsigned maskBits, std::size_t i)
{
    const std::size_t p = i % maskBits;
    return (mask[p / 8] >> (7 - p % 8) & 1) != 0;
}

// The plain reading of each member: one unit at a time, straight from its definition.
void Reference(const Primitive& f, std::uint8_t* d, const std::uint8_t* s, std::size_t n, std::uint32_t key,
               const std::uint8_t* mask, unsigned maskBits)
{
    const int w = f.width;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t mirror = n - 1 - i;
        if (std::holds_alternative<CopyFn>(f.fn)) {
            CopyUnit(d, i, s, f.mirrored ? mirror : i, w);
        } else if (std::holds_alternative<KeyFn>(f.fn)) {
            const std::size_t from = f.mirrored ? mirror : i;
            if (UnitAt(s, w, from) != KeyOfWidth(key, w))
                CopyUnit(d, i, s, from, w);
        } else if (maskBits != 0 && MaskBit(mask, maskBits, i)) {
            CopyUnit(d, f.mirrored ? mirror : i, s, i, w);
        }
    }
}

void Call(const Primitive& f, std::uint8_t* d, const std::uint8_t* s, std::size_t n, std::uint32_t key,
          const std::uint8_t* mask, unsigned maskBits)
{
    void* result = nullptr;
    if (auto* copy = std::get_if<CopyFn>(&f.fn))
        result = (*copy)(d, s, n);
    else if (auto* keyed = std::get_if<KeyFn>(&f.fn))
        result = (*keyed)(d, s, n, key);
    else
        result = std::get<MaskFn>(f.fn)(d, s, n, mask, maskBits);
    EXPECT_EQ(result, d) << f.name << " returns the destination";
}

using TestSupport::FirstDifference;

constexpr std::size_t kGuard = 16;

// Source units: the key's low bytes for about a third of them, random otherwise, so keys both hit
// and miss (and a 3-byte unit meets the low 24 bits of a key with a top byte).
std::vector<std::uint8_t> SourceRow(std::mt19937& rng, std::size_t bytes, std::uint32_t key, int width)
{
    std::vector<std::uint8_t> row(bytes);
    for (std::size_t i = 0; i + width <= bytes; i += width) {
        const bool hit = rng() % 3 == 0;
        const std::uint32_t v = hit ? key : static_cast<std::uint32_t>(rng());
        for (int b = 0; b < width; ++b)
            row[i + b] = static_cast<std::uint8_t>(v >> (8 * b));
    }
    return row;
}

// Runs `body` once with the portable loops and once with the wide (AVX2) ones where they exist.
template <typename Body> void ForEachForm(Body body)
{
    const bool initial = XeMemWideVectors();
    for (bool wide : {false, true}) {
        if (XeMemUseWideVectors(wide) != wide)
            continue;
        SCOPED_TRACE(wide ? "wide form" : "portable form");
        body();
    }
    XeMemUseWideVectors(initial);
}

void CheckEveryCopy()
{
    std::mt19937 rng(1234);
    std::vector<std::size_t> lengths;
    for (std::size_t n = 0; n <= 37; ++n)
        lengths.push_back(n);
    for (std::size_t n : {63, 64, 65, 130, 641})
        lengths.push_back(n);
    const unsigned maskWidths[] = {0, 1, 3, 7, 8, 9, 12, 16, 24, 37, 64, 72, 200};
    // The 3-byte keys include one with a top byte, which must never match a 24-bit unit.
    const std::uint32_t keys[] = {0x00000000, 0x00123456, 0x12345678, 0xFF00FFFF};
    std::array<std::uint8_t, 32> mask{};

    for (const Primitive& f : kPrimitives) {
        const bool masked = std::holds_alternative<MaskFn>(f.fn);
        for (std::size_t n : lengths) {
            for (int srcAlign = 0; srcAlign < 4; ++srcAlign) {
                for (int dstAlign = 0; dstAlign < 4; ++dstAlign) {
                    const std::uint32_t key = keys[rng() % std::size(keys)];
                    const unsigned maskBits = masked ? maskWidths[rng() % std::size(maskWidths)] : 0;
                    for (auto& b : mask)
                        b = static_cast<std::uint8_t>(rng());
                    const std::size_t bytes = n * f.width;
                    const std::vector<std::uint8_t> src =
                        SourceRow(rng, bytes + 2 * kGuard, key, f.width);
                    std::vector<std::uint8_t> want(bytes + 2 * kGuard);
                    for (auto& b : want)
                        b = static_cast<std::uint8_t>(rng());
                    std::vector<std::uint8_t> got = want;
                    const std::uint8_t* s = src.data() + kGuard / 2 + srcAlign;
                    Reference(f, want.data() + kGuard / 2 + dstAlign, s, n, key, mask.data(), maskBits);
                    Call(f, got.data() + kGuard / 2 + dstAlign, s, n, key, mask.data(), maskBits);
                    ASSERT_EQ(got, want) << f.name << " n=" << n << " align " << srcAlign << "/" << dstAlign
                                         << " key=" << std::hex << key << std::dec << " maskBits=" << maskBits
                                         << ": " << FirstDifference(got, want);
                }
            }
        }
    }
}

TEST(XeMem, EveryCopyMatchesTheReference) { ForEachForm(CheckEveryCopy); }

void CheckEveryFill()
{
    using FillFn = void* (*)(void*, std::uint32_t, std::size_t);
    const std::pair<FillFn, int> fills[] = {{XeMemset, 1}, {XeMemset2, 2}, {XeMemset3, 3}, {XeMemset4, 4}};
    const std::uint32_t value = 0xA1B2C3D4; // bits above every width, which must not be written
    for (const auto& [fill, width] : fills) {
        for (std::size_t n = 0; n <= 100; ++n) {
            for (int align = 0; align < 32; ++align) { // every start within a 32-byte vector
                std::vector<std::uint8_t> want(n * width + 2 * kGuard + 32, 0x5A);
                std::vector<std::uint8_t> got = want;
                for (std::size_t i = 0; i < n * width; ++i)
                    want[kGuard + align + i] = static_cast<std::uint8_t>(value >> (8 * (i % width)));
                EXPECT_EQ(fill(got.data() + kGuard + align, value, n), got.data() + kGuard + align);
                ASSERT_EQ(got, want) << "width " << width << " n=" << n << " align " << align << ": "
                                     << FirstDifference(got, want);
            }
        }
    }
}

TEST(XeMem, EveryFillMatchesTheReference) { ForEachForm(CheckEveryFill); }

TEST(XeMem, MirroredCopiesKeepEachUnitsByteOrder)
{
    char text[4] = "xyz";
    XeMemcpyR(text, "abc", 3);
    EXPECT_STREQ(text, "cba");
    const std::uint8_t pixels[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    std::uint8_t out[9] = {};
    XeMemcpy3R(out, pixels, 3);
    const std::uint8_t want[9] = {7, 8, 9, 4, 5, 6, 1, 2, 3};
    EXPECT_EQ(std::memcmp(out, want, 9), 0);
}

TEST(XeMem, BackwardCopyShiftsAnOverlappingRowUp)
{
    std::array<std::uint8_t, 41> row{};
    for (std::size_t i = 0; i < row.size(); ++i)
        row[i] = static_cast<std::uint8_t>(i);
    XeMemcpyB(row.data() + 1, row.data(), 40);
    EXPECT_EQ(row[0], 0);
    for (std::size_t i = 1; i < row.size(); ++i)
        ASSERT_EQ(row[i], i - 1) << "byte " << i;
}

TEST(XeMem, KeyZeroLeavesDestinationUnderZeroSourceBytes)
{
    const std::uint8_t src[6] = {0, 7, 0, 0, 9, 0};
    std::uint8_t dst[6] = {1, 1, 1, 1, 1, 1};
    XeMemcpyK(dst, src, 6, 0);
    const std::uint8_t want[6] = {1, 7, 1, 1, 9, 1};
    EXPECT_EQ(std::memcmp(dst, want, 6), 0);
}

TEST(XeMem, MaskPatternsRepeatAlongTheRow)
{
    struct Case {
        std::uint8_t mask;
        unsigned bits;
        const char* copied; // '1' where unit i is copied
    };
    const Case cases[] = {{0xAA, 8, "101010101010"}, {0xA0, 3, "101101101101"}, {0xFF, 0, "000000000000"}};
    for (const Case& c : cases) {
        std::uint8_t src[12];
        std::uint8_t dst[12] = {};
        std::memset(src, 0xEE, sizeof src);
        XeMemcpyM(dst, src, 12, &c.mask, c.bits);
        for (int i = 0; i < 12; ++i)
            EXPECT_EQ(dst[i], c.copied[i] == '1' ? 0xEE : 0) << "maskBits " << c.bits << " unit " << i;
    }
}

TEST(XeMem, Fill3WritesTheLowThreeBytesLowestFirst)
{
    std::uint8_t row[16];
    std::memset(row, 0x77, sizeof row);
    XeMemset3(row, 0xFF112233, 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(row[3 * i], 0x33);
        EXPECT_EQ(row[3 * i + 1], 0x22);
        EXPECT_EQ(row[3 * i + 2], 0x11);
    }
    EXPECT_EQ(row[15], 0x77);
}

} // namespace
