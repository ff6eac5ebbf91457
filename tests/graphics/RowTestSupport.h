// Helpers for row kernel tests: seeded random rows with guard bytes after them, floor division,
// and a byte comparison that names the first differing pixel.
#pragma once

#include "graphics/bitmaps/PixelFormat.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace rowtest {

using Bytes = std::vector<std::uint8_t>;

inline constexpr std::size_t kGuard = 16;
inline constexpr unsigned kMaxCount = 67;

// Every format that has a layout, in table order.
inline constexpr TPixFormat kFormats[] = {pf16_565, pf16_555, pf16_5551, pf16_4444, pf24_888, pf32_888, pf32_8888};

inline Bytes RandomBytes(std::mt19937& rng, std::size_t n)
{
    Bytes b;
    b.reserve(n + 1);  // a real address even for an empty row, as callers always pass
    b.resize(n);
    for (auto& v : b)
        v = static_cast<std::uint8_t>(rng());
    return b;
}

// Alpha bytes with runs of 0 and 255 (so four-pixel groups take every path) mixed with odd values.
inline Bytes RandomAlphas(std::mt19937& rng, std::size_t n)
{
    Bytes b(n);
    for (std::size_t i = 0; i < n; i += 4) {
        const unsigned mode = rng() % 4;
        for (std::size_t k = i; k < i + 4 && k < n; ++k)
            b[k] = mode == 0 ? 0 : mode == 1 ? 255 : static_cast<std::uint8_t>(rng());
    }
    return b;
}

// A row of `bytes` bytes followed by kGuard random guard bytes that a kernel must not touch.
class TGuardedRow {
public:
    TGuardedRow(const Bytes& content, std::mt19937& rng) : size_(content.size()), data_(content)
    {
        const Bytes guard = RandomBytes(rng, kGuard);
        data_.insert(data_.end(), guard.begin(), guard.end());
        guard_ = guard;
    }
    std::uint8_t* data() { return data_.data(); }
    Bytes Row() const { return Bytes(data_.begin(), data_.begin() + static_cast<std::ptrdiff_t>(size_)); }
    bool GuardIntact() const { return Bytes(data_.begin() + static_cast<std::ptrdiff_t>(size_), data_.end()) == guard_; }

private:
    std::size_t size_;
    Bytes data_;
    Bytes guard_;
};

inline ::testing::AssertionResult SameRow(const Bytes& actual, const Bytes& expected, int pixelBytes)
{
    if (actual.size() != expected.size())
        return ::testing::AssertionFailure() << "row sizes " << actual.size() << " and " << expected.size();
    for (std::size_t i = 0; i < actual.size(); ++i) {
        if (actual[i] != expected[i])
            return ::testing::AssertionFailure() << "first difference at pixel " << i / pixelBytes << " byte "
                                                 << i % pixelBytes << ": " << int{actual[i]} << " instead of "
                                                 << int{expected[i]};
    }
    return ::testing::AssertionSuccess();
}

// Floor of n / d for d > 0.
inline int FloorDiv(int n, int d)
{
    return n >= 0 ? n / d : -((-n + d - 1) / d);
}

inline std::uint32_t Get(const Bytes& row, std::size_t i, int bytes)
{
    std::uint32_t v = 0;
    for (int k = 0; k < bytes; ++k)
        v |= std::uint32_t{row[i * bytes + k]} << (8 * k);
    return v;
}

inline void Put(Bytes& row, std::size_t i, int bytes, std::uint32_t v)
{
    for (int k = 0; k < bytes; ++k)
        row[i * bytes + k] = static_cast<std::uint8_t>(v >> (8 * k));
}

// One field of a 16-bit pixel: shift and width.
struct TField {
    int shift, bits;
    int Of(std::uint32_t p) const { return static_cast<int>((p >> shift) & ((1u << bits) - 1)); }
    std::uint32_t To(int v) const { return (static_cast<std::uint32_t>(v) & ((1u << bits) - 1)) << shift; }
    int Max() const { return (1 << bits) - 1; }
};

// Colour fields red, green, blue of a 16-bit format, and its fourth field (bits 0 when none).
struct TFields16 {
    TField colour[3];
    TField extra;
};

inline TFields16 FieldsOf(TPixFormat f)
{
    switch (f) {
    case pf16_565: return {{{11, 5}, {5, 6}, {0, 5}}, {16, 0}};
    case pf16_4444: return {{{8, 4}, {4, 4}, {0, 4}}, {12, 4}};
    default: return {{{10, 5}, {5, 5}, {0, 5}}, {15, 1}};
    }
}

}  // namespace rowtest
