// Fixtures of the bitmap-to-bitmap drawing tests: bitmaps and alpha maps with seeded random
// content, a log of the rectangles OnChange reported, and a bitmap whose lock can be made to fail.
#pragma once

#include "graphics/bitmaps/TXeAlpha.h"
#include "graphics/bitmaps/TXeRGBBits.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

inline const TPixFormat kDrawFormats[] = {pf16_565, pf16_555, pf16_5551, pf16_4444, pf24_888, pf32_888, pf32_8888};

// A created bitmap with random bytes; a lock that fails when FailLock is set.
class TTestBits : public TXeRGBBits {
public:
    TTestBits(int w, int h, TPixFormat format, std::uint32_t seed = 1) : TXeRGBBits(nullptr)
    {
        SetPixFormat(format);
        Resize(w, h);
        Create();
        Randomize(seed);
    }

    void Randomize(std::uint32_t seed)
    {
        std::mt19937 rng(seed);
        Lock();
        for (int y = 0; y < FHeight; ++y)
            for (int i = 0; i < FWidth * FBitDepth; ++i)
                FBits[std::ptrdiff_t{y} * FPitch + i] = static_cast<std::uint8_t>(rng());
        Unlock();
    }

    bool Lock() override { return !FailLock && TXeRGBBits::Lock(); }

    // All pixels, row by row.
    std::vector<std::uint32_t> Pixels()
    {
        std::vector<std::uint32_t> out;
        for (int y = 0; y < FHeight; ++y)
            for (int x = 0; x < FWidth; ++x)
                out.push_back(PGet(x, y));
        return out;
    }

    bool FailLock = false;
};

// A created alpha map with random values, a quarter of them 0 and a quarter 255.
class TTestAlpha : public TXeAlpha {
public:
    TTestAlpha(int w, int h, std::uint32_t seed = 1) : TXeAlpha(nullptr)
    {
        Resize(w, h);
        Create();
        std::mt19937 rng(seed);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const unsigned r = rng() % 4;
                PSet(x, y, static_cast<std::uint8_t>(r == 0 ? 0 : r == 1 ? 255 : rng()));
            }
    }
};

// The rectangles a bitmap reported through OnChange.
class TChangeLog {
public:
    explicit TChangeLog(TXeRGBBits& bits)
    {
        bits.OnChange = [this](TObject* sender) {
            TXeRect r;
            static_cast<TXeRGBBits*>(sender)->GetModifiedRect(&r);
            rects_.push_back(r);
        };
    }
    const std::vector<TXeRect>& Rects() const { return rects_; }
    void Clear() { rects_.clear(); }
    // Exactly one report, of the rectangle from (left, top) to (right, bottom), both included.
    bool One(int left, int top, int right, int bottom) const
    {
        return rects_.size() == 1 && rects_[0] == XeRect(left, top, right + 1, bottom + 1);
    }

private:
    std::vector<TXeRect> rects_;
};

inline std::string FormatName(TPixFormat f)
{
    static const char* const names[] = {"None", "565", "555", "5551", "4444", "888", "32_888", "32_8888"};
    return names[f];
}
