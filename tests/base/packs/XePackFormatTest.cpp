// The pack archive's bytes: header and records in every version, and entry names.
#include "base/packs/XePackFormat.h"

#include "platform/codepage/CodePage.h"

#include "support/ScopedState.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

TEST(XePackFormat, HeaderBytes)
{
    TXePackHeader header = NewPackHeader();
    header.DataSize = 0x1020;
    header.Count = 3;
    std::array<std::uint8_t, 16> bytes{};
    StorePackHeader(header, bytes);
    EXPECT_EQ(bytes, (std::array<std::uint8_t, 16>{'X', 'e', 'P', 'a', 'c', 'k', 0x00, 0x03, 0x20, 0x10, 0, 0, 3, 0, 0, 0}));
    const TXePackHeader back = LoadPackHeader(bytes);
    EXPECT_EQ(back.Version, XePackVersion300);
    EXPECT_EQ(back.DataSize, 0x1020u);
    EXPECT_EQ(back.Count, 3);
}

TEST(XePackFormat, RecordBytesAndOlderVersions)
{
    TXeFileTable record{};
    ASSERT_TRUE(SplitEntryName("song.ogg", record));
    record.Offset = 0x10;
    record.Size = 0x200;
    record.CompSize = 0x150;
    record.Comp = ptBrisane;
    record.CrcFlag = 1;
    record.Crc = 0xBEEF;
    record.Time = {0x11223344, 0x01D00000};
    std::array<std::uint8_t, 48> bytes{};
    StoreFileTable(record, bytes);
    EXPECT_EQ(bytes[0], 's');
    EXPECT_EQ(bytes[4], 0);
    EXPECT_EQ(bytes[21], 'o');
    EXPECT_EQ(bytes[24], 0x10);
    EXPECT_EQ(bytes[29], 0x02);
    EXPECT_EQ(bytes[32], 0x50);
    EXPECT_EQ(bytes[36], 2);
    EXPECT_EQ(bytes[37], 1);
    EXPECT_EQ(bytes[38], 0xEF);
    EXPECT_EQ(bytes[40], 0x44);
    EXPECT_EQ(bytes[47], 0x01);

    const TXeFileTable same = LoadFileTable(bytes, XePackVersion301);
    EXPECT_EQ(std::memcmp(&same, &record, sizeof record), 0);

    const TXeFileTable v200 = LoadFileTable(bytes, XePackVersion200);
    EXPECT_EQ(v200.CompSize, 0x150u);
    EXPECT_EQ(v200.Comp, ptBrisane);
    EXPECT_EQ(v200.CrcFlag, 0);
    EXPECT_EQ(v200.Crc, 0);
    EXPECT_EQ(FileTimeTicks(v200.Time), FileTimeTicks(XePackOldFileTime));

    const TXeFileTable v100 = LoadFileTable(std::span(bytes).first(32), XePackVersion100);
    EXPECT_EQ(v100.CompSize, 0x200u) << "stored size = decoded size";
    EXPECT_EQ(v100.Comp, ptStored);
    EXPECT_EQ(v100.CrcFlag, 0);
    EXPECT_EQ(FullName(v100), "song.ogg");

    EXPECT_EQ(XePackRecordSizeOf(XePackVersion100), 32);
    EXPECT_EQ(XePackRecordSizeOf(XePackVersion200), 40);
    EXPECT_EQ(XePackRecordSizeOf(XePackVersion300), 48);
    EXPECT_EQ(XePackRecordSizeOf(0x0400), 0);
}

TEST(XePackFormat, OldFileTimeIsTheLastDayOf1989)
{
    EXPECT_EQ(UnixNanosecondsFromFileTime(XePackOldFileTime), 631119600LL * 1000000000);
    EXPECT_EQ(FileTimeTicks(FileTimeFromUnixNanoseconds(631119600LL * 1000000000)), FileTimeTicks(XePackOldFileTime));
}

TEST(XePackFormat, EntryNamesSplitAtTheLastDot)
{
    struct Case {
        const char* name;
        const char* field;
        const char* ext;
        const char* full;
    };
    const Case cases[] = {
        {"Title.png", "Title", "png", "Title.png"},
        {"README", "README", "", "README"},
        {".hidden", ".hidden", "", ".hidden"},
        {"a.b.c", "a.b", "c", "a.b.c"},
        {"name.jpeg", "name", "jpe", "name.jpe"},
        {"abcdefghijklmnopqrstuvwxy", "abcdefghijklmnopqrstu", "", "abcdefghijklmnopqrstu"},
        {"abcdefghijklmnopqrstuvw.x", "abcdefghijklmnopqrstu", "x", "abcdefghijklmnopqrstu.x"},
        {"trail.", "trail", "", "trail"},
    };
    for (const Case& c : cases) {
        TXeFileTable record{};
        ASSERT_TRUE(SplitEntryName(c.name, record)) << c.name;
        EXPECT_EQ(std::string(record.Name, strnlen(record.Name, 21)), c.field) << c.name;
        EXPECT_EQ(std::string(record.Ext, strnlen(record.Ext, 3)), c.ext) << c.name;
        EXPECT_EQ(FullName(record), c.full) << c.name;
    }
    TXeFileTable record{};
    EXPECT_FALSE(SplitEntryName("abcdefghijklmnopqrstuvwxyz", record)) << "26 bytes";
    EXPECT_TRUE(IsDeleted(TXeFileTable{}));
}

TEST(XePackFormat, LowerCaseLeavesDoubleByteCharactersAlone)
{
    const TestSupport::ScopedAnsiCodePage shiftJis(CodePage::ShiftJis);
    // 0x83 0x41 is one double-byte character whose trail byte is the code of "A".
    EXPECT_EQ(PackLowerCase("\x83\x41" "AB.TXT"), "\x83\x41" "ab.txt");
    EXPECT_EQ(PackLowerCase("Z\x83"), "z\x83") << "a lead byte at the end stands alone";
}

// Entry names split at separators outside double-byte characters; only names that stay inside
// the folder they are extracted to are relative.
TEST(XePackFormat, EntryNamePartsAndRelativeNames)
{
    const TestSupport::ScopedAnsiCodePage gbk(CodePage::Gbk);
    // 0x81 0x5C is one GBK character whose trail byte is a backslash.
    EXPECT_EQ(EntryNameParts("sub\\\x81\x5C.txt"), (std::vector<AnsiString>{"sub", "\x81\x5C.txt"}));
    EXPECT_EQ(EntryNameParts("a/b\\c"), (std::vector<AnsiString>{"a", "b", "c"}));
    struct Case {
        const char* name;
        bool relative;
    };
    const Case cases[] = {
        {"a.txt", true},         {"sub\\a.txt", true},     {"\x81\x5C.txt", true}, {"..a.txt", true},
        {"", false},             {"..", false},            {"..\\a.txt", false},   {"sub\\..\\..\\a", false},
        {"../a.txt", false},     {"\\a.txt", false},       {"/a.txt", false},      {"C:a.txt", false},
        {"sub\\", false},        {"a\\\\b", false},        {".\\a", false},        {"\x81\x5C\\..\\..\\x", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsRelativeEntryName(c.name), c.relative) << c.name;
}
