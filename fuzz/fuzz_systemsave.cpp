// Fuzzes the system save reader: the input is a whole "TVQESys.sav". A refused file must leave both
// records as they were; an accepted one must hold a map whose structure holds and save again.
#include "scenario/records/TReadMesTable.h"
#include "scenario/records/TSystemState.h"
#include "scenario/saves/SystemSave.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto system = std::make_unique<TSystemState>();
    const auto fresh = std::make_unique<TSystemState>();
    TReadMesTable map;
    map.SetScriptStamp(1, 1);
    map.SetTextRead(1u << 16 | 1);
    const std::vector<unsigned char> before(map.GetBuffer().begin(), map.GetBuffer().end());
    if (!DecodeSystemSave(std::span(data, size), *system, map)) {
        const auto now = map.GetBuffer();
        if (!std::equal(before.begin(), before.end(), now.begin(), now.end()) ||
            !std::ranges::equal(system->Bytes(), fresh->Bytes()))
            __builtin_trap();
        return 0;
    }
    if (!TReadMesTable::IsValid(map.GetBuffer()) || EncodeSystemSave(*system, map).empty())
        __builtin_trap();
    // The map keeps working on what was read.
    map.SetScriptStamp(7, 3);
    map.SetTextRead(7u << 16 | 9);
    if (!map.IsTextRead(7u << 16 | 9) && map.GetLength() + 16 < TReadMesTable::BufferSize)
        __builtin_trap();
    return 0;
}
