#include "shell/form/FormSettings.h"

#include <array>

namespace FormSettings {
namespace {

struct ModeName {
    const char* read;
    const char* written;
};
constexpr std::array<ModeName, 4> kModeNames{{{"15FPS", "15fps"}, {"30FPS", "30fps"}, {"FULL", "Full"},
                                              {"NOSYNC", "NoSync"}}};

} // namespace

std::uint8_t ReadFPSMode(const AnsiString& text, std::uint8_t current)
{
    const AnsiString upper = UpperCase(text);
    for (std::size_t mode = 0; mode < kModeNames.size(); ++mode)
        if (upper == kModeNames[mode].read)
            return static_cast<std::uint8_t>(mode);
    return current;
}

AnsiString FPSModeText(std::uint8_t mode)
{
    return mode < kModeNames.size() ? AnsiString(kModeNames[mode].written) : AnsiString();
}

int ReadVolume(const AnsiString& text, int current, int fallback)
{
    if (text.empty())
        return current;
    const int value = StrToIntDef(text, fallback);
    return value < 0 || value > 100 ? fallback : value;
}

} // namespace FormSettings
