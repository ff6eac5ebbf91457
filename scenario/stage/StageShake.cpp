#include "scenario/stage/StageShake.h"

#include "base/util/TRandom.h"
#include "graphics/bitmaps/TXeRGBBits.h"

namespace {

constexpr int kAmplitude = 16;

int Alternate(int step) { return step % 2 == 0 ? -kAmplitude : kAmplitude; }

void FillBlack(TXeRGBBits* dst, const TXeRect& r, int dx, int dy)
{
    if (!r.IsRectEmpty())
        dst->BoxFill(r.left + dx, r.top + dy, r.right - 1 + dx, r.bottom - 1 + dy, 0);
}

} // namespace

bool ShakeStep(int kind, int step, TRandom& random, TShakeOffset& offset)
{
    offset = {};
    switch (kind) {
    case kShakeVertical:
    case kShakeHorizontal:
        if (step > 8)
            return false;
        (kind == kShakeVertical ? offset.y : offset.x) = Alternate(step);
        return true;
    case kShakeRandom:
        if (step > 8)
            return false;
        offset.x = random.Random(3) * kAmplitude - kAmplitude;
        offset.y = random.Random(3) * kAmplitude - kAmplitude;
        return true;
    case kShakeDrop:
        if (step > 5)
            return false;
        offset.y = step < 4 ? -4 * step - 4 : step == 4 ? -32 : 32;
        return true;
    default: return true;
    }
}

void DrawShaken(TXeRGBBits* dst, int x, int y, TXeRGBBits* picture, int areaX, int areaY, int w, int h,
                TShakeOffset offset)
{
    const TXeRect area = XeRect(areaX, areaY, areaX + w, areaY + h);
    const TXeRect moved =
        XeRect(offset.x, offset.y, offset.x + picture->Width(), offset.y + picture->Height());
    const int dx = x - areaX, dy = y - areaY;
    TXeRect covered;
    if (!covered.IntersectRect(area, moved)) {
        FillBlack(dst, area, dx, dy);
        return;
    }
    dst->Draw(covered.left + dx, covered.top + dy, picture, covered.left - offset.x, covered.top - offset.y,
              covered.right - covered.left, covered.bottom - covered.top);
    FillBlack(dst, XeRect(area.left, area.top, area.right, covered.top), dx, dy);
    FillBlack(dst, XeRect(area.left, covered.bottom, area.right, area.bottom), dx, dy);
    FillBlack(dst, XeRect(area.left, covered.top, covered.left, covered.bottom), dx, dy);
    FillBlack(dst, XeRect(covered.right, covered.top, area.right, covered.bottom), dx, dy);
}
