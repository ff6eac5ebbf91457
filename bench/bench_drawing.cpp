// Bitmap-to-bitmap drawing on full 640x480 frames in 16-bit (565) and 32-bit layouts: ConvertCopy
// of a 24-bit picture, the two-source AlphaBlend, DrawAlphaMask and DrawDoubleAlphaMask through
// an alpha map, each next to memcpy of the destination frame's bytes. The drawing calls include
// their validation, clipping, source locks and OnChange reporting. Names: <Op>/<format>.
#include "graphics/bitmaps/TXeAlpha.h"
#include "graphics/bitmaps/TXeRGBBits.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int kW = 640;
constexpr int kH = 480;

std::unique_ptr<TXeRGBBits> Frame(TPixFormat format, std::uint32_t seed)
{
    auto bits = std::make_unique<TXeRGBBits>(nullptr);
    bits->SetPixFormat(format);
    bits->Create();
    std::mt19937 rng(seed);
    bits->Lock();
    for (int y = 0; y < kH; ++y)
        for (int i = 0; i < kW * bits->BitDepth(); ++i)
            bits->Bits()[y * bits->Pitch() + i] = static_cast<std::uint8_t>(rng());
    bits->Unlock();
    return bits;
}

// Sprite-like coverage: runs of 0 and 255 with mixed values between.
std::unique_ptr<TXeAlpha> Mask()
{
    auto mask = std::make_unique<TXeAlpha>(nullptr);
    mask->Create();
    std::mt19937 rng(7);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const int band = (x / 40 + y / 40) % 3;
            mask->PSet(x, y, static_cast<std::uint8_t>(band == 0 ? 0 : band == 1 ? 255 : rng()));
        }
    return mask;
}

void SetBytes(benchmark::State& state, const TXeRGBBits& dst)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kW * kH * dst.BitDepth());
}

void Memcpy(benchmark::State& state, TPixFormat format)
{
    auto src = Frame(format, 1), dst = Frame(format, 2);
    const std::size_t bytes = std::size_t{kW} * kH * dst->BitDepth();
    for (auto _ : state) {
        std::memcpy(dst->Bits(), src->Bits(), bytes);
        benchmark::ClobberMemory();
    }
    SetBytes(state, *dst);
}

void ConvertCopy(benchmark::State& state, TPixFormat format)
{
    auto src = Frame(pf24_888, 1), dst = Frame(format, 2);
    for (auto _ : state)
        benchmark::DoNotOptimize(dst->ConvertCopy(0, 0, src.get(), 0, 0, kW, kH));
    SetBytes(state, *dst);
}

void AlphaBlend(benchmark::State& state, TPixFormat format)
{
    auto a = Frame(format, 1), b = Frame(format, 3), dst = Frame(format, 2);
    for (auto _ : state)
        benchmark::DoNotOptimize(dst->AlphaBlend(0, 0, a.get(), 0, 0, b.get(), 0, 0, kW, kH, 77));
    SetBytes(state, *dst);
}

void DrawAlphaMask(benchmark::State& state, TPixFormat format)
{
    auto src = Frame(format, 1), dst = Frame(format, 2);
    auto mask = Mask();
    for (auto _ : state)
        benchmark::DoNotOptimize(dst->DrawAlphaMask(0, 0, src.get(), 0, 0, kW, kH, mask.get()));
    SetBytes(state, *dst);
}

void DrawDoubleAlphaMask(benchmark::State& state, TPixFormat format)
{
    auto src = Frame(format, 1), dst = Frame(format, 2);
    auto mask = Mask();
    for (auto _ : state)
        benchmark::DoNotOptimize(dst->DrawDoubleAlphaMask(0, 0, src.get(), 0, 0, kW, kH, mask.get(), 77));
    SetBytes(state, *dst);
}

}  // namespace

BENCHMARK_CAPTURE(Memcpy, 16_565, pf16_565);
BENCHMARK_CAPTURE(ConvertCopy, 16_565, pf16_565);
BENCHMARK_CAPTURE(AlphaBlend, 16_565, pf16_565);
BENCHMARK_CAPTURE(DrawAlphaMask, 16_565, pf16_565);
BENCHMARK_CAPTURE(DrawDoubleAlphaMask, 16_565, pf16_565);
BENCHMARK_CAPTURE(Memcpy, 32_888, pf32_888);
BENCHMARK_CAPTURE(ConvertCopy, 32_888, pf32_888);
BENCHMARK_CAPTURE(AlphaBlend, 32_888, pf32_888);
BENCHMARK_CAPTURE(DrawAlphaMask, 32_888, pf32_888);
BENCHMARK_CAPTURE(DrawDoubleAlphaMask, 32_888, pf32_888);
