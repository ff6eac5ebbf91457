// The save menu next to its own unit of work: opening the menu over 100 full slot files (every
// slot used, each with a thumbnail-sized extra block) against reading one slot. Goal: opening costs
// at most 12 slot reads, since only the rows on screen are read.
#include "platform/fs/FileSystem.h"
#include "scenario/menus/TSaveMenu.h"
#include "scenario/records/TGameState.h"
#include "scenario/saves/SaveSlot.h"
#include "shell/menus/ShellServices.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

// Services that play nothing and keep nothing: the menu's own work is what is measured.
class QuietServices final : public ShellServices {
public:
    explicit QuietServices(AnsiString folder) : folder_(std::move(folder)) {}
    void PlaySystemSE(const AnsiString&) override {}
    void SetMousePos(int, int) override {}
    void SetThreadResult(int) override {}
    std::int32_t Volume(TVolumeKind) const override { return 100; }
    void SetVolume(TVolumeKind, std::int32_t) override {}
    std::uint8_t FPSMode() const override { return 2; }
    void SetFPSMode(std::uint8_t) override {}
    bool WindowMode() const override { return true; }
    void RequestWindowMode(bool) override {}
    AnsiString ProgramFolder() const override { return folder_; }

private:
    AnsiString folder_;
};

// A folder holding all 100 slots, made once and removed at exit.
class SlotFolder {
public:
    SlotFolder() : path_(std::filesystem::temp_directory_path() / ("bench-menus-" + std::to_string(::getpid())))
    {
        std::filesystem::create_directories(path_);
        name_ = FileSystem::FromNative(path_) + "\\";
        auto state = std::make_unique<TGameState>();
        state->SetSceneName("the harbour at dusk");
        for (int line = 0; line < TGameState::BacklogSize; ++line) {
            state->AppendBacklogLine("Line " + std::to_string(line) + ": the tide comes in over the pier.");
            state->AdvanceBacklog();
        }
        const std::vector<unsigned char> thumbnail(MaxExtraLength, 0x5A);
        for (int slot = 0; slot < TSaveMenu::kEntries; ++slot) {
            state->SetScript(slot % 13, 1);
            WriteSaveSlot(name_, slot, *state, *state, thumbnail);
        }
    }
    ~SlotFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const AnsiString& Name() const { return name_; }

private:
    std::filesystem::path path_;
    AnsiString name_;
};

SlotFolder& Slots()
{
    static SlotFolder folder;
    return folder;
}

void BM_ReadOneSlot(benchmark::State& state)
{
    const AnsiString& folder = Slots().Name();
    auto record = std::make_unique<TGameState>();
    std::size_t extraLength = 0;
    for (auto _ : state) {
        const bool read = ReadSaveSlot(folder, 42, record.get(), nullptr, extraLength, {});
        benchmark::DoNotOptimize(read);
    }
}
BENCHMARK(BM_ReadOneSlot)->Unit(benchmark::kMillisecond);

void BM_OpenSaveMenu(benchmark::State& state)
{
    QuietServices services(Slots().Name());
    auto records = std::make_unique<TScenarioRecords>();
    TSaveMenu menu(nullptr, services, *records);
    menu.Initialize(nullptr);
    for (auto _ : state)
        menu.Open(TSaveMenu::kModeLoad);
}
BENCHMARK(BM_OpenSaveMenu)->Unit(benchmark::kMillisecond);

} // namespace
