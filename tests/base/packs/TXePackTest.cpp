// The pack archive component: writing and reading back every method, the file layout, CRC modes,
// old directory versions, read and seek limits, deleted entries, names, damaged archives, and
// changes that fail without harming the archive they were to replace.
#include "base/packs/TXePack.h"

#include "base/packs/TCrcCheck.h"
#include "platform/codepage/CodePage.h"
#include "tests/base/CodecCorpus.h"
#include "tests/base/PackFixture.h"

#include "support/ScopedState.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace {

using namespace PackFixture;

const Bytes Text = CodecCorpus::Text(70000, 1);
const Bytes Binary = CodecCorpus::Random(40000, 2);
const Bytes Runs = CodecCorpus::Runs(50000, 3);

std::vector<Entry> Sample()
{
    return {{"empty.bin", {}}, {"one.txt", {'x'}}, {"Text.TXT", Text}, {"binary.dat", Binary}, {"runs.bin", Runs},
            {"forty.bin", CodecCorpus::Binary(40, 4)}};
}

Bytes MakeStreamBytes(TXePack& pack, const char* name)
{
    std::unique_ptr<TStream> stream(pack.XeMakeStream(name));
    if (!stream) {
        ADD_FAILURE() << "no stream for " << name;
        return {};
    }
    EXPECT_EQ(stream->GetPosition(), 0);
    return Contents(*stream);
}

void PutU16(Bytes& out, unsigned value)
{
    out.push_back(static_cast<unsigned char>(value));
    out.push_back(static_cast<unsigned char>(value >> 8));
}

void PutU32(Bytes& out, std::uint32_t value)
{
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}

// An archive of an older version as raw bytes: entries stored one after another (padded to 16),
// records of 32 (0x0100) or 40 (0x0200) bytes.
Bytes OldArchive(std::uint16_t version, const std::vector<Entry>& entries)
{
    Bytes data, directory;
    for (const Entry& entry : entries) {
        const std::uint32_t offset = static_cast<std::uint32_t>(data.size());
        data.insert(data.end(), entry.bytes.begin(), entry.bytes.end());
        data.resize((data.size() + 15) & ~std::size_t{15});
        char name[24] = {};
        const std::size_t dot = entry.name.rfind('.');
        std::memcpy(name, entry.name.data(), dot);
        std::memcpy(name + 21, entry.name.data() + dot + 1, entry.name.size() - dot - 1);
        directory.insert(directory.end(), name, name + 24);
        PutU32(directory, offset);
        PutU32(directory, static_cast<std::uint32_t>(entry.bytes.size()));
        if (version == XePackVersion200) {
            PutU32(directory, static_cast<std::uint32_t>(entry.bytes.size()));
            directory.insert(directory.end(), {0, 0xAA, 0xBB, 0xCC});
        }
    }
    Bytes file{'X', 'e', 'P', 'a', 'c', 'k'};
    PutU16(file, version);
    PutU32(file, static_cast<std::uint32_t>(data.size()));
    PutU32(file, static_cast<std::uint32_t>(entries.size()));
    file.insert(file.end(), data.begin(), data.end());
    file.insert(file.end(), directory.begin(), directory.end());
    return file;
}

class TXePackTest : public ::testing::Test {
protected:
    ScratchFolder folder;
    AnsiString packName = folder.Name("test.pak");
    Messages messages;
};

} // namespace

TEST_F(TXePackTest, EveryMethodWritesAndReadsBack)
{
    const std::uint8_t codedType[] = {ptStored, ptTovanu, ptBrisane, ptInverted, ptBrisane, ptBrisane};
    for (int method = 0; method <= 5; ++method) {
        ASSERT_TRUE(BuildPack(folder, packName, Sample(), method)) << method;
        TXePack pack(nullptr);
        pack.SetCrcMode(cmPackAll);
        ASSERT_TRUE(pack.LoadPack(packName.c_str())) << method;
        EXPECT_EQ(pack.GetFileNum(), 6);
        for (const Entry& entry : Sample())
            EXPECT_EQ(MakeStreamBytes(pack, entry.name.c_str()), entry.bytes) << method << " " << entry.name;
        EXPECT_EQ(pack.GetFileComp(pack.CheckFileName("Text.TXT")), codedType[method]) << method;
        EXPECT_EQ(pack.GetFileComp(pack.CheckFileName("empty.bin")), ptStored) << "an empty file is always stored";
        if (method != 3) {
            EXPECT_EQ(pack.GetFileComp(pack.CheckFileName("one.txt")), ptStored) << "coding one byte does not pay";
            EXPECT_EQ(pack.GetFileComp(pack.CheckFileName("binary.dat")), ptStored) << "nor random bytes";
        }
        for (int i = 0; i < pack.GetFileNum(); ++i)
            EXPECT_TRUE(pack.VerifyFileCrc(i));
    }
    EXPECT_TRUE(messages.boxes.empty());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(TXePackTest, AlwaysCodingKeepsTheCodedForm)
{
    ASSERT_TRUE(BuildPack(folder, packName, {{"noise.bin", Binary}}, 2, false));
    TXePack pack(nullptr);
    ASSERT_TRUE(pack.LoadPack(packName.c_str()));
    EXPECT_EQ(pack.GetFileComp(0), ptBrisane);
    EXPECT_GT(pack.FileTable(0)->CompSize, Binary.size());
    EXPECT_EQ(MakeStreamBytes(pack, "noise.bin"), Binary);
}

TEST_F(TXePackTest, EmptyArchiveIsAHeaderAndItsCrc)
{
    TXePack writer(nullptr);
    writer.SetReadOnly(false);
    ASSERT_TRUE(writer.NewPack(packName.c_str()));
    ASSERT_TRUE(writer.EndPack());
    const Bytes file = folder.Read("test.pak");
    ASSERT_EQ(file.size(), 18u);
    const Bytes header{'X', 'e', 'P', 'a', 'c', 'k', 0x00, 0x03, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 16), header);
    const unsigned short crc = TCrcCheck().Crc(header.data(), 16);
    EXPECT_EQ(file[16] | file[17] << 8, crc);
}

TEST_F(TXePackTest, EntriesArePaddedToSixteenBytes)
{
    ASSERT_TRUE(BuildPack(folder, packName, {{"a.bin", {1}}, {"b.bin", Bytes(16, 2)}, {"c.bin", {}}, {"d.bin", {4, 4}}}, 0));
    const Bytes file = folder.Read("test.pak");
    // header, 16 + 16 + 0 + 16 bytes of data, four records, CRC.
    ASSERT_EQ(file.size(), 16u + 48 + 4 * 48 + 2);
    EXPECT_EQ(file[8], 48) << "data size";
    EXPECT_EQ(file[16], 1);
    EXPECT_EQ(Bytes(file.begin() + 17, file.begin() + 32), Bytes(15, 0)) << "zero fill";
    TXePack pack(nullptr);
    ASSERT_TRUE(pack.LoadPack(packName.c_str()));
    EXPECT_EQ(pack.FileTable(0)->Offset, 0u);
    EXPECT_EQ(pack.FileTable(1)->Offset, 16u);
    EXPECT_EQ(pack.FileTable(2)->Offset, 32u);
    EXPECT_EQ(pack.FileTable(3)->Offset, 32u);
    EXPECT_EQ(pack.FileTable(2)->Crc, 0xFFFF) << "the CRC of no bytes";
    EXPECT_EQ(pack.FileTable(2)->CrcFlag, 1);
    const unsigned short crc = TCrcCheck().Crc(file.data(), static_cast<int>(file.size()) - 2);
    EXPECT_EQ(file[file.size() - 2] | file[file.size() - 1] << 8, crc);
}

TEST_F(TXePackTest, CrcModesFindADamagedByteWhereTheyLook)
{
    ASSERT_TRUE(BuildPack(folder, packName, Sample(), 1));
    std::filesystem::path path = folder.Native() / "test.pak";
    Bytes file = folder.Read("test.pak");
    TXePack reader(nullptr);
    ASSERT_TRUE(reader.LoadPack(packName.c_str()));
    const std::uint32_t textAt = 16 + reader.FileTable(reader.CheckFileName("Text.TXT"))->Offset;
    reader.ClosePack();
    file[textAt + 100] ^= 0x40;
    folder.Write("test.pak", file);

    TXePack pack(nullptr);
    pack.SetCrcMode(cmPackAll);
    EXPECT_FALSE(pack.LoadPack(packName.c_str()));
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].text, "Packﾌｧｲﾙが壊れています。");
    EXPECT_EQ(messages.boxes[0].caption, "CRCｴﾗｰ");
    EXPECT_EQ(messages.boxes[0].flags, mbIconStop);
    EXPECT_FALSE(pack.IsOpen());

    pack.SetCrcMode(cmNon);
    EXPECT_TRUE(pack.LoadPack(packName.c_str()));
    EXPECT_EQ(messages.boxes.size(), 1u) << "nothing tested";

    pack.SetCrcMode(cmEachFile);
    ASSERT_TRUE(pack.LoadPack(packName.c_str()));
    EXPECT_EQ(MakeStreamBytes(pack, "runs.bin"), Runs);
    EXPECT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(pack.XeMakeStream("Text.TXT"), nullptr);
    EXPECT_EQ(messages.boxes.size(), 2u);
    EXPECT_FALSE(pack.VerifyFileCrc(pack.CheckFileName("Text.TXT")));
}

TEST_F(TXePackTest, ReportsProgressWhileCheckingTheWholeFile)
{
    ASSERT_TRUE(BuildPack(folder, packName, {{"big.bin", CodecCorpus::Random(3 << 20, 5)}}, 0));
    TXePack pack(nullptr);
    pack.SetCrcMode(cmPackAll);
    std::vector<int> steps;
    pack.OnProgress = [&](TObject* sender) { steps.push_back(static_cast<TXePack*>(sender)->Progress()); };
    ASSERT_TRUE(pack.LoadPack(packName.c_str()));
    EXPECT_EQ(steps, (std::vector<int>{0, 33, 66, 99, 100}));
}

TEST_F(TXePackTest, OlderDirectoriesLoadWithoutACrcTest)
{
    const std::vector<Entry> entries{{"first.txt", {'a', 'b', 'c'}}, {"second.bin", Bytes(20, 7)}};
    for (const std::uint16_t version : {XePackVersion100, XePackVersion200}) {
        folder.Write("old.pak", OldArchive(version, entries));
        TXePack pack(nullptr);
        pack.SetCrcMode(cmPackAll);
        ASSERT_TRUE(pack.LoadPack(folder.Name("old.pak").c_str())) << version;
        EXPECT_TRUE(messages.boxes.empty());
        EXPECT_EQ(pack.Header().Version, XePackVersion301) << "in memory";
        ASSERT_EQ(pack.GetFileNum(), 2);
        for (int i = 0; i < 2; ++i) {
            const TXeFileTable& record = *pack.FileTable(i);
            EXPECT_EQ(record.Comp, ptStored);
            EXPECT_EQ(record.CrcFlag, 0);
            EXPECT_EQ(record.CompSize, record.Size);
            FILETIME time;
            ASSERT_TRUE(pack.GetFileTime(i, &time));
            EXPECT_EQ(FileTimeTicks(time), FileTimeTicks(XePackOldFileTime));
            EXPECT_TRUE(pack.VerifyFileCrc(i)) << "nothing to check";
        }
        EXPECT_EQ(MakeStreamBytes(pack, "SECOND.BIN"), Bytes(20, 7));
    }
    Bytes unknown = OldArchive(XePackVersion100, entries);
    unknown[7] = 0x04;
    folder.Write("old.pak", unknown);
    TXePack pack(nullptr);
    EXPECT_FALSE(pack.LoadPack(folder.Name("old.pak").c_str()));
    EXPECT_TRUE(messages.boxes.empty());
}

TEST_F(TXePackTest, ReadsAndSeeksStayInsideTheEntry)
{
    ASSERT_TRUE(BuildPack(folder, packName, Sample(), 1));
    TXePack pack(nullptr);
    ASSERT_TRUE(pack.LoadPack(packName.c_str()));
    XeFILE* file = pack.Xefopen("forty.bin");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(pack.Xefsize(file), 40);
    ASSERT_TRUE(pack.Xefseek(file, 36, 0));
    unsigned char buffer[40];
    EXPECT_EQ(pack.Xefread(buffer, 4, 10, file), 1u);
    int position = 0;
    ASSERT_TRUE(pack.Xefgetpos(file, &position));
    EXPECT_EQ(position, 40);
    EXPECT_EQ(pack.Xefread(buffer, 4, 10, file), 0u);
    EXPECT_TRUE(pack.Xefseek(file, -5, 0));
    pack.Xefgetpos(file, &position);
    EXPECT_EQ(position, 0);
    EXPECT_TRUE(pack.Xefseek(file, 10, 2));
    pack.Xefgetpos(file, &position);
    EXPECT_EQ(position, 40);
    EXPECT_TRUE(pack.Xefseek(file, -8, 1));
    EXPECT_EQ(pack.Xefread(buffer, 8, 1, file), 1u);
    EXPECT_EQ(std::memcmp(buffer, CodecCorpus::Binary(40, 4).data() + 32, 8), 0);
    const int far = 1000;
    EXPECT_TRUE(pack.Xefsetpos(file, &far));
    pack.Xefgetpos(file, &position);
    EXPECT_EQ(position, 40);
    EXPECT_EQ(pack.Xefread(buffer, 0, 5, file), 0u);
    EXPECT_TRUE(pack.Xefclose(file));
    EXPECT_FALSE(pack.Xefclose(nullptr));

    // Raw access to a coded entry: its stored bytes, up to the stored size.
    XeFILE* raw = pack.XefopenComp("Text.TXT", false);
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(pack.XeIsComp(raw), ptTovanu);
    EXPECT_EQ(pack.Xedsize(raw), static_cast<int>(pack.FileTable(raw->Index)->CompSize));
    pack.Xefseek(raw, 0, 2);
    pack.Xefgetpos(raw, &position);
    EXPECT_EQ(position, pack.Xedsize(raw));
    EXPECT_TRUE(pack.XeIsCrc(raw));
    EXPECT_EQ(pack.XeGetCrc(raw), pack.FileTable(raw->Index)->Crc);
    pack.Xefclose(raw);
    pack.ClosePack();
    EXPECT_EQ(pack.Xefread(buffer, 1, 1, raw = nullptr), 0u);
}

TEST_F(TXePackTest, DeletedEntriesKeepTheirBytesButLoseTheirNames)
{
    ASSERT_TRUE(BuildPack(folder, packName, Sample(), 1));
    {
        TXePack writer(nullptr);
        writer.SetReadOnly(false);
        ASSERT_TRUE(writer.LoadPack(packName.c_str()));
        EXPECT_TRUE(writer.DelFile("text.txt"));
        EXPECT_FALSE(writer.DelFile("text.txt"));
        ASSERT_TRUE(writer.EndPack());
    }
    TXePack pack(nullptr);
    pack.SetCrcMode(cmPackAll);
    ASSERT_TRUE(pack.LoadPack(packName.c_str()));
    EXPECT_EQ(pack.GetFileNum(), 6);
    EXPECT_EQ(pack.CheckFileName("Text.TXT"), -1);
    EXPECT_EQ(pack.XeMakeStream("Text.TXT"), nullptr);
    char name[XePackFullNameSize] = "junk";
    EXPECT_TRUE(pack.GetFileName(2, name));
    EXPECT_STREQ(name, "");
    EXPECT_EQ(pack.GetFileSize(2), 0);
    EXPECT_EQ(pack.GetFileComp(2), 0);
    FILETIME time;
    EXPECT_FALSE(pack.GetFileTime(2, &time));
    EXPECT_GT(pack.FileTable(2)->CompSize, 0u) << "offset, sizes and CRC stay";
    EXPECT_EQ(pack.FileTable(2)->CrcFlag, 1);
    EXPECT_TRUE(pack.VerifyFileCrc(2));
    EXPECT_EQ(MakeStreamBytes(pack, "runs.bin"), Runs);
    EXPECT_EQ(folder.Read("test.pak")[7], 0x03);
    EXPECT_EQ(folder.Read("test.pak")[6], 0x01) << "a changed archive is written as version 0x0301";
}

TEST_F(TXePackTest, NamesAreCutAndLookedUpIgnoringCase)
{
    const TestSupport::ScopedAnsiCodePage shiftJis(CodePage::ShiftJis);
    // 0x83 0x41 and 0x83 0x61: two double-byte characters whose trail bytes are "A" and "a".
    const std::vector<Entry> entries{{"\x83\x41.txt", {1}}, {"\x83\x61.txt", {2}}, {"abcdefghijklmnopqrstuvwxy", {3}},
                                     {"abcdefghijklmnopqrstuvw.x", {4}}, {"a.b.c", {5}}, {"name.jpeg", {6}}};
    ASSERT_TRUE(BuildPack(folder, packName, entries, 0));
    TXePack pack(nullptr);
    ASSERT_TRUE(pack.LoadPack(packName.c_str()));
    EXPECT_EQ(pack.CheckFileName("\x83\x41.TXT"), 0);
    EXPECT_EQ(pack.CheckFileName("\x83\x61.TXT"), 1) << "a trail byte is not a letter";
    EXPECT_EQ(pack.CheckFileName("ABCDEFGHIJKLMNOPQRSTU"), 2);
    EXPECT_EQ(pack.CheckFileName("abcdefghijklmnopqrstuvwxy"), -1) << "found only by the cut name";
    EXPECT_EQ(pack.CheckFileName("abcdefghijklmnopqrstu.X"), 3);
    EXPECT_EQ(pack.CheckFileName("A.B.C"), 4);
    EXPECT_EQ(pack.CheckFileName("name.jpe"), 5);
    EXPECT_EQ(pack.CheckFileName("name.jpeg"), -1);
    EXPECT_EQ(pack.CheckFileName("abcdefghijklmnopqrstuvwxyz"), -1) << "26 bytes";
    char name[XePackFullNameSize];
    ASSERT_TRUE(pack.GetFileName(3, name));
    EXPECT_STREQ(name, "abcdefghijklmnopqrstu.x");
}

TEST_F(TXePackTest, RefusedNamesLeaveTheArchiveAsItWas)
{
    folder.Write("src/file.txt", {1, 2, 3});
    TXePack writer(nullptr);
    writer.SetReadOnly(false);
    EXPECT_FALSE(writer.AddFile("file.txt", folder.Name("src\\file.txt").c_str(), 0, true)) << "no archive open";
    ASSERT_TRUE(writer.NewPack(packName.c_str()));
    ASSERT_TRUE(writer.AddFile("abcdefghijklmnopqrstuvwxy", folder.Name("src\\file.txt").c_str(), 0, true));
    EXPECT_FALSE(writer.AddFile("abcdefghijklmnopqrstuVWXYZ", folder.Name("src\\file.txt").c_str(), 0, true));
    EXPECT_FALSE(writer.AddFile("ABCDEFGHIJKLMNOPQRSTUzz", folder.Name("src\\file.txt").c_str(), 0, true))
        << "the same name once cut";
    EXPECT_FALSE(writer.AddFile("missing.txt", folder.Name("src\\missing.txt").c_str(), 1, true));
    for (const char* outside : {"..\\up.txt", "a\\..\\..\\b.txt", "../up.txt", "\\root.txt", "C:x.txt", "a\\\\b", "dir\\", ".\\x"})
        EXPECT_FALSE(writer.AddFile(outside, folder.Name("src\\file.txt").c_str(), 0, true)) << outside;
    ASSERT_EQ(messages.shown.size(), 11u);
    EXPECT_EQ(messages.shown[0], "ファイル名abcdefghijklmnopqrstuVWXYZが不正です。");
    EXPECT_EQ(messages.shown[2], "ファイル" + folder.Name("src\\missing.txt") + "が開けません。");
    EXPECT_EQ(writer.GetFileNum(), 1);
    ASSERT_TRUE(writer.EndPack());
    TXePack pack(nullptr);
    pack.SetCrcMode(cmPackAll);
    ASSERT_TRUE(pack.LoadPack(packName.c_str()));
    EXPECT_EQ(pack.GetFileNum(), 1);
}

TEST_F(TXePackTest, AFailedChangeKeepsThePreviousArchive)
{
    ASSERT_TRUE(BuildPack(folder, packName, Sample(), 1));
    const Bytes before = folder.Read("test.pak");
    {
        TXePack writer(nullptr);
        writer.SetReadOnly(false);
        ASSERT_TRUE(writer.NewPack(packName.c_str()));
        folder.Write("src/new.txt", {9});
        ASSERT_TRUE(writer.AddFile("new.txt", folder.Name("src\\new.txt").c_str(), 0, true));
        EXPECT_EQ(folder.Read("test.pak"), before) << "the new archive is not in place before EndPack";
        writer.DiscardPack();
    }
    EXPECT_EQ(folder.Read("test.pak"), before);
    {
        TXePack writer(nullptr);
        writer.SetReadOnly(false);
        ASSERT_TRUE(writer.LoadPack(packName.c_str()));
        EXPECT_FALSE(writer.AddFile("gone.txt", folder.Name("src\\gone.txt").c_str(), 1, true));
        EXPECT_EQ(folder.Read("test.pak"), before);
        ASSERT_TRUE(writer.EndPack());
    }
    TXePack pack(nullptr);
    pack.SetCrcMode(cmPackAll);
    ASSERT_TRUE(pack.LoadPack(packName.c_str()));
    EXPECT_EQ(MakeStreamBytes(pack, "Text.TXT"), Text);
    for (const auto& entry : std::filesystem::directory_iterator(folder.Native()))
        EXPECT_EQ(entry.path().filename().string().find("XeTmp"), std::string::npos) << entry.path();
}

// A changed archive keeps its permissions; one the user may not write is not opened for changes.
TEST_F(TXePackTest, ChangesKeepThePermissionsOfTheArchive)
{
    namespace fs = std::filesystem;
    ASSERT_TRUE(BuildPack(folder, packName, Sample(), 1));
    const fs::path native = folder.Native() / "test.pak";
    const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(native, mode);
    {
        TXePack writer(nullptr);
        writer.SetReadOnly(false);
        ASSERT_TRUE(writer.LoadPack(packName.c_str()));
        ASSERT_TRUE(writer.DelFile("one.txt"));
        ASSERT_TRUE(writer.EndPack());
    }
    EXPECT_EQ(fs::status(native).permissions(), mode);
    if (::geteuid() != 0) { // the superuser may write any file
        fs::permissions(native, fs::perms::owner_read);
        TXePack writer(nullptr);
        writer.SetReadOnly(false);
        EXPECT_FALSE(writer.LoadPack(packName.c_str()));
        fs::permissions(native, mode);
    }
}

TEST_F(TXePackTest, CopiesEntriesFromAnotherArchive)
{
    ASSERT_TRUE(BuildPack(folder, packName, Sample(), 2));
    TXePack source(nullptr);
    ASSERT_TRUE(source.LoadPack(packName.c_str()));
    TXePack writer(nullptr);
    writer.SetReadOnly(false);
    const AnsiString copyName = folder.Name("copy.pak");
    ASSERT_TRUE(writer.NewPack(copyName.c_str()));
    EXPECT_TRUE(writer.AddPack("copy.txt", &source, "text.txt"));
    EXPECT_TRUE(writer.AddPack("runs.bin", &source, "runs.bin"));
    EXPECT_FALSE(writer.AddPack("runs.bin", &source, "one.txt")) << "present";
    EXPECT_FALSE(writer.AddPack("x.bin", &source, "absent.bin"));
    ASSERT_TRUE(writer.EndPack());
    TXePack pack(nullptr);
    pack.SetCrcMode(cmPackAll);
    ASSERT_TRUE(pack.LoadPack(copyName.c_str()));
    EXPECT_EQ(pack.GetFileComp(0), ptBrisane);
    EXPECT_EQ(pack.FileTable(0)->Crc, source.FileTable(source.CheckFileName("text.txt"))->Crc);
    EXPECT_EQ(MakeStreamBytes(pack, "copy.txt"), Text);
    EXPECT_EQ(MakeStreamBytes(pack, "runs.bin"), Runs);
}

TEST_F(TXePackTest, ExtractsFilesWithTheirTimes)
{
    ASSERT_TRUE(BuildPack(folder, packName, Sample(), 4));
    TXePack pack(nullptr);
    ASSERT_TRUE(pack.LoadPack(packName.c_str()));
    const AnsiString target = folder.Name("out.txt");
    ASSERT_TRUE(pack.GetFile(target.c_str(), "text.txt"));
    EXPECT_EQ(folder.Read("out.txt"), Text);
    FILETIME time;
    ASSERT_TRUE(pack.GetFileTime(pack.CheckFileName("text.txt"), &time));
    EXPECT_EQ(FileSystem::LastWriteTime(target).value_or(0) / 100, UnixNanosecondsFromFileTime(time) / 100);
    EXPECT_FALSE(pack.GetFile(target.c_str(), "absent.txt"));
    EXPECT_EQ(folder.Read("out.txt"), Text);

    TMemoryStream raw;
    ASSERT_TRUE(pack.XefopenToStream(&raw, "text.txt", false));
    EXPECT_EQ(raw.GetSize(), pack.FileTable(pack.CheckFileName("text.txt"))->CompSize);
    ASSERT_TRUE(pack.OpenFile("runs.bin"));
    EXPECT_EQ(Contents(*pack.FileStream()), Runs);
    EXPECT_FALSE(pack.OpenFile("absent.bin"));
    EXPECT_EQ(pack.FileName(), "");
}

TEST_F(TXePackTest, StreamArchivesAreReadOnly)
{
    ASSERT_TRUE(BuildPack(folder, packName, Sample(), 5));
    TMemoryStream stream;
    stream.LoadFromFile(packName);
    stream.SetPosition(5);
    TXePack pack(nullptr);
    pack.SetReadOnly(false);
    EXPECT_FALSE(pack.LoadPackStream(&stream));
    EXPECT_EQ(stream.GetPosition(), 5) << "untouched";
    pack.SetReadOnly(true);
    ASSERT_TRUE(pack.LoadPackStream(&stream));
    pack.SetReadOnly(false);
    EXPECT_TRUE(pack.ReadOnly()) << "fixed while open";
    EXPECT_EQ(pack.PackName(), "");
    EXPECT_EQ(MakeStreamBytes(pack, "text.txt"), Text);
    pack.ClosePack();
    EXPECT_GT(stream.GetSize(), 0) << "the caller's stream outlives the archive";
}

TEST_F(TXePackTest, DamagedArchivesFailCleanly)
{
    ASSERT_TRUE(BuildPack(folder, packName, Sample(), 1));
    const Bytes good = folder.Read("test.pak");
    const std::uint32_t dataSize = good[8] | good[9] << 8 | good[10] << 16 | std::uint32_t(good[11]) << 24;
    const std::size_t directory = 16 + dataSize;
    auto loads = [&](const Bytes& bytes) {
        folder.Write("bad.pak", bytes);
        TXePack pack(nullptr);
        return pack.LoadPack(folder.Name("bad.pak").c_str());
    };
    for (const std::size_t cut : {std::size_t{0}, std::size_t{10}, std::size_t{16}, directory, good.size() - 40})
        EXPECT_FALSE(loads(Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut)))) << "cut at " << cut;
    auto patched = [&](std::size_t at, std::uint32_t value) {
        Bytes bytes = good;
        for (int i = 0; i < 4; ++i)
            bytes[at + static_cast<std::size_t>(i)] = static_cast<unsigned char>(value >> (8 * i));
        return bytes;
    };
    EXPECT_FALSE(loads(patched(12, 0x7FFFFFFF))) << "count";
    EXPECT_FALSE(loads(patched(12, 0xFFFFFFFF))) << "negative count";
    EXPECT_FALSE(loads(patched(8, 0xFFFFFFF0))) << "data size";
    const std::size_t text = directory + 2 * 48, one = directory + 48; // records of Text.TXT and one.txt
    EXPECT_FALSE(loads(patched(text + 24, dataSize))) << "offset past the data";
    EXPECT_FALSE(loads(patched(text + 32, dataSize + 1))) << "stored size past the data";
    EXPECT_FALSE(loads(patched(text + 28, 0x80000000))) << "decoded size";
    EXPECT_FALSE(loads(patched(text + 28, 0x7FFFFFFF))) << "more than the stream can make";
    EXPECT_FALSE(loads(patched(one + 28, 2))) << "a stored entry whose sizes differ";
    EXPECT_TRUE(loads(good));

    // A coded entry whose stream is cut short: the open fails instead of handing out wrong bytes.
    TXePack reader(nullptr);
    ASSERT_TRUE(reader.LoadPack(packName.c_str()));
    const std::uint32_t compSize = reader.FileTable(reader.CheckFileName("text.txt"))->CompSize;
    reader.ClosePack();
    folder.Write("bad.pak", patched(text + 32, compSize - 1)); // the CRC is left stale: cmNon does not look
    TXePack pack(nullptr);
    ASSERT_TRUE(pack.LoadPack(folder.Name("bad.pak").c_str()));
    EXPECT_EQ(pack.XeMakeStream("text.txt"), nullptr);
    EXPECT_EQ(pack.Xefopen("text.txt"), nullptr);
    TMemoryStream target;
    EXPECT_FALSE(pack.XefopenToStream(&target, "text.txt", true));
}

// A type no decoder knows is opened, decoding or not, as its raw stored bytes.
TEST_F(TXePackTest, UnknownTypesOpenRaw)
{
    ASSERT_TRUE(BuildPack(folder, packName, Sample(), 1));
    Bytes bytes = folder.Read("test.pak");
    const std::uint32_t dataSize = bytes[8] | bytes[9] << 8 | bytes[10] << 16 | std::uint32_t(bytes[11]) << 24;
    const std::size_t text = 16 + dataSize + 2 * 48; // the record of Text.TXT, an LZ entry
    TXePack reader(nullptr);
    ASSERT_TRUE(reader.LoadPack(packName.c_str()));
    const TXeFileTable record = *reader.FileTable(2);
    reader.ClosePack();
    ASSERT_EQ(record.Comp, ptTovanu);
    const Bytes stored(bytes.begin() + 16 + record.Offset, bytes.begin() + 16 + record.Offset + record.CompSize);
    bytes[text + 36] = 5;
    folder.Write("odd.pak", bytes);
    TXePack pack(nullptr);
    ASSERT_TRUE(pack.LoadPack(folder.Name("odd.pak").c_str()));
    XeFILE* file = pack.Xefopen("text.txt");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(pack.XeIsComp(file), 5);
    Bytes read(stored.size() + 10);
    EXPECT_EQ(pack.Xefread(read.data(), static_cast<unsigned>(read.size()), 1, file), 0u) << "past the stored size";
    EXPECT_EQ(pack.Xefread(read.data(), static_cast<unsigned>(stored.size()), 1, file), 1u);
    read.resize(stored.size());
    EXPECT_EQ(read, stored);
    pack.Xefclose(file);
    TMemoryStream target;
    ASSERT_TRUE(pack.XefopenToStream(&target, "text.txt", true));
    EXPECT_EQ(Contents(target), stored);
}

TEST_F(TXePackTest, TemporaryFilesAreReservedOneEach)
{
    TXePack pack(nullptr);
    char first[260], second[260];
    ASSERT_TRUE(pack.MakeTempFile(first));
    ASSERT_TRUE(pack.MakeTempFile(second));
    EXPECT_STRNE(first, second);
    EXPECT_NE(std::string(first).find("XeTmp"), std::string::npos);
    EXPECT_TRUE(FileSystem::IsFile(first));
    FileSystem::DeleteFile(first);
    FileSystem::DeleteFile(second);
}
