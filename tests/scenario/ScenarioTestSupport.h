// Helpers of the scenario tests: a temporary save folder, whole-file reads and writes, and records
// filled with recognisable values.
#pragma once

#include "platform/classes/AnsiString.h"
#include "scenario/records/TGameState.h"
#include "scenario/records/TReadMesTable.h"
#include "scenario/records/TSystemState.h"

#include <filesystem>
#include <vector>

namespace ScenarioTest {

using Bytes = std::vector<unsigned char>;

// A fresh folder, removed with everything in it by the destructor.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // The folder as the game names it (ANSI, backslashes, ending in "\").
    AnsiString Name() const;
    std::filesystem::path operator/(const char* name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

Bytes ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const Bytes& bytes);

// A record with values in many fields, different for each seed, that passes the sanity check.
TGameState FilledGameState(int seed);
TSystemState FilledSystemState();
// A map with a few scripts and ranges.
void FillReadMes(TReadMesTable& map);

} // namespace ScenarioTest
