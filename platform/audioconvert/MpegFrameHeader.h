// MpegFrameHeader: the 4-byte frame header of MPEG-1, MPEG-2 and MPEG-2.5 audio, layers I to III.
#pragma once

#include <cstdint>
#include <span>

struct MpegFrameHeader {
    int version = 0;          // 1 = MPEG-1, 2 = MPEG-2, 25 = MPEG-2.5
    int layer = 0;            // 1 to 3
    int bitRateKbps = 0;      // 0 for the free format
    int sampleRate = 0;
    int channels = 0;         // 1 or 2
    int samplesPerFrame = 0;  // per channel: 384, 1152 or 576
    int frameBytes = 0;       // whole frame with padding; 0 for the free format

    // Reads the header at p (4 bytes). False without the 11-bit sync, for a reserved version,
    // layer or sample-rate index, or for the bit-rate index 15.
    static bool Parse(std::span<const std::uint8_t, 4> p, MpegFrameHeader& header);

    // The bit-rate table in kbit/s by version, layer and index (index 0 gives 0, 15 gives -1).
    static int BitRate(int version, int layer, int index);

    // True when `other` may follow this frame in the same stream (same version, layer and rate).
    bool SameStream(const MpegFrameHeader& other) const
    {
        return version == other.version && layer == other.layer && sampleRate == other.sampleRate;
    }
};
