// The adventure stage, idle and changing: a frame of the idle stage with snow, alone and with two
// large characters (the snow moves every second frame, so each is the average of a whole redraw
// and a quiet frame), a frame of a two-scene cross-fade with two characters in each scene (both
// scenes rendered and blended), and a memcpy of the 640x480 32-bit frame, in one run. The figures
// to read: the snow frame at most 1x the memcpy, the cross-fade frame at most 6x (Release on a busy
// machine: snow 0.7x alone and 1.3x with the characters, cross-fade 5x).
#include "base/memory/TMemMan.h"
#include "base/packs/TFileMan.h"
#include "base/util/TRandom.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "graphics/pictures/PngPicture.h"
#include "platform/classes/Stream.h"
#include "platform/fs/FileSystem.h"
#include "scenario/records/TSystemState.h"
#include "scenario/stage/TStageUnit.h"
#include "shell/GameGlobals.h"
#include "shell/config/TUserConfig.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

void WriteFile(const std::filesystem::path& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

// A w x h PNG whose colour runs with x and y, with an alpha plane (opaque in the middle) or without.
std::vector<unsigned char> Png(int w, int h, unsigned tint, bool alpha)
{
    std::vector<unsigned char> pixels, plane;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            pixels.insert(pixels.end(), {static_cast<unsigned char>(x ^ tint), static_cast<unsigned char>(y + tint),
                                         static_cast<unsigned char>(tint)});
            plane.push_back(x < w / 8 || x > w * 7 / 8 ? 0 : 255);
        }
    TMemoryStream stream;
    alpha ? SavePng(&stream, pixels.data(), plane.data(), w, h, pf24_888) : SavePng(&stream, pixels.data(), w, h, pf24_888);
    return {stream.Memory(), stream.Memory() + stream.GetSize()};
}

// "Snow.bmp": a 44 x 14 grey 24-bit BMP (no padding: 132 bytes a row).
std::vector<unsigned char> SnowBmp()
{
    std::vector<unsigned char> out = {'B', 'M'};
    auto put = [&out](unsigned value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out.push_back(static_cast<unsigned char>(value >> (8 * i)));
    };
    const unsigned pixelBytes = 44 * 3 * 14;
    put(54 + pixelBytes, 4), put(0, 4), put(54, 4), put(40, 4), put(44, 4), put(14, 4), put(1, 2), put(24, 2);
    put(0, 4), put(pixelBytes, 4), put(2835, 4), put(2835, 4), put(0, 4), put(0, 4);
    out.insert(out.end(), pixelBytes, 0x60);
    return out;
}

// A stage over generated packs in a temporary game folder, with the registry and the game's depth.
class TBenchStage {
public:
    TBenchStage() : folder_(std::filesystem::temp_directory_path() / "xe_bench_stage"), saved_(std::filesystem::current_path())
    {
        std::filesystem::remove_all(folder_);
        for (const char* sub : {"EvBG_Pak", "EvCG_Pak", "Data"})
            std::filesystem::create_directories(folder_ / sub);
        WriteFile(folder_ / "Data" / "Snow.bmp", SnowBmp());
        WriteFile(folder_ / "EvBG_Pak" / "bg001.png", Png(kWidth, kHeight, 0x40, false));
        WriteFile(folder_ / "EvBG_Pak" / "bg002.png", Png(kWidth, kHeight, 0x90, false));
        WriteFile(folder_ / "EvCG_Pak" / "chr001.png", Png(200, 400, 0x20, true));
        WriteFile(folder_ / "EvCG_Pak" / "chr002.png", Png(180, 380, 0xC0, true));
        std::filesystem::current_path(folder_);
        MemMan = &registry_;
        DisplayBitDepth = bd32;
        data_.InitDir(FileSystem::FromNative(folder_ / "Data"));
        stage_ = std::make_unique<TStageUnit>(nullptr, random_, config_, system_);
        stage_->Initialize(&data_);
    }

    ~TBenchStage()
    {
        stage_.reset();
        MemMan = nullptr;
        std::filesystem::current_path(saved_);
        std::filesystem::remove_all(folder_);
    }

    // Background 1 or 2 with snow, with or without the two characters, shown at once (code 0) or
    // through a change.
    void Show(int background, int code, int speed, bool characters = true)
    {
        stage_->SetStageMode(3);
        stage_->SetWeatherLevel(4);
        stage_->SetBackground(background);
        stage_->SetCharacters(characters ? 1 : -1, -1, characters ? 2 : -1, 0);
        stage_->ChangeStage(code, speed);
    }

    TStageUnit& Stage() { return *stage_; }

private:
    std::filesystem::path folder_;
    std::filesystem::path saved_;
    TMemMan registry_{nullptr};
    TFileMan data_{nullptr};
    TRandom random_;
    TUserConfig config_;
    TSystemState system_;
    std::unique_ptr<TStageUnit> stage_;
};

void BM_StageIdleSnowFrame(benchmark::State& state)
{
    TBenchStage bench;
    bench.Show(1, 0, 100, state.range(0) != 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(bench.Stage().Update(1, false));
}
BENCHMARK(BM_StageIdleSnowFrame)->ArgName("characters")->Arg(0)->Arg(1);

void BM_StageTwoSceneCrossFadeFrame(benchmark::State& state)
{
    TBenchStage bench;
    bench.Show(1, 0, 100);
    int next = 2;
    // At 1 % speed the fade of kind 0 lasts 3,200 frames; it is started again when it ends.
    constexpr int kSlowSpeed = 1;
    bench.Show(next, 1, kSlowSpeed);
    for (auto _ : state) {
        if (!bench.Stage().Update(1, false)) {
            state.PauseTiming();
            next = 3 - next;
            bench.Show(next, 1, kSlowSpeed);
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_StageTwoSceneCrossFadeFrame);

void BM_MemcpyFrame(benchmark::State& state)
{
    std::vector<unsigned char> from(kWidth * kHeight * 4, 1), to(kWidth * kHeight * 4);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MemcpyFrame);

} // namespace
