// The path layer: backslash names, case-insensitive lookup, code-page names on disk.
#include "platform/fs/FileSystem.h"

#include "platform/classes/Stream.h"
#include "platform/codepage/CodePage.h"

#include "support/ScopedState.h"
#include "support/Tools.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class FileSystemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(root / "Sub");
        std::ofstream(root / "Sub" / "File.TXT") << "hello";
        base = FileSystem::FromNative(root) + "\\";
    }

    TestSupport::ScopedAnsiCodePage codePage{CodePage::Gbk};
    TestSupport::TempFolder folder;
    fs::path root = folder.Path();
    AnsiString base;
};

TEST_F(FileSystemTest, MixedCaseNamesFindTheRealFile)
{
    for (const char* name : {"Sub\\File.TXT", "sub\\file.txt", "SUB\\FILE.TXT", "Sub/File.txt"}) {
        EXPECT_EQ(FileSystem::NativePath(base + name), root / "Sub" / "File.TXT") << name;
        EXPECT_TRUE(FileSystem::IsFile(base + name)) << name;
    }
    EXPECT_TRUE(FileSystem::IsDirectory(base + "SUB"));
    EXPECT_FALSE(FileSystem::IsFile(base + "SUB"));
    EXPECT_FALSE(FileSystem::Exists(base + "Sub\\Other.txt"));
}

TEST_F(FileSystemTest, RelativeNamesResolveAgainstTheCurrentFolder)
{
    const fs::path saved = fs::current_path();
    ASSERT_TRUE(FileSystem::SetCurrentFolder(base));
    EXPECT_EQ(FileSystem::NativePath("sub\\FILE.txt"), fs::path("Sub") / "File.TXT");
    EXPECT_EQ(FileSystem::CurrentFolder(), base);
    fs::current_path(saved);
}

TEST_F(FileSystemTest, MissingComponentsKeepTheSpellingAsked)
{
    EXPECT_EQ(FileSystem::NativePath(base + "sub\\New\\Save.DAT"), root / "Sub" / "New" / "Save.DAT");
    EXPECT_EQ(FileSystem::NativePath("C:\\x\\y"), fs::path("/x/y")) << "a drive is the root";
}

TEST_F(FileSystemTest, CodePageNamesAreUtf8OnDisk)
{
    codePage.Set(CodePage::ShiftJis);
    // "表" is 0x95 0x5C in Shift_JIS: its trail byte is not a separator.
    const AnsiString name = base + "Sub\\\x95\x5C.txt";
    {
        TFileStream file(name, fmCreate);
        file.WriteBuffer("x", 1);
    }
    EXPECT_TRUE(fs::exists(root / "Sub" / "表.txt"));
    EXPECT_TRUE(FileSystem::IsFile(base + "SUB\\\x95\x5C.TXT"));
    bool listed = false;
    for (const auto& entry : FileSystem::List(base + "sub"))
        listed = listed || entry.name == "\x95\x5C.txt";
    EXPECT_TRUE(listed);
}

TEST_F(FileSystemTest, NewFilesAreFoundAfterACachedListing)
{
    EXPECT_FALSE(FileSystem::Exists(base + "sub\\later.txt"));
    std::ofstream(root / "Sub" / "Later.txt") << "made outside the layer";
    EXPECT_TRUE(FileSystem::IsFile(base + "sub\\later.txt"));
}

// A listing that is current answers a miss by itself; a change made outside the layer, which moves
// the folder's stamp, makes it read again, and changes made through the layer update it in place.
TEST_F(FileSystemTest, ListingFollowsChangesInsideAndOutsideTheLayer)
{
    const auto settle = [&] { fs::last_write_time(root / "Sub", fs::file_time_type::clock::now() - std::chrono::hours(1)); };
    settle();
    EXPECT_FALSE(FileSystem::Exists(base + "sub\\outside.txt")) << "read while the folder is settled";
    std::ofstream(root / "Sub" / "Outside.TXT") << "made outside the layer";
    EXPECT_EQ(FileSystem::NativePath(base + "sub\\outside.txt"), root / "Sub" / "Outside.TXT");

    settle();
    EXPECT_FALSE(FileSystem::Exists(base + "sub\\inside.txt"));
    {
        TFileStream file(base + "Sub\\Inside.txt", fmCreate);
    }
    EXPECT_EQ(FileSystem::NativePath(base + "SUB\\INSIDE.TXT"), root / "Sub" / "Inside.txt");

    // Two names that differ only in case: the first in byte order is found while both exist.
    std::ofstream(root / "Sub" / "inside.txt") << "second spelling";
    FileSystem::NoteChanged(root / "Sub" / "inside.txt");
    EXPECT_EQ(FileSystem::NativePath(base + "sub\\INSIDE.txt"), root / "Sub" / "Inside.txt");
    ASSERT_TRUE(FileSystem::DeleteFile(base + "Sub\\Inside.txt"));
    EXPECT_EQ(FileSystem::NativePath(base + "sub\\INSIDE.txt"), root / "Sub" / "inside.txt");
    ASSERT_TRUE(FileSystem::DeleteFile(base + "Sub\\inside.txt"));
    EXPECT_FALSE(FileSystem::Exists(base + "sub\\INSIDE.txt"));
}

TEST_F(FileSystemTest, ListTimesRenameAndDelete)
{
    FileSystem::CreateFolder(base + "Sub\\Inner");
    const auto entries = FileSystem::List(base + "sub");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, "File.TXT");
    EXPECT_FALSE(entries[0].directory);
    EXPECT_EQ(entries[1].name, "Inner");
    EXPECT_TRUE(entries[1].directory);

    const std::int64_t stamp = 1'000'000'000'123'000'000;
    ASSERT_TRUE(FileSystem::SetLastWriteTime(base + "sub\\file.txt", stamp));
    EXPECT_EQ(FileSystem::LastWriteTime(base + "SUB\\FILE.TXT"), stamp);
    EXPECT_EQ(FileSystem::FileSize(base + "sub\\file.txt"), 5);

    ASSERT_TRUE(FileSystem::RenameFile(base + "sub\\file.txt", base + "Sub\\Moved.txt"));
    EXPECT_TRUE(FileSystem::IsFile(base + "sub\\moved.TXT"));
    EXPECT_TRUE(FileSystem::DeleteFile(base + "sub\\MOVED.txt"));
    EXPECT_FALSE(FileSystem::Exists(base + "sub\\moved.txt"));
}

TEST_F(FileSystemTest, ProgramAndTempFolders)
{
    EXPECT_TRUE(FileSystem::IsDirectory(FileSystem::ProgramFolder()));
    EXPECT_TRUE(FileSystem::IsDirectory(FileSystem::TempFolder()));
    EXPECT_EQ(FileSystem::TempFolder().back(), '\\');
}

} // namespace
