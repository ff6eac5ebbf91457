// WaveFormat: the wave format record of RIFF WAVE "fmt " chunks and of the audio conversion service.
#include "platform/audioconvert/WaveFormat.h"

#include <algorithm>
#include <cstring>

namespace {

std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t Le32(const std::uint8_t* p) { return Le16(p) | static_cast<std::uint32_t>(Le16(p + 2)) << 16; }

// The tail shared by every standard sub-format GUID (the tag fills the first two bytes).
constexpr std::uint8_t kSubFormatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00,
                                             0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

} // namespace

bool WaveFormat::Parse(std::span<const std::uint8_t> bytes, WaveFormat& format)
{
    if (bytes.size() < 14)
        return false;
    const std::uint8_t* p = bytes.data();
    format = WaveFormat{};
    format.formatTag = Le16(p);
    format.channels = Le16(p + 2);
    format.samplesPerSec = Le32(p + 4);
    format.avgBytesPerSec = Le32(p + 8);
    format.blockAlign = Le16(p + 12);
    if (bytes.size() >= 16)
        format.bitsPerSample = Le16(p + 14);
    if (bytes.size() >= 18) {
        const std::size_t extraSize = std::min<std::size_t>(Le16(p + 16), bytes.size() - 18);
        format.extra.assign(p + 18, p + 18 + extraSize);
    }
    return true;
}

WaveFormat WaveFormat::Pcm(std::uint16_t channels, std::uint32_t samplesPerSec, std::uint16_t bitsPerSample)
{
    WaveFormat format;
    format.formatTag = kWaveFormatPcm;
    format.channels = channels;
    format.samplesPerSec = samplesPerSec;
    format.bitsPerSample = bitsPerSample;
    format.blockAlign = static_cast<std::uint16_t>(channels * bitsPerSample / 8);
    format.avgBytesPerSec = samplesPerSec * format.blockAlign;
    return format;
}

std::uint16_t WaveFormat::EffectiveTag() const
{
    // Extensible extra bytes: valid bits (2), channel mask (4), sub-format GUID (16).
    if (formatTag != kWaveFormatExtensible || extra.size() < 22)
        return formatTag;
    const std::uint8_t* guid = extra.data() + 6;
    if (std::memcmp(guid + 2, kSubFormatTail, sizeof kSubFormatTail) != 0)
        return formatTag;
    return Le16(guid);
}
