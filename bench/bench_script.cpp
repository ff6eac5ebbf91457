// The script engine next to plain C++: an assembled countdown loop of 10^7 core instructions (push,
// sub, dup, jnz per turn) run through TScriptEngine::Run, against the same countdown as a C++ loop
// on a value stack of its own. Goals: at least 100 M instructions per second, and the engine within
// 20x the C++ loop.
#include "base/packs/TFileMan.h"
#include "fuzz/NullScriptScreen.h"
#include "scenario/records/TGameState.h"
#include "scenario/records/TReadMesTable.h"
#include "scenario/records/TSystemState.h"
#include "scenario/script/ScriptAssembler.h"
#include "scenario/script/ScriptFile.h"
#include "scenario/script/TScriptEngine.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

constexpr std::int64_t Turns = 2'500'000;
constexpr std::int64_t InstructionsPerTurn = 4;

void Write(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The countdown script and its scene table in a folder of their own.
std::filesystem::path Scenario()
{
    const auto folder = std::filesystem::temp_directory_path() / ("bench_script." + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const ScriptAssembler::Source source{"countdown", ".script 1\n.scene \"loop\" main\nmain:\n    push " + std::to_string(Turns)
                                                          + "\n@turn:\n    push 1\n    sub\n    dup\n    jnz @turn\n    halt\n"};
    const auto scenario = ScriptAssembler::Assemble(std::span(&source, 1));
    Write(folder / ScriptFile::FileName(1), scenario.scripts.at(1));
    Write(folder / "Scene.tbl", scenario.sceneTable);
    return folder;
}

void BM_ScriptCountdown(benchmark::State& bench)
{
    const auto folder = Scenario();
    TFileMan files(nullptr);
    files.InitDir(folder.string().c_str());
    auto state = std::make_unique<TGameState>();
    auto sceneStart = std::make_unique<TGameState>();
    auto system = std::make_unique<TSystemState>();
    TReadMesTable readMes;
    NullScriptScreen screen;
    TScriptEngine engine({files, files, *state, *sceneStart, *system, readMes, screen});
    engine.LoadSceneTable();
    for (auto _ : bench) {
        engine.StartScene("loop");
        while (!engine.Run()) {
        }
    }
    bench.SetItemsProcessed(bench.iterations() * Turns * InstructionsPerTurn);
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ScriptCountdown)->Unit(benchmark::kMillisecond);

// The same turns in C++: the counter lives on a value stack in memory, as the script's does, and
// DoNotOptimize makes every turn store and reload it, so the compiler cannot fold the loop away.
void BM_CppCountdown(benchmark::State& bench)
{
    std::array<std::int32_t, 256> stack{};
    for (auto _ : bench) {
        int count = 0;
        stack[count++] = static_cast<std::int32_t>(Turns);
        do {
            stack[count - 1] -= 1;
            benchmark::DoNotOptimize(stack);
        } while (stack[count - 1] != 0);
    }
    bench.SetItemsProcessed(bench.iterations() * Turns * InstructionsPerTurn);
}
BENCHMARK(BM_CppCountdown)->Unit(benchmark::kMillisecond);

} // namespace
