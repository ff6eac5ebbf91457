// Writes the fuzz targets' seeds (valid system saves and slots) into the folder named by
// XE_FUZZ_SEEDS, as fuzz/seeds/<reader>/ holds them; skipped when it is not set.
#include "scenario/saves/SaveSlot.h"
#include "scenario/saves/SystemSave.h"

#include "scenario/ScenarioTestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <memory>

#include <gtest/gtest.h>

using namespace ScenarioTest;

TEST(SaveFuzzSeeds, WriteValidSaves)
{
    const char* root = std::getenv("XE_FUZZ_SEEDS");
    if (root == nullptr)
        GTEST_SKIP() << "XE_FUZZ_SEEDS names no folder";
    const std::filesystem::path system = std::filesystem::path(root) / "systemsave";
    const std::filesystem::path slot = std::filesystem::path(root) / "saveslot";
    std::filesystem::create_directories(system);
    std::filesystem::create_directories(slot);

    auto empty = std::make_unique<TSystemState>();
    TReadMesTable emptyMap;
    WriteBytes(system / "empty.sav", EncodeSystemSave(*empty, emptyMap));
    auto filled = std::make_unique<TSystemState>(FilledSystemState());
    TReadMesTable map;
    FillReadMes(map);
    WriteBytes(system / "filled.sav", EncodeSystemSave(*filled, map));

    auto fresh = std::make_unique<TGameState>();
    WriteBytes(slot / "fresh.sav", EncodeSaveSlot(*fresh, *fresh, {}));
    auto played = std::make_unique<TGameState>(FilledGameState(7));
    WriteBytes(slot / "played.sav", EncodeSaveSlot(*played, FilledGameState(2), Bytes(64, 0x3C)));
}
