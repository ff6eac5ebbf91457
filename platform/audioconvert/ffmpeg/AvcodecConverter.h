// AvcodecConverter: the libavcodec back end of the conversion service (MS ADPCM, A-law, mu-law,
// floating-point and extensible PCM, MPEG audio layers I to III).
#pragma once

#include "platform/audioconvert/AudioConverter.h"
#include "platform/audioconvert/MpegFrameHeader.h"

#include <vector>

struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct SwrContext;

namespace AudioConvert {

class AvcodecConverter final : public AudioConverter {
public:
    // The converter for `source` (whose output record is `pcm`); null when libavcodec has no
    // decoder for it or the record is inconsistent.
    static std::unique_ptr<AvcodecConverter> Create(const WaveFormat& source, const WaveFormat& pcm);
    // True when the source's tag and layout are ones this back end converts.
    static bool Accepts(const WaveFormat& source);
    ~AvcodecConverter() override;

    std::uint64_t DestinationSize(std::uint64_t sourceBytes) const override;
    bool Convert(std::span<const std::uint8_t> source, std::span<std::uint8_t> destination,
                 unsigned flags, std::size_t& used, std::size_t& produced) override;

private:
    // How packets are cut from the source: whole sample frames, one codec block, or MPEG frames
    // found by their headers.
    enum class Packing { Samples, Blocks, MpegFrames };

    AvcodecConverter(const WaveFormat& source, const WaveFormat& pcm, Packing packing);
    bool OpenCodec(const char* decoderName, int codecId);
    // Most PCM bytes a packet of `bytes` source bytes can decode to.
    std::size_t MaxOutput(std::size_t bytes) const;
    // Samples per channel of an MS ADPCM block of `bytes` bytes (libavcodec's count).
    std::uint64_t MsAdpcmSamples(std::uint64_t bytes) const;
    // Decodes one packet and appends its PCM at destination[produced]; false on a fatal error.
    bool DecodePacket(const std::uint8_t* data, std::size_t size, std::span<std::uint8_t> destination,
                      std::size_t& produced);
    bool AppendFrame(std::span<std::uint8_t> destination, std::size_t& produced);
    bool ConvertBlocks(std::span<const std::uint8_t> source, std::span<std::uint8_t> destination,
                       unsigned flags, std::size_t& used, std::size_t& produced);
    bool ConvertMpeg(std::span<const std::uint8_t> source, std::span<std::uint8_t> destination,
                     unsigned flags, std::size_t& used, std::size_t& produced);

    WaveFormat source_;
    WaveFormat pcm_;
    Packing packing_;
    std::size_t outFrameBytes_;  // bytes per output sample frame
    AVCodecContext* codec_ = nullptr;
    AVPacket* packet_ = nullptr;
    AVFrame* frame_ = nullptr;
    SwrContext* resampler_ = nullptr;
    // Input layout the resampler is set up for.
    int resamplerFormat_ = -1;
    int resamplerChannels_ = 0;
    std::vector<std::uint8_t> packetBuffer_;  // a packet copied with libavcodec's zero padding
};

} // namespace AudioConvert
