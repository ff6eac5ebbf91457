// TIniFile: reading by the private-profile rules, writes that keep every other line, the file made
// when missing, and files that cannot be read or written.
#include "platform/classes/IniFile.h"

#include "platform/fs/FileSystem.h"

#include "support/Tools.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override { name_ = FileSystem::FromNative(root_) + "\\Game.ini"; }
    // A test may take the folder's write permission away; the folder goes with everything in it.
    void TearDown() override { fs::permissions(root_, fs::perms::owner_all); }

    void Put(const std::string& text) const { std::ofstream(root_ / "Game.ini", std::ios::binary) << text; }
    std::string Get() const
    {
        std::ifstream in(root_ / "Game.ini", std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    TestSupport::TempFolder folder_;
    fs::path root_ = folder_.Path();
    AnsiString name_;
};

TEST_F(IniFileTest, ReadsByTheProfileRules)
{
    Put("; settings\n"
        "[Game]\r\n"
        "  WindowMode = ON  \r\n"
        "Empty=\n"
        "Quoted=\"  spaced  \"\n"
        "Single='x'\n"
        ";Commented=yes\n"
        "NoEquals\n"
        "Twice=first\n"
        "twice=second\n"
        "Number=42\n"
        "NotANumber=4x\n"
        "  [ game debug ]  trailing\n"
        "ShowFPS=1\n"
        "[Other]\n"
        "WindowMode=OFF\n"
        "Last=no newline");
    const TIniFile ini(name_);
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    };
    const Case cases[] = {
        {"Game", "WindowMode", "ON"},       {"GAME", "windowmode", "ON"},
        {"Game", "Empty", ""},              {"Game", "Quoted", "  spaced  "},
        {"Game", "Single", "x"},            {"Game", "Commented", "(default)"},
        {"Game", ";Commented", "(default)"}, {"Game", "NoEquals", "(default)"},
        {"Game", "TWICE", "first"},         {"Game", "ShowFPS", "(default)"},
        {"Game Debug", "ShowFPS", "1"},     {"Other", "WindowMode", "OFF"},
        {"Other", "Last", "no newline"},    {"Missing", "WindowMode", "(default)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ini.ReadString(c.section, c.key, "(default)"), c.expected) << c.section << " " << c.key;
    EXPECT_EQ(ini.ReadInteger("Game", "Number", 7), 42);
    EXPECT_EQ(ini.ReadInteger("Game", "NotANumber", 7), 7);
    EXPECT_EQ(ini.ReadInteger("Game", "Missing", 7), 7);
    EXPECT_TRUE(ini.ReadBool("Game Debug", "ShowFPS", false));
    EXPECT_FALSE(ini.ReadBool("Game", "Missing", false));
    EXPECT_TRUE(ini.ReadBool("Game", "Missing", true));
}

TEST_F(IniFileTest, WritesKeepEveryOtherLine)
{
    Put("; settings\n"
        "[Game]\n"
        "WindowMode=OFF\n"
        "FPSMode=2\n"
        "\n"
        "[Game Debug]\n"
        "ShowFPS=ON\n");
    TIniFile ini(name_);
    ini.WriteString("GAME", "windowmode", "ON");    // replaced in place, with the key as written now
    ini.WriteString("Game", "VolumeBGM", "80");     // after the section's last line, before the blank
    ini.WriteInteger("Game Debug", "Level", -3);
    ini.WriteBool("New", "Flag", true);             // a new section at the end
    EXPECT_EQ(Get(), "; settings\r\n"
                     "[Game]\r\n"
                     "windowmode=ON\r\n"
                     "FPSMode=2\r\n"
                     "VolumeBGM=80\r\n"
                     "\r\n"
                     "[Game Debug]\r\n"
                     "ShowFPS=ON\r\n"
                     "Level=-3\r\n"
                     "[New]\r\n"
                     "Flag=1\r\n");
    EXPECT_EQ(ini.ReadInteger("Game Debug", "Level", 0), -3);
    EXPECT_TRUE(ini.ReadBool("New", "Flag", false));
}

TEST_F(IniFileTest, MakesTheFileWhenMissingThroughThePathLayer)
{
    TIniFile ini(FileSystem::FromNative(root_) + "\\GAME.INI"); // the path layer finds no file, keeps the name
    EXPECT_EQ(ini.ReadString("Game", "WindowMode", "OFF"), "OFF");
    ini.WriteString("Game", "WindowMode", "ON");
    ASSERT_TRUE(fs::exists(root_ / "GAME.INI"));
    EXPECT_EQ(TIniFile(FileSystem::FromNative(root_) + "\\game.ini").ReadString("game", "windowmode", ""), "ON");
    std::ifstream in(root_ / "GAME.INI", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()),
              "[Game]\r\nWindowMode=ON\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(root_), fs::directory_iterator()), 1) << "no temporary file left";
}

TEST_F(IniFileTest, FilesThatCannotBeUsedAreSilentlySkipped)
{
    TIniFile inMissingFolder(FileSystem::FromNative(root_) + "\\NoSuchFolder\\Game.ini");
    EXPECT_NO_THROW(inMissingFolder.WriteString("Game", "WindowMode", "ON"));
    EXPECT_EQ(inMissingFolder.ReadString("Game", "WindowMode", "OFF"), "OFF");

    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind root";
    Put("[Game]\nWindowMode=OFF\n");
    fs::permissions(root_ / "Game.ini", fs::perms::none);
    TIniFile unreadable(name_);
    EXPECT_EQ(unreadable.ReadString("Game", "WindowMode", "?"), "?");
    EXPECT_NO_THROW(unreadable.WriteString("Game", "Other", "1"));
    fs::permissions(root_ / "Game.ini", fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(Get(), "[Game]\nWindowMode=OFF\n") << "an unreadable file is not replaced by one key";

    fs::permissions(root_, fs::perms::owner_read | fs::perms::owner_exec); // no temporary file can be made
    TIniFile readOnlyFolder(name_);
    EXPECT_NO_THROW(readOnlyFolder.WriteString("Game", "WindowMode", "ON"));
    EXPECT_EQ(readOnlyFolder.ReadString("Game", "WindowMode", "?"), "OFF");
}

} // namespace
