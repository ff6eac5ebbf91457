// TGameForm: the screen transition it owns: starting one with fresh pictures (which the form then
// owns), stepping and drawing it, the whole-screen transition of state 8, copying the picture now
// shown, and loading and releasing the effects' data.
#include "shell/form/TGameForm.h"

#include "base/memory/TMemMan.h"
#include "graphics/display/TDDraw.h"
#include "graphics/panels/TXeRGBPanel.h"
#include "shell/GameGlobals.h"
#include "shell/thread/TMainThread.h"
#include "shell/transition/ScreenPictures.h"

#include <mutex>

namespace {

// Deletes a picture the form owns unless it is one of the two kept.
void DeleteUnlessKept(TXeRGBBits* picture, const TXeRGBBits* keep1, const TXeRGBBits* keep2)
{
    if (picture != nullptr && picture != keep1 && picture != keep2 && MemMan != nullptr)
        MemMan->Delete(picture);
}

// Gives a screen picture the pixel format of the surface the form draws on, keeping its picture.
// The screens make their pictures in the display's depth and the form draws in the game's, which
// differ on a display whose deepest mode is 16-bit; the transition kernels need the pictures and
// the surface alike, and would otherwise draw nothing until the target shows.
void MatchFormat(TXeRGBBits* picture, const TXeRGBBits* screen)
{
    using ScreenPictures::kHeight;
    using ScreenPictures::kWidth;
    if (!ScreenPictures::IsScreenPicture(picture) || screen == nullptr || !screen->Created() ||
        ChkFormatCompatible(picture->PixFormat(), screen->PixFormat()))
        return;
    TXeRGBBits converted(nullptr);
    converted.SetBitDepth(screen->BitDepth());
    converted.SetPixFormat(screen->PixFormat());
    if (!converted.Resize(kWidth, kHeight) || !converted.Create() ||
        !converted.ConvertCopy(0, 0, picture, 0, 0, kWidth, kHeight))
        return;
    picture->Release();
    picture->SetBitDepth(screen->BitDepth());
    picture->SetPixFormat(screen->PixFormat());
    if (picture->Create())
        picture->Draw(0, 0, &converted, 0, 0, kWidth, kHeight);
}

} // namespace

bool TGameForm::StartTransition(int kind, TXeRGBBits* from, TXeRGBBits* to, int speed)
{
    std::lock_guard lock(*FStateLock);
    TXeRGBBits* oldFrom = FTransition.Source();
    TXeRGBBits* oldTo = FTransition.Target();
    // A previous picture passed again as a new one stays alive.
    DeleteUnlessKept(oldFrom, from, to);
    if (oldTo != oldFrom)
        DeleteUnlessKept(oldTo, from, to);
    {
        std::lock_guard displayLock(*FDisplayLock);
        const TXeRGBBits* screen = DrawTarget();
        MatchFormat(from, screen);
        if (to != from)
            MatchFormat(to, screen);
    }
    if (FTransition.Start(kind, from, to, speed))
        return true;
    // The controller must not keep pointing at the pictures just deleted.
    FTransition.Reset();
    return false;
}

bool TGameForm::StartTransitionDefault(int kind, TXeRGBBits* from, TXeRGBBits* to)
{
    return StartTransition(kind, from, to, TScreenTransition::kDefaultSpeed);
}

void TGameForm::AdvanceTransition(int dp)
{
    FTransition.Advance(dp);
}

void TGameForm::DrawTransition(TXeRGBBits* target, TXeRectSet* set)
{
    FTransition.Draw(target, set);
}

void TGameForm::ResetTransition()
{
    TXeRGBBits* from = FTransition.Source();
    TXeRGBBits* to = FTransition.Target();
    FTransition.Reset();
    DeleteUnlessKept(from, nullptr, nullptr);
    DeleteUnlessKept(to, from, nullptr);
}

bool TGameForm::BeginTransition(int kind, TXeRGBBits* from, TXeRGBBits* to, int speed)
{
    std::lock_guard lock(*FStateLock);
    SetState(fsTransition);
    if (!StartTransition(kind, from, to, speed)) {
        SetState(fsRunning);
        return false;
    }
    ResetFrameCounters();
    Redraw();
    return true;
}

// Inside the frame's update in state 8: the frame after the last picture ends the transition and
// the fade's frame wait.
void TGameForm::StepTransition(int dp)
{
    if (IsTransitionDone()) {
        ResetTransition();
        SetState(fsRunning);
        SetThreadResult(0);
    } else {
        AdvanceTransition(dp);
    }
}

void TGameForm::CopyScreen(TXeRGBBits* bitmap)
{
    std::lock_guard stateLock(*FStateLock);
    std::lock_guard displayLock(*FDisplayLock);
    WaitDrawReady();
    TXeRGBBits* shown = DrawTarget();
    if (bitmap != nullptr && shown != nullptr)
        ScreenPictures::ShowWhole(bitmap, shown);
}

void TGameForm::DrawPanelTo(TXeRGBBits* bitmap)
{
    std::lock_guard lock(*FStateLock);
    if (bitmap != nullptr && bitmap->Lock()) {
        FRootPanel->Draw(bitmap);
        bitmap->Unlock();
    }
}

void TGameForm::LoadWaterEffect()
{
    FTransition.WaterEffect().Load(DataFileMan);
}

void TGameForm::ReleaseWaterEffect()
{
    FTransition.WaterEffect().Release();
}

void TGameForm::LoadHaloEffect()
{
    FTransition.HaloEffect().Load(DataFileMan, GameBitDepth);
}

void TGameForm::ReleaseHaloEffect()
{
    FTransition.HaloEffect().Release();
}

void TGameForm::LoadMaskEffect(const AnsiString& fileName)
{
    FTransition.MaskEffect().Load(DataFileMan, fileName);
}

void TGameForm::ReleaseMaskEffect()
{
    FTransition.MaskEffect().Release();
}

// At destruction, while the registry still lives.
void TGameForm::ReleaseTransitionData()
{
    ResetTransition();
    ReleaseWaterEffect();
    ReleaseHaloEffect();
    ReleaseMaskEffect();
}
