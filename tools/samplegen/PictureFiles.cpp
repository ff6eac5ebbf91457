#include "tools/samplegen/PictureFiles.h"

#include "graphics/pictures/PngPicture.h"
#include "platform/classes/Stream.h"

#include <jpeglib.h>

#include <cstdio>
#include <fstream>
#include <vector>

namespace samplegen {
namespace {

constexpr int kJpegQuality = 90;

void Put16(std::vector<std::uint8_t>& out, unsigned value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// A bottom-up uncompressed BMP: 24-bit colour, or 8-bit indices with the grey palette.
std::vector<std::uint8_t> Bmp(const Canvas& canvas, bool grey)
{
    const int bytesPerPixel = grey ? 1 : 3;
    const std::uint32_t stride = (static_cast<std::uint32_t>(canvas.Width()) * bytesPerPixel + 3) & ~3u;
    const std::uint32_t palette = grey ? 256 * 4 : 0;
    const std::uint32_t offset = 14 + 40 + palette;
    const std::uint32_t imageSize = stride * static_cast<std::uint32_t>(canvas.Height());
    std::vector<std::uint8_t> out;
    out.reserve(offset + imageSize);
    out.push_back('B');
    out.push_back('M');
    Put32(out, offset + imageSize);
    Put32(out, 0);
    Put32(out, offset);
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(canvas.Width()));
    Put32(out, static_cast<std::uint32_t>(canvas.Height()));
    Put16(out, 1);
    Put16(out, grey ? 8 : 24);
    Put32(out, 0);
    Put32(out, imageSize);
    Put32(out, 2835); // 72 dots per inch
    Put32(out, 2835);
    Put32(out, grey ? 256 : 0);
    Put32(out, 0);
    for (std::uint32_t i = 0; grey && i < 256; ++i)
        Put32(out, i * 0x010101u);
    for (int y = canvas.Height() - 1; y >= 0; --y) {
        const std::size_t start = out.size();
        for (int x = 0; x < canvas.Width(); ++x) {
            const std::uint32_t p = canvas.At(x, y);
            if (grey) {
                out.push_back(static_cast<std::uint8_t>(p >> 8));
            } else {
                out.push_back(static_cast<std::uint8_t>(p));
                out.push_back(static_cast<std::uint8_t>(p >> 8));
                out.push_back(static_cast<std::uint8_t>(p >> 16));
            }
        }
        out.resize(start + stride, 0);
    }
    return out;
}

std::vector<std::uint8_t> Png(const Canvas& canvas)
{
    std::vector<std::uint8_t> bgr;
    std::vector<std::uint8_t> alpha;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x) {
            const std::uint32_t p = canvas.At(x, y);
            bgr.insert(bgr.end(), {static_cast<std::uint8_t>(p), static_cast<std::uint8_t>(p >> 8),
                                   static_cast<std::uint8_t>(p >> 16)});
            alpha.push_back(static_cast<std::uint8_t>(p >> 24));
        }
    TMemoryStream stream;
    if (!SavePng(&stream, bgr.data(), canvas.HasAlpha() ? alpha.data() : nullptr, canvas.Width(), canvas.Height(), pf24_888))
        return {};
    return {stream.Memory(), stream.Memory() + stream.GetSize()};
}

std::vector<std::uint8_t> Jpeg(const Canvas& canvas)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(canvas.Width());
    info.image_height = static_cast<JDIMENSION>(canvas.Height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, kJpegQuality, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(canvas.Width()) * 3);
    while (info.next_scanline < info.image_height) {
        for (int x = 0; x < canvas.Width(); ++x) {
            const std::uint32_t p = canvas.At(x, static_cast<int>(info.next_scanline));
            row[x * 3] = static_cast<JSAMPLE>(p >> 16);
            row[x * 3 + 1] = static_cast<JSAMPLE>(p >> 8);
            row[x * 3 + 2] = static_cast<JSAMPLE>(p);
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<std::uint8_t> out(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}

} // namespace

bool WriteBytes(std::span<const std::uint8_t> bytes, const std::filesystem::path& path)
{
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
        std::fprintf(stderr, "samplegen: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

bool WritePicture(const Canvas& canvas, SampleKind kind, const std::filesystem::path& path)
{
    std::vector<std::uint8_t> bytes;
    switch (kind) {
    case SampleKind::Png: bytes = Png(canvas); break;
    case SampleKind::Bmp: bytes = Bmp(canvas, false); break;
    case SampleKind::GreyBmp: bytes = Bmp(canvas, true); break;
    case SampleKind::Jpeg: bytes = Jpeg(canvas); break;
    default: break;
    }
    if (bytes.empty()) {
        std::fprintf(stderr, "samplegen: cannot encode %s\n", path.c_str());
        return false;
    }
    return WriteBytes(bytes, path);
}

} // namespace samplegen
