// The joystick's button table: which physical buttons strike lanes 0 to 7, from the settings file's
// key [Game] "JoystickButtons" (eight button numbers 0..31 separated by commas, as in
// "6,8,10,11,17,18,21,23", the table used when the key is missing or does not read as that).
#pragma once

#include "platform/classes/AnsiString.h"
#include "platform/input/SongInput.h"

#include <string_view>

// The table a key value gives, or the default one.
input::ButtonTable ParseJoystickButtons(std::string_view value);
// The table of the settings file (none or unreadable: the default one).
input::ButtonTable ReadJoystickButtons(const AnsiString& settingsFile);
