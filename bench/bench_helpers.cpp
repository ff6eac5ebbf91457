// The shell's drawing helpers on a full 640x480 frame: the save thumbnail of a 32-bit screen (read
// as it is) and of a 16-bit one (converted to 24 bits first), the area reduction of 24-bit pixels
// alone, the stretch copy and the stretch blend of a zoom step (592x444 onto 640x480, 32-bit),
// each next to memcpy of the 32-bit frame. Goal: the 32-bit thumbnail costs at most 3x the memcpy.
#include "base/memory/TMemMan.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "shell/GameGlobals.h"
#include "shell/helpers/AreaReduce.h"
#include "shell/helpers/SaveThumbnail.h"
#include "shell/helpers/StretchRect.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr int kW = 640;
constexpr int kH = 480;

std::vector<std::uint8_t> Noise(std::size_t bytes)
{
    std::mt19937 rng(11);
    std::vector<std::uint8_t> data(bytes);
    for (auto& b : data)
        b = static_cast<std::uint8_t>(rng());
    return data;
}

void Memcpy(benchmark::State& state)
{
    const std::vector<std::uint8_t> src = Noise(kW * kH * 4);
    std::vector<std::uint8_t> dst(src.size());
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), src.size());
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * src.size()));
}

template <TBitDepth Depth>
void Thumbnail(benchmark::State& state)
{
    TMemMan registry(nullptr);
    MemMan = &registry;
    TXeRGBBits screen(nullptr);
    screen.SetBitDepth(Depth);
    screen.Create();
    screen.Lock();
    const std::vector<std::uint8_t> noise = Noise(static_cast<std::size_t>(screen.Pitch()) * kH);
    std::memcpy(screen.Bits(), noise.data(), noise.size());
    screen.Unlock();
    for (auto _ : state) {
        TXeRGBBits* thumbnail = MakeSaveThumbnail(&screen);
        // Through a copy: the lvalue form's "+m,r" operand can garble a pointer under this compiler.
        benchmark::DoNotOptimize(static_cast<const void*>(thumbnail));
        registry.Delete(thumbnail);
    }
    MemMan = nullptr;
}

void Reduce(benchmark::State& state)
{
    const std::vector<std::uint8_t> src = Noise(kW * kH * 3);
    std::vector<std::uint8_t> dst(134 * 100 * 3);
    for (auto _ : state) {
        ReduceRect24(src.data(), kW, kH, kW * 3, dst.data(), 134, 100, 134 * 3);
        benchmark::DoNotOptimize(dst.data());
    }
}

template <void (*Stretch)(const std::uint8_t*, int, int, int, std::uint8_t*, int, int, int)>
void ZoomStep(benchmark::State& state)
{
    constexpr int kSrcW = kW - 48, kSrcH = kH - 36;
    const std::vector<std::uint8_t> src = Noise(kSrcW * kSrcH * 4);
    std::vector<std::uint8_t> dst = Noise(kW * kH * 4);
    for (auto _ : state) {
        Stretch(src.data(), kSrcW, kSrcH, kSrcW * 4, dst.data(), kW, kH, kW * 4);
        benchmark::DoNotOptimize(dst.data());
    }
}

} // namespace

BENCHMARK(Memcpy)->Name("Memcpy/frame32");
BENCHMARK(Thumbnail<bd32>)->Name("MakeSaveThumbnail/screen32");
BENCHMARK(Thumbnail<bd16>)->Name("MakeSaveThumbnail/screen16");
BENCHMARK(Reduce)->Name("ReduceRect24/640x480to134x100");
BENCHMARK(ZoomStep<StretchRect32>)->Name("StretchRect32/zoom");
BENCHMARK(ZoomStep<StretchBlendRect32>)->Name("StretchBlendRect32/zoom");
