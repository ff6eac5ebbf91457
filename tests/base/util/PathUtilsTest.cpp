// Path conversions and the file and folder tests.
#include "base/util/PathUtils.h"

#include "platform/fs/FileSystem.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

struct Conversion {
    const char* path;
    const char* base;
    const char* expected;
};

TEST(PathUtils, AbsToRelPath)
{
    const Conversion cases[] = {
        {"C:\\Game\\Data\\Img", "C:\\Game\\Save", "..\\Data\\Img\\"},
        {"c:\\Game\\Data", "C:\\Game", "Data\\"},
        {"C:\\Game", "C:\\Game\\Save\\Old", "..\\..\\"},
        {"D:\\Game\\Data", "C:\\Game", "D:\\Game\\Data\\"},
        {"Data\\Img", "C:\\Game", "Data\\Img\\"},
        {"\\work\\game\\Data", "\\work\\game", "Data\\"},
        {"C:\\Game\\Data", "C:\\game", "..\\Game\\Data\\"},
    };
    for (const Conversion& c : cases)
        EXPECT_EQ(AbsToRelPath(c.path, c.base), c.expected) << c.path << " from " << c.base;
}

TEST(PathUtils, RelToAbsPath)
{
    const Conversion cases[] = {
        {"..\\Data", "C:\\Game\\Save", "C:\\Game\\Data\\"},
        {"D:\\x", "C:\\Game", "D:\\x\\"},
        {"", "C:\\Game", "C:\\Game\\"},
        {"Data", "", "Data\\"},
        {"..\\..\\x", "C:\\Game\\Save", "C:\\x\\"},
        {"..\\..\\..\\x", "C:\\Game\\Save", "..\\..\\..\\x\\"},
        {"Img\\Bg", "C:\\Game", "C:\\Game\\Img\\Bg\\"},
        {"..\\Data", "\\work\\game\\Save", "\\work\\game\\Data\\"},
        {"\\tmp\\x", "\\work\\game", "\\tmp\\x\\"},
    };
    for (const Conversion& c : cases)
        EXPECT_EQ(RelToAbsPath(c.path, c.base), c.expected) << c.path << " below " << c.base;
}

TEST(PathUtils, DirAndPathNameForms)
{
    EXPECT_EQ(AbsToRelDir("C:\\Game\\Data", "C:\\Game\\Save"), "..\\Data");
    EXPECT_EQ(AbsToRelDir("C:\\", "D:\\x"), "C:\\");
    EXPECT_EQ(RelToAbsDir("..\\Data", "C:\\Game\\Save"), "C:\\Game\\Data");
    EXPECT_EQ(RelToAbsDir("..\\..", "C:\\Game\\Save"), "C:\\");
    EXPECT_EQ(AbsToRelPathName("C:\\Game\\Data\\a.png", "C:\\Game\\Save"), "..\\Data\\a.png");
    EXPECT_EQ(RelToAbsPathName("..\\Data\\a.png", "C:\\Game\\Save"), "C:\\Game\\Data\\a.png");
    EXPECT_EQ(RelToAbsPathName("a.png", "C:\\Game"), "C:\\Game\\a.png");
}

TEST(PathUtils, FileAndFolderTests)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "xe_pathutils";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "File.txt") << "x";
    const AnsiString base = FileSystem::FromNative(folder) + "\\";
    EXPECT_TRUE(FileIsExist((base + "file.TXT").c_str()));
    EXPECT_FALSE(FolderIsExist((base + "File.txt").c_str()));
    EXPECT_TRUE(FolderIsExist(base.c_str()));
    EXPECT_FALSE(FileIsExist(base.c_str()));
    EXPECT_FALSE(FileIsExist((base + "missing").c_str()));
    EXPECT_FALSE(FileIsExist(""));
    EXPECT_FALSE(FolderIsExist("Q:\\no\\such\\drive"));
    std::filesystem::remove_all(folder);
}

} // namespace
