// Screen captures of the virtual X server for the end-to-end tests.
#include "tests/e2e/XwdCapture.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace e2e {

namespace {


std::uint32_t BigEndian32(const std::uint8_t* p)
{
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

std::uint32_t Channel8(std::uint32_t pixel, std::uint32_t mask)
{
    if (mask == 0)
        return 0;
    int shift = 0;
    while (((mask >> shift) & 1) == 0)
        ++shift;
    const std::uint32_t value = (pixel & mask) >> shift;
    const std::uint32_t max = mask >> shift;
    return max == 255 ? value : value * 255 / max;
}

} // namespace

// Reads an XWD file of a 24-bit TrueColor or DirectColor screen (pixels of 3 or 4 bytes).
std::optional<ScreenCapture> ReadXwd(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    const std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (data.size() < 100)
        return std::nullopt;
    const auto field = [&](int i) { return BigEndian32(data.data() + i * 4); };
    const std::uint32_t headerSize = field(0);
    const std::uint32_t width = field(4);
    const std::uint32_t height = field(5);
    const std::uint32_t byteOrder = field(7); // 0 least significant byte first
    const std::uint32_t bitsPerPixel = field(11);
    const std::uint32_t bytesPerLine = field(12);
    const std::uint32_t visualClass = field(13);
    const std::uint32_t redMask = field(14);
    const std::uint32_t greenMask = field(15);
    const std::uint32_t blueMask = field(16);
    const std::uint32_t colors = field(19);
    if (width == 0 || height == 0 || width > 8192 || height > 8192 || (bitsPerPixel != 24 && bitsPerPixel != 32))
        return std::nullopt;
    const std::uint32_t stride = bitsPerPixel / 8;
    const std::uint64_t start = std::uint64_t{headerSize} + std::uint64_t{colors} * 12;
    if (bytesPerLine < width * stride || start + std::uint64_t{bytesPerLine} * height > data.size())
        return std::nullopt;
    // A DirectColor screen (what X gives SDL's windows on Xvfb) maps each channel through the colour map.
    const bool direct = visualClass == 5;
    if (direct && colors < 256)
        return std::nullopt;
    const auto mapped = [&](std::uint32_t index, int channel) {
        return std::uint32_t{data[headerSize + index * 12 + 4 + channel * 2]};
    };
    ScreenCapture capture{static_cast<int>(width), static_cast<int>(height), {}};
    capture.rgb.resize(static_cast<std::size_t>(width) * height);
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint8_t* p = data.data() + start + std::uint64_t{y} * bytesPerLine + std::uint64_t{x} * stride;
            std::uint32_t pixel = 0;
            for (std::uint32_t i = 0; i < stride; ++i)
                pixel |= std::uint32_t{p[byteOrder == 0 ? i : stride - 1 - i]} << (8 * i);
            std::uint32_t r = Channel8(pixel, redMask);
            std::uint32_t g = Channel8(pixel, greenMask);
            std::uint32_t b = Channel8(pixel, blueMask);
            if (direct) {
                r = mapped(r, 0);
                g = mapped(g, 1);
                b = mapped(b, 2);
            }
            capture.rgb[static_cast<std::size_t>(y) * width + x] = r << 16 | g << 8 | b;
        }
    return capture;
}

// Writes a capture as a PPM picture, to look at after a failure.
std::filesystem::path SaveCapture(const ScreenCapture& capture)
{
    const auto path = std::filesystem::temp_directory_path() / ("e2e-capture-" + std::to_string(getpid()) + ".ppm");
    std::ofstream file(path, std::ios::binary);
    file << "P6\n" << capture.width << " " << capture.height << "\n255\n";
    for (std::uint32_t c : capture.rgb) {
        const char rgb[3] = {static_cast<char>(c >> 16), static_cast<char>(c >> 8), static_cast<char>(c)};
        file.write(rgb, 3);
    }
    return path;
}

// Captures the whole X screen with xwd.
std::optional<ScreenCapture> CaptureScreen()
{
    const auto path = std::filesystem::temp_directory_path() / ("e2e-capture-" + std::to_string(getpid()) + ".xwd");
    const std::string command = "xwd -root -silent -out '" + path.string() + "'";
    if (std::system(command.c_str()) != 0)
        return std::nullopt;
    auto capture = ReadXwd(path);
    std::filesystem::remove(path);
    return capture;
}

} // namespace e2e
