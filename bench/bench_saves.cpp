// The save files next to zlib: encoding and decoding a slot image and a full system save with the
// range coder against zlib level 6 compressing and inflating the same bytes, and the whole slot save
// (encode, write, flush to disk, rename). Goals: slot encoding at least 5x as fast as zlib level 6;
// the whole slot save within one 33 ms frame.
#include "platform/fs/FileSystem.h"
#include "scenario/records/TGameState.h"
#include "scenario/records/TReadMesTable.h"
#include "scenario/records/TSystemState.h"
#include "scenario/saves/SaveFile.h"
#include "scenario/saves/SaveSlot.h"
#include "scenario/saves/SystemSave.h"

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

using Bytes = std::vector<unsigned char>;

// A play-through well under way: variables, names, a full backlog of text, a few call frames.
std::unique_ptr<TGameState> PlayedState(int seed)
{
    auto state = std::make_unique<TGameState>();
    for (int i = 0; i < TGameState::VarCount; ++i)
        state->SetVar(i, seed * 31 + i * i);
    for (int i = 0; i < TGameState::FlagCount; i += 7)
        state->SetFlag(i, true);
    state->SetNameText(0, "Hero");
    state->SetSceneName("chapter three, the harbour");
    for (int line = 0; line < TGameState::BacklogSize; ++line) {
        state->AppendBacklogLine("Line " + std::to_string(line * seed) + ": the tide comes in over the pier.");
        state->AdvanceBacklog();
    }
    for (int i = 0; i < 5; ++i)
        state->PushFrame({i, 7, 100u * i, 0, 0, 0, 0});
    return state;
}

const Bytes& SlotImage()
{
    static const Bytes image = [] {
        Bytes bytes(SlotImageSize, 0);
        std::memcpy(bytes.data(), PlayedState(3)->Bytes().data(), sizeof(TGameState));
        std::memcpy(bytes.data() + sizeof(TGameState), PlayedState(2)->Bytes().data(), sizeof(TGameState));
        return bytes;
    }();
    return image;
}

// A system record with a full song table and a read-text map of many scripts.
const Bytes& SystemRaw()
{
    static const Bytes raw = [] {
        auto system = std::make_unique<TSystemState>();
        for (int i = 0; i < TSystemState::SongCount; ++i)
            system->SetScoreEntry(i % 3, TSongID::FromText("TV" + std::to_string(10 + i % 90)), 1000u * i, "ABCD");
        TReadMesTable map;
        for (std::uint32_t script = 0; script < 400; ++script) {
            map.SetScriptStamp(script, script * 3);
            for (std::uint32_t message = 1; message < 400; message += 1 + message % 5)
                map.SetTextRead(script << 16 | message);
        }
        Bytes bytes(system->Bytes().begin(), system->Bytes().end());
        bytes.insert(bytes.end(), map.GetBuffer().begin(), map.GetBuffer().end());
        return bytes;
    }();
    return raw;
}

void ReportBytes(benchmark::State& state, std::size_t plain, std::size_t coded)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * plain));
    state.counters["ratio"] = static_cast<double>(coded) / static_cast<double>(plain);
}

void RangeEncode(benchmark::State& state, const Bytes& raw)
{
    Bytes coded;
    for (auto _ : state) {
        coded.clear();
        AppendEncoded(coded, raw);
        benchmark::DoNotOptimize(coded.data());
    }
    ReportBytes(state, raw.size(), coded.size());
}

void RangeDecode(benchmark::State& state, const Bytes& raw)
{
    Bytes coded;
    AppendEncoded(coded, raw);
    for (auto _ : state) {
        auto back = DecodeExactly(coded, raw.size());
        benchmark::DoNotOptimize(back);
    }
    ReportBytes(state, raw.size(), coded.size());
}

void ZlibCompress(benchmark::State& state, const Bytes& raw)
{
    Bytes coded(compressBound(raw.size()));
    uLongf size = 0;
    for (auto _ : state) {
        size = coded.size();
        compress2(coded.data(), &size, raw.data(), raw.size(), 6);
        benchmark::DoNotOptimize(coded.data());
    }
    ReportBytes(state, raw.size(), size);
}

void ZlibInflate(benchmark::State& state, const Bytes& raw)
{
    Bytes coded(compressBound(raw.size()));
    uLongf size = coded.size();
    compress2(coded.data(), &size, raw.data(), raw.size(), 6);
    Bytes back(raw.size());
    for (auto _ : state) {
        uLongf backSize = back.size();
        uncompress(back.data(), &backSize, coded.data(), size);
        benchmark::DoNotOptimize(back.data());
    }
    ReportBytes(state, raw.size(), size);
}

void BM_SlotEncode(benchmark::State& state) { RangeEncode(state, SlotImage()); }
void BM_SlotEncodeZlib6(benchmark::State& state) { ZlibCompress(state, SlotImage()); }
void BM_SlotDecode(benchmark::State& state) { RangeDecode(state, SlotImage()); }
void BM_SlotDecodeInflate(benchmark::State& state) { ZlibInflate(state, SlotImage()); }
void BM_SystemEncode(benchmark::State& state) { RangeEncode(state, SystemRaw()); }
void BM_SystemEncodeZlib6(benchmark::State& state) { ZlibCompress(state, SystemRaw()); }
void BM_SystemDecode(benchmark::State& state) { RangeDecode(state, SystemRaw()); }
void BM_SystemDecodeInflate(benchmark::State& state) { ZlibInflate(state, SystemRaw()); }

// The whole slot save the menu makes, flush to disk included; the target is one 33 ms frame.
void BM_SlotSaveWhole(benchmark::State& state)
{
    const auto folder = std::filesystem::temp_directory_path() / ("bench-saves-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const AnsiString name = FileSystem::FromNative(folder) + "\\";
    TScenarioRecords records{*PlayedState(3), *PlayedState(2)};
    for (auto _ : state)
        if (!SaveGameSlot(name, 1, records))
            state.SkipWithError("the slot could not be written");
    std::filesystem::remove_all(folder);
}

} // namespace

BENCHMARK(BM_SlotEncode)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SlotEncodeZlib6)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SlotDecode)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SlotDecodeInflate)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SystemEncode)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SystemEncodeZlib6)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SystemDecode)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SystemDecodeInflate)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SlotSaveWhole)->Unit(benchmark::kMillisecond)->UseRealTime();
