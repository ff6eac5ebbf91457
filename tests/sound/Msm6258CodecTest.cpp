// Msm6258Codec: the worked examples of the MSM6258 ADPCM recursion.
#include "sound/Msm6258Codec.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

std::int16_t SampleAt(const std::vector<std::uint8_t>& pcm, std::size_t i)
{
    return static_cast<std::int16_t>(pcm[2 * i] | pcm[2 * i + 1] << 8);
}

TEST(Msm6258Codec, MonoByteDecodesLowNibbleFirst)
{
    Msm6258Codec codec;
    const std::uint8_t code = 0x17;
    std::vector<std::uint8_t> pcm(4);
    codec.DecodeMono(&code, pcm.data(), 2);
    EXPECT_EQ(SampleAt(pcm, 0), 480) << "code 7: 0 + 16 x 30";
    EXPECT_EQ(SampleAt(pcm, 1), 684) << "code 1 at index 8: 480 + 34 x 6";
    EXPECT_EQ(codec.StepIndex(0), 7);
}

TEST(Msm6258Codec, LongRunClampsSampleAndIndex)
{
    Msm6258Codec codec;
    const std::vector<std::uint8_t> codes(64, 0x77);
    std::vector<std::uint8_t> pcm(codes.size() * 4);
    codec.DecodeMono(codes.data(), pcm.data(), static_cast<std::uint32_t>(codes.size() * 2));
    EXPECT_EQ(SampleAt(pcm, codes.size() * 2 - 1), 32767);
    EXPECT_EQ(codec.StepIndex(0), 48);

    const std::vector<std::uint8_t> down(64, 0xFF);
    codec.DecodeMono(down.data(), pcm.data(), static_cast<std::uint32_t>(down.size() * 2));
    EXPECT_EQ(SampleAt(pcm, down.size() * 2 - 1), -32768);
}

TEST(Msm6258Codec, StereoChannelsKeepSeparateState)
{
    Msm6258Codec codec;
    const std::uint8_t code = 0x8F;
    std::vector<std::uint8_t> pcm(4);
    codec.DecodeStereo(&code, pcm.data(), 1);
    EXPECT_EQ(SampleAt(pcm, 0), -480) << "left code 15";
    EXPECT_EQ(codec.StepIndex(0), 8);
    EXPECT_EQ(SampleAt(pcm, 1), -32) << "right code 8";
    EXPECT_EQ(codec.StepIndex(1), 0) << "index stays at its floor";
}

TEST(Msm6258Codec, DecodeCutsToDestinationAndResetRestarts)
{
    Msm6258Codec codec;
    const std::vector<std::uint8_t> codes = {0x17, 0x17, 0x17};
    std::vector<std::uint8_t> pcm(10);
    Msm6258Block block;
    block.channels = 1;
    block.source = codes.data();
    block.sourceBytes = 3;
    block.destination = pcm.data();
    block.destinationBytes = 10;
    codec.Decode(block);
    EXPECT_EQ(block.sourceUsed, 2u) << "10 bytes hold two code bytes";
    EXPECT_EQ(block.destinationProduced, 8u);
    codec.Reset();
    EXPECT_EQ(codec.Sample(0), 0);
    EXPECT_EQ(codec.StepIndex(0), 0);
}

} // namespace
