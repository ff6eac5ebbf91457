// TXeRGBBits copies from another bitmap: plain, clipped, colour-keyed, 1-bit-masked and
// format-converting copies, and palette expansion of an index block.
#include "graphics/bitmaps/DrawFrame.h"
#include "graphics/bitmaps/TXeRGBBits.h"

namespace {

// The inside rule: the source rectangle must lie wholly inside the source; a rectangle without
// pixels draws and records nothing. `put` runs the pattern primitive on the source pixel (sx, sy).
template <typename Put>
bool CopyInside(TXeRGBBits& dst, int x, int y, TXeRGBBits* src, int sx, int sy, int w, int h, Put&& put)
{
    if (!Usable(src) || !ChkFormatCompatible(src->PixFormat(), dst.PixFormat()))
        return false;
    TDrawArea area(x, y, w, h);
    if (!area.Inside(area.AddSource(sx, sy), src->Width(), src->Height()))
        return false;
    if (w <= 0 || h <= 0)
        return true;
    return DrawFromSources(dst, area, {src}, [&] { return put(SourcePixel(*src, sx, sy)); });
}

}  // namespace

bool TXeRGBBits::Draw(int x, int y, TXeRGBBits* src, int sx, int sy, int w, int h)
{
    return CopyInside(*this, x, y, src, sx, sy, w, h,
                      [&](const std::uint8_t* p) { return XePutPat(x, y, w, h, p, src->Pitch(), false, 0); });
}

bool TXeRGBBits::ClipDraw(int x, int y, TXeRGBBits* src, int sx, int sy, int w, int h)
{
    if (!Usable(src) || !ChkFormatCompatible(src->PixFormat(), FPixFormat) || FReverse)
        return false;
    TDrawArea area(x, y, w, h);
    area.CutSource(sx, sy, src->Width(), src->Height());
    if (!area.Apply())
        return true;
    return Draw(area.X(), area.Y(), src, area.SX(0), area.SY(0), area.W(), area.H());
}

bool TXeRGBBits::DrawKey(int x, int y, TXeRGBBits* src, int sx, int sy, int w, int h, TXeRGB key)
{
    const std::uint32_t keyValue = TXeRGBtoPixel(key);
    return CopyInside(*this, x, y, src, sx, sy, w, h,
                      [&](const std::uint8_t* p) { return XePutPat(x, y, w, h, p, src->Pitch(), true, keyValue); });
}

bool TXeRGBBits::DrawTLKey(int x, int y, TXeRGBBits* src, int sx, int sy, int w, int h)
{
    return CopyInside(*this, x, y, src, sx, sy, w, h, [&](const std::uint8_t* p) {
        return XePutPat(x, y, w, h, p, src->Pitch(), true, src->TopLeftGet());
    });
}

bool TXeRGBBits::DrawMask(int x, int y, TXeRGBBits* src, int sx, int sy, int w, int h, const std::uint8_t* mask,
                          int maskW, int maskH)
{
    return CopyInside(*this, x, y, src, sx, sy, w, h, [&](const std::uint8_t* p) {
        return XePutPatM(x, y, w, h, p, src->Pitch(), mask, maskW, maskH);
    });
}

bool TXeRGBBits::ConvertCopy(int x, int y, TXeRGBBits* src, int sx, int sy, int w, int h)
{
    if (!FCreated || !Usable(src))
        return false;
    return DrawFromSource(*this, x, y, w, h, *src, sx, sy, [&](const TDrawArea& area, const std::uint8_t* pixel) {
        return XeConvert(area.X(), area.Y(), area.W(), area.H(), pixel, src->PixFormat(), src->Pitch());
    });
}

bool TXeRGBBits::IndexColorCopy(int x, int y, const std::uint8_t* indices, const tagRGBQUAD* palette, int sx, int sy,
                                int w, int h, int indexPitch)
{
    if (!FCreated || !indices)
        return false;
    const std::uint8_t* first = indices + std::ptrdiff_t{sy} * indexPitch + sx;
    return DrawFromSources(*this, TDrawArea(x, y, w, h), {},
                           [&] { return XeIndexColor(x, y, w, h, first, palette, indexPitch); });
}
