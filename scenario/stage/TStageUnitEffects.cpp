// TStageUnit: the per-frame animation of pages, weather and characters, the shakes and the white
// flash, and the drawing events of the stage's panels.
#include "scenario/stage/TStageUnit.h"

#include "graphics/bitmaps/TXeAlpha.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "shell/config/TUserConfig.h"

namespace {

constexpr int kStageH = 480;
constexpr int kOpaque = 128;
constexpr int kFlashKind = 1;

} // namespace

void TStageUnit::StepAnimations(int frames)
{
    StepBackground(0, frames);
    if (FScene2BG == 1 && FBG[1].Loaded)
        StepBackground(1, frames);
    for (int slot = 0; slot < 3; ++slot) {
        const auto k = static_cast<std::size_t>(slot);
        const TEntryStep blink = StepBlink(FChr[kSetCurrent][k], random_);
        if (blink.changed) {
            FlagEntry(kSetCurrent, slot, blink.before);
            FlagEntry(kSetCurrent, slot, blink.after);
        }
        StepCharacterSet(kSetCurrent, slot);
        if (FScene2Char[k] == 1 && FChr[kSetScene2][k].Loaded)
            StepCharacterSet(kSetScene2, slot);
        if (FChr[kSetOutgoing][k].Loaded)
            StepCharacterSet(kSetOutgoing, slot);
    }
}

void TStageUnit::StepCharacterSet(int set, int slot)
{
    TCharStat& b = FChr[static_cast<std::size_t>(set)][static_cast<std::size_t>(slot)];
    for (int entry = 0; entry < kEntryCount; ++entry) {
        const TEntryStep step = StepEntry(b, entry);
        if (step.changed) {
            FlagEntry(set, slot, step.before);
            FlagEntry(set, slot, step.after);
        }
    }
}

void TStageUnit::StepBackground(int block, int frames)
{
    TBGStat& b = FBG[static_cast<std::size_t>(block)];
    if (StepPages(b)) {
        if (block == 0)
            Panel(pnBG)->SetModify();
        if ((block == 0 && FScene2BG == 0) || (block == 1 && FScene2BG == 1))
            Panel(pnBG2)->SetModify();
    }
    FlagWeather(block, UpdateWeather(b, frames, random_));
}

// A block's changed layers are flagged on its panels: block 0 on BGPanel's, and on BGPanel2's while
// that shows block 0 too; block 1 only on BGPanel2's while it shows block 1.
void TStageUnit::FlagWeather(int block, const TWeatherChange& change)
{
    const bool second = FScene2BG == block && FBG[static_cast<std::size_t>(block)].Loaded;
    for (bool front : {false, true}) {
        if (!(front ? change.front : change.back))
            continue;
        if (block == 0)
            WeatherPanel(front, false)->SetModify();
        if (second)
            WeatherPanel(front, true)->SetModify();
    }
}

void TStageUnit::ShowWeatherPanels(int kind, TXeRGBPanel* back, TXeRGBPanel* front)
{
    back->SetVisible(WeatherShowsBack(kind));
    front->SetVisible(WeatherShowsFront(kind));
    for (TXeRGBPanel* p : {back, front})
        if (p->Visible())
            p->SetModify();
}

bool TStageUnit::StartEffect(int kind)
{
    if (kind < kShakeVertical || kind > kEffectFlash)
        return IsChanging();
    EndRunningChange();
    FEffectKind = kind;
    FEffectCounter = 0;
    if (kind == kEffectFlash) {
        FSimpleSnap = config_.SimpleDisplay != 0;
        if (StartFlashHalf(false))
            FState = stEffect;
        return IsChanging();
    }
    FState = stEffect;
    ShakeStep(kind, 0, random_, FShake);
    Panel(pnStage)->SetModify();
    return IsChanging();
}

// A shake moves every second update; skip ends it with no offset.
void TStageUnit::UpdateShake(bool skip)
{
    ++FEffectCounter;
    if ((FEffectCounter % 2 == 0 || skip) && (!ShakeStep(FEffectKind, FEffectCounter / 2, random_, FShake) || skip)) {
        FState = stIdle;
        FShake = {};
    }
    Panel(pnStage)->SetModify();
}

// The flash: a fast cross-fade from the stage to white, then one from white back to the stage,
// the scene moving on in the stage's side of each; skip ends it at once.
void TStageUnit::UpdateFlash(int frames, bool skip)
{
    if (!skip && !FTransition.IsDone()) {
        if (!FSimpleSnap)
            RenderScene(Panel(pnBG), FEffectCounter == 0 ? FFrom : FTo);
        FTransition.Advance(frames);
        return;
    }
    if (!skip && FEffectCounter == 0) {
        FEffectCounter = 1;
        if (StartFlashHalf(true))
            return;
    } else {
        EndTransition();
    }
    FState = stIdle;
    Panel(pnBG)->SetModify();
}

// New pictures, the stage rendered into one and the other white, and the cross-fade between them
// started (toward white, or back to the stage); false, with both pictures deleted, when it does not
// start.
bool TStageUnit::StartFlashHalf(bool backToStage)
{
    MakeTransitionPictures();
    TXeRGBBits* white = backToStage ? FFrom : FTo;
    RenderScene(Panel(pnBG), backToStage ? FTo : FFrom);
    white->BoxFill(0, 0, white->Width() - 1, white->Height() - 1, white->TXeRGBtoPixel(TXeRGB(0xFF, 0xFF, 0xFF)));
    if (FTransition.StartDefault(kFlashKind, FFrom, FTo))
        return true;
    EndTransition();
    return false;
}

void TStageUnit::AssignDrawEvents()
{
    Panel(pnBG)->OnDraw = [this](TObject*, TXeRGBBits* d, int x, int y, int sx, int sy, int w, int h) {
        return DrawBackground(0, d, x, y, sx, sy, w, h);
    };
    Panel(pnBG2)->OnDraw = [this](TObject*, TXeRGBBits* d, int x, int y, int sx, int sy, int w, int h) {
        return DrawBackground(FScene2BG, d, x, y, sx, sy, w, h);
    };
    for (bool second : {false, true})
        for (bool front : {false, true})
            WeatherPanel(front, second)->OnDraw = [this, second, front](TObject*, TXeRGBBits* d, int x, int y, int sx,
                                                                        int sy, int w, int h) {
                const TBGStat& b = FBG[second ? static_cast<std::size_t>(FScene2BG) : 0];
                const TXeRect area = XeRect(x, y, x + w, y + h);
                front ? DrawWeatherFront(b, d, area, x - sx, y - sy, FSnow)
                      : DrawWeatherBack(b, d, area, x - sx, y - sy, FSnow);
                return true;
            };
    for (int row = 0; row < 3; ++row)
        for (int slot = 0; slot < 3; ++slot)
            CharPanel(row, slot)->OnDraw = [this, row, slot](TObject*, TXeRGBBits* d, int x, int y, int sx, int sy,
                                                             int w, int h) {
                return DrawCharacter(row, slot, d, x, y, sx, sy, w, h);
            };
    Panel(pnStage)->OnDraw = [this](TObject*, TXeRGBBits* d, int x, int y, int sx, int sy, int w, int h) {
        return DrawStage(d, x, y, sx, sy, w, h);
    };
}

bool TStageUnit::DrawBackground(int block, TXeRGBBits* dest, int x, int y, int sx, int sy, int w, int h)
{
    const TBGStat& b = FBG[static_cast<std::size_t>(block)];
    if (b.Picture != nullptr && b.Picture->Created())
        dest->ClipDraw(x, y, b.Picture, sx, sy + kStageH * b.Page, w, h);
    return true;
}

// The entries of the row's character set at its opacity: through the sheet's alpha plane when it
// has one, else opaque; blended below full opacity.
bool TStageUnit::DrawCharacter(int row, int slot, TXeRGBBits* dest, int x, int y, int sx, int sy, int w, int h)
{
    const auto k = static_cast<std::size_t>(slot);
    if (row == 1 && FState != stMotion)
        return false;
    const int set = row == 0 ? kSetCurrent : row == 1 ? kSetOutgoing : FScene2Char[k];
    const int opacity = row == 1 ? FOutOpacity[k] : FOpacity[k];
    const TCharStat& b = FChr[static_cast<std::size_t>(set)][k];
    if (opacity <= 0 || b.Picture == nullptr || !b.Picture->Created())
        return true;
    const bool masked = b.Alpha != nullptr && b.Alpha->Created();
    const TXeRect area = XeRect(sx, sy, sx + w, sy + h);
    for (int entry = 0; entry < kEntryCount; ++entry) {
        const TXeRect source = EntrySourceRect(b, entry);
        const TXeRect at = EntryPanelRect(b, entry);
        TXeRect part;
        if (source.IsRectEmpty() || !part.IntersectRect(at, area))
            continue;
        const int srcX = source.left + part.left - at.left, srcY = source.top + part.top - at.top;
        const int dx = x + part.left - sx, dy = y + part.top - sy;
        const int pw = part.right - part.left, ph = part.bottom - part.top;
        if (masked && opacity >= kOpaque)
            dest->DrawAlphaMask(dx, dy, b.Picture, srcX, srcY, pw, ph, b.Alpha);
        else if (masked)
            dest->DrawDoubleAlphaMask(dx, dy, b.Picture, srcX, srcY, pw, ph, b.Alpha, opacity);
        else if (opacity >= kOpaque)
            dest->ClipDraw(dx, dy, b.Picture, srcX, srcY, pw, ph);
        else
            dest->AlphaBlend(dx, dy, b.Picture, srcX, srcY, pw, ph, opacity);
    }
    return true;
}

bool TStageUnit::DrawStage(TXeRGBBits* dest, int x, int y, int sx, int sy, int w, int h)
{
    TXeRGBBits* picture = Panel(pnStage)->Image();
    if (FState != stEffect || FEffectKind == kEffectFlash || picture == nullptr)
        return false;
    DrawShaken(dest, x, y, picture, sx, sy, w, h, FShake);
    return true;
}
