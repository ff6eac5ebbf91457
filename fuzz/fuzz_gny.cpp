// Fuzzes the GNY loader with a fixed scramble table: the size-only read, then a full decode into a
// format picked from the input.
#include "graphics/pictures/GnyPicture.h"

#include "PictureFuzzInput.h"

#include <array>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const auto table = [] {
        std::array<unsigned char, 256> t{};
        for (int i = 0; i < 256; ++i)
            t[i] = static_cast<unsigned char>(i * 73 + 41);
        return t;
    }();
    TMemoryStream stream;
    FillStream(stream, data, size);
    int width = 0, height = 0;
    if (!LoadGny(&stream, nullptr, &width, &height, pf24_888, table.data()) || !SmallEnough(width, height))
        return 0;
    unsigned char* pixels = nullptr;
    stream.SetPosition(0);
    if (LoadGny(&stream, &pixels, &width, &height, FormatFor(size), table.data()))
        FreeBlock(pixels);
    return 0;
}
