// Fuzzes the compiled script reader: the input is a whole "scr%05d.dvo" of script 1. An accepted
// script must answer every lookup of its labels, strings and targets inside its sections.
#include "platform/classes/Stream.h"
#include "scenario/script/ScriptFile.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TMemoryStream stream;
    stream.Write(data, static_cast<int>(size));
    ScriptFile script;
    if (!script.Read(stream, 1)) {
        if (script.IsLoaded())
            __builtin_trap();
        return 0;
    }
    for (std::uint32_t block = 0; block < 64; ++block)
        if (const std::uint32_t entry = script.LabelEntry(block); entry != ScriptFile::NoEntry && entry > script.Code().size())
            __builtin_trap();
    for (std::uint32_t i = 0; i <= script.StringCount() + 1; ++i)
        if (const char* text = script.String(i))
            (void)std::strlen(text);
    for (std::uint32_t offset = 0; offset < 64; ++offset)
        if (const auto target = script.TargetAt(offset); target && target->text)
            (void)script.FindLabel(*target->text);
    return 0;
}
