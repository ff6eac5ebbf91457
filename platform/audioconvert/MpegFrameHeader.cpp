// MpegFrameHeader: the 4-byte frame header of MPEG-1, MPEG-2 and MPEG-2.5 audio, layers I to III.
#include "platform/audioconvert/MpegFrameHeader.h"

namespace {

// kbit/s for indices 1 to 14 (ISO/IEC 11172-3 for MPEG-1, ISO/IEC 13818-3 for the rest).
constexpr int kMpeg1Rates[3][14] = {
    {32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
    {32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
    {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},
};
constexpr int kMpeg2Rates[2][14] = {
    {32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
    {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
};
constexpr int kSampleRates[3] = {44100, 48000, 32000};

} // namespace

int MpegFrameHeader::BitRate(int version, int layer, int index)
{
    if (index == 0)
        return 0;
    if (index == 15 || index < 0 || layer < 1 || layer > 3)
        return -1;
    if (version == 1)
        return kMpeg1Rates[layer - 1][index - 1];
    return kMpeg2Rates[layer == 1 ? 0 : 1][index - 1];
}

bool MpegFrameHeader::Parse(std::span<const std::uint8_t, 4> p, MpegFrameHeader& header)
{
    if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0)
        return false;
    const int versionBits = (p[1] >> 3) & 3;
    const int layerBits = (p[1] >> 1) & 3;
    const int rateIndex = (p[2] >> 2) & 3;
    if (versionBits == 1 || layerBits == 0 || rateIndex == 3)
        return false;
    MpegFrameHeader h;
    h.version = versionBits == 3 ? 1 : versionBits == 2 ? 2 : 25;
    h.layer = 4 - layerBits;
    h.bitRateKbps = BitRate(h.version, h.layer, p[2] >> 4);
    if (h.bitRateKbps < 0)
        return false;
    const int shift = h.version == 1 ? 0 : h.version == 2 ? 1 : 2;
    h.sampleRate = kSampleRates[rateIndex] >> shift;
    h.channels = (p[3] >> 6) == 3 ? 1 : 2;
    const int padding = (p[2] >> 1) & 1;
    if (h.layer == 1) {
        h.samplesPerFrame = 384;
        h.frameBytes = (12000 * h.bitRateKbps / h.sampleRate + padding) * 4;
    } else {
        h.samplesPerFrame = h.layer == 3 && h.version != 1 ? 576 : 1152;
        h.frameBytes = h.samplesPerFrame / 8 * 1000 * h.bitRateKbps / h.sampleRate + padding;
    }
    if (h.bitRateKbps == 0)
        h.frameBytes = 0;
    header = h;
    return true;
}
