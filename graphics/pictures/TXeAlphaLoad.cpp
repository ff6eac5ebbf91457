// TXeAlpha loading: an 8-bit BMP's grey values or palette indices put into the map at (x, y).
#include "graphics/pictures/BmpPicture.h"
#include "graphics/pictures/PictureBlock.h"
#include "graphics/bitmaps/TXeAlpha.h"

namespace {

// Puts the w x h values that load(stream, &values, &w, &h) delivers at (x, y): a map not yet
// created is first created reaching the picture's far corner. True when the picture decoded,
// whatever lands on the map (the put clips); false for a null stream, a picture that cannot be
// decoded, and an empty one.
template <typename Load> bool LoadAndPut(TXeAlpha& map, TStream* stream, int x, int y, Load&& load)
{
    unsigned char* values = nullptr;
    int w = 0, h = 0;
    if (!stream || !load(stream, &values, &w, &h))
        return false;
    const TPictureMemory block(values);
    if (w <= 0 || h <= 0)
        return false;
    CreateToReach(map, x, y, w, h);
    if (map.Created())
        map.PutAlpha(x, y, w, h, values);
    return true;
}

}  // namespace

bool TXeAlpha::LoadAlphaStream(TStream* stream, int x, int y)
{
    return LoadAndPut(*this, stream, x, y, [](TStream* s, unsigned char** values, int* w, int* h) {
        return LoadAlpha(s, values, w, h);
    });
}

bool TXeAlpha::LoadIndexStream(TStream* stream, int x, int y)
{
    return LoadAndPut(*this, stream, x, y, [](TStream* s, unsigned char** values, int* w, int* h) {
        return LoadPalette(s, nullptr, values, w, h);
    });
}
