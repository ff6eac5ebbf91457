// Fuzzes the JPEG loader: the size-only read, then a full decode into a format picked from the
// input. libjpeg's messages go to stderr; run with -close_fd_mask=2 to keep the log quiet.
#include "graphics/pictures/JpegPicture.h"

#include "PictureFuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TMemoryStream stream;
    FillStream(stream, data, size);
    int width = 0, height = 0;
    if (!LoadJpeg(&stream, nullptr, &width, &height, pf24_888) || !SmallEnough(width, height))
        return 0;
    unsigned char* pixels = nullptr;
    stream.SetPosition(0);
    if (LoadJpeg(&stream, &pixels, &width, &height, FormatFor(size)))
        FreeBlock(pixels);
    else if (pixels)
        __builtin_trap();  // a failed load hands nothing over
    return 0;
}
