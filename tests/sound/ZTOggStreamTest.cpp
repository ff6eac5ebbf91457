// ZTOggStream: sizes, reads of any length, seeking, unseekable sources, holes and chained files.
#include "sound/ZTOggStream.h"

#include "SoundTestSupport.h"

#include <gtest/gtest.h>

using namespace SoundTest;

namespace {

class ZTOggStreamTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (!HaveTool("sox"))
            GTEST_SKIP() << "sox is not installed";
    }

    // A Vorbis file made by sox: `seconds` of two sines.
    static Bytes Make(double seconds, int rate, int channels)
    {
        return LoadFile(MadeFile("sines.ogg", "sox -n -r " + std::to_string(rate) + " -c " + std::to_string(channels) +
                                                  " {} synth " + std::to_string(seconds) + " sine 440 sine 660"));
    }
};

// Offsets of the Ogg pages of a file.
std::vector<std::size_t> Pages(const Bytes& file)
{
    std::vector<std::size_t> pages;
    std::size_t at = 0;
    while (at + 27 <= file.size() && std::equal(file.begin() + static_cast<long>(at), file.begin() + static_cast<long>(at) + 4, "OggS")) {
        pages.push_back(at);
        const std::size_t segments = file[at + 26];
        std::size_t body = 0;
        for (std::size_t i = 0; i < segments; ++i)
            body += file[at + 27 + i];
        at += 27 + segments + body;
    }
    return pages;
}

TEST_F(ZTOggStreamTest, OneSecondIsOneBlock)
{
    auto stream = Over<ZTOggStream>(Make(1, 44100, 2));
    ASSERT_TRUE(stream->IsOpen());
    EXPECT_EQ(stream->GetSize(), 176400);
    EXPECT_EQ(stream->GetChannels(), 2u);
    EXPECT_EQ(stream->GetSamplesPerSec(), 44100u);
    EXPECT_EQ(stream->GetBitsPerSample(), 16u);
    Bytes buffer(200000);
    EXPECT_EQ(stream->Read(buffer.data(), 200000), 176400);
    EXPECT_TRUE(stream->IsEOF());
}

TEST_F(ZTOggStreamTest, ReadSizesRestartAndSeekAgree)
{
    const Bytes file = Make(2.5, 44100, 2);
    const Bytes whole = ExpectConsistent([&] { return Over<ZTOggStream>(file); });
    ASSERT_EQ(whole.size(), 441000u);

    auto stream = Over<ZTOggStream>(file);
    EXPECT_EQ(stream->Seek(88200 + 3, 0), 88200) << "frame 22050";
    EXPECT_EQ(ReadAll(*stream, 5000), Bytes(whole.begin() + 88200, whole.end()));
    EXPECT_EQ(stream->Seek(0, 2), 441000);
    EXPECT_TRUE(stream->IsEOF());
    EXPECT_FALSE(stream->SeekFrame(110251));
    EXPECT_FALSE(stream->SeekFrame(-1));

    ReadAll(*stream, 4096);
    ASSERT_TRUE(stream->Restart());
    Bytes start(400);
    ASSERT_EQ(stream->Read(start.data(), 400), 400);
    EXPECT_EQ(start, Bytes(whole.begin(), whole.begin() + 400));
}

TEST_F(ZTOggStreamTest, UnseekableSourceDecodesToTheEnd)
{
    const Bytes file = Make(1.5, 22050, 1);
    const Bytes whole = ReadAll(*Over<ZTOggStream>(file), 4096);
    auto stream = Over<ZTOggStream>(file, false);
    ASSERT_TRUE(stream->IsOpen());
    EXPECT_FALSE(stream->CanSeek());
    EXPECT_EQ(stream->Seek(44100, 0), -1);
    EXPECT_EQ(ReadAll(*stream, 999), whole);
    EXPECT_TRUE(stream->IsEOF());
    ASSERT_TRUE(stream->Restart()) << "reopened from the rewound source";
    EXPECT_EQ(ReadAll(*stream, 4096), whole);
}

TEST_F(ZTOggStreamTest, HoleInTheMiddleIsSkipped)
{
    const Bytes file = Make(12, 44100, 2);
    const Bytes whole = ReadAll(*Over<ZTOggStream>(file), 65536);
    const std::vector<std::size_t> pages = Pages(file);
    ASSERT_GT(pages.size(), 6u);
    const std::size_t cut = pages.size() / 2;
    Bytes holed(file.begin(), file.begin() + static_cast<long>(pages[cut]));
    holed.insert(holed.end(), file.begin() + static_cast<long>(pages[cut + 1]), file.end());
    const Bytes decoded = ReadAll(*Over<ZTOggStream>(holed), 65536);
    ASSERT_GT(decoded.size(), whole.size() / 2);
    EXPECT_LT(decoded.size(), whole.size());
    const std::size_t tail = 40000;
    EXPECT_EQ(Bytes(decoded.end() - tail, decoded.end()), Bytes(whole.end() - tail, whole.end()))
        << "the pages after the hole decode as before";
}

TEST_F(ZTOggStreamTest, ChainedFileReportsTheFirstLink)
{
    Bytes file = Make(1, 44100, 2);
    const Bytes second = Make(0.5, 22050, 1);
    file.insert(file.end(), second.begin(), second.end());
    auto stream = Over<ZTOggStream>(file);
    ASSERT_TRUE(stream->IsOpen());
    EXPECT_EQ(stream->GetChannels(), 2u);
    EXPECT_EQ(stream->GetSamplesPerSec(), 44100u);
    ReadAll(*stream, 4096);
    EXPECT_TRUE(stream->IsEOF());
}

TEST_F(ZTOggStreamTest, BrokenDataIsRefusedOrEndsCleanly)
{
    const Bytes file = Make(1, 8000, 1);
    EXPECT_FALSE(Over<ZTOggStream>(Bytes(file.begin(), file.begin() + 40))->IsOpen());
    EXPECT_FALSE(Over<ZTOggStream>(Bytes(5000, 0))->IsOpen());
    ZTOggStream none(nullptr);
    EXPECT_FALSE(none.IsOpen());
    EXPECT_TRUE(none.IsEOF());
    // Cut inside the last audio page: what is left decodes, up to the size the decoder reports.
    const Bytes longer = Make(3, 44100, 2);
    const std::vector<std::size_t> pages = Pages(longer);
    ASSERT_GT(pages.size(), 4u);
    const Bytes whole = ReadAll(*Over<ZTOggStream>(longer), 4096);
    const Bytes cut(longer.begin(), longer.begin() + static_cast<long>(pages.back() + 30));
    for (const bool seekable : {true, false}) {
        auto stream = Over<ZTOggStream>(cut, seekable);
        ASSERT_TRUE(stream->IsOpen()) << seekable;
        const Bytes decoded = ReadAll(*stream, 777);
        EXPECT_GT(decoded.size(), whole.size() / 2) << seekable;
        EXPECT_LE(decoded.size(), whole.size()) << seekable;
        if (seekable) {
            EXPECT_LE(static_cast<int>(decoded.size()), stream->GetSize());
        }
        EXPECT_TRUE(stream->IsEOF());
    }
}

TEST(ZTOggStream, GroupedStreamsAreRefused)
{
    // Theora and Vorbis pages interleaved, damaged by the fuzzer: seeking in it made vorbisfile
    // corrupt libogg's stream state. Over an unseekable source nothing is sought.
    const Bytes file = LoadFile(XE_SOUND_DATA "/grouped-streams-seek.ogg");
    ASSERT_FALSE(file.empty());
    auto stream = Over<ZTOggStream>(file);
    EXPECT_FALSE(stream->IsOpen());
    EXPECT_EQ(stream->Seek(1000, 0), -1);
    auto unseekable = Over<ZTOggStream>(file, false);
    ASSERT_TRUE(unseekable->IsOpen()) << "its Vorbis stream is read without seeking";
    ReadAll(*unseekable, 4096);
    EXPECT_TRUE(unseekable->IsEOF());
}

} // namespace
