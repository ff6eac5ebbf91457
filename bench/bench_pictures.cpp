// Picture decoding of one 640x480 picture into the 32-bit formats through our loaders, each next to
// a plain libpng or libjpeg decode of the same file into its natural RGB(A) rows (and, for JPEG,
// into libjpeg's own 32-bit rows); the other JPEG formats for comparison. Every decode writes into
// a buffer made once, so the figures compare decoding, not page faults. The machine is shared:
// run with --benchmark_repetitions=20 --benchmark_enable_random_interleaving=true and read the
// "min" rows. Names: <Format>/<source>/<impl>.
#include "graphics/pictures/JpegPicture.h"
#include "graphics/pictures/PngPicture.h"

#include <benchmark/benchmark.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <random>
#include <stdexcept>
#include <vector>

#include <jpeglib.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int kW = 640;
constexpr int kH = 480;

// A picture of smooth colour fields and soft shapes with grain of the given amplitude: a little
// (3) for a clean drawing, more (12, with fine texture) for a photograph's detail. The alpha
// plane has soft-edged discs.
Bytes Scene(int channels, int grainAmplitude)
{
    std::mt19937 rng(7);
    Bytes rgba(static_cast<std::size_t>(kW) * kH * channels);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const double wave = std::sin(x * 0.013) * std::cos(y * 0.021);
            const double dx = (x % 160) - 80.0, dy = (y % 160) - 80.0;
            const double disc = std::clamp((60.0 - std::sqrt(dx * dx + dy * dy)) * 8.0, 0.0, 255.0);
            const double texture = grainAmplitude > 3 ? 16 * std::sin(x * 0.9) * std::sin(y * 0.7) : 0;
            const double grain = static_cast<int>(rng() % (2 * grainAmplitude + 1)) - grainAmplitude + texture;
            std::uint8_t* p = &rgba[(static_cast<std::size_t>(y) * kW + x) * channels];
            p[0] = static_cast<std::uint8_t>(std::clamp(128 + 100 * wave + grain, 0.0, 255.0));
            p[1] = static_cast<std::uint8_t>(std::clamp(x * 255.0 / kW + grain, 0.0, 255.0));
            p[2] = static_cast<std::uint8_t>(std::clamp(disc * 0.6 + y * 0.2 + grain, 0.0, 255.0));
            if (channels == 4)
                p[3] = static_cast<std::uint8_t>(disc);
        }
    return rgba;
}

Bytes MakePng(int channels)
{
    const Bytes pixels = Scene(channels, 3);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = kW;
    image.height = kH;
    image.format = channels == 4 ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr);
    Bytes file(size);
    if (!png_image_write_to_memory(&image, file.data(), &size, 0, pixels.data(), 0, nullptr))
        throw std::runtime_error("PNG fixture");
    file.resize(size);
    return file;
}

Bytes MakeJpeg(int grainAmplitude)
{
    const Bytes pixels = Scene(3, grainAmplitude);
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = kW;
    cinfo.image_height = kH;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 85, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        auto* row = const_cast<JSAMPROW>(&pixels[static_cast<std::size_t>(cinfo.next_scanline) * kW * 3]);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    Bytes file(out, out + size);
    std::free(out);
    return file;
}

const Bytes& PngFile(int channels)
{
    static const Bytes rgb = MakePng(3);
    static const Bytes rgba = MakePng(4);
    return channels == 4 ? rgba : rgb;
}

// A JPEG of the clean picture (little to decode, so the loader's own share shows most) or of
// the detailed one (about as much to decode as a photograph).
const Bytes& JpegFile(bool detailed)
{
    static const Bytes clean = MakeJpeg(3);
    static const Bytes photo = MakeJpeg(12);
    return detailed ? photo : clean;
}

TMemoryStream& StreamOf(const Bytes& file)
{
    static TMemoryStream stream;
    stream.Clear();
    stream.WriteBuffer(file.data(), static_cast<int>(file.size()));
    return stream;
}

void Report(benchmark::State& state, const Bytes& file)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kW * kH * 4);
    state.counters["file_kB"] = static_cast<double>(file.size()) / 1024.0;
}

void OurPng(benchmark::State& state, int channels, TPixFormat format)
{
    TMemoryStream& stream = StreamOf(PngFile(channels));
    Bytes pixels(static_cast<std::size_t>(kW) * kH * 4), alpha(static_cast<std::size_t>(kW) * kH);
    for (auto _ : state) {
        stream.SetPosition(0);
        unsigned char* p = pixels.data();
        unsigned char* a = alpha.data();
        const bool ok = channels == 4 ? LoadPng(&stream, &p, &a, nullptr, nullptr, format)
                                      : LoadPng(&stream, &p, nullptr, nullptr, format);
        if (!ok)
            state.SkipWithError("LoadPng failed");
        benchmark::DoNotOptimize(pixels.data());
    }
    Report(state, PngFile(channels));
}

// libpng reading from memory into RGB or RGBA rows, its natural output.
void PlainPng(benchmark::State& state, int channels)
{
    const Bytes& file = PngFile(channels);
    Bytes pixels(static_cast<std::size_t>(kW) * kH * channels);
    std::vector<png_bytep> rows(kH);
    for (int y = 0; y < kH; ++y)
        rows[y] = &pixels[static_cast<std::size_t>(y) * kW * channels];
    struct TSource {
        const Bytes* file;
        std::size_t at;
    };
    for (auto _ : state) {
        TSource source{&file, 0};
        png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        if (setjmp(png_jmpbuf(png))) {
            state.SkipWithError("libpng failed");
            break;
        }
        png_set_read_fn(png, &source, [](png_structp p, png_bytep data, size_t length) {
            auto* s = static_cast<TSource*>(png_get_io_ptr(p));
            std::memcpy(data, s->file->data() + s->at, length);
            s->at += length;
        });
        png_read_info(png, info);
        png_read_image(png, rows.data());
        png_read_end(png, nullptr);
        png_destroy_read_struct(&png, &info, nullptr);
        benchmark::DoNotOptimize(pixels.data());
    }
    Report(state, file);
}

void OurJpeg(benchmark::State& state, TPixFormat format, bool detailed)
{
    TMemoryStream& stream = StreamOf(JpegFile(detailed));
    Bytes pixels(static_cast<std::size_t>(kW) * kH * 4);
    for (auto _ : state) {
        stream.SetPosition(0);
        unsigned char* p = pixels.data();
        if (!LoadJpeg(&stream, &p, nullptr, nullptr, format))
            state.SkipWithError("LoadJpeg failed");
        benchmark::DoNotOptimize(pixels.data());
    }
    Report(state, JpegFile(detailed));
}

// libjpeg reading from memory with its default settings, as djpeg does, into RGB rows or into
// its own blue, green, red, 0xFF rows.
void PlainJpeg(benchmark::State& state, J_COLOR_SPACE space, int components, bool detailed)
{
    const Bytes& file = JpegFile(detailed);
    Bytes pixels(static_cast<std::size_t>(kW) * kH * components);
    for (auto _ : state) {
        jpeg_decompress_struct cinfo{};
        jpeg_error_mgr err;
        cinfo.err = jpeg_std_error(&err);
        jpeg_create_decompress(&cinfo);
        jpeg_mem_src(&cinfo, file.data(), static_cast<unsigned long>(file.size()));
        jpeg_read_header(&cinfo, TRUE);
        cinfo.out_color_space = space;
        jpeg_start_decompress(&cinfo);
        while (cinfo.output_scanline < cinfo.output_height) {
            JSAMPROW row = &pixels[static_cast<std::size_t>(cinfo.output_scanline) * kW * components];
            jpeg_read_scanlines(&cinfo, &row, 1);
        }
        jpeg_finish_decompress(&cinfo);
        jpeg_destroy_decompress(&cinfo);
        benchmark::DoNotOptimize(pixels.data());
    }
    Report(state, file);
}

// The least time of the repetitions: the machine is shared, and other work only ever adds time.
double Least(const std::vector<double>& v)
{
    return *std::min_element(v.begin(), v.end());
}

}  // namespace

#define XE_PICTURE_BENCH(...) \
    BENCHMARK_CAPTURE(__VA_ARGS__)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Least)

XE_PICTURE_BENCH(OurPng, 32_888/png_rgb/ours, 3, pf32_888);
XE_PICTURE_BENCH(PlainPng, 32_888/png_rgb/libpng, 3);
XE_PICTURE_BENCH(OurPng, 32_8888/png_rgba/ours, 4, pf32_8888);
XE_PICTURE_BENCH(PlainPng, 32_8888/png_rgba/libpng, 4);
XE_PICTURE_BENCH(OurJpeg, 32_888/jpeg/ours, pf32_888, false);
XE_PICTURE_BENCH(PlainJpeg, 32_888/jpeg/libjpeg, JCS_RGB, 3, false);
XE_PICTURE_BENCH(PlainJpeg, 32_888/jpeg/libjpeg_bgrx, JCS_EXT_BGRX, 4, false);
XE_PICTURE_BENCH(OurJpeg, 32_888/jpeg_photo/ours, pf32_888, true);
XE_PICTURE_BENCH(PlainJpeg, 32_888/jpeg_photo/libjpeg, JCS_RGB, 3, true);
XE_PICTURE_BENCH(PlainJpeg, 32_888/jpeg_photo/libjpeg_bgrx, JCS_EXT_BGRX, 4, true);
XE_PICTURE_BENCH(OurJpeg, 24_888/jpeg/ours, pf24_888, false);
XE_PICTURE_BENCH(OurJpeg, 16_565/jpeg/ours, pf16_565, false);
