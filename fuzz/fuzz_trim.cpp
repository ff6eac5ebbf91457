// Fuzzes trimming and the bounded copy on text from outside, under both double-byte code pages.
#include "base/util/XeText.h"
#include "platform/codepage/CodePage.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const int codePage : {CodePage::Gbk, CodePage::ShiftJis}) {
        CodePage::SetAnsi(codePage);
        const std::string trimmed = XeTrim(text);
        if (trimmed.size() > text.size() || text.find(trimmed) == std::string::npos)
            __builtin_trap();
        XeTrimLeft(text);
        XeTrimRight(text);
    }
    std::vector<char> copy(size + 1);
    hstrncpy(copy.data(), text.c_str(), static_cast<unsigned>(size), size % 2 == 0);
    return 0;
}
