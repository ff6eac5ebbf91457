// Fuzzes the chart reader on outside text under every difficulty and play mode and both lyric
// rules, and checks what it leaves: the count within the records, every text inside the used pool
// and terminated there, and the end mark after the last record.
#include "songgame/chart/ChartReader.h"

#include "platform/classes/StringList.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    static std::array<TMusicNote, MaxNotes> notes;
    static std::array<char, TextPoolSize> pool;
    const std::vector<AnsiString> keys = {"A.WAV", "B.OGG", "C", "D.E.ADP"};
    TStringList lines;
    lines.SetText(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
    ChartOptions options{keys, data[0] % 3, (data[0] / 3) % 3, (data[0] & 0x80) ? 111 : 110};
    ChartStore store{notes, pool};
    ReadChartLines(lines, options, store);
    if (store.count < 0 || store.count > MaxNotes || store.poolUsed < 0 || store.poolUsed >= TextPoolSize)
        __builtin_trap();
    for (int i = 0; i < store.count; ++i) {
        const TMusicNote& note = notes[static_cast<std::size_t>(i)];
        if (note.time == 0 || note.time == NoteTimeEnd || note.value == 0 || (note.sound < 0) != (note.lane < 0))
            __builtin_trap();
        if (note.text >= store.poolUsed ||
            (note.text >= 0 && std::memchr(&pool[static_cast<std::size_t>(note.text)], 0,
                                           static_cast<std::size_t>(store.poolUsed - note.text)) == nullptr))
            __builtin_trap();
    }
    if (store.count < MaxNotes && notes[static_cast<std::size_t>(store.count)].time != NoteTimeEnd)
        __builtin_trap();
    return 0;
}
