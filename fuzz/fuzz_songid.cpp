// Fuzzes the identity check of a song's "SONG.ID" on outside lines, and the version rule on each.
#include "songgame/song/SongFolder.h"

#include "platform/classes/StringList.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TStringList lines;
    lines.SetText(std::string_view(reinterpret_cast<const char*>(data), size));
    int version = 0;
    AnsiString title;
    if (CheckSongIdentity(lines, TSongID::FromText("TV01"), &version, &title) && (version < 100 || version > 200))
        __builtin_trap();
    for (int i = 0; i < lines.Count(); ++i) {
        const int v = ParseVersionNumber(lines[i]);
        if (v < 0 || v > 999)
            __builtin_trap();
    }
    return 0;
}
