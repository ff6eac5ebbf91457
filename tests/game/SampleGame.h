// SampleGame: the sample game for the game's tests that run it whole: made once for the test program
// by the sample generator and copied into each test's program folder.
#pragma once

#include <filesystem>

namespace GameTest {

// Copies the sample game into `to`; false when it could not be made or copied.
bool CopySampleGame(const std::filesystem::path& to);

} // namespace GameTest
