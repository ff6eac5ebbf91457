// Mixing kernels: each kernel of the table against the scalar reference on seeded random frames
// and gains, exact adds at unity gain, and the resampler's steps, wrap and end.
#include "platform/audio/MixKernels.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

using namespace audio;

std::vector<std::uint8_t> RandomBytes(std::size_t n, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<std::uint8_t> bytes(n);
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>(random());
    return bytes;
}

TEST(MixKernels, TableKernelsMatchTheReference)
{
    std::mt19937 random(11);
    std::uniform_real_distribution<float> gain(0.0f, 1.0f);
    for (unsigned bits : {8u, 16u}) {
        for (unsigned channels : {1u, 2u}) {
            for (std::uint32_t count : {0u, 1u, 3u, 17u, 1024u}) {
                const auto src = RandomBytes(count * channels * bits / 8 + 1, count + bits + channels);
                const float left = gain(random), right = gain(random);
                std::vector<float> expected(2 * count + 2, 5.0f), actual(2 * count + 2, 5.0f);
                AddReference(src.data(), count, bits, channels, expected.data(), left, right);
                kAddKernels[bits == 16][channels == 2](src.data(), count, actual.data(), left, right);
                for (std::size_t i = 0; i < expected.size(); ++i)
                    ASSERT_EQ(actual[i], expected[i])
                        << bits << "-bit " << channels << "ch count " << count << " at " << i;
            }
        }
    }
}

TEST(MixKernels, UnityGainAddsSixteenBitSamplesExactly)
{
    const std::int16_t frames[] = {-32768, 32767, 1, -1, 12345, -2};
    std::uint8_t src[sizeof frames];
    std::memcpy(src, frames, sizeof frames);
    std::vector<float> acc(6, 0.0f);
    kAddKernels[1][1](src, 3, acc.data(), 1.0f, 1.0f);
    kAddKernels[1][1](src, 3, acc.data(), 1.0f, 1.0f);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(acc[static_cast<std::size_t>(i)], 2.0f * frames[i]);
    // 8-bit samples are scaled to the 16-bit range: 0x80 is silence, 0x00 the lowest value.
    const std::uint8_t bytes[] = {0x80, 0x00, 0xFF};
    std::vector<float> mono(6, 0.0f);
    kAddKernels[0][0](bytes, 3, mono.data(), 1.0f, 0.5f);
    EXPECT_EQ(mono, (std::vector<float>{0, 0, -32768, -16384, 32512, 16256}));
}

TEST(MixKernels, ResamplingStepsInterpolatesWrapsAndStops)
{
    const std::int16_t samples[] = {0, 100, 200, 300};
    std::uint8_t src[sizeof samples];
    std::memcpy(src, samples, sizeof samples);
    const std::uint64_t half = std::uint64_t{1} << 31;

    std::uint64_t cursor = 0;
    std::vector<float> acc(2 * 8, 0.0f);
    // Half speed: 0, 50, 100, ... and at 3.5 the next frame is 3 again (not looping).
    EXPECT_EQ(AddResampled(src, 4, 16, 1, false, cursor, half, 8, acc.data(), 1.0f, 1.0f), 8u);
    EXPECT_EQ(acc[2 * 5], 250.0f);
    EXPECT_EQ(acc[2 * 7], 300.0f);
    EXPECT_EQ(cursor, std::uint64_t{4} << 32);
    EXPECT_EQ(AddResampled(src, 4, 16, 1, false, cursor, half, 8, acc.data(), 1.0f, 1.0f), 0u) << "at its end";

    // Looping at 1.5x from frame 3: 300, then 3 + 1.5 wraps to 0.5 -> 50.
    cursor = std::uint64_t{3} << 32;
    std::vector<float> looped(2 * 2, 0.0f);
    EXPECT_EQ(AddResampled(src, 4, 16, 1, true, cursor, 3 * half, 2, looped.data(), 1.0f, 1.0f), 2u);
    EXPECT_EQ(looped[0], 300.0f);
    EXPECT_EQ(looped[2], 50.0f);
}

} // namespace
