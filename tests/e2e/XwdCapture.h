// Screen captures of the virtual X server for the end-to-end tests: the whole screen taken with xwd
// and read back as RGB pixels.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace e2e {

// The X screen as xwd wrote it, each pixel as 0x00RRGGBB.
struct ScreenCapture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> rgb;

    std::uint32_t At(int x, int y) const { return rgb[static_cast<std::size_t>(y) * width + x]; }
};

// Reads an XWD file of a 24-bit TrueColor or DirectColor screen (pixels of 3 or 4 bytes).
std::optional<ScreenCapture> ReadXwd(const std::filesystem::path& path);
// Writes a capture as a PPM picture, to look at after a failure; returns its path.
std::filesystem::path SaveCapture(const ScreenCapture& capture);
// Captures the whole X screen with xwd.
std::optional<ScreenCapture> CaptureScreen();

} // namespace e2e
