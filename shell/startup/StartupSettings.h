// The start-up flags' sources: the keys of the settings file "Tvqe.ini", the command-line switches,
// and the window mode written back at exit.
//
// Keys ("ON" in any letter case sets a flag; any other value, a missing key or file leave it):
//   [Game] "WindowMode", "MusicMemorySave"; [Game Debug] "ShowFPS", "CapEnable", "MusicForceAuto".
// WindowMode alone reads both ways: "OFF" gives full screen, "ON", a missing key and anything else
// a window, so that a switch to full screen made during play holds at the next start.
// Switches: "-WINDOW" or "/WINDOW" forces a window, "-FPS" or "/FPS" shows the frame-rate counter,
// in any letter case; every other argument is ignored. The command line is read after the file.
//
// Threads: the UI thread, before any form exists (reading) or after the form's threads have ended
// (writing).
#pragma once

#include "platform/classes/AnsiString.h"

#include <span>
#include <string>

namespace Startup {

// The application's title, the main form's caption ("Varunel Quindle", the same bytes in GBK).
inline constexpr const char* kApplicationTitle = "Varunel Quindle";

// The settings file of a program folder that ends in "\".
AnsiString SettingsFile(const AnsiString& programFolder);

// Reads the start-up keys of the program folder's settings file into the flags.
void ReadStartupSettings(const AnsiString& programFolder);
// Applies the command-line arguments (the program path excluded).
void ApplySwitches(std::span<const std::string> arguments);
// Writes [Game] "WindowMode" ("ON" for a window, "OFF" for full screen), creating the file when missing.
void WriteWindowMode(const AnsiString& programFolder);

} // namespace Startup
