#include "songgame/screen/JoystickButtons.h"

#include "platform/classes/IniFile.h"

#include <charconv>

namespace {

constexpr const char* Section = "Game";
constexpr const char* Key = "JoystickButtons";

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

} // namespace

input::ButtonTable ParseJoystickButtons(std::string_view value)
{
    input::ButtonTable table{};
    std::size_t lane = 0;
    for (;;) {
        const std::size_t comma = value.find(',');
        const std::string_view field = Trimmed(value.substr(0, comma));
        unsigned button = 0;
        const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), button);
        if (field.empty() || error != std::errc{} || end != field.data() + field.size() ||
            button >= input::PhysicalButtons || lane >= table.size())
            return input::DefaultButtonTable;
        table[lane++] = static_cast<std::uint8_t>(button);
        if (comma == std::string_view::npos)
            break;
        value.remove_prefix(comma + 1);
    }
    return lane == table.size() ? table : input::DefaultButtonTable;
}

input::ButtonTable ReadJoystickButtons(const AnsiString& settingsFile)
{
    if (settingsFile.empty())
        return input::DefaultButtonTable;
    const TIniFile ini(settingsFile);
    return ParseJoystickButtons(ini.ReadString(Section, Key, ""));
}
