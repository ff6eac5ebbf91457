// ZTWaveStream: RIFF chunk walking, PCM pass-through, converted data, hostile headers.
#include "sound/ZTWaveStream.h"

#include "SoundTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>

using namespace SoundTest;

namespace {

Bytes Chunk(const char* id, const Bytes& body, std::uint32_t declaredSize)
{
    Bytes chunk;
    PutId(chunk, id);
    Put32(chunk, declaredSize);
    chunk.insert(chunk.end(), body.begin(), body.end());
    if (body.size() % 2)
        chunk.push_back(0);
    return chunk;
}

Bytes Chunk(const char* id, const Bytes& body) { return Chunk(id, body, static_cast<std::uint32_t>(body.size())); }

Bytes Riff(const std::vector<Bytes>& chunks, std::optional<std::uint32_t> riffSize = std::nullopt)
{
    Bytes body;
    for (const Bytes& c : chunks)
        body.insert(body.end(), c.begin(), c.end());
    Bytes file;
    PutId(file, "RIFF");
    Put32(file, riffSize.value_or(static_cast<std::uint32_t>(body.size() + 4)));
    PutId(file, "WAVE");
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

Bytes Ramp(std::size_t bytes)
{
    Bytes data(bytes);
    for (std::size_t i = 0; i < bytes; ++i)
        data[i] = static_cast<std::uint8_t>(i * 13 + 5);
    return data;
}

TEST(ZTWaveStream, PcmPassesThroughUnchanged)
{
    const Bytes data = Ramp(4002);  // not a whole number of 4-byte frames
    const Bytes decoded = ExpectConsistent([&] { return Over<ZTWaveStream>(PcmWave(2, 44100, 16, data)); });
    auto stream = Over<ZTWaveStream>(PcmWave(2, 44100, 16, data));
    EXPECT_EQ(stream->GetSize(), 4000) << "whole frames only";
    EXPECT_TRUE(stream->CanSeek());
    EXPECT_EQ(decoded, Bytes(data.begin(), data.begin() + 4000));
}

TEST(ZTWaveStream, EightBitStaysEightBit)
{
    auto stream = Over<ZTWaveStream>(PcmWave(1, 11025, 8, Ramp(1000)));
    ASSERT_TRUE(stream->IsOpen());
    EXPECT_EQ(stream->GetBitsPerSample(), 8u);
    EXPECT_EQ(ReadAll(*stream, 100), Ramp(1000));
}

// `samples` as little-endian integers of `bytes` bytes each, the 16-bit value in the top bytes.
Bytes WidePcm(const std::vector<std::int16_t>& samples, unsigned bytes)
{
    Bytes data;
    for (const std::int16_t sample : samples) {
        data.insert(data.end(), bytes - 2, 0);
        Put16(data, static_cast<std::uint16_t>(sample));
    }
    return data;
}

// The buffers play 8 and 16 bits only: wider plain PCM becomes 16-bit, as under an extensible header.
TEST(ZTWaveStream, WidePcmBecomesSixteenBits)
{
    const std::vector<std::int16_t> samples{0, 1, -1, 0x1234, -0x1234, 32767, -32768, 100};
    Bytes want;
    for (const std::int16_t sample : samples)
        Put16(want, static_cast<std::uint16_t>(sample));
    for (const unsigned bits : {24u, 32u}) {
        for (const unsigned channels : {1u, 2u}) {
            auto stream = Over<ZTWaveStream>(PcmWave(channels, 22050, bits, WidePcm(samples, bits / 8)));
            ASSERT_TRUE(stream->IsOpen()) << bits << " bits";
            EXPECT_EQ(stream->GetBitsPerSample(), 16u);
            EXPECT_EQ(stream->GetChannels(), channels);
            EXPECT_EQ(stream->GetSamplesPerSec(), 22050u);
            EXPECT_EQ(ReadAll(*stream, 6), want) << bits << " bits, " << channels << " channels";
        }
    }
}

TEST(ZTWaveStream, SeekFrameLandsOnTheSample)
{
    const Bytes data = Ramp(4000);
    auto stream = Over<ZTWaveStream>(PcmWave(2, 44100, 16, data));
    ASSERT_TRUE(stream->SeekFrame(250));
    EXPECT_EQ(stream->GetPosition(), 1000);
    EXPECT_EQ(ReadAll(*stream, 333), Bytes(data.begin() + 1000, data.end()));
    EXPECT_TRUE(stream->SeekFrame(1000)) << "the end frame";
    EXPECT_TRUE(stream->IsEOF());
    EXPECT_FALSE(stream->SeekFrame(1001));
    EXPECT_FALSE(stream->SeekFrame(-1));
}

TEST(ZTWaveStream, FormatChunkSizes)
{
    const Bytes data = Ramp(400);
    for (const unsigned size : {12u, 13u, 300u, 257u}) {
        auto stream = Over<ZTWaveStream>(Riff({Chunk("fmt ", FormatRecord(1, 2, 8000, 16, size)), Chunk("data", data)}));
        EXPECT_FALSE(stream->IsOpen()) << "fmt of " << size << " bytes";
    }
    for (const unsigned size : {16u, 18u, 50u, 256u}) {
        auto stream = Over<ZTWaveStream>(Riff({Chunk("fmt ", FormatRecord(1, 2, 8000, 16, size)), Chunk("data", data)}));
        EXPECT_TRUE(stream->IsOpen()) << "fmt of " << size << " bytes";
        EXPECT_EQ(ReadAll(*stream, 64), data);
    }
}

TEST(ZTWaveStream, ChunkOrderAndPadding)
{
    const Bytes data = Ramp(400);
    const Bytes format = Chunk("fmt ", FormatRecord(1, 2, 8000, 16));
    EXPECT_FALSE(Over<ZTWaveStream>(Riff({Chunk("data", data), format}))->IsOpen()) << "data before fmt";
    EXPECT_TRUE(Over<ZTWaveStream>(Riff({Chunk("LIST", Ramp(7)), format, Chunk("data", data)}))->IsOpen())
        << "an odd chunk before fmt is skipped with its pad byte";
    EXPECT_FALSE(Over<ZTWaveStream>(Riff({format}))->IsOpen()) << "no data";
    EXPECT_FALSE(Over<ZTWaveStream>(Riff({format, Chunk("data", {})}))->IsOpen()) << "empty data";
    auto afterData = Over<ZTWaveStream>(Riff({format, Chunk("data", data), Chunk("LIST", Ramp(20))}));
    EXPECT_EQ(ReadAll(*afterData, 64), data) << "chunks after the data are not sound";
}

TEST(ZTWaveStream, HostileHeadersFailWithoutHanging)
{
    const Bytes format = Chunk("fmt ", FormatRecord(1, 2, 8000, 16));
    struct Case {
        const char* what;
        Bytes file;
    };
    const Bytes junkSized = Riff({Chunk("junk", Ramp(8), 0xFFFFFFF0u), format, Chunk("data", Ramp(40))});
    const Bytes formatOnly = Riff({format});
    const Case cases[] = {
        {"empty", {}},
        {"RIFF only", Bytes{'R', 'I', 'F', 'F'}},
        {"not WAVE", Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' '}},
        {"huge chunk size before fmt", junkSized},
        {"RIFF size ends before fmt", Riff({format, Chunk("data", Ramp(40))}, 4)},
        {"fmt chunk cut short", Bytes(formatOnly.begin(), formatOnly.begin() + 30)},
        {"zero channels", Riff({Chunk("fmt ", FormatRecord(1, 0, 8000, 16)), Chunk("data", Ramp(40))})},
        {"zero bits", Riff({Chunk("fmt ", FormatRecord(1, 2, 8000, 0)), Chunk("data", Ramp(40))})},
        {"zero rate", Riff({Chunk("fmt ", FormatRecord(1, 2, 0, 16)), Chunk("data", Ramp(40))})},
        {"ADPCM with block align 0", Riff({Chunk("fmt ", FormatRecord(2, 1, 8000, 4)), Chunk("data", Ramp(40))})},
        {"unknown tag", Riff({Chunk("fmt ", FormatRecord(0x1234, 1, 8000, 16)), Chunk("data", Ramp(40))})},
        {"12-bit samples", Riff({Chunk("fmt ", FormatRecord(1, 1, 8000, 12)), Chunk("data", Ramp(40))})},
    };
    for (const Case& c : cases) {
        const auto start = std::chrono::steady_clock::now();
        auto stream = Over<ZTWaveStream>(c.file);
        EXPECT_FALSE(stream->IsOpen()) << c.what;
        EXPECT_EQ(stream->Read(Ramp(16).data(), 0), 0);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << c.what;
    }
}

TEST(ZTWaveStream, TruncatedDataKeepsWhatIsThere)
{
    // The data chunk claims a gigabyte; the file holds 1002 bytes of it.
    Bytes file = Riff({Chunk("fmt ", FormatRecord(1, 2, 8000, 16))}, (1u << 30) + 36);
    Bytes head;
    PutId(head, "data");
    Put32(head, 1u << 30);
    file.insert(file.end(), head.begin(), head.end());
    const Bytes data = Ramp(1002);
    file.insert(file.end(), data.begin(), data.end());
    for (const bool seekable : {true, false}) {
        auto stream = Over<ZTWaveStream>(file, seekable);
        ASSERT_TRUE(stream->IsOpen());
        EXPECT_EQ(stream->GetSize(), 1000) << "the size known from the file";
        EXPECT_EQ(ReadAll(*stream, 4096), Bytes(data.begin(), data.begin() + 1000));
        EXPECT_TRUE(stream->IsEOF());
    }
}

TEST(ZTWaveStream, RandomDamageNeverCrashes)
{
    const Bytes good = Riff({Chunk("fmt ", FormatRecord(1, 2, 8000, 16)), Chunk("data", Ramp(800))});
    std::mt19937 random(11);
    for (int round = 0; round < 500; ++round) {
        Bytes file = good;
        for (int i = 0; i < 4; ++i)
            file[random() % 44] = static_cast<std::uint8_t>(random());
        file.resize(random() % (file.size() + 1));
        auto stream = Over<ZTWaveStream>(file);
        const Bytes decoded = ReadAll(*stream, 100);
        EXPECT_LE(decoded.size(), 800u);
    }
}

// Converted WAVE data made by the outside encoders: stereo IMA and MS ADPCM must decode in any
// read size, with the IMA data matching sox's standard decoder.
class ZTWaveStreamEncoded : public testing::Test {
protected:
    void SetUp() override
    {
        if (!HaveTool("sox"))
            GTEST_SKIP() << "sox is not installed";
        source_ = MadeFile("source.wav", "sox -n -r 22050 -c 2 -b 16 {} synth 1.7 sine 300 sine 1200 vol 0.7");
    }

    // The source encoded by sox (`encoded`, its file read into `file`), and sox's decode of it to
    // 16-bit raw as the reference.
    void Encode(const std::string& encoding, Bytes& file, Bytes& reference)
    {
        encoded = MadeFile("enc-" + encoding + ".wav", "sox " + Quoted(source_) + " -e " + encoding + " {}");
        file = LoadFile(encoded);
        reference = LoadFile(MadeFile("dec-" + encoding + ".raw", "sox " + Quoted(encoded) + " -t raw -e signed -b 16 {}"));
    }

    std::filesystem::path source_;
    std::filesystem::path encoded;
};

TEST_F(ZTWaveStreamEncoded, StereoImaAdpcmMatchesSox)
{
    Bytes file, reference;
    Encode("ima-adpcm", file, reference);
    const Bytes decoded = ExpectConsistent([&] { return Over<ZTWaveStream>(file); });
    EXPECT_EQ(decoded, reference);
    EXPECT_FALSE(Over<ZTWaveStream>(file)->CanSeek()) << "converted data cannot seek";
}

TEST_F(ZTWaveStreamEncoded, StereoMsAdpcmMatchesLibavcodec)
{
    // MS ADPCM predicts with a truncating division (libavcodec and the Windows codec); sox and
    // libsndfile shift instead, so ffmpeg's decode is the reference here.
    if (!HaveTool("ffmpeg"))
        GTEST_SKIP() << "ffmpeg is not installed";
    Bytes file, soxDecode;
    Encode("ms-adpcm", file, soxDecode);
    const auto raw = MadeFile("ffmpeg-ms-adpcm.raw", "ffmpeg -v quiet -y -i " + Quoted(encoded) + " -f s16le {}");
    const Bytes decoded = ExpectConsistent([&] { return Over<ZTWaveStream>(file); });
    EXPECT_EQ(decoded, LoadFile(raw));
}

TEST_F(ZTWaveStreamEncoded, StereoALawAndMuLawMatchSox)
{
    for (const std::string encoding : {"a-law", "u-law"}) {
        Bytes file, reference;
        Encode(encoding, file, reference);
        const Bytes decoded = ExpectConsistent([&] { return Over<ZTWaveStream>(file); });
        EXPECT_EQ(decoded, reference) << encoding;
    }
}

} // namespace
