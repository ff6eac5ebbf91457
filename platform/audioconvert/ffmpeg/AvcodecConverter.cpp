// AvcodecConverter: the libavcodec back end of the conversion service (MS ADPCM, A-law, mu-law,
// floating-point and extensible PCM, MPEG audio layers I to III).
#include "platform/audioconvert/ffmpeg/AvcodecConverter.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstring>

namespace AudioConvert {

namespace {

// Largest PCM output of one MPEG audio frame per channel.
constexpr std::size_t kMpegFrameSamples = 1152;
// Source bytes per packet for sample-per-byte formats: large enough to keep calls cheap.
constexpr std::size_t kSamplePacketBytes = 16384;

struct CodecChoice {
    const char* decoderName;  // preferred decoder (the floating-point MPEG ones), or null
    AVCodecID id;
};

// The decoder for a tag and sample width; AV_CODEC_ID_NONE when there is none.
CodecChoice ChooseCodec(std::uint16_t tag, unsigned bits)
{
    switch (tag) {
    case kWaveFormatPcm:
        switch (bits) {
        case 8: return {nullptr, AV_CODEC_ID_PCM_U8};
        case 16: return {nullptr, AV_CODEC_ID_PCM_S16LE};
        case 24: return {nullptr, AV_CODEC_ID_PCM_S24LE};
        case 32: return {nullptr, AV_CODEC_ID_PCM_S32LE};
        }
        break;
    case kWaveFormatIeeeFloat:
        if (bits == 32)
            return {nullptr, AV_CODEC_ID_PCM_F32LE};
        if (bits == 64)
            return {nullptr, AV_CODEC_ID_PCM_F64LE};
        break;
    case kWaveFormatALaw: return {nullptr, AV_CODEC_ID_PCM_ALAW};
    case kWaveFormatMuLaw: return {nullptr, AV_CODEC_ID_PCM_MULAW};
    case kWaveFormatMsAdpcm: return {nullptr, AV_CODEC_ID_ADPCM_MS};
    case kWaveFormatMpeg: return {"mp2float", AV_CODEC_ID_MP2};
    case kWaveFormatMpegLayer3: return {"mp3float", AV_CODEC_ID_MP3};
    }
    return {nullptr, AV_CODEC_ID_NONE};
}

bool IsMpeg(std::uint16_t tag) { return tag == kWaveFormatMpeg || tag == kWaveFormatMpegLayer3; }

} // namespace

bool AvcodecConverter::Accepts(const WaveFormat& source)
{
    const std::uint16_t tag = source.EffectiveTag();
    if (source.channels < 1 || source.channels > 8 || source.samplesPerSec == 0)
        return false;
    if (ChooseCodec(tag, source.bitsPerSample).id == AV_CODEC_ID_NONE)
        return false;
    if (IsMpeg(tag))
        return source.channels <= 2 && source.avgBytesPerSec > 0;
    if (tag == kWaveFormatMsAdpcm)
        return source.blockAlign >= 7u * source.channels;
    // Sample formats: one block is one sample frame.
    const unsigned sampleBytes = (tag == kWaveFormatALaw || tag == kWaveFormatMuLaw) ? 1 : source.bitsPerSample / 8u;
    return source.blockAlign == sampleBytes * source.channels;
}

AvcodecConverter::AvcodecConverter(const WaveFormat& source, const WaveFormat& pcm, Packing packing)
    : source_(source), pcm_(pcm), packing_(packing), outFrameBytes_(pcm.PcmFrameBytes())
{
}

std::unique_ptr<AvcodecConverter> AvcodecConverter::Create(const WaveFormat& source, const WaveFormat& pcm)
{
    if (!Accepts(source) || pcm.formatTag != kWaveFormatPcm || pcm.bitsPerSample != 16 ||
        pcm.channels != source.channels || pcm.samplesPerSec != source.samplesPerSec)
        return nullptr;
    const std::uint16_t tag = source.EffectiveTag();
    const Packing packing = IsMpeg(tag) ? Packing::MpegFrames
                            : tag == kWaveFormatMsAdpcm ? Packing::Blocks
                                                        : Packing::Samples;
    std::unique_ptr<AvcodecConverter> converter(new AvcodecConverter(source, pcm, packing));
    // The largest packet (a 64 KiB block or a run of sample frames) never reallocates in Convert.
    converter->packetBuffer_.reserve(65536 + kSamplePacketBytes + AV_INPUT_BUFFER_PADDING_SIZE);
    const CodecChoice choice = ChooseCodec(tag, source.bitsPerSample);
    if (!converter->OpenCodec(choice.decoderName, choice.id))
        return nullptr;
    return converter;
}

bool AvcodecConverter::OpenCodec(const char* decoderName, int codecId)
{
    const AVCodec* codec = decoderName ? avcodec_find_decoder_by_name(decoderName) : nullptr;
    if (codec == nullptr)
        codec = avcodec_find_decoder(static_cast<AVCodecID>(codecId));
    if (codec == nullptr)
        return false;
    codec_ = avcodec_alloc_context3(codec);
    packet_ = av_packet_alloc();
    frame_ = av_frame_alloc();
    if (codec_ == nullptr || packet_ == nullptr || frame_ == nullptr)
        return false;
    codec_->sample_rate = static_cast<int>(source_.samplesPerSec);
    av_channel_layout_default(&codec_->ch_layout, source_.channels);
    codec_->block_align = source_.blockAlign;
    codec_->bits_per_coded_sample = source_.bitsPerSample;
    if (!source_.extra.empty() && packing_ == Packing::Blocks) {
        codec_->extradata = static_cast<std::uint8_t*>(av_mallocz(source_.extra.size() + AV_INPUT_BUFFER_PADDING_SIZE));
        if (codec_->extradata == nullptr)
            return false;
        std::memcpy(codec_->extradata, source_.extra.data(), source_.extra.size());
        codec_->extradata_size = static_cast<int>(source_.extra.size());
    }
    return avcodec_open2(codec_, codec, nullptr) >= 0;
}

AvcodecConverter::~AvcodecConverter()
{
    swr_free(&resampler_);
    av_frame_free(&frame_);
    av_packet_free(&packet_);
    avcodec_free_context(&codec_);
}

std::uint64_t AvcodecConverter::MsAdpcmSamples(std::uint64_t bytes) const
{
    const std::uint64_t channels = source_.channels;
    if (bytes < 7 * channels)
        return 0;
    return (bytes - 6 * channels) * 2 / channels;
}

std::uint64_t AvcodecConverter::DestinationSize(std::uint64_t sourceBytes) const
{
    switch (packing_) {
    case Packing::Samples:
        return sourceBytes / source_.blockAlign * outFrameBytes_;
    case Packing::Blocks:
        return (sourceBytes / source_.blockAlign * MsAdpcmSamples(source_.blockAlign) +
                MsAdpcmSamples(sourceBytes % source_.blockAlign)) *
               outFrameBytes_;
    case Packing::MpegFrames: {
        // Whole frames at the average bit rate, rounded up.
        const std::uint64_t samples = sourceBytes * source_.samplesPerSec / source_.avgBytesPerSec;
        const std::uint64_t frames = (samples + kMpegFrameSamples - 1) / kMpegFrameSamples + (sourceBytes > 0 ? 1 : 0);
        return frames * kMpegFrameSamples * outFrameBytes_;
    }
    }
    return 0;
}

std::size_t AvcodecConverter::MaxOutput(std::size_t bytes) const
{
    switch (packing_) {
    case Packing::Samples: return bytes / source_.blockAlign * outFrameBytes_;
    case Packing::Blocks: return static_cast<std::size_t>(MsAdpcmSamples(bytes)) * outFrameBytes_;
    case Packing::MpegFrames: return kMpegFrameSamples * outFrameBytes_;
    }
    return 0;
}

bool AvcodecConverter::AppendFrame(std::span<std::uint8_t> destination, std::size_t& produced)
{
    // A frame at another rate (a damaged or spliced stream) cannot be delivered in this format.
    if (frame_->sample_rate != static_cast<int>(pcm_.samplesPerSec) || frame_->nb_samples <= 0)
        return true;
    const int channels = frame_->ch_layout.nb_channels;
    const std::size_t room = (destination.size() - produced) / outFrameBytes_;
    std::uint8_t* out = destination.data() + produced;
    if (frame_->format == AV_SAMPLE_FMT_S16 && channels == pcm_.channels) {
        // Already what is delivered: a copy, no conversion pass.
        const std::size_t samples = std::min(room, static_cast<std::size_t>(frame_->nb_samples));
        std::memcpy(out, frame_->data[0], samples * outFrameBytes_);
        produced += samples * outFrameBytes_;
        return true;
    }
    if (resampler_ == nullptr || resamplerFormat_ != frame_->format || resamplerChannels_ != channels) {
        swr_free(&resampler_);
        AVChannelLayout outLayout;
        av_channel_layout_default(&outLayout, pcm_.channels);
        AVChannelLayout inLayout;
        av_channel_layout_default(&inLayout, channels);
        const int rate = static_cast<int>(pcm_.samplesPerSec);
        if (swr_alloc_set_opts2(&resampler_, &outLayout, AV_SAMPLE_FMT_S16, rate, &inLayout,
                                static_cast<AVSampleFormat>(frame_->format), rate, 0, nullptr) < 0 ||
            swr_init(resampler_) < 0) {
            swr_free(&resampler_);
            return false;
        }
        resamplerFormat_ = frame_->format;
        resamplerChannels_ = channels;
    }
    const int written = swr_convert(resampler_, &out, static_cast<int>(room),
                                    const_cast<const std::uint8_t**>(frame_->extended_data), frame_->nb_samples);
    if (written < 0)
        return false;
    produced += static_cast<std::size_t>(written) * outFrameBytes_;
    return true;
}

bool AvcodecConverter::DecodePacket(const std::uint8_t* data, std::size_t size, std::span<std::uint8_t> destination,
                                    std::size_t& produced)
{
    packetBuffer_.assign(size + AV_INPUT_BUFFER_PADDING_SIZE, 0);
    std::memcpy(packetBuffer_.data(), data, size);
    packet_->data = packetBuffer_.data();
    packet_->size = static_cast<int>(size);
    const int sent = avcodec_send_packet(codec_, packet_);
    if (sent == AVERROR(ENOMEM))
        return false;
    if (sent < 0)
        return true;  // damaged data: skipped
    for (;;) {
        const int received = avcodec_receive_frame(codec_, frame_);
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
            return true;
        if (received < 0)
            return received != AVERROR(ENOMEM);
        const bool ok = AppendFrame(destination, produced);
        av_frame_unref(frame_);
        if (!ok)
            return false;
    }
}

bool AvcodecConverter::ConvertBlocks(std::span<const std::uint8_t> source, std::span<std::uint8_t> destination,
                                     unsigned flags, std::size_t& used, std::size_t& produced)
{
    const std::size_t block = source_.blockAlign;
    const std::size_t unit = packing_ == Packing::Blocks ? block : std::max<std::size_t>(1, kSamplePacketBytes / block) * block;
    while (used < source.size()) {
        std::size_t bytes = std::min(source.size() - used, unit);
        if (packing_ == Packing::Samples) {
            // Only whole sample frames, and only as many as fit.
            const std::size_t room = (destination.size() - produced) / outFrameBytes_;
            bytes = std::min(bytes / block, room) * block;
            if (bytes == 0) {
                if (flags & cfEnd && source.size() - used < block)
                    used = source.size();  // a partial last frame carries no whole sample
                break;
            }
        } else {
            if (bytes < block && !(flags & cfEnd))
                break;
            if (MaxOutput(bytes) > destination.size() - produced)
                break;
        }
        if (!DecodePacket(source.data() + used, bytes, destination, produced))
            return false;
        used += bytes;
    }
    return true;
}

bool AvcodecConverter::ConvertMpeg(std::span<const std::uint8_t> source, std::span<std::uint8_t> destination,
                                   unsigned flags, std::size_t& used, std::size_t& produced)
{
    while (used < source.size()) {
        const std::size_t left = source.size() - used;
        if (left < 4) {
            if (flags & cfEnd)
                used = source.size();
            break;
        }
        MpegFrameHeader header;
        const std::span<const std::uint8_t, 4> bytes(source.data() + used, 4);
        // Anything that is not a frame of this stream (tags, garbage, free-format frames) is
        // stepped over a byte at a time until the next frame header.
        if (!MpegFrameHeader::Parse(bytes, header) || header.frameBytes == 0 ||
            header.sampleRate != static_cast<int>(pcm_.samplesPerSec)) {
            ++used;
            continue;
        }
        if (static_cast<std::size_t>(header.frameBytes) > left) {
            if (flags & cfEnd)
                used = source.size();  // a cut last frame cannot be decoded
            break;
        }
        if (MaxOutput(0) > destination.size() - produced)
            break;
        if (!DecodePacket(source.data() + used, static_cast<std::size_t>(header.frameBytes), destination, produced))
            return false;
        used += static_cast<std::size_t>(header.frameBytes);
    }
    return true;
}

bool AvcodecConverter::Convert(std::span<const std::uint8_t> source, std::span<std::uint8_t> destination,
                               unsigned flags, std::size_t& used, std::size_t& produced)
{
    used = 0;
    produced = 0;
    if (flags & cfStart)
        avcodec_flush_buffers(codec_);
    if (packing_ == Packing::MpegFrames)
        return ConvertMpeg(source, destination, flags, used, produced);
    return ConvertBlocks(source, destination, flags, used, produced);
}

} // namespace AudioConvert
