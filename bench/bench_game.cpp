// The sample game whole, headless, as a player drives it: the data the build made beside the
// executable copied into a temporary program folder, its window on a scripted host over the headless display, on the manual audio and timer clocks.
// Reports the process's resident memory at the title menu and during the scenario's song (the
// largest reading while it plays), and the wall time the run took; the figures are counters, the
// timing of one iteration only says how long the run was.
#include "game/GameWindow.h"
#include "game/thread/TGameThread.h"

#include "platform/audio/headless/ManualAudio.h"
#include "platform/classes/Application.h"
#include "platform/fs/FileSystem.h"
#include "platform/host/VirtualKeys.h"
#include "platform/host/headless/ScriptedHost.h"
#include "platform/timer/headless/ManualTimer.h"
#include "platform/video/headless/HeadlessVideo.h"
#include "shell/GameGlobals.h"
#include "tools/samplegen/SampleGenerator.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>

namespace {

using namespace std::chrono_literals;
using host::WindowEvent;

// The resident memory of this process in MiB, from /proc.
double ResidentMiB()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            double kib = 0;
            status >> kib;
            return kib / 1024;
        }
        status.ignore(4096, '\n');
    }
    return 0;
}

// One player at the game: the UI thread's turns, the clocks, and the clicks and keys.
class SamplePlayer {
public:
    explicit SamplePlayer(const std::filesystem::path& folder) : folder_(folder)
    {
        audio_->settings.keepOutput = false; // the mixed sound is not listened to: keeping it would be counted
        audio::SetDefaultBackEnd(audio_);
        timer::SetDefaultBackEnd(timer_);
        Application().OnMessageBox = [](const std::string&, const std::string&, int) { return idOK; };
        window_ = std::make_unique<GameWindow>(
            host_, [this](FormServices& s) { s.programFolder = FileSystem::FromNative(folder_) + "\\"; },
            TGameThread::Start);
    }
    ~SamplePlayer()
    {
        window_.reset();
        Application().OnMessageBox = {};
        timer::SetDefaultBackEnd(nullptr);
        audio::SetDefaultBackEnd(nullptr);
    }
    SamplePlayer(const SamplePlayer&) = delete;
    SamplePlayer& operator=(const SamplePlayer&) = delete;

    std::uint8_t State() const
    {
        return window_->Form() != nullptr ? window_->Form()->GetState() : std::uint8_t{fsNone};
    }

    // Turns until `done` holds; false after the time-out or when the game ended first.
    bool RunUntil(const std::function<bool()>& done, std::chrono::seconds limit = 120s)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            if (!Turn() || std::chrono::steady_clock::now() > deadline)
                return false;
        }
        return true;
    }

    void Click(int x, int y)
    {
        for (const auto kind : {WindowEvent::Kind::MouseMove, WindowEvent::Kind::MouseDown, WindowEvent::Kind::MouseUp})
            host_.Queue(Event(kind, [&](WindowEvent& e) {
                e.button = mbLeft;
                e.x = x;
                e.y = y;
            }));
    }

    void Key(std::uint16_t key)
    {
        for (const auto kind : {WindowEvent::Kind::KeyDown, WindowEvent::Kind::KeyUp})
            host_.Queue(Event(kind, [&](WindowEvent& e) { e.key = key; }));
    }

    // Closes the window and runs the game to its end (the settings ask no question).
    void Close()
    {
        host_.Queue(Event(WindowEvent::Kind::CloseRequest, [](WindowEvent&) {}));
        const auto deadline = std::chrono::steady_clock::now() + 60s;
        while (Turn() && std::chrono::steady_clock::now() < deadline) {
        }
    }

private:
    static WindowEvent Event(WindowEvent::Kind kind, const std::function<void(WindowEvent&)>& fill)
    {
        WindowEvent e;
        e.kind = kind;
        fill(e);
        return e;
    }

    // One turn of the UI thread, then a tick of the frame timer and of the audio clock.
    bool Turn()
    {
        const bool running = host_.Step();
        timer_->Advance(10ms);
        audio_->Advance(441);
        return running;
    }

    std::filesystem::path folder_;
    std::shared_ptr<audio::ManualAudio> audio_ = std::make_shared<audio::ManualAudio>();
    std::shared_ptr<timer::ManualTimer> timer_ = std::make_shared<timer::ManualTimer>();
    video::HeadlessVideo video_;
    host::ScriptedHost host_{video_.CreateWindow({640, 480}, {64, 48})};
    std::unique_ptr<GameWindow> window_;
};

// The title call cut short, the title menu, New Game, then the story read with Enter, clicks and
// Down in turn (the adventure's auto mode plays the song) until the song has played a while.
void BM_SampleGameMemory(benchmark::State& state)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("bench-game-" + std::to_string(std::random_device()()));
    if (!samplegen::CopyGameData(XE_SAMPLE_GAME, folder)) {
        state.SkipWithError("the sample game could not be copied: build the target samplegame");
        return;
    }
    std::ofstream(folder / "Tvqe.ini") << "[Game]\r\nExitConfirm=OFF\r\nAvgAutoMode=Auto\r\n";
    double title = 0;
    double song = 0;
    for (auto _ : state) {
        SamplePlayer player(folder);
        bool ok = player.RunUntil([&] { return player.State() == fsMenu; });
        player.Click(320, 240);
        ok = ok && player.RunUntil([&] { return player.State() != fsMenu; }) &&
             player.RunUntil([&] { return player.State() == fsMenu; });
        title = ResidentMiB();
        player.Click(70, 34); // BtnStart
        int turn = 0;
        int songTurns = 0;
        ok = ok && player.RunUntil([&] {
            if (player.State() == fsMusic) {
                song = std::max(song, ResidentMiB());
                return ++songTurns > 3000; // half a minute of the song on the manual clocks
            }
            if (player.State() == fsAdventure && ++turn % 6 == 0) {
                switch (turn / 6 % 3) {
                case 0: player.Key(VK_RETURN); break;
                case 1: player.Click(320, 200); break;
                default: player.Key(VK_DOWN); break;
                }
            }
            return false;
        });
        player.Close();
        if (!ok) {
            state.SkipWithError("the game did not reach the title and the song");
            break;
        }
    }
    std::filesystem::remove_all(folder);
    state.counters["title_MiB"] = title;
    state.counters["song_MiB"] = song;
}
BENCHMARK(BM_SampleGameMemory)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace
