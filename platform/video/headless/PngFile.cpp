// A small PNG writer for front-buffer pictures (8-bit RGB), so headless runs can be looked at.
#include "platform/video/headless/PngFile.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <system_error>
#include <vector>

namespace video {

namespace {

// Only C objects live in this frame: libpng leaves it by longjmp on an error.
bool WriteRows(std::FILE* file, int width, int height, png_bytepp rows)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr)
        return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

bool WritePngFile(const FrontBuffer::Picture& picture, const std::filesystem::path& path)
{
    if (picture.width <= 0 || picture.height <= 0)
        return false;
    const std::size_t rowBytes = static_cast<std::size_t>(picture.width) * 3;
    std::vector<png_byte> rgb(rowBytes * static_cast<std::size_t>(picture.height));
    std::vector<png_bytep> rows(static_cast<std::size_t>(picture.height));
    for (int y = 0; y < picture.height; ++y) {
        png_bytep row = rgb.data() + rowBytes * static_cast<std::size_t>(y);
        rows[static_cast<std::size_t>(y)] = row;
        for (int x = 0; x < picture.width; ++x) {
            const std::uint32_t c = picture.Rgb(x, y);
            row[x * 3] = static_cast<png_byte>(c >> 16);
            row[x * 3 + 1] = static_cast<png_byte>(c >> 8);
            row[x * 3 + 2] = static_cast<png_byte>(c);
        }
    }
    std::filesystem::path temporary = path;
    temporary += ".tmp";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr)
        return false;
    const bool written = WriteRows(file, picture.width, picture.height, rows.data());
    const bool closed = std::fclose(file) == 0;
    std::error_code error;
    if (written && closed)
        std::filesystem::rename(temporary, path, error);
    if (!written || !closed || error) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    return true;
}

} // namespace video
