// ZTWaveStream: the decoder of RIFF WAVE files (PCM passes through, other data is converted).
#pragma once

#include "sound/ZTAcmStream.h"

#include <cstdint>

class ZTWaveStream : public ZTAcmStream {
public:
    // The non-realtime form, for whole-sound buffers.
    explicit ZTWaveStream(ZTStream* source) : ZTWaveStream(source, false) {}
    // The realtime form is the one the streaming buffer uses.
    ZTWaveStream(ZTStream* source, bool realtime);

private:
    // Walks the RIFF chunks of the source: the "fmt " record and where the "data" chunk lies.
    // False unless a "fmt " chunk of 14 to 256 bytes comes before the first "data" chunk of
    // non-zero size. Every chunk offset is checked against the RIFF size and the source's size.
    bool ReadHeader(WaveFormat& format, std::uint32_t& dataSize, int& dataOffset);

    bool realtime_;
};
