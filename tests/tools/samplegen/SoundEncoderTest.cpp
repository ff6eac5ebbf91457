// The sample generator's sound encoders: what they write decodes with the game's decoders.
#include "tools/samplegen/SoundEncoder.h"

#include "tools/samplegen/SampleDecode.h"

#include <cmath>

#include <gtest/gtest.h>

namespace samplegen {
namespace {

Pcm Sine(int rate, int channels, double seconds, double hz)
{
    Pcm pcm{rate, channels, {}};
    const auto frames = static_cast<std::size_t>(seconds * rate);
    for (std::size_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c) // the right channel a fifth higher
            pcm.samples.push_back(static_cast<std::int16_t>(
                std::lround(12000.0 * std::sin(2.0 * M_PI * hz * (c ? 1.5 : 1.0) * static_cast<double>(i) / rate))));
    return pcm;
}

double RmsError(const Pcm& pcm, const sampletest::Decoded& decoded)
{
    double sum = 0.0;
    const std::size_t count = std::min(pcm.samples.size(), decoded.samples.size());
    for (std::size_t i = 0; i < count; ++i)
        sum += std::pow(pcm.samples[i] - decoded.samples[i], 2);
    return count ? std::sqrt(sum / static_cast<double>(count)) : 0.0;
}

TEST(SoundEncoder, Adp1CodesAreTheNearestTheDecoderReaches)
{
    // From the reset state code 7 decodes to 480 (index 8) and then code 1 to 684: those samples
    // are reached exactly, so no other code can be nearer. Stereo: left 15 gives -480, right 8 -32.
    const Bytes mono = EncodeAdp1(Pcm{8000, 1, {480, 684}});
    const Bytes expectMono{'A', 'D', 'P', '1', 2, 0, 0, 0, 0x40, 0x1F, 0, 0, 1, 0, 0, 0, 0x17};
    EXPECT_EQ(mono, expectMono);
    const Bytes stereo = EncodeAdp1(Pcm{8000, 2, {-480, -32}});
    ASSERT_EQ(stereo.size(), 17u);
    EXPECT_EQ(stereo[12], 2);
    EXPECT_EQ(stereo[16], 0x8F);
}

TEST(SoundEncoder, EveryFormatDecodesWithTheGamesDecoders)
{
    struct Case {
        const char* what;
        Bytes (*encode)(const Pcm&);
        int channels;
        double tolerance; // the error (RMS) the format allows on a sine of amplitude 12000
    };
    const Case cases[] = {
        {"wave mono", EncodeWave, 1, 0},
        {"wave stereo", EncodeWave, 2, 0},
        {"adp1 mono", EncodeAdp1, 1, 600},
        {"adp1 stereo", EncodeAdp1, 2, 600},
        {"ogg mono", [](const Pcm& pcm) { return EncodeOgg(pcm); }, 1, -1},
        {"ogg stereo", [](const Pcm& pcm) { return EncodeOgg(pcm); }, 2, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Pcm pcm = Sine(22050, c.channels, 0.4, 440.0); // an even count: mono ADP1 packs two a byte
        const sampletest::Decoded decoded = sampletest::DecodeSound(c.encode(pcm));
        ASSERT_TRUE(decoded.open);
        EXPECT_EQ(decoded.channels, static_cast<unsigned>(c.channels));
        EXPECT_EQ(decoded.rate, 22050u);
        EXPECT_EQ(decoded.Frames(), pcm.Frames());
        if (c.tolerance >= 0)
            EXPECT_LE(RmsError(pcm, decoded), c.tolerance);
        else // lossy: the level survives
            EXPECT_NEAR(decoded.Peak(), 12000, 1500);
    }
}

TEST(SoundEncoder, TheSamePcmGivesTheSameBytes)
{
    const Pcm pcm = Sine(44100, 2, 0.3, 330.0);
    EXPECT_EQ(EncodeOgg(pcm), EncodeOgg(pcm));
    EXPECT_THROW(EncodeOgg(Pcm{0, 2, std::vector<std::int16_t>(90)}), std::runtime_error); // no rate
}

} // namespace
} // namespace samplegen
