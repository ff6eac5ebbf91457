// AudioConverter: which formats the conversion service takes, its size arithmetic, and the
// block, end and room rules of Convert.
#include "platform/audioconvert/AudioConverter.h"

#include "platform/audioconvert/ImaAdpcmConverter.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using AudioConvert::AudioConverter;

WaveFormat Format(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t blockAlign,
                  std::uint16_t bits, std::uint32_t avgBytes = 8000)
{
    WaveFormat format;
    format.formatTag = tag;
    format.channels = channels;
    format.samplesPerSec = rate;
    format.avgBytesPerSec = avgBytes;
    format.blockAlign = blockAlign;
    format.bitsPerSample = bits;
    return format;
}

TEST(AudioConverter, SuggestsSixteenBitPcmOrRefuses)
{
    struct Case {
        const char* what;
        WaveFormat source;
        bool supported;
    };
    const Case cases[] = {
        {"A-law stereo", Format(kWaveFormatALaw, 2, 8000, 2, 8), true},
        {"A-law with a wrong block", Format(kWaveFormatALaw, 2, 8000, 3, 8), false},
        {"mu-law without channels", Format(kWaveFormatMuLaw, 0, 8000, 0, 8), false},
        {"MS ADPCM", Format(kWaveFormatMsAdpcm, 2, 22050, 1024, 4), true},
        {"MS ADPCM block below its header", Format(kWaveFormatMsAdpcm, 2, 22050, 13, 4), false},
        {"IMA ADPCM", Format(kWaveFormatImaAdpcm, 1, 16000, 512, 4), true},
        {"IMA ADPCM of 3 bits", Format(kWaveFormatImaAdpcm, 1, 16000, 512, 3), false},
        {"IMA ADPCM at rate 0", Format(kWaveFormatImaAdpcm, 1, 0, 512, 4), false},
        {"float", Format(kWaveFormatIeeeFloat, 1, 16000, 4, 32), true},
        {"MPEG layer 3", Format(kWaveFormatMpegLayer3, 2, 44100, 1, 0, 16000), true},
        {"MPEG without a bit rate", Format(kWaveFormatMpegLayer3, 2, 44100, 1, 0, 0), false},
        {"MPEG with three channels", Format(kWaveFormatMpegLayer3, 3, 44100, 1, 0, 16000), false},
        {"unknown tag", Format(0x1234, 1, 8000, 1, 8), false},
        {"nine channels", Format(kWaveFormatALaw, 9, 8000, 9, 8), false},
    };
    for (const Case& c : cases) {
        WaveFormat pcm;
        EXPECT_EQ(AudioConvert::SuggestPcmFormat(c.source, 0, 0, 0, pcm), c.supported) << c.what;
        EXPECT_EQ(AudioConverter::Open(c.source, WaveFormat::Pcm(c.source.channels, c.source.samplesPerSec, 16)) != nullptr,
                  c.supported)
            << c.what;
        if (c.supported) {
            EXPECT_EQ(pcm.formatTag, kWaveFormatPcm);
            EXPECT_EQ(pcm.channels, c.source.channels);
            EXPECT_EQ(pcm.samplesPerSec, c.source.samplesPerSec);
            EXPECT_EQ(pcm.bitsPerSample, 16);
            EXPECT_EQ(pcm.blockAlign, c.source.channels * 2);
        }
    }
}

TEST(AudioConverter, WantedValuesMustMatchWhatItDelivers)
{
    const WaveFormat alaw = Format(kWaveFormatALaw, 2, 8000, 2, 8);
    WaveFormat pcm;
    EXPECT_TRUE(AudioConvert::SuggestPcmFormat(alaw, 2, 16, 8000, pcm));
    EXPECT_FALSE(AudioConvert::SuggestPcmFormat(alaw, 1, 0, 0, pcm)) << "no remixing";
    EXPECT_FALSE(AudioConvert::SuggestPcmFormat(alaw, 0, 8, 0, pcm)) << "16 bits only";
    EXPECT_FALSE(AudioConvert::SuggestPcmFormat(alaw, 0, 0, 44100, pcm)) << "no resampling";
    EXPECT_EQ(AudioConverter::Open(alaw, WaveFormat::Pcm(2, 44100, 16)), nullptr);
}

TEST(AudioConverter, DestinationSizes)
{
    const WaveFormat ima = Format(kWaveFormatImaAdpcm, 2, 22050, 1024, 4);
    const auto imaConverter = AudioConverter::Open(ima, WaveFormat::Pcm(2, 22050, 16));
    // 1017 samples a block: the header sample and 8 per 4-byte group of (1024 - 8) / 8 groups.
    EXPECT_EQ(imaConverter->DestinationSize(3 * 1024), 3u * 1017 * 4);
    // A partial last block of 8 header bytes and 2 groups per channel: 1 + 16 samples.
    EXPECT_EQ(imaConverter->DestinationSize(1024 + 8 + 16 + 3), (1017u + 17) * 4);

    const WaveFormat ms = Format(kWaveFormatMsAdpcm, 1, 16000, 512, 4);
    const auto msConverter = AudioConverter::Open(ms, WaveFormat::Pcm(1, 16000, 16));
    EXPECT_EQ(msConverter->DestinationSize(2 * 512), 2u * 1012 * 2) << "7 header bytes, 2 samples in them";

    const WaveFormat alaw = Format(kWaveFormatALaw, 2, 8000, 2, 8);
    EXPECT_EQ(AudioConverter::Open(alaw, WaveFormat::Pcm(2, 8000, 16))->DestinationSize(1001), 2000u);
}

TEST(AudioConverter, BlockAlignEndAndRoom)
{
    const WaveFormat ima = Format(kWaveFormatImaAdpcm, 1, 8000, 36, 4);
    const auto converter = AudioConverter::Open(ima, WaveFormat::Pcm(1, 8000, 16));
    // Two whole blocks of 65 samples and 20 bytes of a third: header and 4 groups, 33 samples.
    std::vector<std::uint8_t> source(36 * 2 + 20, 0x31);
    std::vector<std::uint8_t> pcm(1000);
    std::size_t used = 0, produced = 0;
    ASSERT_TRUE(converter->Convert(source, pcm, AudioConvert::cfBlockAlign | AudioConvert::cfStart, used, produced));
    EXPECT_EQ(used, 72u) << "the partial block waits for more data";
    EXPECT_EQ(produced, 2u * 65 * 2);
    ASSERT_TRUE(converter->Convert(source, pcm, AudioConvert::cfEnd, used, produced));
    EXPECT_EQ(used, source.size()) << "at the end the partial block is decoded too";
    EXPECT_EQ(produced, (2u * 65 + 33) * 2);

    std::vector<std::uint8_t> small(65 * 2 + 10);
    ASSERT_TRUE(converter->Convert(source, small, AudioConvert::cfBlockAlign, used, produced));
    EXPECT_EQ(used, 36u) << "only blocks whose samples fit are consumed";
    EXPECT_EQ(produced, 130u);
}

TEST(AudioConverter, OneMsAdpcmBlockFillsItsDestinationSize)
{
    // A chunk of a single large block must convert into a destination of exactly its size.
    const WaveFormat ms = Format(kWaveFormatMsAdpcm, 1, 22050, 8192, 4);
    const auto converter = AudioConverter::Open(ms, WaveFormat::Pcm(1, 22050, 16));
    std::vector<std::uint8_t> block(8192, 0x5A);
    block[0] = 1;  // predictor set 1
    std::vector<std::uint8_t> pcm(static_cast<std::size_t>(converter->DestinationSize(block.size())));
    std::size_t used = 0, produced = 0;
    ASSERT_TRUE(converter->Convert(block, pcm, AudioConvert::cfBlockAlign | AudioConvert::cfStart, used, produced));
    EXPECT_EQ(used, block.size());
    EXPECT_EQ(produced, pcm.size());
}

TEST(ImaAdpcmConverter, DecodesTheStandardArithmetic)
{
    // Mono block: first sample 1000, step index 0 (step 7), then codes 7 and 0x0F (low nibble first).
    const WaveFormat ima = Format(kWaveFormatImaAdpcm, 1, 8000, 8, 4);
    AudioConvert::ImaAdpcmConverter converter(ima);
    const std::vector<std::uint8_t> block = {0xE8, 0x03, 0x00, 0x00, 0xF7, 0x00, 0x00, 0x00};
    std::vector<std::uint8_t> pcm(9 * 2);
    std::size_t used = 0, produced = 0;
    ASSERT_TRUE(converter.Convert(block, pcm, AudioConvert::cfEnd, used, produced));
    ASSERT_EQ(produced, 18u);
    const auto sample = [&](int i) { return static_cast<std::int16_t>(pcm[2 * i] | pcm[2 * i + 1] << 8); };
    EXPECT_EQ(sample(0), 1000);
    // Code 7 at step 7: 7>>3 + 7 + 7>>1 + 7>>2 = 0 + 7 + 3 + 1 = 11; the index goes to 8 (step 16).
    EXPECT_EQ(sample(1), 1011);
    // Code 15 at step 16: -(2 + 16 + 8 + 4) = -30.
    EXPECT_EQ(sample(2), 981);
}

} // namespace
