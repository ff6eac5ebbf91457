// SampleGame: the sample game for the game's tests that run it whole: the one the build made
// beside the executable, copied into each test's program folder.
#pragma once

#include <filesystem>

namespace GameTest {

// Copies the sample game into `to`; false when it could not be copied.
bool CopySampleGame(const std::filesystem::path& to);

} // namespace GameTest
