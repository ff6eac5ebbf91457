// TXeRGBBits decode-and-put: a BMP, JPEG, PNG or GNY picture decoded from a stream straight into
// this bitmap's pixel format and put at (x, y), with a PNG's alpha bytes into an alpha map.
#include "graphics/pictures/BmpPicture.h"
#include "graphics/pictures/GnyPicture.h"
#include "graphics/pictures/JpegPicture.h"
#include "graphics/pictures/PictureBlock.h"
#include "graphics/pictures/PngPicture.h"
#include "graphics/bitmaps/TXeAlpha.h"
#include "graphics/bitmaps/TXeRGBBits.h"

namespace {

// Puts a picture that decode(stream, &pixels, &alpha or null, &w, &h) delivers at (x, y): a
// destination not yet created is first created reaching the picture's far corner. True when the
// picture decoded, whatever lands on the targets (the put clips); false for a null stream, a
// picture that cannot be decoded, and an empty one.
template <typename Decode>
bool DecodeAndPut(TXeRGBBits& dst, TStream* stream, int x, int y, TXeAlpha* map, Decode&& decode)
{
    unsigned char* pixels = nullptr;
    unsigned char* alpha = nullptr;
    int w = 0, h = 0;
    if (!stream || !decode(stream, &pixels, map ? &alpha : nullptr, &w, &h))
        return false;
    const TPictureMemory pixelBlock(pixels), alphaBlock(alpha);
    if (w <= 0 || h <= 0)
        return false;
    CreateToReach(dst, x, y, w, h);
    if (dst.Created())
        dst.PutPat(x, y, w, h, pixels);
    if (map) {
        CreateToReach(*map, x, y, w, h);
        if (map->Created())
            map->PutAlpha(x, y, w, h, alpha);
    }
    return true;
}

}  // namespace

bool TXeRGBBits::DrawBmpStream(TStream* stream, int x, int y)
{
    return DecodeAndPut(*this, stream, x, y, nullptr, [&](TStream* s, unsigned char** p, unsigned char**, int* w, int* h) {
        return LoadBmp(s, p, w, h, FPixFormat);
    });
}

bool TXeRGBBits::DrawJpegStream(TStream* stream, int x, int y)
{
    return DecodeAndPut(*this, stream, x, y, nullptr, [&](TStream* s, unsigned char** p, unsigned char**, int* w, int* h) {
        return LoadJpeg(s, p, w, h, FPixFormat);
    });
}

bool TXeRGBBits::DrawPngStream(TStream* stream, int x, int y)
{
    return DrawPngStream(stream, x, y, nullptr);
}

bool TXeRGBBits::DrawPngStream(TStream* stream, int x, int y, TXeAlpha* alpha)
{
    return DecodeAndPut(*this, stream, x, y, alpha, [&](TStream* s, unsigned char** p, unsigned char** a, int* w, int* h) {
        return a ? LoadPng(s, p, a, w, h, FPixFormat) : LoadPng(s, p, w, h, FPixFormat);
    });
}

bool TXeRGBBits::DrawPngWMStream(TStream* stream, int x, int y)
{
    return DrawPngWMStream(stream, x, y, nullptr);
}

bool TXeRGBBits::DrawPngWMStream(TStream* stream, int x, int y, TXeAlpha* alpha)
{
    return DecodeAndPut(*this, stream, x, y, alpha, [&](TStream* s, unsigned char** p, unsigned char** a, int* w, int* h) {
        return a ? LoadPngWhiteMat(s, p, a, w, h, FPixFormat) : LoadPngWhiteMat(s, p, w, h, FPixFormat);
    });
}

bool TXeRGBBits::DrawGnyStream(TStream* stream, int x, int y, const unsigned char* table)
{
    if (!table)
        return false;
    return DecodeAndPut(*this, stream, x, y, nullptr, [&](TStream* s, unsigned char** p, unsigned char**, int* w, int* h) {
        return LoadGny(s, p, w, h, FPixFormat, table);
    });
}
