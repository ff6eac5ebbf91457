// Fuzzes the PNG reader: the channel test, the size-only read, and full loads with and without an
// alpha plane, plain and white-matte, into a format picked from the input.
#include "graphics/pictures/PngPicture.h"

#include "PictureFuzzInput.h"
#include "platform/classes/Exception.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TMemoryStream stream;
    FillStream(stream, data, size);
    try {
        ChkChannelPng(&stream);
    } catch (const Exception&) {
        // The stream ended inside the header: the channel test's stated way to fail.
    }
    stream.SetPosition(0);
    int width = 0, height = 0;
    if (!LoadPng(&stream, nullptr, nullptr, &width, &height, pf24_888) || !SmallEnough(width, height))
        return 0;
    const bool whiteMatte = size % 2 != 0;
    unsigned char* pixels = nullptr;
    unsigned char* alpha = nullptr;
    stream.SetPosition(0);
    if (whiteMatte ? LoadPngWhiteMat(&stream, &pixels, &alpha, &width, &height, FormatFor(size))
                   : LoadPng(&stream, &pixels, &alpha, &width, &height, FormatFor(size))) {
        FreeBlock(pixels);
        FreeBlock(alpha);
    } else if (pixels || alpha) {
        __builtin_trap();  // a failed load hands nothing over
    }
    return 0;
}
