// One drawing step of every screen transition kind on 640x480 pictures at 32 bits, with the effects'
// data made here (ripple tables, a circular mask, halo pictures), next to memcpy of the 32-bit frame.
// Goal: every kind at most 4x the memcpy, the water and zoom kinds included.
#include "base/memory/TMemMan.h"
#include "base/packs/TFileMan.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "platform/fs/FileSystem.h"
#include "shell/GameGlobals.h"
#include "shell/transition/TScreenTransition.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

namespace {

constexpr int kW = 640;
constexpr int kH = 480;

using Bytes = std::vector<std::uint8_t>;

void PutLE(Bytes& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A bottom-up BMP of 8 bits with a grey palette, or of 24 bits, from value(x, y).
template <typename Value> Bytes Bmp(int width, int height, int bits, Value value)
{
    const int bytes = bits / 8;
    const int rowBytes = (width * bytes + 3) & ~3;
    const int palette = bits == 8 ? 256 : 0;
    const std::uint32_t offset = 54 + 4 * static_cast<std::uint32_t>(palette);
    Bytes out = {'B', 'M'};
    for (const auto& [v, n] : {std::pair<std::uint32_t, int>{offset + static_cast<std::uint32_t>(rowBytes * height), 4},
                              {0, 4}, {offset, 4}, {40, 4}, {static_cast<std::uint32_t>(width), 4},
                              {static_cast<std::uint32_t>(height), 4}, {1, 2}, {static_cast<std::uint32_t>(bits), 2},
                              {0, 4}, {static_cast<std::uint32_t>(rowBytes * height), 4}, {2835, 4}, {2835, 4},
                              {static_cast<std::uint32_t>(palette), 4}, {0, 4}})
        PutLE(out, v, n);
    for (int i = 0; i < palette; ++i)
        PutLE(out, static_cast<std::uint32_t>(i * 0x010101), 4);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x)
            PutLE(out, value(x, y), bytes);
        out.insert(out.end(), static_cast<std::size_t>(rowBytes - width * bytes), 0);
    }
    return out;
}

// The effects' data in a scratch folder: ripple tables of a real distance and sine, a circular mask
// and the halo pictures.
class EffectData {
public:
    EffectData()
    {
        root_ = std::filesystem::temp_directory_path() / ("bench-transitions-" + std::to_string(std::random_device()()));
        std::filesystem::create_directories(root_);
        Bytes dist, sine, multi;
        for (int r = 0; r < 240; ++r)
            for (int c = 0; c < 320; ++c)
                PutLE(dist, static_cast<std::uint32_t>(std::sqrt(r * r + c * c)), 2);
        for (int i = 0; i < 256; ++i)
            sine.push_back(static_cast<std::uint8_t>(127.5 + 127 * std::sin(i * 2 * M_PI / 256)));
        for (int a = 0; a < 32; ++a)
            for (int s = 0; s < 255; ++s)
                multi.push_back(static_cast<std::uint8_t>(127 + (s - 127) * a / 127));
        Write("WaterDistTbl.bin", dist);
        Write("WaterSinTbl.bin", sine);
        Write("WaterMultiTbl.bin", multi);
        Write("Circle.bmp", Bmp(kW, kH, 8, [](int x, int y) {
                  return static_cast<std::uint32_t>(std::hypot(x - 320, y - 240) * 255 / 400);
              }));
        Write("HaloBack.bmp", Bmp(kW, kH, 24, [](int, int) { return 0x101020u; }));
        for (const char* name : {"HaloBlueB.bmp", "HaloYellowB.bmp", "HaloYellowS.bmp", "HaloBlueS.bmp", "HaloGreen.bmp"})
            Write(name, Bmp(96, 96, 24, [](int x, int y) { return static_cast<std::uint32_t>((x + y) * 0x010101); }));
        files.InitDir(FileSystem::FromNative(root_) + "\\");
    }
    ~EffectData() { std::filesystem::remove_all(root_); }

    TFileMan files{nullptr};

private:
    void Write(const char* name, const Bytes& bytes)
    {
        std::ofstream(root_ / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    std::filesystem::path root_;
};

void Noise(TXeRGBBits& bits, unsigned seed)
{
    bits.SetBitDepth(bd32);
    bits.Create();
    bits.Lock();
    std::mt19937 rng(seed);
    for (int y = 0; y < kH; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(bits.Bits() + static_cast<std::ptrdiff_t>(y) * bits.Pitch());
        for (int x = 0; x < kW; ++x)
            row[x] = rng() & 0xFFFFFF;
    }
    bits.Unlock();
}

void Memcpy(benchmark::State& state)
{
    Bytes src(kW * kH * 4, 0x5A);
    Bytes dst(src.size());
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), src.size());
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * src.size()));
}

// One Advance and Draw per iteration; a finished transition starts again.
void Step(benchmark::State& state)
{
    const int kind = static_cast<int>(state.range(0));
    TMemMan registry(nullptr);
    MemMan = &registry;
    EffectData data;
    TXeRGBBits source(nullptr), target(nullptr), dest(nullptr);
    Noise(source, 1);
    Noise(target, 2);
    Noise(dest, 3);
    TScreenTransition t;
    t.WaterEffect().Load(&data.files);
    t.HaloEffect().Load(&data.files, bd32);
    t.MaskEffect().Load(&data.files, "Circle.bmp");
    for (auto _ : state) {
        if (t.IsDone()) {
            t.Start(kind, &source, &target, 100);
            t.Draw(&dest, nullptr);
        }
        t.Advance(1);
        t.Draw(&dest, nullptr);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kW * kH * 4);
    t.WaterEffect().Release();
    t.HaloEffect().Release();
    t.MaskEffect().Release();
    MemMan = nullptr;
}

} // namespace

BENCHMARK(Memcpy);
BENCHMARK(Step)->DenseRange(0, TScreenTransition::kKindCount - 1)->ArgName("kind");
