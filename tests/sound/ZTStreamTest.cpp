// ZTStream, T2ZTStream and the ZTPcmStream helpers: adapter, seeking by frames, source skipping.
#include "sound/ZTStream.h"

#include "SoundTestSupport.h"
#include "platform/classes/Stream.h"
#include "sound/ZTWaveStream.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace SoundTest;

namespace {

TEST(T2ZTStream, PassesThroughToTheTStream)
{
    TMemoryStream memory;
    memory.WriteBuffer("0123456789", 10);
    memory.SetPosition(4);
    T2ZTStream stream(&memory);
    EXPECT_TRUE(stream.IsOpen());
    EXPECT_TRUE(stream.CanSeek());
    EXPECT_EQ(stream.GetSize(), 10);
    EXPECT_EQ(stream.GetPosition(), 4);
    char two[2];
    EXPECT_EQ(stream.Read(two, 2), 2);
    EXPECT_EQ(std::string(two, 2), "45");
    EXPECT_EQ(stream.Seek(-3, 2), 7);
    EXPECT_EQ(stream.Seek(1, 1), 8);
    EXPECT_EQ(stream.Seek(0, 7), -1) << "no such origin";
    EXPECT_TRUE(stream.SetSize(20));
    EXPECT_EQ(memory.GetSize(), 20);
    memory.SetPosition(100);
    EXPECT_TRUE(stream.Rewind());
    EXPECT_EQ(memory.GetPosition(), 0);
}

// A ZTPcmStream over a PCM WAVE of known frames: the frame-rounding seek of the interface.
class PcmSeek : public testing::Test {
protected:
    PcmSeek() : source_(PcmWave(2, 44100, 16, Frames(100))), stream_(&source_) {}

    static Bytes Frames(int count)
    {
        Bytes data;
        for (int i = 0; i < count; ++i) {
            Put16(data, static_cast<unsigned>(i));
            Put16(data, static_cast<unsigned>(-i));
        }
        return data;
    }

    MemoryZTStream source_;
    ZTWaveStream stream_;
};

TEST_F(PcmSeek, SeekRoundsDownToWholeFrames)
{
    ASSERT_TRUE(stream_.IsOpen());
    EXPECT_EQ(stream_.Seek(6, 0), 4) << "byte 6 lies in frame 1";
    std::uint8_t frame[4];
    ASSERT_EQ(stream_.Read(frame, 4), 4);
    EXPECT_EQ(frame[0], 1);
    EXPECT_EQ(stream_.Seek(8, 1), 16) << "from the current position 8";
    EXPECT_EQ(stream_.Seek(0, 2), 400) << "the end";
    EXPECT_EQ(stream_.Read(frame, 4), 0);
    EXPECT_TRUE(stream_.IsEOF());
    EXPECT_EQ(stream_.Seek(404, 0), -1) << "past the end";
    EXPECT_EQ(stream_.Seek(-4, 0), -1) << "before the start";
}

TEST(ZTPcmStream, UnseekableSourceSkipsInScratchBlocks)
{
    // A WAVE with a 10000-byte chunk before its data, over an unseekable source: the chunk walk
    // skips the chunk body in reads of 4096, 4096 and 1808 bytes.
    Bytes file = PcmWave(2, 8000, 16, Bytes(400, 0x11));
    Bytes junk;
    PutId(junk, "junk");
    Put32(junk, 10000);
    junk.resize(junk.size() + 10000, 0xEE);
    file.insert(file.begin() + 36, junk.begin(), junk.end());
    file[4] = static_cast<std::uint8_t>(file.size() - 8);
    file[5] = static_cast<std::uint8_t>((file.size() - 8) >> 8);
    MemoryZTStream source(file, false);
    ZTWaveStream stream(&source);
    ASSERT_TRUE(stream.IsOpen());
    const std::vector<int> skip = {4096, 4096, 1808};
    EXPECT_NE(std::search(source.reads.begin(), source.reads.end(), skip.begin(), skip.end()), source.reads.end());
    EXPECT_FALSE(stream.CanSeek()) << "a decoder over an unseekable source cannot seek";
    EXPECT_EQ(stream.Seek(0, 0), -1);

    // Restart rewinds the source and skips to the data start again.
    Bytes first(8);
    ASSERT_EQ(stream.Read(first.data(), 8), 8);
    EXPECT_EQ(first, Bytes(8, 0x11));
    ASSERT_TRUE(stream.Restart());
    EXPECT_EQ(ReadAll(stream, 64), Bytes(400, 0x11));
}

} // namespace
