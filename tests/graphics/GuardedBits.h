// A test bitmap whose pixels live inside a larger random buffer: guard bytes before and after,
// gap bytes after every row (pitch wider than the row), top-down or bottom-up (negative pitch).
// OutsideIntact() tells whether any byte outside the pixels changed.
#pragma once

#include "graphics/bitmaps/TXeRGBBits.h"

#include <cstdint>
#include <random>
#include <vector>

class TGuardedBits : public TXeRGBBits {
public:
    static constexpr int kGuard = 32;
    static constexpr int kGap = 5;

    TGuardedBits(int w, int h, TPixFormat format, bool bottomUp, std::uint32_t seed = 1)
        : TXeRGBBits(nullptr), bottomUp_(bottomUp), rng_(seed)
    {
        SetPixFormat(format);
        Resize(w, h);
        Create();
    }
    ~TGuardedBits() override { Release(); }

    bool Create() override
    {
        if (FCreated || !ChkDepthAndFormat(FBitDepth, FPixFormat) || FPixFormat == pfNone)
            return false;
        stride_ = FWidth * FBitDepth + kGap;
        buffer_.resize(static_cast<std::size_t>(2 * kGuard + stride_ * FHeight));
        for (auto& b : buffer_)
            b = static_cast<std::uint8_t>(rng_());
        original_ = buffer_;
        std::uint8_t* first = buffer_.data() + kGuard;
        FBits = bottomUp_ ? first + std::ptrdiff_t{FHeight - 1} * stride_ : first;
        FPitch = bottomUp_ ? -stride_ : stride_;
        ResetState();
        FCreated = true;
        return true;
    }

    void Release() override
    {
        if (!FCreated)
            return;
        while (FLocked && Unlock()) {
        }
        FBits = nullptr;
        FCreated = false;
    }

    void SetAttached(std::uint8_t attached) { FAttached = attached; }

    std::uint32_t At(int x, int y) const
    {
        const std::uint8_t* p = FBits + std::ptrdiff_t{y} * FPitch + std::ptrdiff_t{x} * FBitDepth;
        std::uint32_t v = 0;
        for (int k = 0; k < FBitDepth; ++k)
            v |= std::uint32_t{p[k]} << (8 * k);
        return v;
    }

    // Every byte that is not a pixel (guards and row gaps) as it was made.
    bool OutsideIntact() const
    {
        const std::ptrdiff_t rowBytes = std::ptrdiff_t{FWidth} * FBitDepth;
        for (std::size_t i = 0; i < buffer_.size(); ++i) {
            const std::ptrdiff_t offset = static_cast<std::ptrdiff_t>(i) - kGuard;
            const bool pixel = offset >= 0 && offset < std::ptrdiff_t{stride_} * FHeight && offset % stride_ < rowBytes;
            if (!pixel && buffer_[i] != original_[i])
                return false;
        }
        return true;
    }

private:
    bool bottomUp_;
    std::mt19937 rng_;
    int stride_ = 0;
    std::vector<std::uint8_t> buffer_;
    std::vector<std::uint8_t> original_;
};
