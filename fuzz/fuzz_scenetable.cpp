// Fuzzes the scene table reader: the input is a whole "Scene.tbl". A refused table raises its text
// and stays empty; an accepted one finds every entry by its name (the first of duplicates).
#include "platform/classes/Exception.h"
#include "platform/classes/Stream.h"
#include "scenario/script/SceneTable.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TMemoryStream stream;
    stream.Write(data, static_cast<int>(size));
    stream.Seek(0, soBeginning);
    SceneTable table;
    try {
        table.Read(stream);
    } catch (const Exception&) {
        if (table.IsLoaded() || table.Size() != 0)
            __builtin_trap();
        return 0;
    }
    for (const SceneEntry& entry : table.Entries()) {
        const SceneEntry* found = table.Find(entry.name);
        if (found == nullptr || found->name != entry.name)
            __builtin_trap();
    }
    return 0;
}
