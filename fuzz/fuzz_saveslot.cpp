// Fuzzes the save slot reader with its sanity check: the input is a whole "TVQE%02d.sav". A refused
// file must leave the targets as they were; accepted records must pass the sanity check and bear
// the operations a loaded game performs first.
#include "scenario/saves/SaveSlot.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto records = std::make_unique<TScenarioRecords>();
    const std::vector<unsigned char> clean(records->current.Bytes().begin(), records->current.Bytes().end());
    std::vector<unsigned char> extra(MaxExtraLength, 0x5A);
    std::size_t extraLength = 12345;
    if (!DecodeSaveSlot(std::span(data, size), &records->current, &records->snapshot, extraLength, extra)) {
        if (extraLength != 12345 || !std::equal(clean.begin(), clean.end(), records->current.Bytes().begin()) ||
            std::any_of(extra.begin(), extra.end(), [](unsigned char b) { return b != 0x5A; }))
            __builtin_trap();
        return 0;
    }
    if (extraLength > MaxExtraLength || !records->current.IsSane() || !records->snapshot.IsSane())
        __builtin_trap();
    TGameState& state = records->current;
    for (int i = 0; i < state.GetBacklogCount(); ++i)
        (void)state.GetBacklogLine(i);
    state.AppendBacklogLine("x");
    state.AdvanceBacklog();
    state.AddDays(3);
    state.AddMinutes(-5000);
    (void)state.GetWeekday();
    for (int i = 0; i < state.GetFrameCount(); ++i)
        (void)state.GetFrame(i);
    if (state.GetValueCount() > state.GetValueBase())
        (void)state.PopValue();
    state.ResetStage();
    if (!state.IsSane())
        __builtin_trap();
    return 0;
}
