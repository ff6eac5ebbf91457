// ZTMp3Stream: the decoder of raw MPEG audio (layers I to III), converted by the platform's
// conversion service from the format its first frame header describes.
#pragma once

#include "sound/ZTAcmStream.h"

#include <cstdint>

class ZTMp3Stream : public ZTAcmStream {
public:
    explicit ZTMp3Stream(ZTStream* source) : ZTMp3Stream(source, false) {}
    ZTMp3Stream(ZTStream* source, bool realtime);

    // The wave format record for the first frame header `header` (4 bytes): layer III data gets
    // the MPEG layer-3 record, layers I and II the MPEG record. False for a header that is not
    // MPEG audio or would give a zero rate (free format, reserved indices).
    static bool FormatFromHeader(const std::uint8_t* header, WaveFormat& format);

private:
    // Counts the sample frames of the `size` data bytes from the source's start by walking the
    // frame headers the way the converter cuts packets. False when the source cannot seek.
    bool CountFrames(int size, int rate, std::uint64_t& frames);

    bool realtime_;
};
