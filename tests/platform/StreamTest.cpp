// Streams: memory and file streams, short transfers, copying.
#include "platform/classes/Stream.h"

#include "platform/classes/Exception.h"
#include "platform/fs/FileSystem.h"

#include "support/Tools.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(TMemoryStream, WriteSeekReadAndGrow)
{
    TMemoryStream stream;
    stream.WriteBuffer("abcdef", 6);
    EXPECT_EQ(stream.GetSize(), 6);
    EXPECT_EQ(stream.GetPosition(), 6);
    stream.Seek(-2, soEnd);
    char two[2];
    stream.ReadBuffer(two, 2);
    EXPECT_EQ(std::string(two, 2), "ef");
    EXPECT_EQ(stream.Read(two, 2), 0) << "nothing after the end";
    EXPECT_THROW(stream.ReadBuffer(two, 1), EReadError);

    stream.SetPosition(10);
    stream.WriteBuffer("z", 1);
    EXPECT_EQ(stream.GetSize(), 11);
    EXPECT_EQ(stream.Memory()[7], 0) << "a gap reads as zero";
    stream.SetSize(3);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(stream.Memory()), 3), "abc");
    EXPECT_EQ(stream.Seek(-5, soBeginning), 0) << "no position before the start";
}

TEST(TMemoryStream, CopyFromCopiesAllOrPart)
{
    TMemoryStream source;
    source.WriteBuffer("0123456789", 10);
    TMemoryStream whole;
    EXPECT_EQ(whole.CopyFrom(source, 0), 10);
    EXPECT_EQ(whole.GetSize(), 10);
    source.SetPosition(4);
    TMemoryStream part;
    part.CopyFrom(source, 3);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(part.Memory()), 3), "456");
    EXPECT_THROW(part.CopyFrom(source, 10), EReadError);
}

TEST(TFileStream, CreateWriteReopenAndRead)
{
    const TestSupport::TempFolder folder;
    const std::filesystem::path native = folder.Path() / "stream.bin";
    const AnsiString name = FileSystem::FromNative(native);
    {
        TFileStream file(name, fmCreate);
        file.WriteBuffer("payload", 7);
        EXPECT_EQ(file.GetSize(), 7);
    }
    {
        TFileStream file(name, fmOpenRead | fmShareDenyWrite);
        char text[7];
        file.ReadBuffer(text, 7);
        EXPECT_EQ(std::string(text, 7), "payload");
        EXPECT_EQ(file.Write("x", 1), 0) << "opened for reading only";
    }
    {
        TFileStream file(name, fmOpenReadWrite);
        file.SetSize(3);
        EXPECT_EQ(file.GetSize(), 3);
    }
    TMemoryStream memory;
    memory.LoadFromFile(name);
    EXPECT_EQ(memory.GetSize(), 3);
    std::filesystem::remove(native);
    EXPECT_THROW(TFileStream(name, fmOpenRead), EFOpenError) << "a removed file cannot be opened";
    EXPECT_THROW(TFileStream("\\no\\such\\folder\\x", fmCreate), EFCreateError);
}

} // namespace
