// GameMain: the process from start to end: the program folder, the single-instance lock, the
// start-up switches, the message loop with the game's window, and the window mode written at exit.
#pragma once

#include <span>
#include <string>

// Runs the game; `arguments` exclude the program path. Returns 0 in every case: a second copy
// ends at once, and an exception that reaches here is dropped (the settings are then not written).
int GameMain(std::span<const std::string> arguments);
