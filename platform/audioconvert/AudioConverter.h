// AudioConverter: the conversion service that turns non-PCM wave data (ADPCM, A-law, mu-law,
// floating point, extensible records) and MPEG audio into 16-bit PCM.
//
// The sound decoders hand it one chunk of source data at a time. Back ends: our own IMA ADPCM
// decoder (the standard shift-and-add arithmetic) beside this interface, and FFmpeg's libavcodec
// for everything else in ffmpeg/, the only place that includes FFmpeg. A converter is used by one
// thread at a time; it never throws.
#pragma once

#include "platform/audioconvert/WaveFormat.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace AudioConvert {

// Flags of one Convert call.
inline constexpr unsigned cfBlockAlign = 1;  // consume whole blocks (frames) only; more data follows
inline constexpr unsigned cfStart = 2;       // first call after opening or restarting
inline constexpr unsigned cfEnd = 4;         // the last source data: consume partial blocks too

// The PCM record that `source` converts to: the source's channels and rate at 16 bits. A wanted
// value (0 = any) must equal what the converter delivers; the service does not resample or remix.
// False when no back end converts the source format.
bool SuggestPcmFormat(const WaveFormat& source, unsigned wantedChannels, unsigned wantedBits,
                      unsigned wantedRate, WaveFormat& pcm);

class AudioConverter {
public:
    virtual ~AudioConverter() = default;

    // A converter from `source` to the record SuggestPcmFormat gave; null when unsupported.
    static std::unique_ptr<AudioConverter> Open(const WaveFormat& source, const WaveFormat& pcm);

    // PCM bytes that `sourceBytes` of source data decode to: exact for block formats, an estimate
    // from the average bit rate for MPEG audio. 0 when nothing can come out.
    virtual std::uint64_t DestinationSize(std::uint64_t sourceBytes) const = 0;

    // Converts from the start of `source` into `destination`. `used` is the count of source bytes
    // consumed (with cfBlockAlign a trailing partial block stays unused), `produced` the count of
    // PCM bytes written. A block or frame is consumed only when its PCM fits into `destination`,
    // so nothing is held back inside. Damaged blocks are skipped. False on an internal failure.
    virtual bool Convert(std::span<const std::uint8_t> source, std::span<std::uint8_t> destination,
                         unsigned flags, std::size_t& used, std::size_t& produced) = 0;
};

} // namespace AudioConvert
