// Fuzzes the CSV table reader: reading a table from outside, every cell read, and cell cutting at
// every position of every line.
#include "base/util/TXeCsvRead.h"

#include "platform/classes/Stream.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TMemoryStream stream;
    stream.WriteBuffer(data, static_cast<int>(size));
    stream.SetPosition(0);
    TXeCsvRead csv;
    if (csv.Read(&stream)) {
        char buffer[16];
        for (int y = -1; y <= csv.GetSizeY(); ++y) {
            for (int x = -1; x <= csv.GetSizeX(); ++x) {
                csv.GetValue(x, y);
                if (csv.GetText(x, y, buffer, sizeof buffer) && strnlen(buffer, sizeof buffer) == sizeof buffer)
                    __builtin_trap(); // not terminated
                csv.GetAnsiString(x, y);
            }
        }
    }
    const std::string line(reinterpret_cast<const char*>(data), size < 256 ? size : 256);
    for (int p = -1; p <= static_cast<int>(line.size()) + 1; ++p) {
        const int next = TXeCsvRead::NextCell(line, p);
        if (next != 0 && (next <= p || next > static_cast<int>(line.size())))
            __builtin_trap();
        TXeCsvRead::CutCell(line, p);
    }
    return 0;
}
