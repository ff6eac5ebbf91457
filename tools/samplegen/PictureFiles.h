// PictureFiles: writes a canvas in the picture formats the game's loaders read (PNG through the
// graphics library's writer, BMP of 24 bits or 8-bit grey, JPEG through libjpeg), and plain bytes.
#pragma once

#include "tools/samplegen/Canvas.h"
#include "tools/samplegen/SampleFiles.h"

#include <cstdint>
#include <filesystem>
#include <span>

namespace samplegen {

// Writes the canvas at `path` in the kind's format: PNG keeps an alpha plane when the canvas has
// one, BMP and JPEG drop it, a grey BMP takes the green channel as the level. False when the
// file cannot be written. The bytes depend on the pixels only.
bool WritePicture(const Canvas& canvas, SampleKind kind, const std::filesystem::path& path);
bool WriteBytes(std::span<const std::uint8_t> bytes, const std::filesystem::path& path);

} // namespace samplegen
