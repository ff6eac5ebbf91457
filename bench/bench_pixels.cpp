// Pixel primitives on 640x480 frames in 16-, 24- and 32-bit layouts: format conversion, level
// blend, saturating add and alpha-map lay-over, each next to memcpy of the destination frame's
// bytes; the 32-bit lay-over also next to pixman's OVER through an a8 mask on the same data.
// Names: <Op>/<format>/<impl>.
#include "graphics/bitmaps/TXeRGBBits.h"

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kW = 640;
constexpr int kH = 480;

struct TFormatCase {
    const char* name;
    TPixFormat format;
    TPixFormat convertFrom;  // the other layout a conversion reads
};
const TFormatCase kCases[] = {
    {"16_565", pf16_565, pf32_8888},
    {"24_888", pf24_888, pf32_8888},
    {"32_8888", pf32_8888, pf24_888},
};

std::vector<std::uint8_t> RandomFrame(std::size_t bytes, std::uint32_t seed)
{
    std::mt19937 rng(seed);
    std::vector<std::uint8_t> v(bytes);
    for (auto& b : v)
        b = static_cast<std::uint8_t>(rng());
    return v;
}

// Every value mixed: the worst case, each pixel blended.
std::vector<std::uint8_t> RandomAlpha()
{
    return RandomFrame(std::size_t{kW} * kH, 99);
}

// Soft-edged discs over a transparent background: large runs of 0 and 255 with ramps between,
// as sprites and faded pictures have.
std::vector<std::uint8_t> SpriteAlpha()
{
    std::vector<std::uint8_t> a(std::size_t{kW} * kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const double dx = (x % 160) - 80.0, dy = (y % 160) - 80.0;
            const double edge = (70.0 - std::sqrt(dx * dx + dy * dy)) * 16.0;
            a[static_cast<std::size_t>(y) * kW + x] = static_cast<std::uint8_t>(std::clamp(edge, 0.0, 255.0));
        }
    return a;
}

struct TFrame {
    TXeRGBBits bits{nullptr};
    explicit TFrame(TPixFormat format)
    {
        bits.SetPixFormat(format);
        bits.Resize(kW, kH);
        bits.Create();
        const auto fill = RandomFrame(std::size_t{kW} * kH * bits.BitDepth(), 1);
        std::memcpy(bits.Bits(), fill.data(), fill.size());
    }
    std::size_t Bytes() const { return std::size_t{kW} * kH * bits.BitDepth(); }
};

void Finish(benchmark::State& state, std::size_t bytes)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void Memcpy(benchmark::State& state, TPixFormat format)
{
    const std::size_t bytes = std::size_t{kW} * kH * PixFormatBytes(format);
    std::vector<std::uint8_t> src = RandomFrame(bytes, 2), dst(bytes);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), bytes);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    Finish(state, bytes);
}

void Convert(benchmark::State& state, TFormatCase c)
{
    TFrame dst(c.format);
    const int srcBytes = PixFormatBytes(c.convertFrom);
    const auto src = RandomFrame(std::size_t{kW} * kH * srcBytes, 3);
    for (auto _ : state)
        benchmark::DoNotOptimize(dst.bits.XeConvert(0, 0, kW, kH, src.data(), c.convertFrom, kW * srcBytes));
    Finish(state, dst.Bytes());
}

void AlphaBlend(benchmark::State& state, TFormatCase c)
{
    TFrame dst(c.format);
    const int pitch = kW * dst.bits.BitDepth();
    const auto a = RandomFrame(dst.Bytes(), 4), b = RandomFrame(dst.Bytes(), 5);
    for (auto _ : state)
        benchmark::DoNotOptimize(dst.bits.XeAlphaBlend(0, 0, kW, kH, a.data(), pitch, b.data(), pitch, 100));
    Finish(state, dst.Bytes());
}

void Add(benchmark::State& state, TFormatCase c)
{
    TFrame dst(c.format);
    const auto src = RandomFrame(dst.Bytes(), 6);
    for (auto _ : state)
        benchmark::DoNotOptimize(dst.bits.XeSaturationAdd(0, 0, kW, kH, src.data(), kW * dst.bits.BitDepth()));
    Finish(state, dst.Bytes());
}

void AlphaMask(benchmark::State& state, TFormatCase c, bool sprite)
{
    TFrame dst(c.format);
    const auto src = RandomFrame(dst.Bytes(), 7);
    const auto alpha = sprite ? SpriteAlpha() : RandomAlpha();
    for (auto _ : state)
        benchmark::DoNotOptimize(dst.bits.XeAlphaMask(0, 0, kW, kH, src.data(), kW * dst.bits.BitDepth(), c.format,
                                                      alpha.data(), kW));
    Finish(state, dst.Bytes());
}

// pixman's OVER of an opaque x8r8g8b8 source through an a8 mask onto an x8r8g8b8 destination:
// the same lay-over as ours (the destination's fourth byte carries no colour).
void AlphaMaskPixman(benchmark::State& state, bool sprite)
{
    auto dstPixels = RandomFrame(std::size_t{kW} * kH * 4, 1);
    auto srcPixels = RandomFrame(std::size_t{kW} * kH * 4, 7);
    auto alpha = sprite ? SpriteAlpha() : RandomAlpha();
    pixman_image_t* dst = pixman_image_create_bits(PIXMAN_x8r8g8b8, kW, kH,
                                                   reinterpret_cast<std::uint32_t*>(dstPixels.data()), kW * 4);
    pixman_image_t* src = pixman_image_create_bits(PIXMAN_x8r8g8b8, kW, kH,
                                                   reinterpret_cast<std::uint32_t*>(srcPixels.data()), kW * 4);
    pixman_image_t* mask = pixman_image_create_bits(PIXMAN_a8, kW, kH,
                                                    reinterpret_cast<std::uint32_t*>(alpha.data()), kW);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, src, mask, dst, 0, 0, 0, 0, 0, 0, kW, kH);
        benchmark::DoNotOptimize(dstPixels.data());
        benchmark::ClobberMemory();
    }
    pixman_image_unref(mask);
    pixman_image_unref(src);
    pixman_image_unref(dst);
    Finish(state, std::size_t{kW} * kH * 4);
}

const bool registered = [] {
    for (const TFormatCase& c : kCases) {
        const std::string f = c.name;
        benchmark::RegisterBenchmark(("Convert/" + f + "/ours").c_str(), Convert, c);
        benchmark::RegisterBenchmark(("Convert/" + f + "/memcpy").c_str(), Memcpy, c.format);
        benchmark::RegisterBenchmark(("AlphaBlend/" + f + "/ours").c_str(), AlphaBlend, c);
        benchmark::RegisterBenchmark(("AlphaBlend/" + f + "/memcpy").c_str(), Memcpy, c.format);
        benchmark::RegisterBenchmark(("Add/" + f + "/ours").c_str(), Add, c);
        benchmark::RegisterBenchmark(("Add/" + f + "/memcpy").c_str(), Memcpy, c.format);
        benchmark::RegisterBenchmark(("AlphaMask/" + f + "/ours").c_str(), AlphaMask, c, false);
        benchmark::RegisterBenchmark(("AlphaMask/" + f + "/memcpy").c_str(), Memcpy, c.format);
        benchmark::RegisterBenchmark(("AlphaMaskSprite/" + f + "/ours").c_str(), AlphaMask, c, true);
    }
    benchmark::RegisterBenchmark("AlphaMask/32_8888/pixman", AlphaMaskPixman, false);
    benchmark::RegisterBenchmark("AlphaMaskSprite/32_8888/pixman", AlphaMaskPixman, true);
    return true;
}();

}  // namespace
