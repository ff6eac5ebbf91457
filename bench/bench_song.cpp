// The song run's performance step on the densest chart (1,023 notes, 256 of them on the sheet):
// judgement scan, presses, sheet rebuild and the four characters animating, next to memcpy of one
// 640 x 480 frame of 32-bit pixels.
#include "songgame/display/SheetNotes.h"
#include "songgame/display/CharacterDisplay.h"
#include "songgame/run/PlayState.h"
#include "songgame/run/SongJudge.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

struct NoActions : JudgeActions {
    void PlayKeySound(int sound) override { benchmark::DoNotOptimize(sound); }
    void ShowLyric(int text) override { benchmark::DoNotOptimize(text); }
    void ShakeCharacters() override {}
};

struct NoFlags : RectSink {
    void Flag(const TXeRect& rect) override { benchmark::DoNotOptimize(rect); }
};

// 1,023 notes 441 units (one sheet pixel) apart over 30 lanes: 256 and more are on the sheet at once.
std::vector<TMusicNote> DenseChart()
{
    std::vector<TMusicNote> notes;
    for (int i = 0; i < MaxNotes - 1; ++i)
        notes.push_back({static_cast<std::uint32_t>(88'200 + 441 * i), 0, i % 16, i % 30, -1, 0, 0, 0});
    return notes;
}

void BM_PerformanceStep(benchmark::State& state)
{
    std::vector<TMusicNote> notes = DenseChart();
    PlayState play;
    NoActions actions;
    SongJudge judge(notes, play, actions);
    SheetNotes sheet;
    StageState stage;
    StageResources resources;
    NoFlags flags;
    CharacterDisplay characters(stage, resources, flags);
    for (int c = 0; c < StageCharacters; ++c) {
        PictureEntry& entry = resources.characters[static_cast<std::size_t>(c)].entries[0];
        entry = {8, 120, 200, 4, 2, pepRound, nullptr, nullptr, {}, {}};
        entry.durations.fill(1);
        characters.SetPicture(c, 0);
        characters.SetPosition(c, 100 * c, 50, 0, true);
        characters.SetPosition(c, 100 * c + 60, 80, 1000, true);
    }
    const std::uint32_t now = 88'200 + 441 * 100;
    for (auto _ : state) {
        for (TMusicNote& note : notes)
            note.state = 0;
        judge.Restart();
        judge.Scan(now, now - 1470);
        for (int lane = 0; lane < SongJudge::Lanes; ++lane)
            judge.HitLane(lane);
        sheet.Rebuild(notes, judge.firstDrawn, now, 1);
        characters.Animate(1);
        characters.SortDepth();
        benchmark::DoNotOptimize(sheet.Count());
    }
    state.counters["drawn"] = sheet.Count();
}
BENCHMARK(BM_PerformanceStep);

void BM_FrameMemcpy(benchmark::State& state)
{
    std::vector<std::uint8_t> from(640 * 480 * 4, 7), to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FrameMemcpy);

} // namespace
