// Fuzzes the file-name wildcard match: the input is a pattern and a name separated by a zero byte.
#include "base/util/XeText.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\0');
    const std::string pattern = input.substr(0, split);
    const std::string name = split == std::string::npos ? std::string() : input.substr(split + 1);
    // The strings end at their first zero byte, as callers' C strings do.
    WildCardCmp(pattern.c_str(), name.c_str());
    return 0;
}
