// Types of the audio output service: PCM layouts, buffer descriptions, flags, ranges and capabilities.
#pragma once

#include <cstdint>

namespace audio {

// Linear PCM, interleaved, little-endian; 8-bit samples are unsigned (silence 0x80), 16-bit signed.
struct PcmFormat {
    std::uint16_t channels = 2;
    std::uint32_t samplesPerSec = 44100;
    std::uint16_t bitsPerSample = 16;

    std::uint32_t FrameBytes() const { return channels * bitsPerSample / 8u; }
    // 1 or 2 channels, 8 or 16 bits, a rate the mixer can play (kFrequencyMin to kFrequencyMax).
    bool Valid() const;
    bool operator==(const PcmFormat&) const = default;
};

// Buffer flags. The values are the ones sound code of this kind has always used, so callers can
// keep their flag tables.
inline constexpr std::uint32_t kBufPrimary = 0x1;
inline constexpr std::uint32_t kBufStatic = 0x2;
inline constexpr std::uint32_t kBufLocSoftware = 0x8;
inline constexpr std::uint32_t kBufCtrl3D = 0x10;
inline constexpr std::uint32_t kBufCtrlFrequency = 0x20;
inline constexpr std::uint32_t kBufCtrlPan = 0x40;
inline constexpr std::uint32_t kBufCtrlVolume = 0x80;
inline constexpr std::uint32_t kBufCtrlPositionNotify = 0x100;
inline constexpr std::uint32_t kBufGlobalFocus = 0x8000;
inline constexpr std::uint32_t kBufGetCurrentPosition2 = 0x10000;
inline constexpr std::uint32_t kBufLocDefer = 0x40000;

// Buffer status bits.
inline constexpr std::uint32_t kStatusPlaying = 0x1;
inline constexpr std::uint32_t kStatusBufferLost = 0x2;
inline constexpr std::uint32_t kStatusLooping = 0x4;

// Volume and pan in hundredths of a decibel: volume 0 is the sound as recorded, kVolumeMin is
// silence; a negative pan attenuates the right channel by that much, a positive one the left.
inline constexpr long kVolumeMin = -10000;
inline constexpr long kVolumeMax = 0;
inline constexpr long kPanLeft = -10000;
inline constexpr long kPanCenter = 0;
inline constexpr long kPanRight = 10000;
// Playback rates in Hz; kFrequencyOriginal plays at the buffer's own rate.
inline constexpr std::uint32_t kFrequencyOriginal = 0;
inline constexpr std::uint32_t kFrequencyMin = 100;
inline constexpr std::uint32_t kFrequencyMax = 200000;

// Secondary buffers hold 4 to kMaxBufferBytes bytes.
inline constexpr std::uint32_t kMinBufferBytes = 4;
inline constexpr std::uint32_t kMaxBufferBytes = 0x0FFFFFFF;

// A notification at this offset is signalled when the buffer stops (by Stop or at its end).
inline constexpr std::uint32_t kNotifyAtStop = 0xFFFFFFFF;
// At most this many notification positions per buffer.
inline constexpr int kMaxNotifyPositions = 32;

struct NotifyPosition {
    std::uint32_t offset; // bytes from the buffer's start, or kNotifyAtStop
    int event;            // index in the buffer's event set
};

// What a new buffer is: flags, size in bytes (0 for the primary buffer) and layout (ignored for
// the primary buffer, which plays in the output's format).
struct BufferDesc {
    std::uint32_t flags = 0;
    std::uint32_t bytes = 0;
    PcmFormat format;
};

struct BufferCaps {
    std::uint32_t flags = 0;
    std::uint32_t bytes = 0;
};

// Device capability flags.
inline constexpr std::uint32_t kCapsPrimaryMono = 0x1;
inline constexpr std::uint32_t kCapsPrimaryStereo = 0x2;
inline constexpr std::uint32_t kCapsPrimary8Bit = 0x4;
inline constexpr std::uint32_t kCapsPrimary16Bit = 0x8;
inline constexpr std::uint32_t kCapsContinuousRate = 0x10;
inline constexpr std::uint32_t kCapsSecondaryMono = 0x100;
inline constexpr std::uint32_t kCapsSecondaryStereo = 0x200;
inline constexpr std::uint32_t kCapsSecondary8Bit = 0x400;
inline constexpr std::uint32_t kCapsSecondary16Bit = 0x800;

// The record's size field is the caller's (it says which layout the caller expects).
struct DeviceCaps {
    std::uint32_t size = 0;
    std::uint32_t flags = 0;
    std::uint32_t minSecondaryRate = 0;
    std::uint32_t maxSecondaryRate = 0;
    std::uint32_t primaryBuffers = 0;
    std::uint32_t maxBuffers = 0;  // secondary buffers the mixer can hold at once
    std::uint32_t freeBuffers = 0; // of those, not taken now
};

// Signed 64-bit nanoseconds of `frames` frames at `rate` Hz, exact to the nanosecond below (no
// overflow for any frame count a 64-bit counter reaches in centuries).
std::int64_t FramesToNs(std::uint64_t frames, std::uint32_t rate);

} // namespace audio
