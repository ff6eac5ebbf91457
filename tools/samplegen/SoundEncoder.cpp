#include "tools/samplegen/SoundEncoder.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <stdexcept>

#include <vorbis/vorbisenc.h>

namespace samplegen {

namespace {

void Put16(Bytes& out, unsigned value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(Bytes& out, std::uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// Byte by byte: GCC 12 warns falsely (-Wstringop-overflow) on a range insert into an empty vector.
void PutId(Bytes& out, const char* id)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(id[i]));
}

// libvorbis state for one encoding, freed in reverse order of making.
class VorbisEncoder {
public:
    VorbisEncoder(const Pcm& pcm, float quality)
    {
        vorbis_info_init(&info_);
        if (vorbis_encode_init_vbr(&info_, pcm.channels, pcm.rate, quality) != 0) {
            vorbis_info_clear(&info_);
            throw std::runtime_error("the Vorbis encoder refuses this format");
        }
        vorbis_comment_init(&comment_);
        vorbis_analysis_init(&dsp_, &info_);
        vorbis_block_init(&dsp_, &block_);
        ogg_stream_init(&stream_, 0x5A6E7D01); // fixed serial number: same input, same bytes
    }
    ~VorbisEncoder()
    {
        ogg_stream_clear(&stream_);
        vorbis_block_clear(&block_);
        vorbis_dsp_clear(&dsp_);
        vorbis_comment_clear(&comment_);
        vorbis_info_clear(&info_);
    }
    VorbisEncoder(const VorbisEncoder&) = delete;
    VorbisEncoder& operator=(const VorbisEncoder&) = delete;

    Bytes Encode(const Pcm& pcm)
    {
        ogg_packet header, commentPacket, codebooks;
        vorbis_analysis_headerout(&dsp_, &comment_, &header, &commentPacket, &codebooks);
        ogg_stream_packetin(&stream_, &header);
        ogg_stream_packetin(&stream_, &commentPacket);
        ogg_stream_packetin(&stream_, &codebooks);
        ogg_page page;
        while (ogg_stream_flush(&stream_, &page) != 0)
            Append(page);

        constexpr std::size_t kChunk = 4096;
        const std::size_t frames = pcm.Frames();
        for (std::size_t done = 0; done < frames; done += kChunk) {
            const std::size_t count = std::min(kChunk, frames - done);
            float** buffer = vorbis_analysis_buffer(&dsp_, static_cast<int>(count));
            for (std::size_t i = 0; i < count; ++i)
                for (int c = 0; c < pcm.channels; ++c)
                    buffer[c][i] = pcm.samples[(done + i) * static_cast<std::size_t>(pcm.channels) +
                                               static_cast<std::size_t>(c)] / 32768.0f;
            vorbis_analysis_wrote(&dsp_, static_cast<int>(count));
            Drain();
        }
        vorbis_analysis_wrote(&dsp_, 0);
        Drain();
        return std::move(out_);
    }

private:
    void Append(const ogg_page& page)
    {
        out_.insert(out_.end(), page.header, page.header + page.header_len);
        out_.insert(out_.end(), page.body, page.body + page.body_len);
    }

    void Drain()
    {
        while (vorbis_analysis_blockout(&dsp_, &block_) == 1) {
            vorbis_analysis(&block_, nullptr);
            vorbis_bitrate_addblock(&block_);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp_, &packet) == 1) {
                ogg_stream_packetin(&stream_, &packet);
                ogg_page page;
                while (ogg_stream_pageout(&stream_, &page) != 0)
                    Append(page);
            }
        }
        ogg_page page;
        while (ogg_stream_flush(&stream_, &page) != 0)
            Append(page);
    }

    vorbis_info info_;
    vorbis_comment comment_;
    vorbis_dsp_state dsp_;
    vorbis_block block_;
    ogg_stream_state stream_;
    Bytes out_;
};

// The MSM6258 decoder's state for one channel, stepped by the encoder exactly as the decoder will.
class AdpcmChannel {
public:
    // The code whose decoded sample lies nearest `target`; the state moves as decoding it would.
    std::uint8_t Encode(int target)
    {
        int best = 0;
        int bestError = 1 << 30;
        for (int code = 0; code < 16; ++code) {
            const int error = std::abs(Next(code) - target);
            if (error < bestError) {
                bestError = error;
                best = code;
            }
        }
        sample_ = Next(best);
        index_ = std::clamp(index_ + kChange[best & 7], 0, 48);
        return static_cast<std::uint8_t>(best);
    }

private:
    static constexpr std::array<int, 49> kStep{16,  17,  19,  21,  23,  25,  28,  31,  34,  37,  41,  45,   50,
                                               55,  60,  66,  73,  80,  88,  97,  107, 118, 130, 143, 157,  173,
                                               190, 209, 230, 253, 279, 307, 337, 371, 408, 449, 494, 544,  598,
                                               658, 724, 796, 876, 963, 1060, 1166, 1282, 1411, 1552};
    static constexpr std::array<int, 8> kChange{-1, -1, -1, -1, 2, 4, 6, 8};

    int Next(int code) const
    {
        const int magnitude = 2 * (2 * (code & 7) + 1);
        return std::clamp(sample_ + kStep[index_] * (code >= 8 ? -magnitude : magnitude), -32768, 32767);
    }

    int sample_ = 0;
    int index_ = 0;
};

} // namespace

Bytes EncodeOgg(const Pcm& pcm, float quality) { return VorbisEncoder(pcm, quality).Encode(pcm); }

Bytes EncodeAdp1(const Pcm& pcm)
{
    const std::size_t frames = pcm.Frames();
    Bytes out;
    PutId(out, "ADP1");
    Put32(out, static_cast<std::uint32_t>(frames));
    Put32(out, static_cast<std::uint32_t>(pcm.rate));
    Put32(out, static_cast<std::uint32_t>(pcm.channels));
    std::array<AdpcmChannel, 2> channels;
    if (pcm.channels == 1) {
        for (std::size_t i = 0; i + 1 < frames; i += 2) {
            const std::uint8_t low = channels[0].Encode(pcm.samples[i]);
            const std::uint8_t high = channels[0].Encode(pcm.samples[i + 1]);
            out.push_back(static_cast<std::uint8_t>(low | high << 4));
        }
    } else {
        for (std::size_t i = 0; i < frames; ++i) {
            const std::uint8_t left = channels[0].Encode(pcm.samples[i * 2]);
            const std::uint8_t right = channels[1].Encode(pcm.samples[i * 2 + 1]);
            out.push_back(static_cast<std::uint8_t>(left | right << 4));
        }
    }
    return out;
}

Bytes EncodeWave(const Pcm& pcm)
{
    const auto dataBytes = static_cast<std::uint32_t>(pcm.samples.size() * 2);
    const auto blockAlign = static_cast<unsigned>(pcm.channels * 2);
    Bytes out;
    PutId(out, "RIFF");
    Put32(out, 36 + dataBytes);
    PutId(out, "WAVE");
    PutId(out, "fmt ");
    Put32(out, 16);
    Put16(out, 1); // PCM
    Put16(out, static_cast<unsigned>(pcm.channels));
    Put32(out, static_cast<std::uint32_t>(pcm.rate));
    Put32(out, static_cast<std::uint32_t>(pcm.rate) * blockAlign);
    Put16(out, blockAlign);
    Put16(out, 16);
    PutId(out, "data");
    Put32(out, dataBytes);
    for (std::int16_t sample : pcm.samples)
        Put16(out, static_cast<std::uint16_t>(sample));
    return out;
}

} // namespace samplegen
