// TScreenTransition: the drawing routines of the kinds. D is the destination, S the source (the work
// picture of kinds 7 to 12), T the target; "blend X toward Y at L" is X + (Y - X) x L / 128.
#include "shell/transition/TScreenTransition.h"

#include "graphics/bitmaps/TXeAlpha.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "shell/helpers/StretchRect.h"
#include "shell/transition/ScreenPictures.h"

#include <algorithm>
#include <array>

namespace {

using ScreenPictures::IsScreenPicture;
using ScreenPictures::LockedPixels;
using ScreenPictures::PixelBytes;
using ScreenPictures::ShowWhole;

constexpr int kW = TScreenTransition::kWidth;
constexpr int kH = TScreenTransition::kHeight;
constexpr int kFullLevel = 128;

// The trail of the zoom and shrink kinds: the destination keeps three quarters of itself.
constexpr int kTrailLevel = 32;

// Water: the cross-over steps 32 to 38 blend the source toward the target at these levels.
constexpr int kWaterFirstBlendStep = 32;
constexpr int kWaterLastBlendStep = 38;
constexpr std::array<int, 7> kWaterBlendLevels = {16, 18, 21, 26, 32, 43, 64};
constexpr int kWaterMaxAmplitude = 31;
constexpr int kWaterEndStep = 70;
constexpr int kWaterPhasePerStep = 8;

// Halo: the darkening tone, the steps 2 to 4 toward the darkened source, the first sprite step and
// the sprites' speeds in load order.
constexpr std::uint32_t kHalfTone = 0x404040;
constexpr std::array<int, 3> kHaloDarkenLevels = {43, 64, 128};
constexpr int kHaloFlightStep = 5;
constexpr std::array<int, THaloEffect::kSpriteCount> kHaloSpeeds = {240, 84, 366, 160, 292};

// The inset of step n: (4n, 3n) from each edge.
struct Inset {
    int x, y, w, h;
};
constexpr Inset InsetOf(int n)
{
    return {4 * n, 3 * n, kW - 8 * n, kH - 6 * n};
}

using TStretch = void(const std::uint8_t*, int, int, int, std::uint8_t*, int, int, int);

// The 3:1 trail blend and the nearest-neighbour copy for the pictures' pixel size.
TStretch* StretchBlendFor(int bytes)
{
    return bytes == 4 ? StretchBlendRect32 : StretchBlendRect24;
}
TStretch* StretchCopyFor(int bytes)
{
    return bytes == 4 ? StretchRect32 : StretchRect16;
}

// Blends the destination toward the picture.
void BlendToward(TXeRGBBits* dest, TXeRGBBits* picture, int level)
{
    dest->AlphaBlend(0, 0, picture, 0, 0, kW, kH, level);
}

} // namespace

bool TScreenTransition::RawPixelsAgree(TXeRGBBits* dest) const
{
    const int bytes = PixelBytes(FSource);
    return (bytes == 3 || bytes == 4) && IsScreenPicture(dest) && PixelBytes(dest) == bytes &&
           (FTarget == nullptr || !FTarget->Created() || PixelBytes(FTarget) == bytes);
}

bool TScreenTransition::DrawValue(TXeRGBBits* dest, int value)
{
    // The zooms and the water read raw pixels of one size; pictures of another depth show the
    // target and end.
    if (FKind >= 7 && FKind <= 11 && !RawPixelsAgree(dest)) {
        Finish(dest);
        return false;
    }
    if (value == 0) {
        ShowWhole(dest, FSource);
        return true;
    }
    switch (FKind) {
    case 0:
    case 1:
    case 2: return DrawCrossFade(dest, value);
    case 3:
    case 4:
    case 5:
    case 6: return DrawPush(dest, value);
    case 11: return DrawWater(dest, value);
    case 12: return DrawHalo(dest, value);
    case 13:
    case 14: return DrawMask(dest, value);
    default: return DrawZoom(dest, value);
    }
}

bool TScreenTransition::DrawCrossFade(TXeRGBBits* dest, int level)
{
    dest->AlphaBlend(0, 0, FSource, 0, 0, FTarget, 0, 0, kW, kH, std::min(level, kFullLevel));
    return true;
}

bool TScreenTransition::DrawPush(TXeRGBBits* dest, int value)
{
    switch (FKind) {
    case 3: { // up: the target enters from the bottom
        const int d = std::min(3 * value, kH);
        dest->Draw(0, 0, FSource, 0, d, kW, kH - d);
        dest->Draw(0, kH - d, FTarget, 0, 0, kW, d);
        break;
    }
    case 4: { // down
        const int d = std::min(3 * value, kH);
        dest->Draw(0, d, FSource, 0, 0, kW, kH - d);
        dest->Draw(0, 0, FTarget, 0, kH - d, kW, d);
        break;
    }
    case 5: { // right
        const int d = std::min(4 * value, kW);
        dest->Draw(d, 0, FSource, 0, 0, kW - d, kH);
        dest->Draw(0, 0, FTarget, kW - d, 0, d, kH);
        break;
    }
    default: { // left
        const int d = std::min(4 * value, kW);
        dest->Draw(0, 0, FSource, d, 0, kW - d, kH);
        dest->Draw(kW - d, 0, FTarget, 0, 0, d, kH);
        break;
    }
    }
    return true;
}

bool TScreenTransition::DrawZoom(TXeRGBBits* dest, int step)
{
    const int bytes = PixelBytes(FSource);
    TXeRGBBits* target = IsScreenPicture(FTarget) ? FTarget : nullptr;
    const LockedPixels s(FSource);
    const LockedPixels d(dest);
    if (!s.Ok() || !d.Ok())
        return true;
    const Inset in = InsetOf(step);
    switch (FKind) {
    case 7: // zoom in: the source's centre enlarged over the trail, then the source fades to the target
        StretchBlendFor(bytes)(s.At(in.x, in.y), in.w, in.h, s.Pitch(), d.At(0, 0), kW, kH, d.Pitch());
        if (target == nullptr)
            FSource->Draw(0, 0, dest, 0, 0, kW, kH);
        else if (4 * step <= kFullLevel)
            FSource->AlphaBlend(0, 0, dest, 0, 0, target, 0, 0, kW, kH, 4 * step);
        break;
    case 8: { // zoom in while the target grows from the centre
        StretchBlendFor(bytes)(d.At(in.x, in.y), in.w, in.h, d.Pitch(), s.At(0, 0), kW, kH, s.Pitch());
        if (target != nullptr) {
            const LockedPixels t(target);
            const Inset grow = InsetOf(20 - step);
            if (t.Ok())
                StretchCopyFor(bytes)(t.At(0, 0), kW, kH, t.Pitch(), s.At(grow.x, grow.y), grow.w, grow.h, s.Pitch());
        }
        BlendToward(dest, FSource, std::max(16, 8 * step - 32));
        break;
    }
    case 9: // shrink: the whole source drawn smaller over the trail
        if (target != nullptr)
            BlendToward(dest, target, kTrailLevel);
        StretchBlendFor(bytes)(s.At(0, 0), kW, kH, s.Pitch(), d.At(in.x, in.y), in.w, in.h, d.Pitch());
        FSource->Draw(0, 0, dest, 0, 0, kW, kH);
        break;
    default: // 10: the target zooming out of its centre, then settling
        if (step < 16) {
            const Inset out = InsetOf(16 - step);
            if (target != nullptr) {
                const LockedPixels t(target);
                if (t.Ok())
                    StretchBlendFor(bytes)(t.At(out.x, out.y), out.w, out.h, t.Pitch(), s.At(0, 0), kW, kH, s.Pitch());
            }
            BlendToward(dest, FSource, kTrailLevel);
            FSource->Draw(0, 0, dest, 0, 0, kW, kH);
        } else if (target != nullptr) {
            BlendToward(dest, target, kTrailLevel);
        }
        break;
    }
    return true;
}

bool TScreenTransition::DrawWater(TXeRGBBits* dest, int step)
{
    if (!FWaterEffect.Loaded()) {
        Finish(dest);
        return false;
    }
    TXeRGBBits* picture = FSource;
    int amplitude = step;
    if (step >= kWaterFirstBlendStep && step <= kWaterLastBlendStep) {
        BlendToward(FSource, FTarget, kWaterBlendLevels[static_cast<std::size_t>(step - kWaterFirstBlendStep)]);
        amplitude = kWaterMaxAmplitude;
    } else if (step > kWaterLastBlendStep) {
        picture = FTarget;
        amplitude = kWaterEndStep - step;
    }
    const LockedPixels s(picture);
    const LockedPixels d(dest);
    if (!s.Ok() || !d.Ok())
        return true;
    const int phase = kWaterPhasePerStep * step;
    if (PixelBytes(picture) == 4)
        FWaterEffect.Draw32(s.At(0, 0), kW, amplitude, phase, d.Pitch(), d.At(0, 0), s.Pitch(), kH / 2, kW / 2, kH);
    else
        FWaterEffect.Draw(s.At(0, 0), kW, amplitude, phase, d.Pitch(), d.At(0, 0), s.Pitch(), kH / 2, kW / 2, kH);
    return true;
}

bool TScreenTransition::DrawHalo(TXeRGBBits* dest, int step)
{
    if (!FHaloEffect.Loaded()) {
        Finish(dest);
        return false;
    }
    if (step == 1) {
        FSource->ToneChange(0, 0, kW - 1, kH - 1, kHalfTone);
        TXeRGBBits* back = FHaloEffect.Back();
        FSource->SaturationAdd(0, 0, back, 0, 0, back->Width(), back->Height());
        BlendToward(dest, FSource, kTrailLevel);
        return true;
    }
    if (step < kHaloFlightStep) {
        BlendToward(dest, FSource, kHaloDarkenLevels[static_cast<std::size_t>(step - 2)]);
        return true;
    }
    if (IsScreenPicture(FTarget))
        dest->AlphaBlend(0, 0, FSource, 0, 0, FTarget, 0, 0, kW, kH, 4 * step - 20);
    else
        dest->Draw(0, 0, FSource, 0, 0, kW, kH);
    // The sprites fly out from the top-left corner along the screen's diagonal.
    for (int k = 0; k < THaloEffect::kSpriteCount; ++k) {
        TXeRGBBits* sprite = FHaloEffect.Sprite(k);
        const int distance = kHaloSpeeds[static_cast<std::size_t>(k)] * (step - kHaloFlightStep) / 32;
        const int x = 4 * distance / 3 - sprite->Width() / 2;
        const int y = distance - sprite->Height() / 2;
        dest->SaturationAdd(x, y, sprite, 0, 0, sprite->Width(), sprite->Height());
    }
    return true;
}

bool TScreenTransition::DrawMask(TXeRGBBits* dest, int value)
{
    if (!FMaskEffect.Loaded()) {
        Finish(dest);
        return false;
    }
    if (FKind == 14)
        FMaskEffect.ExtractLevel(value);
    else if (value < 255)
        FMaskEffect.SubLevel(255 - value);
    else
        FMaskEffect.AddLevel(std::max(0, value - 256));
    const TXeAlpha* mask = FMaskEffect.WorkMask();
    const int w = std::min(kW, mask->Width());
    const int h = std::min(kH, mask->Height());
    dest->DrawAlphaMask(0, 0, FSource, 0, 0, FTarget, 0, 0, w, h, mask);
    // Outside a mask smaller than the screen the wipe is over: the target shows.
    if (w < kW)
        dest->Draw(w, 0, FTarget, w, 0, kW - w, kH);
    if (h < kH)
        dest->Draw(0, h, FTarget, 0, h, w, kH - h);
    return true;
}
