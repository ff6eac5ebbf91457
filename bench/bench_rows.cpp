// Row copy and fill primitives next to memcpy and memset of the same bytes, on one 640-pixel row
// and on a 640x480 frame walked row by row, for 2-, 3- and 4-byte pixels. Each primitive runs in
// its default form and, suffixed "portable", with the wide (AVX2) loops switched off.
#include "base/memory/XeMem.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kWidth = 640;
constexpr std::size_t kHeight = 480;
constexpr std::uint32_t kKey = 0x00FF00FF;

// A row operation: destination row, source row, row mask, pixels.
using RowOp = std::function<void(std::uint8_t*, const std::uint8_t*, const std::uint8_t*, std::size_t)>;

struct Variant {
    const char* name;
    RowOp op;
};

struct Width {
    int bytes;
    Variant copy, keyed, masked, mirrored, fill;
};

template <auto Fn> RowOp Copy(int bytes)
{
    return [bytes](std::uint8_t* d, const std::uint8_t* s, const std::uint8_t*, std::size_t n) { Fn(d, s, n * bytes); };
}
template <auto Fn> RowOp Mirror()
{
    return [](std::uint8_t* d, const std::uint8_t* s, const std::uint8_t*, std::size_t n) { Fn(d, s, n); };
}
template <auto Fn> RowOp Keyed()
{
    return [](std::uint8_t* d, const std::uint8_t* s, const std::uint8_t*, std::size_t n) { Fn(d, s, n, kKey); };
}
template <auto Fn> RowOp Masked()
{
    return [](std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* m, std::size_t n) {
        Fn(d, s, n, m, static_cast<unsigned>(n));
    };
}
template <auto Fn> RowOp Fill()
{
    return [](std::uint8_t* d, const std::uint8_t*, const std::uint8_t*, std::size_t n) { Fn(d, 0x00123456, n); };
}
RowOp LibcCopy(int bytes)
{
    return [bytes](std::uint8_t* d, const std::uint8_t* s, const std::uint8_t*, std::size_t n) {
        std::memcpy(d, s, n * bytes);
    };
}
RowOp LibcFill(int bytes)
{
    return [bytes](std::uint8_t* d, const std::uint8_t*, const std::uint8_t*, std::size_t n) {
        std::memset(d, 0x56, n * bytes);
    };
}

void Run(benchmark::State& state, int bytes, std::size_t rows, const RowOp& op, bool wide)
{
    const bool initial = XeMemWideVectors();
    XeMemUseWideVectors(wide);
    const std::size_t pitch = kWidth * bytes;
    std::mt19937 rng(7);
    std::vector<std::uint8_t> src(pitch * rows);
    for (auto& b : src)
        b = rng() % 4 == 0 ? 0xFF : static_cast<std::uint8_t>(rng());
    std::vector<std::uint8_t> dst(pitch * rows);
    std::vector<std::uint8_t> mask(kWidth / 8 * rows);
    for (auto& b : mask)
        b = static_cast<std::uint8_t>(rng());
    for (auto _ : state) {
        for (std::size_t r = 0; r < rows; ++r)
            op(dst.data() + r * pitch, src.data() + r * pitch, mask.data() + r * kWidth / 8, kWidth);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * pitch * rows));
    XeMemUseWideVectors(initial);
}

const bool kRegistered = [] {
    const Width widths[] = {
        {2,
         {"XeMemcpy", Copy<XeMemcpy>(2)},
         {"XeMemcpy2K", Keyed<XeMemcpy2K>()},
         {"XeMemcpy2M", Masked<XeMemcpy2M>()},
         {"XeMemcpy2R", Mirror<XeMemcpy2R>()},
         {"XeMemset2", Fill<XeMemset2>()}},
        {3,
         {"XeMemcpy", Copy<XeMemcpy>(3)},
         {"XeMemcpy3K", Keyed<XeMemcpy3K>()},
         {"XeMemcpy3M", Masked<XeMemcpy3M>()},
         {"XeMemcpy3R", Mirror<XeMemcpy3R>()},
         {"XeMemset3", Fill<XeMemset3>()}},
        {4,
         {"XeMemcpy", Copy<XeMemcpy>(4)},
         {"XeMemcpy4K", Keyed<XeMemcpy4K>()},
         {"XeMemcpy4M", Masked<XeMemcpy4M>()},
         {"XeMemcpy4R", Mirror<XeMemcpy4R>()},
         {"XeMemset4", Fill<XeMemset4>()}},
    };
    const std::pair<const char*, std::size_t> shapes[] = {{"row", 1}, {"frame", kHeight}};
    for (const auto& [shape, rows] : shapes) {
        for (const Width& w : widths) {
            const Variant peers[] = {{"memcpy", LibcCopy(w.bytes)}, {"memset", LibcFill(w.bytes)}};
            const Variant ours[] = {w.copy, w.keyed, w.masked, w.mirrored, w.fill};
            auto add = [&](const Variant& v, const char* suffix, bool wide) {
                const std::string name = std::string(shape) + "/" + std::to_string(w.bytes) + "/" + v.name + suffix;
                benchmark::RegisterBenchmark(name.c_str(), [bytes = w.bytes, rows = rows, op = v.op, wide](benchmark::State& s) {
                    Run(s, bytes, rows, op, wide);
                });
            };
            for (const Variant& v : peers)
                add(v, "", true);
            for (const Variant& v : ours)
                add(v, "", true);
            for (const Variant& v : ours)
                if (&v != &ours[0]) // XeMemcpy has one form
                    add(v, "/portable", false);
        }
    }
    return true;
}();

} // namespace
