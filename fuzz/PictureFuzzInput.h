// Shared by the picture loader fuzz targets: the input as a stream, a pixel format picked from the
// input's size, and a size limit that keeps each run quick.
#pragma once

#include "graphics/bitmaps/PixelFormat.h"
#include "platform/classes/Stream.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

inline void FillStream(TMemoryStream& stream, const std::uint8_t* data, std::size_t size)
{
    stream.Clear();
    if (size > 0)
        stream.WriteBuffer(data, static_cast<int>(size));
    stream.SetPosition(0);
}

// Every format in turn as inputs grow, so one corpus reaches all row converters.
inline TPixFormat FormatFor(std::size_t size)
{
    return static_cast<TPixFormat>(1 + size % 7);
}

// Pictures the loaders accept (up to 16384 x 16384) can take seconds to decode from a few bytes of
// header; the targets decode only those of up to 4 million pixels and read the size of the rest.
inline bool SmallEnough(int width, int height)
{
    return static_cast<std::int64_t>(width) * height <= 4 * 1024 * 1024;
}

// A block handed over by a loader is freed by the target.
inline void FreeBlock(void* block)
{
    std::free(block);
}
