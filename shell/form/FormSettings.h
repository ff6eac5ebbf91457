// The main form's settings keys in section "Game" of the settings file: how their texts read and write.
#pragma once

#include "platform/classes/AnsiString.h"

#include <cstdint>

namespace FormSettings {

inline constexpr const char* kSection = "Game";
inline constexpr const char* kSettingsFile = "Tvqe.ini";

// "15FPS", "30FPS", "FULL", "NOSYNC" in any letter case give 0 to 3; any other text, the empty one
// included, keeps `current`.
std::uint8_t ReadFPSMode(const AnsiString& text, std::uint8_t current);
// "15fps", "30fps", "Full", "NoSync"; empty for a mode outside 0 to 3 (nothing is written then).
AnsiString FPSModeText(std::uint8_t mode);
// An empty text keeps `current`; text that is not a number, or a number outside 0 to 100, gives
// `fallback`.
int ReadVolume(const AnsiString& text, int current, int fallback);

} // namespace FormSettings
