// ZTAdpStream: ADP1 headers, decoding through the chunk pipeline, restart, hostile headers.
#include "sound/ZTAdpStream.h"

#include "SoundTestSupport.h"
#include "sound/Msm6258Codec.h"

#include <gtest/gtest.h>

#include <random>

using namespace SoundTest;

namespace {

Bytes Adp1(std::uint32_t frames, std::uint32_t rate, std::uint32_t channels, const Bytes& codes)
{
    Bytes file;
    PutId(file, "ADP1");
    Put32(file, frames);
    Put32(file, rate);
    Put32(file, channels);
    file.insert(file.end(), codes.begin(), codes.end());
    return file;
}

Bytes RandomCodes(std::size_t count, unsigned seed)
{
    std::mt19937 random(seed);
    Bytes codes(count);
    for (auto& c : codes)
        c = static_cast<std::uint8_t>(random());
    return codes;
}

// The codec run straight over all codes: what the stream must deliver.
Bytes DirectDecode(const Bytes& codes, int channels)
{
    Msm6258Codec codec;
    Bytes pcm(codes.size() * 4);
    if (channels == 1)
        codec.DecodeMono(codes.data(), pcm.data(), static_cast<std::uint32_t>(codes.size() * 2));
    else
        codec.DecodeStereo(codes.data(), pcm.data(), static_cast<std::uint32_t>(codes.size()));
    return pcm;
}

TEST(ZTAdpStream, RefusesShortFilesAndWrongMagic)
{
    for (const Bytes& file : {Bytes{'A', 'D', 'P', '1', 0, 0}, Adp1(2, 8000, 1, {0x11}), Bytes(15, 0)}) {
        Bytes bad = file;
        if (bad.size() >= 16)
            bad[3] = '2';
        MemoryZTStream source(bad);
        ZTAdpStream stream(&source);
        EXPECT_FALSE(stream.IsOpen());
        EXPECT_TRUE(stream.IsEOF());
    }
    ZTAdpStream none(nullptr);
    EXPECT_FALSE(none.IsOpen());
}

TEST(ZTAdpStream, StereoSizeAndNoSeeking)
{
    MemoryZTStream source(Adp1(44100, 44100, 2, Bytes(44100, 0x88)));
    ZTAdpStream stream(&source);
    ASSERT_TRUE(stream.IsOpen());
    EXPECT_EQ(stream.GetSize(), 176400);
    EXPECT_EQ(stream.GetChannels(), 2u);
    EXPECT_EQ(stream.GetBitsPerSample(), 16u);
    EXPECT_FALSE(stream.CanSeek());
    EXPECT_EQ(stream.Seek(4, 0), -1);
}

TEST(ZTAdpStream, DecodesLikeTheCodecInAnyReadSize)
{
    for (const int channels : {1, 2}) {
        // 2.5 seconds at 8 kHz: the codec state must carry across one-second chunks.
        const std::uint32_t frames = 20000;
        const Bytes codes = RandomCodes(channels * frames / 2, 7 + channels);
        const Bytes file = Adp1(frames, 8000, channels, codes);
        const Bytes decoded = ExpectConsistent([&] { return Over<ZTAdpStream>(file); });
        EXPECT_EQ(decoded, DirectDecode(codes, channels)) << channels << " channel(s)";
    }
}

TEST(ZTAdpStream, OddMonoFrameCountDropsTheLastHalfByte)
{
    MemoryZTStream source(Adp1(5, 8000, 1, {0x17, 0x17, 0x17}));
    ZTAdpStream stream(&source);
    EXPECT_EQ(stream.GetSize(), 8) << "two whole code bytes of the 5 nibbles";
    EXPECT_EQ(ReadAll(stream, 100).size(), 8u);
}

TEST(ZTAdpStream, HostileHeadersEndCleanly)
{
    struct Case {
        const char* what;
        std::uint32_t frames, rate, channels;
        std::size_t codes;
        int expectSize;  // -1: refused
    };
    const Case cases[] = {
        {"no channels", 100, 8000, 0, 50, -1},
        {"rate 0", 100, 0, 1, 50, -1},
        {"huge frame count over a short file", 0xFFFFFFFF, 8000, 2, 100, 400},
        {"huge rate", 100, 0xFFFFFFFF, 2, 100, 400},
        {"seven channels decode as stereo", 100, 8000, 7, 100, 400},
        {"no codes", 0, 8000, 1, 0, 0},
    };
    for (const Case& c : cases) {
        MemoryZTStream source(Adp1(c.frames, c.rate, c.channels, RandomCodes(c.codes, 1)));
        ZTAdpStream stream(&source);
        if (c.expectSize < 0) {
            EXPECT_FALSE(stream.IsOpen()) << c.what;
            continue;
        }
        ASSERT_TRUE(stream.IsOpen()) << c.what;
        EXPECT_EQ(stream.GetSize(), c.expectSize) << c.what;
        EXPECT_EQ(static_cast<int>(ReadAll(stream, 333).size()), c.expectSize) << c.what;
        EXPECT_TRUE(stream.IsEOF()) << c.what;
    }
}

TEST(ZTAdpStream, UnseekableSourceRestartsByRewinding)
{
    const Bytes codes = RandomCodes(3000, 3);
    MemoryZTStream source(Adp1(6000, 4000, 1, codes), false);
    ZTAdpStream stream(&source);
    ASSERT_TRUE(stream.IsOpen());
    const Bytes first = ReadAll(stream, 1000);
    ASSERT_TRUE(stream.Rewind());
    EXPECT_EQ(ReadAll(stream, 999), first);
    EXPECT_EQ(first, DirectDecode(codes, 1));
}

} // namespace
