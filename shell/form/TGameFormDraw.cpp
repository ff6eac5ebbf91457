// TGameForm: form states and their entries, the per-frame update, the compositor (panel tree or wait
// sign, frame-rate counter, software cursor, dirty-rectangle present), the full redraw and the
// movie draw, and the cursor operations.
#include "shell/form/TGameForm.h"

#include "base/util/TXeCriticalSection.h"
#include "graphics/display/TDDraw.h"
#include "graphics/panels/TXeRGBPanel.h"
#include "platform/classes/Exception.h"
#include "platform/classes/Format.h"
#include "platform/font/DeviceContext.h"
#include "platform/font/LogicalFont.h"
#include "shell/GameGlobals.h"
#include "shell/sound/GameSoundChannels.h"

#include <algorithm>
#include <mutex>

namespace {

const TXeRect kScreen = XeRect(0, 0, TGameForm::kScreenWidth, TGameForm::kScreenHeight);

// The frame-rate counter's box at the top right, and its darkening tone.
constexpr int kCounterX = 544;
constexpr int kCounterWidth = 96;
constexpr int kCounterHeight = 26;
constexpr std::uint32_t kCounterTone = 0x404040;

// The wait sign: header strip and step rows of "Wait.bmp", placed at the lower right.
constexpr int kWaitWidth = 240;
constexpr int kWaitHeaderHeight = 44;
constexpr int kWaitRowHeight = 28;
constexpr int kWaitX = 384;
constexpr int kWaitHeaderY = 392;
constexpr int kWaitRowY = 436;

// Frames that carry pulses per wait-sign step.
constexpr int kWaitDelay = 2;

bool DrawsPanels(std::uint8_t state)
{
    return state == fsMenu || state == fsMusic || state == fsAdventure;
}

bool IsLoading(std::uint8_t state)
{
    return state == fsLoading || state == fsLoadingKeep;
}

// The draw guard for one drawing: taken without waiting, released at the end of the scope.
class DrawGuardHold {
public:
    explicit DrawGuardHold(TXeCriticalSection* guard) : guard_(guard), held_(guard != nullptr && guard->Check()) {}
    ~DrawGuardHold()
    {
        if (held_)
            guard_->Release();
    }
    DrawGuardHold(const DrawGuardHold&) = delete;
    DrawGuardHold& operator=(const DrawGuardHold&) = delete;
    bool Held() const { return held_; }

private:
    TXeCriticalSection* guard_;
    bool held_;
};

// The state lock unless the logic thread holds it while it loads (states 6 and 7).
std::unique_lock<TCriticalSection> StateLockOutsideLoading(TCriticalSection& lock, std::uint8_t state)
{
    return IsLoading(state) ? std::unique_lock<TCriticalSection>(lock, std::defer_lock)
                            : std::unique_lock<TCriticalSection>(lock);
}

} // namespace

// ---- states ----

void TGameForm::SetState(std::uint8_t state)
{
    std::lock_guard lock(*FStateLock);
    FState = state;
}

void TGameForm::EnterState2()
{
    EnterState(fsMenu);
}

void TGameForm::EnterMusicState()
{
    EnterState(fsMusic);
}

void TGameForm::EnterAdventureState()
{
    EnterState(fsAdventure);
}

void TGameForm::EnterState7()
{
    EnterState(fsLoadingKeep);
}

void TGameForm::EnterStartState()
{
    EnterState(fsLoading);
}

void TGameForm::EnterState(std::uint8_t state)
{
    ShowRootPanel(true);
    if (FState == state)
        return;
    {
        std::lock_guard lock(*FStateLock);
        FRootPanel->StatusClear();
        FRootPanel->MouseEnter(FCursorX, FCursorY);
    }
    ClearInput();
    ResetFrameCounters();
    SetState(state);
    if (DrawsPanels(state)) {
        Redraw();
        return;
    }
    if (state == fsLoading) {
        FWaitStep = 0;
        FWaitDelay = 0;
        {
            std::lock_guard lock(*FDisplayLock);
            WaitDrawReady();
            // Without a back surface the display shows black anyway: nothing to clear.
            if (DirectX::TDSurface* back = FDisplay->BackSurface(); back != nullptr)
                back->Clear();
            FShownCursor.stale = true;
            FDisplay->SetModifyRect(kScreen);
            if (FPictures.workSurface != nullptr)
                FPictures.workSurface->Clear();
        }
        Redraw();
    }
    if (FResumeWaitThread)
        FResumeWaitThread();
}

void TGameForm::ShowRootPanel(bool visible)
{
    std::lock_guard lock(*FStateLock);
    FRootPanel->SetVisible(visible);
}

void TGameForm::AttachPanel(TXeRGBPanel* panel)
{
    std::lock_guard lock(*FStateLock);
    panel->SetParent(FRootPanel);
}

void TGameForm::DetachPanel(TXeRGBPanel* panel)
{
    std::lock_guard lock(*FStateLock);
    panel->SetParent(nullptr);
}

void TGameForm::RefreshHover()
{
    if (FState == fsMenu)
        return;
    FRootPanel->StatusClear();
    FRootPanel->MouseEnter(FCursorX, FCursorY);
}

// ---- hooks ----

void TGameForm::SetOnUpdate(TUpdateHook hook)
{
    std::lock_guard lock(FHookLock);
    FOnUpdate = std::move(hook);
}

void TGameForm::SetOnRedraw(TRedrawHook hook)
{
    std::lock_guard lock(FHookLock);
    FOnRedraw = std::move(hook);
}

void TGameForm::SetOnDraw(TDrawHook hook)
{
    std::lock_guard lock(FHookLock);
    FOnDraw = std::move(hook);
}

void TGameForm::SetOnMovieDraw(TMovieDrawHook hook)
{
    std::lock_guard lock(FHookLock);
    FOnMovieDraw = std::move(hook);
}

template <typename Hook> Hook TGameForm::CopyHook(const Hook& hook) const
{
    std::lock_guard lock(FHookLock);
    return hook;
}

// ---- update ----

void TGameForm::Update(int dp)
{
    ReplayInput();
    if (DrawsPanels(FState) && dp > 0)
        AnimatePanels(dp);
    CallUpdateHook(dp);
    if (FState == fsTransition)
        StepTransition(dp);
    if (dp > 0 && FSoundChannels != nullptr)
        FSoundChannels->GlideVolumes(dp);
}

void TGameForm::AnimatePanels(int dp)
{
    std::lock_guard lock(*FStateLock);
    for (int i = 0; i < dp; ++i)
        FRootPanel->Anime();
}

void TGameForm::CallUpdateHook(int dp)
{
    const TUpdateHook hook = CopyHook(FOnUpdate);
    if (!hook)
        return;
    try {
        hook(dp);
    } catch (const Exception&) {
        // A screen's failed step is dropped; the frame goes on. EGameEnd is not an Exception here:
        // it is raised only by the frame waits, never inside a frame.
    }
}

// ---- the per-frame draw ----

TXeRGBBits* TGameForm::DrawTarget() const
{
    if (FPictures.workSurface != nullptr)
        return FPictures.workSurface;
    return FDisplay->BackSurface();
}

bool TGameForm::WaitDrawReady()
{
    std::lock_guard lock(*FDisplayLock);
    const std::uint32_t start = FServices.tickCount();
    while (!(FDisplay->CanDraw() && FDisplay->CanFlip())) {
        if (FServices.tickCount() - start > 1000)
            return false;
        FServices.sleep(0);
    }
    return true;
}

bool TGameForm::MayPresent() const
{
    return WindowMode == 1 || FServices.applicationActive();
}

void TGameForm::ApplyFullRepaint()
{
    if (!FFullRepaintPending.exchange(false))
        return;
    FRootPanel->SetModify();
    FDisplay->SetModifyRect(kScreen);
}

void TGameForm::Draw(int dp)
{
    DrawGuardHold guard(FDrawGuard);
    if (!guard.Held())
        return;
    auto stateLock = StateLockOutsideLoading(*FStateLock, FState);
    std::lock_guard displayLock(*FDisplayLock);
    if (!WaitDrawReady())
        return;
    FFPSCounter.Tick(FServices.tickCount());
    TXeRGBBits* target = DrawTarget();
    if (target == nullptr)
        return;
    if (!IsLoading(FState))
        ApplyFullRepaint();
    TXeRectSet set;
    DrawPicture(target, set, dp);
    DrawCounter(target, &set);
    DrawCursor(target, &set);
    Present(set);
    RestoreOverlays(target);
}

void TGameForm::DrawPicture(TXeRGBBits* target, TXeRectSet& set, int dp)
{
    const std::uint8_t state = FState;
    if (const TDrawHook hook = CopyHook(FOnDraw)) {
        if (target->Lock()) {
            hook(target, &set);
            target->Unlock();
        }
    } else if (DrawsPanels(state)) {
        // A fresh set each frame: a hidden root leaves the set it is given untouched.
        TXeRectSet modified;
        FRootPanel->GetModifiedRectSet(modified);
        if (!modified.IsRectEmpty() && target->Lock()) {
            FRootPanel->Update(target);
            target->Unlock();
        }
        set.UnionRectSet(modified);
    } else if (state == fsTransition) {
        if (target->Lock()) {
            DrawTransition(target, &set);
            target->Unlock();
        }
    } else if (state == fsLoading) {
        if (dp > 0 && ++FWaitDelay >= kWaitDelay) {
            FWaitDelay = 0;
            FWaitStep = (FWaitStep + 1) % kWaitSteps;
            DrawWaitSign(target);
            set.UnionRect(kScreen);
        }
    }
    // States 1 and 7 draw nothing: the last picture stays.
}

void TGameForm::DrawWaitSign(TXeRGBBits* target)
{
    TXeRGBBits* wait = FPictures.waitBits;
    if (wait == nullptr)
        return;
    target->Draw(kWaitX, kWaitHeaderY, wait, 0, 0, kWaitWidth, kWaitHeaderHeight);
    target->Draw(kWaitX, kWaitRowY, wait, 0, kWaitHeaderHeight + kWaitRowHeight * FWaitStep, kWaitWidth,
                 kWaitRowHeight);
}

void TGameForm::DrawCounter(TXeRGBBits* target, TXeRectSet* set)
{
    if (ShowFPS == 0 || FPictures.counterBack == nullptr)
        return;
    FPictures.counterBack->Draw(0, 0, target, kCounterX, 0, kCounterWidth, kCounterHeight);
    target->ToneChange(kCounterX, 0, kScreenWidth - 1, kCounterHeight - 1, kCounterTone);
    const AnsiString text = Format("%2d FPS", FFPSCounter.GetFPS());
    void* handle = nullptr;
    if (FCounterFont != nullptr && target->GetDC(&handle)) {
        auto* dc = static_cast<DeviceContext*>(handle);
        const LogicalFont* previous = dc->SelectFont(FCounterFont.get());
        dc->SetBkMode(TRANSPARENT);
        TextExtent extent{};
        dc->GetTextExtentPoint32A(text.data(), static_cast<int>(text.size()), &extent);
        const int w = std::min(extent.cx, kCounterWidth);
        dc->SetTextColor(RGB(0, 0, 0));
        dc->TextOutA(kScreenWidth - 5 - w, 1, text.data(), static_cast<int>(text.size()));
        dc->SetTextColor(RGB(255, 255, 255));
        dc->TextOutA(kScreenWidth - 6 - w, 0, text.data(), static_cast<int>(text.size()));
        dc->SelectFont(previous);
        target->ReleaseDC(handle);
    }
    if (set != nullptr)
        set->UnionRect(XeRect(kCounterX, 0, kScreenWidth, kCounterHeight));
}

void TGameForm::DrawCursor(TXeRGBBits* target, TXeRectSet* set)
{
    const TPoint mouse = FServices.cursorPos();
    SetCursorPoint(mouse.x, mouse.y);
    const int kind = DrawnCursorKind();
    const bool drawn = kind >= 0;
    const TShownCursor& shown = FShownCursor;
    const bool changed = shown.stale || shown.x != FCursorX || shown.y != FCursorY || shown.kind != kind;
    // A moved or changed cursor presents the square it leaves and the one it takes; the picture
    // under an unchanged cursor is presented with the picture's own changes.
    if (set != nullptr && changed) {
        set->UnionRect(XeRect(shown.x, shown.y, shown.x + kCursorSize, shown.y + kCursorSize));
        if (drawn)
            set->UnionRect(XeRect(FCursorX, FCursorY, FCursorX + kCursorSize, FCursorY + kCursorSize));
    }
    if (!drawn)
        return;
    FPictures.cursorBack->ClipDraw(0, 0, target, FCursorX, FCursorY, kCursorSize, kCursorSize);
    target->DrawAlphaMask(FCursorX, FCursorY, FPictures.cursorBits, kCursorSize * FCursorKind, 0, kCursorSize,
                          kCursorSize, FPictures.cursorAlpha);
}

int TGameForm::DrawnCursorKind() const
{
    return FPictures.cursorBits != nullptr && FPictures.cursorBack != nullptr ? FCursorKind.load() : -1;
}

void TGameForm::RestoreOverlays(TXeRGBBits* target)
{
    if (DrawnCursorKind() >= 0)
        target->Draw(FCursorX, FCursorY, FPictures.cursorBack, 0, 0, kCursorSize, kCursorSize);
    if (ShowFPS != 0 && FPictures.counterBack != nullptr)
        target->Draw(kCounterX, 0, FPictures.counterBack, 0, 0, kCounterWidth, kCounterHeight);
}

void TGameForm::Present(TXeRectSet& set)
{
    set.IntersectRect(kScreen);
    // Nothing changed: no copy and no flip, so an unchanged screen costs the frame almost nothing.
    if (set.IsRectEmpty())
        return;
    DirectX::TDSurface* back = FDisplay->BackSurface();
    DirectX::TDSurface* work = FPictures.workSurface;
    if (work != nullptr && back != nullptr && back->Lock()) {
        for (const TXeRect& r : set)
            back->ConvertCopy(r.left, r.top, work, r.left, r.top, r.right - r.left, r.bottom - r.top);
        back->Unlock();
    }
    const bool presented = MayPresent();
    if (presented)
        FDisplay->FlipModifyRect(set);
    NoteCursorShown(presented);
}

void TGameForm::NoteCursorShown(bool presented)
{
    FShownCursor = {FCursorX, FCursorY, DrawnCursorKind(), !presented};
}

// ---- the full redraw ----

void TGameForm::Redraw()
{
    DrawGuardHold guard(FDrawGuard);
    if (!guard.Held())
        return;
    auto stateLock = StateLockOutsideLoading(*FStateLock, FState);
    std::lock_guard displayLock(*FDisplayLock);
    if (FState == fsClosing || !WaitDrawReady())
        return;
    FFPSCounter.Tick(FServices.tickCount());
    TXeRGBBits* target = DrawTarget();
    if (target == nullptr)
        return;
    const std::uint8_t state = FState;
    if (const TRedrawHook hook = CopyHook(FOnRedraw)) {
        if (target->Lock()) {
            hook(target);
            target->Unlock();
        }
    } else if (DrawsPanels(state)) {
        if (target->Lock()) {
            FRootPanel->Draw(target);
            target->Unlock();
        }
    } else if (state == fsLoading) {
        target->Cls();
        DrawWaitSign(target);
    } else if (state == fsTransition) {
        if (target->Lock()) {
            DrawTransition(target, nullptr);
            target->Unlock();
        }
    }
    DrawCounter(target, nullptr);
    DrawCursor(target, nullptr);
    PresentWhole();
    RestoreOverlays(target);
}

void TGameForm::PresentWhole()
{
    DirectX::TDSurface* back = FDisplay->BackSurface();
    if (FPictures.workSurface != nullptr && back != nullptr)
        back->ConvertCopy(0, 0, FPictures.workSurface, 0, 0, kScreenWidth, kScreenHeight);
    const bool presented = MayPresent();
    if (presented)
        FDisplay->Flip();
    NoteCursorShown(presented);
}

void TGameForm::DrawMovie()
{
    DrawGuardHold guard(FDrawGuard);
    if (!guard.Held())
        return;
    auto stateLock = StateLockOutsideLoading(*FStateLock, FState);
    std::lock_guard displayLock(*FDisplayLock);
    if (FState == fsClosing || !WaitDrawReady())
        return;
    FFPSCounter.Tick(FServices.tickCount());
    if (const TMovieDrawHook hook = CopyHook(FOnMovieDraw))
        hook(FDisplay->BackSurface());
    FShownCursor.stale = true; // the movie's picture covers the cursor
    if (MayPresent())
        FDisplay->Flip();
}

void TGameForm::DrawWaitScreenTo(TXeRGBBits* bitmap)
{
    std::lock_guard stateLock(*FStateLock);
    std::lock_guard displayLock(*FDisplayLock);
    bitmap->Cls();
    DrawWaitSign(bitmap);
}

// ---- the cursor ----

void TGameForm::SetCursorKind(int kind)
{
    std::lock_guard lock(*FDisplayLock);
    // Kinds outside the sheet's cells draw nothing.
    FCursorKind = kind >= -1 && kind < kCursorKinds ? kind : -1;
}

bool TGameForm::PushCursorKind()
{
    std::lock_guard lock(*FDisplayLock);
    const bool stored = FCursorDepth < kCursorStackDepth;
    if (stored)
        FCursorStack[static_cast<std::size_t>(FCursorDepth)] = FCursorKind;
    ++FCursorDepth;
    return stored;
}

bool TGameForm::PopCursorKind()
{
    std::lock_guard lock(*FDisplayLock);
    if (FCursorDepth <= 0)
        return false;
    --FCursorDepth;
    if (FCursorDepth >= kCursorStackDepth)
        return false;
    SetCursorKind(FCursorStack[static_cast<std::size_t>(FCursorDepth)]);
    return true;
}

void TGameForm::SetCursorPoint(int x, int y)
{
    const int hotSpot = FCursorKind >= 4 ? 15 : 0;
    FCursorX = x - hotSpot;
    FCursorY = y - hotSpot;
}

// The move a windowing system reports after a warp is queued here, so that hover and focus follow
// the warp alike headless and on desktops that refuse or do not report warps.
void TGameForm::SetMousePos(int x, int y)
{
    FServices.setCursorPos(x, y);
    PushInput(TInputRecord::MouseMove(0, x, y));
}
