// The start-up flags' sources: settings keys, command-line switches, the window mode written at exit.
#include "shell/startup/StartupSettings.h"

#include "platform/classes/IniFile.h"
#include "shell/GameGlobals.h"
#include "shell/form/FormSettings.h"

#include <atomic>
#include <cstdint>

namespace Startup {

namespace {

struct StartupKey {
    const char* section;
    const char* key;
    std::atomic<std::uint8_t>& flag;
};

const StartupKey kKeys[] = {
    {"Game Debug", "ShowFPS", ShowFPS},
    {"Game Debug", "CapEnable", CapEnable},
    {"Game", "MusicMemorySave", MusicMemorySave},
    {"Game Debug", "MusicForceAuto", MusicForceAuto},
};

} // namespace

AnsiString SettingsFile(const AnsiString& programFolder)
{
    return programFolder + FormSettings::kSettingsFile;
}

void ReadStartupSettings(const AnsiString& programFolder)
{
    const TIniFile ini(SettingsFile(programFolder));
    WindowMode = UpperCase(ini.ReadString(FormSettings::kSection, "WindowMode", "ON")) == "OFF" ? 0 : 1;
    for (const StartupKey& k : kKeys)
        if (UpperCase(ini.ReadString(k.section, k.key, "OFF")) == "ON")
            k.flag = 1;
}

void ApplySwitches(std::span<const std::string> arguments)
{
    for (const std::string& argument : arguments) {
        if (argument.size() < 2 || (argument[0] != '-' && argument[0] != '/'))
            continue;
        const AnsiString word = UpperCase(std::string_view(argument).substr(1));
        if (word == "WINDOW")
            WindowMode = 1;
        else if (word == "FPS")
            ShowFPS = 1;
    }
}

void WriteWindowMode(const AnsiString& programFolder)
{
    TIniFile ini(SettingsFile(programFolder));
    ini.WriteString(FormSettings::kSection, "WindowMode", WindowMode == 1 ? "ON" : "OFF");
}

} // namespace Startup
