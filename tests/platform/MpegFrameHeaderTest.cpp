// MpegFrameHeader: header fields, frame sizes and refusals of MPEG audio frame headers.
#include "platform/audioconvert/MpegFrameHeader.h"

#include <gtest/gtest.h>

#include <array>

namespace {

TEST(MpegFrameHeader, FieldsAndFrameSizes)
{
    struct Case {
        std::array<std::uint8_t, 4> bytes;
        int version, layer, kbps, rate, channels, samples, frameBytes;
    };
    const Case cases[] = {
        {{0xFF, 0xFB, 0x90, 0x64}, 1, 3, 128, 44100, 2, 1152, 417},
        {{0xFF, 0xFB, 0x92, 0x64}, 1, 3, 128, 44100, 2, 1152, 418},  // padded
        {{0xFF, 0xFD, 0xA4, 0xC0}, 1, 2, 192, 48000, 1, 1152, 576},
        {{0xFF, 0xFF, 0x30, 0x00}, 1, 1, 96, 44100, 2, 384, 104},    // (12 x 96000 / 44100) x 4
        {{0xFF, 0xF3, 0x84, 0x00}, 2, 3, 64, 24000, 2, 576, 192},
        {{0xFF, 0xE3, 0x40, 0xC0}, 25, 3, 32, 11025, 1, 576, 208},
    };
    for (const Case& c : cases) {
        MpegFrameHeader header;
        ASSERT_TRUE(MpegFrameHeader::Parse(c.bytes, header));
        EXPECT_EQ(header.version, c.version);
        EXPECT_EQ(header.layer, c.layer);
        EXPECT_EQ(header.bitRateKbps, c.kbps);
        EXPECT_EQ(header.sampleRate, c.rate);
        EXPECT_EQ(header.channels, c.channels);
        EXPECT_EQ(header.samplesPerFrame, c.samples);
        EXPECT_EQ(header.frameBytes, c.frameBytes);
    }
}

TEST(MpegFrameHeader, Refusals)
{
    const std::array<std::uint8_t, 4> refused[] = {
        {0xFF, 0x1B, 0x90, 0x64},  // sync cut short
        {0xFF, 0xEB, 0x90, 0x64},  // reserved version
        {0xFF, 0xF9, 0x90, 0x64},  // reserved layer
        {0xFF, 0xFB, 0x9C, 0x64},  // reserved sample-rate index
        {0xFF, 0xFB, 0xF0, 0x64},  // bit-rate index 15
    };
    for (const auto& bytes : refused) {
        MpegFrameHeader header;
        EXPECT_FALSE(MpegFrameHeader::Parse(bytes, header));
    }
    MpegFrameHeader free;
    ASSERT_TRUE(MpegFrameHeader::Parse(std::array<std::uint8_t, 4>{0xFF, 0xFB, 0x00, 0x64}, free));
    EXPECT_EQ(free.bitRateKbps, 0);
    EXPECT_EQ(free.frameBytes, 0) << "a free-format frame's length is not in its header";
}

} // namespace
