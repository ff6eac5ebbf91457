// Shared body of the sound decoder fuzz targets: a decoder over the input, read to its end in
// sizes taken from the input, restarted, read again, and sought where it can seek.
#pragma once

#include "platform/classes/Stream.h"
#include "sound/ZTStream.h"

extern "C" {
#include <libavutil/log.h>
}

#include <cstddef>
#include <cstdint>
#include <vector>

template <typename Decoder> int FuzzDecoder(const std::uint8_t* data, std::size_t size)
{
    av_log_set_level(AV_LOG_QUIET);  // damaged input makes libavcodec talk
    TMemoryStream memory;
    memory.WriteBuffer(data, static_cast<int>(size));
    memory.SetPosition(0);
    T2ZTStream source(&memory);
    Decoder decoder(&source);
    if (!decoder.IsOpen())
        return 0;
    const int chunk = size > 0 ? 1 + data[size - 1] * 64 : 4096;
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(chunk));
    // Bounded in total so a tiny file claiming hours of sound stays quick.
    long total = 0;
    for (int pass = 0; pass < 2; ++pass) {
        for (int got; total < (16L << 20) && (got = decoder.Read(buffer.data(), chunk)) > 0;) {
            if (got > chunk)
                __builtin_trap();
            total += got;
        }
        if (decoder.GetPosition() > decoder.GetSize() && decoder.GetSize() > 0)
            __builtin_trap();
        if (!decoder.Rewind())
            break;
        if (decoder.CanSeek())
            decoder.Seek(static_cast<int>(size * 7), 0);
    }
    return 0;
}
