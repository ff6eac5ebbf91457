// Fuzzes the script engine: the input is a whole "scr00001.dvo", started as scene "s" at its first
// block with a screen that does nothing. One engine runs it (runs of plain instructions going at
// once) while another steps it one instruction at a time to the same end, and their records must
// match byte for byte; the stepping one then goes on a bounded number of steps, the harness
// answering the choices the script stops for. No crash, no hang, and no read outside the loaded
// sections (the sanitizers watch the sections' exact allocations).
#include "base/packs/TFileMan.h"
#include "scenario/records/TGameState.h"
#include "scenario/records/TReadMesTable.h"
#include "scenario/records/TSystemState.h"
#include "NullScriptScreen.h"
#include "scenario/script/TScriptEngine.h"

#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

namespace {

constexpr int StepLimit = 20000;


void WriteFile(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// A folder holding a scene table with the one scene "s": script 1, block 0.
std::filesystem::path Folder()
{
    const auto folder = std::filesystem::temp_directory_path() / ("fuzz_scriptengine." + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    // Magic, block size 24, one entry: its length 24, script 1, 4 unread bytes, block 0, four zero
    // dates and times, the name "s".
    const std::uint8_t table[] = {'T', 'V', 'Q', 'E', 24, 0, 0, 0, 1, 0, 0, 0, 24, 0, 1, 0, 0, 0, 0, 0, 0, 0,
                                  0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 's', 0};
    WriteFile(folder / "Scene.tbl", table, sizeof table);
    return folder;
}

// An engine with records of its own on the folder's scenario.
struct Player {
    explicit Player(TFileMan& files) : engine({files, files, *state, *sceneStart, *system, readMes, screen}) { engine.LoadSceneTable(); }

    std::unique_ptr<TGameState> state = std::make_unique<TGameState>();
    std::unique_ptr<TGameState> sceneStart = std::make_unique<TGameState>();
    std::unique_ptr<TSystemState> system = std::make_unique<TSystemState>();
    TReadMesTable readMes;
    NullScriptScreen screen;
    TScriptEngine engine;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::filesystem::path folder = Folder();
    WriteFile(folder / "scr00001.dvo", data, size);
    TFileMan files(nullptr);
    if (!files.InitDir(folder.string().c_str()))
        __builtin_trap();
    Player run(files);
    Player step(files);
    if (!run.engine.StartScene("s"))
        return 0;
    if (!step.engine.StartScene("s"))
        __builtin_trap();
    // The screen never holds message text, so every turn of the run is one instruction.
    run.engine.Run();
    TGameState& state = *step.state;
    for (int i = 0; i < TScriptEngine::StepBound && !state.GetHalt() && !state.GetStop() && !step.engine.Yielded(); ++i)
        step.engine.Step();
    if (!std::ranges::equal(run.state->Bytes(), state.Bytes()) || run.engine.Yielded() != step.engine.Yielded())
        __builtin_trap();
    for (int i = 0; i < StepLimit && !state.GetHalt(); ++i) {
        if (state.GetStop())
            step.engine.SetChoice(i & 3);
        step.engine.Step();
    }
    // A saved position of the same scripts resumes where it stood.
    if (!state.GetHalt() && !state.GetStop() && !step.engine.RestoreState())
        __builtin_trap();
    return 0;
}
