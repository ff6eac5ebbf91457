#include "shell/startup/StartupSettings.h"

#include "platform/classes/IniFile.h"
#include "shell/GameGlobals.h"
#include "tests/shell/FormTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

using ShellTest::TempFolder;

struct Flags {
    int window, fps, cap, memorySave, forceAuto;
    bool operator==(const Flags&) const = default;
};

Flags Current()
{
    return {WindowMode, ShowFPS, CapEnable, MusicMemorySave, MusicForceAuto};
}

void Set(const Flags& f)
{
    WindowMode = static_cast<std::uint8_t>(f.window);
    ShowFPS = static_cast<std::uint8_t>(f.fps);
    CapEnable = static_cast<std::uint8_t>(f.cap);
    MusicMemorySave = static_cast<std::uint8_t>(f.memorySave);
    MusicForceAuto = static_cast<std::uint8_t>(f.forceAuto);
}

class StartupSettings : public ::testing::Test {
protected:
    StartupSettings() { Set(kInitial); }
    ~StartupSettings() override { Set({1, 0, 0, 0, 0}); }

    static constexpr Flags kInitial{1, 0, 0, 0, 0};
    TempFolder folder;
};

TEST_F(StartupSettings, KeysSetTheirFlags)
{
    struct Case {
        const char* file; // nullptr: no settings file
        Flags expected;
    } cases[] = {
        {nullptr, {1, 0, 0, 0, 0}},
        {"", {1, 0, 0, 0, 0}},
        {"[Game]\nWindowMode=OFF\n", {0, 0, 0, 0, 0}},
        {"[Game]\nWindowMode=off\n", {0, 0, 0, 0, 0}},
        {"[Game]\nWindowMode=On\n", {1, 0, 0, 0, 0}},
        {"[Game]\nWindowMode=maybe\n", {1, 0, 0, 0, 0}},
        {"[Game Debug]\nShowFPS=on\nCapEnable=ON\nMusicForceAuto=oN\n", {1, 1, 1, 0, 1}},
        {"[Game]\nMusicMemorySave=ON\n", {1, 0, 0, 1, 0}},
        {"[Game Debug]\nShowFPS=1\nCapEnable=yes\nMusicForceAuto=\n", {1, 0, 0, 0, 0}},
        // The keys belong to their own sections only.
        {"[Game]\nShowFPS=ON\n[Game Debug]\nMusicMemorySave=ON\nWindowMode=OFF\n", {1, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        Set(kInitial);
        std::filesystem::remove(folder.Path() / "Tvqe.ini");
        if (c.file != nullptr)
            std::ofstream(folder.Path() / "Tvqe.ini") << c.file;
        Startup::ReadStartupSettings(folder.GameName());
        EXPECT_EQ(Current(), c.expected) << (c.file != nullptr ? c.file : "(no file)");
    }
}

TEST_F(StartupSettings, SwitchesMatchOnlyTheWholeWordAfterOnePrefix)
{
    struct Case {
        std::vector<std::string> arguments;
        int window, fps;
    } cases[] = {
        {{"-window"}, 1, 0},
        {{"/WINDOW"}, 1, 0},
        {{"-Fps"}, 0, 1},
        {{"/fps", "-WiNdOw"}, 1, 1},
        {{"-windowed"}, 0, 0},
        {{"window", "fps"}, 0, 0},
        {{"-", "/"}, 0, 0},
        {{"--window", "-fps2", ""}, 0, 0},
    };
    for (const Case& c : cases) {
        Set({0, 0, 0, 0, 0});
        Startup::ApplySwitches(c.arguments);
        EXPECT_EQ(Current(), (Flags{c.window, c.fps, 0, 0, 0})) << testing::PrintToString(c.arguments);
    }
}

TEST_F(StartupSettings, TheWindowSwitchOverridesAStoredFullScreen)
{
    std::ofstream(folder.Path() / "Tvqe.ini") << "[Game]\nWindowMode=OFF\n";
    Startup::ReadStartupSettings(folder.GameName());
    EXPECT_EQ(WindowMode, 0);
    const std::vector<std::string> arguments{"-window"};
    Startup::ApplySwitches(arguments);
    EXPECT_EQ(WindowMode, 1);
}

TEST_F(StartupSettings, TheWindowModeIsWrittenIntoANewOrAnExistingFile)
{
    WindowMode = 0;
    Startup::WriteWindowMode(folder.GameName());
    std::ifstream file(folder.Path() / "Tvqe.ini");
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "[Game]\r\nWindowMode=OFF\r\n") << "a missing file holds only the window mode";

    std::ofstream(folder.Path() / "Tvqe.ini") << "[Game]\nFPSMode=30fps\nWindowMode=OFF\n";
    WindowMode = 1;
    Startup::WriteWindowMode(folder.GameName());
    const TIniFile ini(folder.GameName() + "Tvqe.ini");
    EXPECT_EQ(ini.ReadString("Game", "WindowMode", ""), "ON");
    EXPECT_EQ(ini.ReadString("Game", "FPSMode", ""), "30fps");
    // What was written is what the next start reads.
    WindowMode = 0;
    Startup::ReadStartupSettings(folder.GameName());
    EXPECT_EQ(WindowMode, 1);
}

} // namespace
