// Fuzzes the BMP readers: the size-only read, LoadBmp into a format picked from the input, the
// alpha loader and the palette loader.
#include "graphics/pictures/BmpPicture.h"

#include "PictureFuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TMemoryStream stream;
    FillStream(stream, data, size);
    int width = 0, height = 0;
    if (!LoadBmp(&stream, nullptr, &width, &height, pf24_888) || !SmallEnough(width, height))
        return 0;
    unsigned char* pixels = nullptr;
    stream.SetPosition(0);
    if (LoadBmp(&stream, &pixels, &width, &height, FormatFor(size)))
        FreeBlock(pixels);
    pixels = nullptr;
    stream.SetPosition(0);
    if (LoadAlpha(&stream, &pixels, &width, &height))
        FreeBlock(pixels);
    tagRGBQUAD* palette = nullptr;
    unsigned char* indices = nullptr;
    stream.SetPosition(0);
    if (LoadPalette(&stream, &palette, &indices, &width, &height)) {
        FreeBlock(palette);
        FreeBlock(indices);
    }
    return 0;
}
