// ImaAdpcmConverter: IMA ADPCM wave data (format tag 0x11, 4 bits) to 16-bit PCM.
//
// Our own decoder because it must give the standard shift-and-add result of the IMA reference
// (what sox and libsndfile produce); libavcodec multiplies instead and rounds differently.
#pragma once

#include "platform/audioconvert/AudioConverter.h"

#include <vector>

namespace AudioConvert {

class ImaAdpcmConverter final : public AudioConverter {
public:
    // Usable when the format has 1 to 8 channels, 4 bits and a block of at least one header per channel.
    static bool Accepts(const WaveFormat& source);
    explicit ImaAdpcmConverter(const WaveFormat& source);

    std::uint64_t DestinationSize(std::uint64_t sourceBytes) const override;
    bool Convert(std::span<const std::uint8_t> source, std::span<std::uint8_t> destination,
                 unsigned flags, std::size_t& used, std::size_t& produced) override;

    // Samples per channel in a block of `bytes` bytes: the header sample plus 8 per 4-byte group.
    std::size_t SamplesInBlock(std::size_t bytes) const;

private:
    void DecodeBlock(const std::uint8_t* block, std::size_t samples, std::int16_t* out) const;

    std::size_t channels_;
    std::size_t blockAlign_;
    std::vector<std::int16_t> block_;  // one decoded block, interleaved
};

} // namespace AudioConvert
