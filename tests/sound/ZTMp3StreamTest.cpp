// ZTMp3Stream: the first frame header, the tag block, and decoding of MPEG audio conformance streams.
#include "sound/ZTMp3Stream.h"

#include "SoundTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

using namespace SoundTest;

namespace {

std::uint16_t Le16(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

TEST(ZTMp3Stream, LayerThreeHeaderGivesTheFormat)
{
    const std::uint8_t header[4] = {0xFF, 0xFB, 0x90, 0x64};
    WaveFormat format;
    ASSERT_TRUE(ZTMp3Stream::FormatFromHeader(header, format));
    EXPECT_EQ(format.formatTag, kWaveFormatMpegLayer3);
    EXPECT_EQ(format.samplesPerSec, 44100u);
    EXPECT_EQ(format.channels, 2);
    EXPECT_EQ(format.avgBytesPerSec, 16000u) << "128 kbit/s";
    EXPECT_EQ(format.blockAlign, 1);
    ASSERT_EQ(format.extra.size(), 12u);
    EXPECT_EQ(Le16(format.extra, 6), 417) << "block size";
    EXPECT_EQ(Le16(format.extra, 10), 1393) << "codec delay";
}

TEST(ZTMp3Stream, HeaderRefusals)
{
    struct Case {
        const char* what;
        std::uint8_t header[4];
        bool accepted;
    };
    const Case cases[] = {
        {"no sync", {0xFE, 0xFB, 0x90, 0x64}, false},
        {"layer value 0", {0xFF, 0xF9, 0x90, 0x64}, false},
        {"reserved sample-rate index", {0xFF, 0xFB, 0x9C, 0x64}, false},
        {"free format", {0xFF, 0xFB, 0x00, 0x64}, false},
        {"bit-rate index 15", {0xFF, 0xFB, 0xF0, 0x64}, false},
        {"MPEG-2 layer II mono", {0xFF, 0xF5, 0x80, 0xC0}, true},
        {"MPEG-2.5 layer III", {0xFF, 0xE3, 0x40, 0x00}, true},
    };
    for (const Case& c : cases) {
        WaveFormat format;
        EXPECT_EQ(ZTMp3Stream::FormatFromHeader(c.header, format), c.accepted) << c.what;
    }
    WaveFormat layer2;
    ASSERT_TRUE(ZTMp3Stream::FormatFromHeader(cases[5].header, layer2));
    EXPECT_EQ(layer2.formatTag, kWaveFormatMpeg) << "layer II data gets the MPEG record";
    EXPECT_EQ(layer2.samplesPerSec, 22050u);
    EXPECT_EQ(layer2.channels, 1);
    WaveFormat mpeg25;
    ASSERT_TRUE(ZTMp3Stream::FormatFromHeader(cases[6].header, mpeg25));
    EXPECT_EQ(mpeg25.samplesPerSec, 11025u) << "MPEG-2.5 rates are a quarter of MPEG-1's";
}

TEST(ZTMp3Stream, ShortFilesAndGarbageAreRefused)
{
    Bytes file(128, 0);
    file[0] = 0xFF, file[1] = 0xFB, file[2] = 0x90, file[3] = 0x64;
    EXPECT_FALSE(Over<ZTMp3Stream>(file)->IsOpen()) << "128 bytes";
    EXPECT_FALSE(Over<ZTMp3Stream>(Bytes(1000, 0x55))->IsOpen());
    EXPECT_FALSE(Over<ZTMp3Stream>({})->IsOpen());
    ZTMp3Stream none(nullptr);
    EXPECT_FALSE(none.IsOpen());
}

// Streams made by the encoder at test time.
class ZTMp3StreamEncoded : public testing::Test {
protected:
    void SetUp() override
    {
        if (!HaveTool("ffmpeg"))
            GTEST_SKIP() << "ffmpeg is not installed";
    }

    static Bytes Encode(const std::string& codec, const std::string& extra, const std::string& muxer = "mp3")
    {
        return LoadFile(MadeFile("sine.mpa", "ffmpeg -v quiet -y -f lavfi -i 'sine=f=440:d=2.3:r=44100' -ac 2 -c:a " +
                                                 codec + " " + extra + " -f " + muxer + " {}"));
    }
};

TEST_F(ZTMp3StreamEncoded, DecodesAlikeInAnyReadSizeAndCountsFrames)
{
    // Variable bit rate without a header frame: the decoded size comes from the frame walk.
    const Bytes file = Encode("libmp3lame", "-q:a 4 -write_xing 0 -id3v2_version 0");
    ASSERT_GT(file.size(), 1000u);
    const Bytes decoded = ExpectConsistent([&] { return Over<ZTMp3Stream>(file); });
    auto stream = Over<ZTMp3Stream>(file);
    EXPECT_EQ(stream->GetSize() % (1152 * 4), 0) << "whole frames";
    EXPECT_EQ(static_cast<int>(decoded.size()), stream->GetSize());
    EXPECT_GE(decoded.size(), 2u * 2 * static_cast<std::size_t>(2.3 * 44100)) << "the whole signal";
    EXPECT_FALSE(stream->CanSeek());
    EXPECT_EQ(stream->Seek(0, 0), -1);
}

TEST_F(ZTMp3StreamEncoded, TagBlockIsNotHandedToTheDecoder)
{
    Bytes file = Encode("libmp3lame", "-b:a 128k -write_xing 0 -id3v2_version 0");
    const int plain = Over<ZTMp3Stream>(file)->GetSize();
    Bytes tag(128, ' ');
    tag[0] = 'T', tag[1] = 'A', tag[2] = 'G';
    file.insert(file.end(), tag.begin(), tag.end());
    auto tagged = Over<ZTMp3Stream>(file);
    EXPECT_EQ(tagged->GetSize(), plain);
    EXPECT_EQ(static_cast<int>(ReadAll(*tagged, 5000).size()), plain);
}

TEST_F(ZTMp3StreamEncoded, LayerTwoDecodes)
{
    const Bytes file = Encode("mp2", "-b:a 192k", "mp2");
    const Bytes decoded = ExpectConsistent([&] { return Over<ZTMp3Stream>(file); });
    EXPECT_GE(decoded.size(), 2u * 2 * static_cast<std::size_t>(2.3 * 44100));
}

TEST_F(ZTMp3StreamEncoded, DamagedStreamsEndCleanly)
{
    const Bytes good = Encode("libmp3lame", "-b:a 96k -write_xing 0 -id3v2_version 0");
    std::mt19937 random(5);
    for (int round = 0; round < 40; ++round) {
        Bytes file = good;
        for (int i = 0; i < 40; ++i)
            file[4 + random() % (file.size() - 4)] = static_cast<std::uint8_t>(random());
        file.resize(129 + random() % (file.size() - 129));
        auto stream = Over<ZTMp3Stream>(file);
        ASSERT_TRUE(stream->IsOpen());
        EXPECT_LE(static_cast<int>(ReadAll(*stream, 4000).size()), stream->GetSize());
    }
}

} // namespace
