// TXeAlpha loading: an 8-bit BMP's grey values or palette indices put into the map at (x, y).
#include "graphics/pictures/BmpPicture.h"
#include "graphics/pictures/PictureBlock.h"
#include "graphics/bitmaps/TXeAlpha.h"

#include <climits>
#include <cstdint>

namespace {

// Puts the w x h values that load(stream, &values, &w, &h) delivers at (x, y): a map not yet
// created is first created reaching the picture's far corner. Fails for a null stream, a picture
// that cannot be decoded or is empty, and when no part of it lands on the map.
template <typename Load> bool LoadAndPut(TXeAlpha& map, TStream* stream, int x, int y, Load&& load)
{
    unsigned char* values = nullptr;
    int w = 0, h = 0;
    if (!stream || !load(stream, &values, &w, &h))
        return false;
    const TPictureMemory block(values);
    const std::int64_t right = std::int64_t{x} + w, bottom = std::int64_t{y} + h;
    if (w <= 0 || h <= 0 || right <= 0 || bottom <= 0 || right > INT_MAX || bottom > INT_MAX)
        return false;
    if (!map.Created()) {
        map.SetWidth(static_cast<int>(right));
        map.SetHeight(static_cast<int>(bottom));
        map.Create();
    }
    if (!map.Created() || x >= map.Width() || y >= map.Height())
        return false;
    return map.PutAlpha(x, y, w, h, values);
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
