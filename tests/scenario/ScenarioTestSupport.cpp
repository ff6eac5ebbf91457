// Helpers of the scenario tests.
#include "scenario/ScenarioTestSupport.h"

#include "platform/fs/FileSystem.h"

#include <fstream>
#include <iterator>
#include <random>

namespace ScenarioTest {

TempFolder::TempFolder()
{
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() / ("scenario-test-" + std::to_string(random()));
    std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

AnsiString TempFolder::Name() const { return FileSystem::FromNative(path_) + "\\"; }

Bytes ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::filesystem::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TGameState FilledGameState(int seed)
{
    TGameState state;
    for (int i = 0; i < TGameState::FlagCount; i += 3 + seed % 5)
        state.SetFlag(i, true);
    for (int i = 0; i < TGameState::VarCount; ++i)
        state.SetVar(i, seed * 1000 + i);
    state.SetNameText(seed % TGameState::NameTextCount, "Name" + std::to_string(seed));
    state.SetSceneName("scene-" + std::to_string(seed));
    state.SetDate(400 + 1 + seed % 28);
    state.SetTime(900 + seed % 60);
    state.SetMeter(seed % 256);
    state.SetScript(seed, 0xABC00000u + static_cast<unsigned>(seed));
    state.SetPc(static_cast<std::uint32_t>(seed * 6));
    state.SetHalt(false);
    for (int i = 0; i < seed % 10; ++i)
        state.PushValue(seed + i);
    state.PushFrame({seed, 7u, 12u, 0, 1, 2, 3});
    state.SetChoiceText(seed % TGameState::ChoiceCount, "choice");
    for (int i = 0; i < seed % 7; ++i) {
        state.AppendBacklogLine("line " + std::to_string(i));
        state.AdvanceBacklog();
    }
    return state;
}

TSystemState FilledSystemState()
{
    TSystemState system;
    for (int i = 0; i < TSystemState::FlagCount; i += 5)
        system.SetSystemFlag(i, true);
    for (int i = 0; i < TSystemState::ValueCount; ++i)
        system.SetSystemValue(i, -i * 77);
    system.SetSystemBit(3);
    system.SetSystemBit(295);
    system.SetViewedItem(32);
    system.SetScoreEntry(0, TSongID::FromText("TV03"), 123456, "ABCD");
    system.SetScoreEntry(1, TSongID::FromText("WX01"), 99, "Z");
    return system;
}

void FillReadMes(TReadMesTable& map)
{
    for (std::uint32_t script = 1; script <= 3; ++script) {
        map.SetScriptStamp(script, 100 + script);
        for (std::uint32_t message = 1; message < 40; message += script)
            map.SetTextRead(script << 16 | message);
    }
}

} // namespace ScenarioTest
