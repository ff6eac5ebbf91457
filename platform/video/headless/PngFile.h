// A small PNG writer for front-buffer pictures (8-bit RGB), so headless runs can be looked at.
#pragma once

#include "platform/video/FrontBuffer.h"

#include <filesystem>

namespace video {

// Writes `picture` as an 8-bit RGB PNG file (8-bit pictures as grey levels of their indices).
// The file is written beside the target and renamed over it, so a failure keeps an old file.
bool WritePngFile(const FrontBuffer::Picture& picture, const std::filesystem::path& path);

} // namespace video
