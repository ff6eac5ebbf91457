// TXeRGBBits mixes with other bitmaps: constant-level blends, saturating add and subtract, and
// blends through alpha maps (one source, source alpha, two sources, double alpha).
#include "graphics/bitmaps/DrawFrame.h"
#include "graphics/bitmaps/TXeRGBBits.h"

namespace {

bool Compatible(const TXeRGBBits& dst, const TXeRGBBits* src)
{
    return Usable(src) && ChkFormatCompatible(src->PixFormat(), dst.PixFormat());
}

}  // namespace

bool TXeRGBBits::AlphaBlend(int x, int y, TXeRGBBits* src1, int sx1, int sy1, TXeRGBBits* src2, int sx2, int sy2,
                            int w, int h, int level)
{
    if (!FCreated)
        return false;
    if (level == 0)
        return Draw(x, y, src1, sx1, sy1, w, h);
    if (level == 128)
        return Draw(x, y, src2, sx2, sy2, w, h);
    if (level < 0 || level > 128 || !Compatible(*this, src1) || !Compatible(*this, src2))
        return false;
    TDrawArea area(x, y, w, h);
    const int first = area.CutSource(sx1, sy1, src1->Width(), src1->Height());
    const int second = area.CutSource(sx2, sy2, src2->Width(), src2->Height());
    if (!area.Apply())
        return true;
    return DrawFromSources(*this, area, {src1, src2}, [&] {
        return XeAlphaBlend(area.X(), area.Y(), area.W(), area.H(), SourcePixel(*src1, area.SX(first), area.SY(first)),
                            src1->Pitch(), SourcePixel(*src2, area.SX(second), area.SY(second)), src2->Pitch(),
                            level);
    });
}

bool TXeRGBBits::AlphaBlend(int x, int y, TXeRGBBits* src, int sx, int sy, int w, int h, int level)
{
    if (level == 0)
        return true;
    if (level == 128)
        return Draw(x, y, src, sx, sy, w, h);
    return AlphaBlend(x, y, this, x, y, src, sx, sy, w, h, level);
}

namespace {

using TSaturateMember = bool (TXeRGBBits::*)(int, int, int, int, const void*, int);

bool Saturate(TXeRGBBits& dst, TSaturateMember op, int x, int y, TXeRGBBits* src, int sx, int sy, int w, int h)
{
    if (!dst.Created() || !Compatible(dst, src))
        return false;
    return DrawFromSource(dst, x, y, w, h, *src, sx, sy, [&](const TDrawArea& area, const std::uint8_t* pixel) {
        return (dst.*op)(area.X(), area.Y(), area.W(), area.H(), pixel, src->Pitch());
    });
}

}  // namespace

bool TXeRGBBits::SaturationAdd(int x, int y, TXeRGBBits* src, int sx, int sy, int w, int h)
{
    return Saturate(*this, &TXeRGBBits::XeSaturationAdd, x, y, src, sx, sy, w, h);
}

bool TXeRGBBits::SaturationSub(int x, int y, TXeRGBBits* src, int sx, int sy, int w, int h)
{
    return Saturate(*this, &TXeRGBBits::XeSaturationSub, x, y, src, sx, sy, w, h);
}

namespace {

// The source rectangle clipped to the source and to the alpha map that lies over it.
bool ClipToSourceAndMask(TDrawArea& area, const TXeRGBBits& src, const TXeAlpha& mask)
{
    area.Cut(0, src.Width(), src.Height());
    area.Cut(0, mask.Width(), mask.Height());
    return area.Apply();
}

}  // namespace

bool TXeRGBBits::DrawAlphaMask(int x, int y, TXeRGBBits* src, int sx, int sy, int w, int h, const TXeAlpha* mask)
{
    if (!FCreated || !Usable(src) || !Usable(mask))
        return false;
    TDrawArea area(x, y, w, h);
    area.AddSource(sx, sy);
    if (!ClipToSourceAndMask(area, *src, *mask))
        return true;
    return DrawFromSources(*this, area, {src}, [&] {
        return XeAlphaMask(area.X(), area.Y(), area.W(), area.H(), SourcePixel(*src, area.SX(0), area.SY(0)),
                           src->Pitch(), src->PixFormat(), MaskValue(*mask, area.SX(0), area.SY(0)), mask->Pitch());
    });
}

bool TXeRGBBits::DrawAlphaMask(int x, int y, TXeRGBBits* src, int sx, int sy, int w, int h)
{
    if (!FCreated || !Usable(src))
        return false;
    return DrawFromSource(*this, x, y, w, h, *src, sx, sy, [&](const TDrawArea& area, const std::uint8_t* pixel) {
        return XeAlphaMask(area.X(), area.Y(), area.W(), area.H(), pixel, src->Pitch(), src->PixFormat());
    });
}

bool TXeRGBBits::DrawAlphaMask(int x, int y, TXeRGBBits* src1, int sx1, int sy1, TXeRGBBits* src2, int sx2, int sy2,
                               int w, int h, const TXeAlpha* mask)
{
    if (!FCreated || !Usable(src1) || !Usable(src2) || !Usable(mask))
        return false;
    // src2 is read in src1's layout: a source of another pixel size would be read past its rows.
    if (PixFormatBytes(src1->PixFormat()) != PixFormatBytes(src2->PixFormat()))
        return false;
    TDrawArea area(x, y, w, h);
    const int first = area.CutSource(sx1, sy1, src1->Width(), src1->Height());
    const int second = area.AddSource(sx2, sy2);
    if (!area.Apply())
        return true;
    area.Cut(second, src2->Width(), src2->Height());
    area.Cut(second, mask->Width(), mask->Height());
    if (!area.Apply())
        return true;
    return DrawFromSources(*this, area, {src1, src2}, [&] {
        return XeAlphaMask(area.X(), area.Y(), area.W(), area.H(), SourcePixel(*src1, area.SX(first), area.SY(first)),
                           src1->Pitch(), SourcePixel(*src2, area.SX(second), area.SY(second)), src2->Pitch(),
                           src1->PixFormat(), MaskValue(*mask, area.SX(second), area.SY(second)), mask->Pitch());
    });
}

bool TXeRGBBits::DrawDoubleAlphaMask(int x, int y, TXeRGBBits* src, int sx, int sy, int w, int h,
                                     const TXeAlpha* mask, int level)
{
    if (!FCreated || !Usable(src) || !Usable(mask))
        return false;
    if (level == 0)
        return true;
    if (level == 128)
        return DrawAlphaMask(x, y, src, sx, sy, w, h, mask);
    if (level < 0 || level > 128)
        return false;
    TDrawArea area(x, y, w, h);
    area.AddSource(sx, sy);
    if (!ClipToSourceAndMask(area, *src, *mask))
        return true;
    return DrawFromSources(*this, area, {src}, [&] {
        return XeDoubleAlphaMask(area.X(), area.Y(), area.W(), area.H(), SourcePixel(*src, area.SX(0), area.SY(0)),
                                 src->Pitch(), src->PixFormat(), MaskValue(*mask, area.SX(0), area.SY(0)),
                                 mask->Pitch(), level);
    });
}
