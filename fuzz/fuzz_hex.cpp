// Fuzzes hexadecimal parsing and the front and rear cuts on text from outside.
#include "base/util/XeText.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    HexToInt(text);
    const int cut = size == 0 ? 0 : static_cast<int>(data[0]) - 64;
    if (DivideFront(text, cut) + DivideRear(text, cut + 1) != text)
        __builtin_trap();
    return 0;
}
