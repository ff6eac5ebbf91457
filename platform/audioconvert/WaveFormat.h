// WaveFormat: the wave format record of RIFF WAVE "fmt " chunks and of the audio conversion service.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// Format tags the system reads.
inline constexpr std::uint16_t kWaveFormatPcm = 0x0001;
inline constexpr std::uint16_t kWaveFormatMsAdpcm = 0x0002;
inline constexpr std::uint16_t kWaveFormatIeeeFloat = 0x0003;
inline constexpr std::uint16_t kWaveFormatALaw = 0x0006;
inline constexpr std::uint16_t kWaveFormatMuLaw = 0x0007;
inline constexpr std::uint16_t kWaveFormatImaAdpcm = 0x0011;
inline constexpr std::uint16_t kWaveFormatMpeg = 0x0050;
inline constexpr std::uint16_t kWaveFormatMpegLayer3 = 0x0055;
inline constexpr std::uint16_t kWaveFormatExtensible = 0xFFFE;

// The record in memory: the 16 fixed bytes of the little-endian layout and the codec-specific
// bytes that follow the 2-byte extra size in the 18-byte form.
struct WaveFormat {
    std::uint16_t formatTag = 0;
    std::uint16_t channels = 0;
    std::uint32_t samplesPerSec = 0;
    std::uint32_t avgBytesPerSec = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    std::vector<std::uint8_t> extra;

    // Bytes per sample frame of PCM (channels x bits / 8).
    std::uint32_t PcmFrameBytes() const { return std::uint32_t{channels} * bitsPerSample / 8; }

    // Reads a record of 14 bytes or more. A record of 14 or 15 bytes has no bits field (0), one
    // of 16 or 17 no extra bytes; the extra size is cut to what the record holds.
    static bool Parse(std::span<const std::uint8_t> bytes, WaveFormat& format);

    // The 16-bit PCM record for the given layout.
    static WaveFormat Pcm(std::uint16_t channels, std::uint32_t samplesPerSec, std::uint16_t bitsPerSample);

    // The tag of the data: the sub-format's tag for an extensible record with a standard sub-format
    // GUID, else formatTag.
    std::uint16_t EffectiveTag() const;
};
