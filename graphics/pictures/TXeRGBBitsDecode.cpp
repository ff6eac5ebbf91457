// TXeRGBBits decode-and-put: a BMP, JPEG, PNG or GNY picture decoded from a stream straight into
// this bitmap's pixel format and put at (x, y), with a PNG's alpha bytes into an alpha map.
#include "graphics/pictures/BmpPicture.h"
#include "graphics/pictures/GnyPicture.h"
#include "graphics/pictures/JpegPicture.h"
#include "graphics/pictures/PictureBlock.h"
#include "graphics/pictures/PngPicture.h"
#include "graphics/bitmaps/TXeAlpha.h"
#include "graphics/bitmaps/TXeRGBBits.h"

#include <climits>
#include <cstdint>

namespace {

// The far corner of a picture of w x h put at (x, y), as the size a destination needs; false when
// it does not lie right of and below (0, 0) within the range of int.
bool FarCorner(int x, int y, int w, int h, int& right, int& bottom)
{
    const std::int64_t r = std::int64_t{x} + w, b = std::int64_t{y} + h;
    if (r <= 0 || b <= 0 || r > INT_MAX || b > INT_MAX)
        return false;
    right = static_cast<int>(r);
    bottom = static_cast<int>(b);
    return true;
}

// True when some pixel of the picture lands on a destination of width x height.
bool Lands(int x, int y, int right, int bottom, int width, int height)
{
    return right > 0 && bottom > 0 && x < width && y < height;
}

// Puts a picture that decode(stream, &pixels, &alpha or null, &w, &h) delivers at (x, y): a
// destination not yet created is first created reaching the picture's far corner. Fails for a
// null stream, a picture that cannot be decoded or is empty, and when no part of it lands on the
// bitmap (or on the alpha map, when one is given).
template <typename Decode>
bool DecodeAndPut(TXeRGBBits& dst, TStream* stream, int x, int y, TXeAlpha* map, Decode&& decode)
{
    unsigned char* pixels = nullptr;
    unsigned char* alpha = nullptr;
    int w = 0, h = 0;
    if (!stream || !decode(stream, &pixels, map ? &alpha : nullptr, &w, &h))
        return false;
    const TPictureMemory pixelBlock(pixels), alphaBlock(alpha);
    int right = 0, bottom = 0;
    if (w <= 0 || h <= 0 || !FarCorner(x, y, w, h, right, bottom))
        return false;
    if (!dst.Created()) {
        dst.SetWidth(right);
        dst.SetHeight(bottom);
        dst.Create();
    }
    if (!dst.Created() || !Lands(x, y, right, bottom, dst.Width(), dst.Height()))
        return false;
    dst.PutPat(x, y, w, h, pixels);
    if (!map)
        return true;
    if (!map->Created()) {
        map->SetWidth(right);
        map->SetHeight(bottom);
        map->Create();
    }
    if (!map->Created() || !Lands(x, y, right, bottom, map->Width(), map->Height()))
        return false;
    return map->PutAlpha(x, y, w, h, alpha);
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
