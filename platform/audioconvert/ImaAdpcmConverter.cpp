// ImaAdpcmConverter: IMA ADPCM wave data (format tag 0x11, 4 bits) to 16-bit PCM.
#include "platform/audioconvert/ImaAdpcmConverter.h"

#include <algorithm>
#include <bit>
#include <cstring>

static_assert(std::endian::native == std::endian::little, "PCM is written in host order");

namespace AudioConvert {

namespace {

constexpr std::int16_t kStepTable[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,    28,
    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,   118,
    130,   143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,   494,
    544,   598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,
    2272,  2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,
    9493,  10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
constexpr int kIndexChange[8] = {-1, -1, -1, -1, 2, 4, 6, 8};

struct ChannelState {
    int sample;
    int index;

    std::int16_t Expand(unsigned code)
    {
        const int step = kStepTable[index];
        int diff = step >> 3;
        if (code & 4)
            diff += step;
        if (code & 2)
            diff += step >> 1;
        if (code & 1)
            diff += step >> 2;
        sample = (code & 8) ? std::max(sample - diff, -32768) : std::min(sample + diff, 32767);
        index = std::clamp(index + kIndexChange[code & 7], 0, 88);
        return static_cast<std::int16_t>(sample);
    }
};

} // namespace

bool ImaAdpcmConverter::Accepts(const WaveFormat& source)
{
    return source.channels >= 1 && source.channels <= 8 && source.bitsPerSample == 4 &&
           source.blockAlign >= 4u * source.channels;
}

ImaAdpcmConverter::ImaAdpcmConverter(const WaveFormat& source)
    : channels_(source.channels), blockAlign_(source.blockAlign), block_(SamplesInBlock(blockAlign_) * channels_)
{
}

std::size_t ImaAdpcmConverter::SamplesInBlock(std::size_t bytes) const
{
    const std::size_t header = 4 * channels_;
    if (bytes < header)
        return 0;
    return (bytes - header) / header * 8 + 1;
}

std::uint64_t ImaAdpcmConverter::DestinationSize(std::uint64_t sourceBytes) const
{
    const std::uint64_t samples = sourceBytes / blockAlign_ * SamplesInBlock(blockAlign_) +
                                  SamplesInBlock(static_cast<std::size_t>(sourceBytes % blockAlign_));
    return samples * channels_ * 2;
}

void ImaAdpcmConverter::DecodeBlock(const std::uint8_t* block, std::size_t samples, std::int16_t* out) const
{
    // Header per channel: the first sample (16 bits), the step index, a reserved byte. Then groups
    // of 4 bytes (8 codes, low nibble first) per channel in turn.
    const std::uint8_t* groups = block + 4 * channels_;
    for (std::size_t c = 0; c < channels_; ++c) {
        const std::uint8_t* header = block + 4 * c;
        ChannelState state{static_cast<std::int16_t>(header[0] | header[1] << 8), std::min<int>(header[2], 88)};
        std::int16_t* o = out + c;
        *o = static_cast<std::int16_t>(state.sample);
        o += channels_;
        for (std::size_t g = 0; g * 8 + 1 < samples; ++g) {
            const std::uint8_t* codes = groups + (g * channels_ + c) * 4;
            for (int b = 0; b < 4; ++b) {
                o[0] = state.Expand(codes[b] & 0x0F);
                o[channels_] = state.Expand(codes[b] >> 4);
                o += 2 * channels_;
            }
        }
    }
}

bool ImaAdpcmConverter::Convert(std::span<const std::uint8_t> source, std::span<std::uint8_t> destination,
                                unsigned flags, std::size_t& used, std::size_t& produced)
{
    used = 0;
    produced = 0;
    while (used < source.size()) {
        const std::size_t bytes = std::min(source.size() - used, blockAlign_);
        if (bytes < blockAlign_ && !(flags & cfEnd))
            break;
        const std::size_t samples = SamplesInBlock(bytes);
        const std::size_t outBytes = samples * channels_ * 2;
        if (outBytes > destination.size() - produced)
            break;
        if (samples > 0) {
            DecodeBlock(source.data() + used, samples, block_.data());
            std::memcpy(destination.data() + produced, block_.data(), outBytes);
        }
        used += bytes;
        produced += outBytes;
    }
    return true;
}

} // namespace AudioConvert
