// TGameForm: showing the form (sound, display, the form's pictures, the timer period, the frame
// threads), the display set-up in a window or full screen with its listeners, and hiding the form.
#include "shell/form/TGameForm.h"

#include "base/memory/TMemMan.h"
#include "base/util/TXeTimer.h"
#include "graphics/display/TDDraw.h"
#include "graphics/panels/TXeRGBPanel.h"
#include "platform/classes/Application.h"
#include "platform/classes/Event.h"
#include "platform/codepage/CodePage.h"
#include "platform/timer/TimerBackEnd.h"
#include "shell/GameGlobals.h"
#include "shell/helpers/PictureLoading.h"
#include "shell/sound/DSoundGameDevice.h"
#include "shell/sound/GameSoundChannels.h"
#include "shell/thread/TMainThread.h"
#include "shell/thread/TWaitThread.h"
#include "sound/TDSound.h"

#include <algorithm>
#include <exception>

namespace {

// Failure texts (Shift-JIS in the original, shown as such) and their caption.
constexpr const char* kSoundFailed = "DirectSoundの初期化に失敗しました。";
constexpr const char* kDisplayFailed = "DirectDrawの初期化に失敗しました。";
constexpr const char* kAskFullScreen = "ウィンドウモードでの初期化に失敗しました。\nフルスクリーンにしますか？";
constexpr const char* kError = "Error";

constexpr unsigned kShortTimerMs = 5;
constexpr int kCursorSheetWidth = TGameForm::kCursorSize * TGameForm::kCursorKinds;
constexpr int kCounterBackWidth = 96;
constexpr int kCounterBackHeight = 26;

// A bitmap of the depth, created at the size when one is given (else the picture drawn into it
// sizes it); null when it cannot be made.
TXeRGBBits* NewBits(TBitDepth depth, int width = 0, int height = 0)
{
    TXeRGBBits* bits = MemMan->CreateVCL<TXeRGBBits>();
    if (bits == nullptr)
        return nullptr;
    bits->SetBitDepth(depth);
    if (width == 0)
        return bits;
    bits->Resize(width, height);
    if (!bits->Create())
        MemMan->Delete(bits);
    return bits;
}

} // namespace

// ---- show ----

void TGameForm::FormShow()
{
    if (!FComplete || FShown)
        return;
    FShown = true;
    bool failed = false;
    try {
        failed |= !EnableSound();
        if (!InitDisplay(WindowMode == 1)) {
            // Without a display the program quits: the pictures would never be drawn.
            Fail(kDisplayFailed, kError);
            failed = true;
        } else {
            failed |= !LoadFormPictures();
        }
        FRootPanel->SetCreated(true);
        failed |= !FRootPanel->Created();
        UseShortTimerPeriod();
    } catch (const std::exception&) {
        failed = true;
    }
    if (failed) {
        QuitMessageLoop();
        return;
    }
    StartThreads();
}

bool TGameForm::EnableSound()
{
    FSound->SetEnabled(true);
    if (!FSound->Enabled()) {
        Fail(kSoundFailed, kError);
        return false;
    }
    FSoundDevice = std::make_unique<DSoundGameDevice>(FSound);
    FSoundChannels->SetDevice(FSoundDevice.get());
    return true;
}

bool TGameForm::LoadFormPictures()
{
    bool ok = true;
    std::lock_guard lock(*FDisplayLock);
    TFormPictures& p = FPictures;
    p.cursorBits = NewBits(GameBitDepth, kCursorSheetWidth, kCursorSize);
    p.cursorAlpha = MemMan->CreateVCL<TXeAlpha>();
    if (p.cursorAlpha != nullptr) {
        p.cursorAlpha->Resize(kCursorSheetWidth, kCursorSize);
        if (!p.cursorAlpha->Create())
            MemMan->Delete(p.cursorAlpha);
    }
    if (p.cursorBits != nullptr && p.cursorAlpha != nullptr)
        DrawImageFile(p.cursorBits, p.cursorAlpha, "Cursor.png", DataFileMan, 0, 0);
    else
        ok = false;
    const TPoint mouse = FServices.cursorPos();
    SetCursorPoint(mouse.x, mouse.y);
    FCursorKind = 0;
    FCursorDepth = 0;
    p.cursorBack = NewBits(GameBitDepth, kCursorSize, kCursorSize);
    p.counterBack = NewBits(GameBitDepth, kCounterBackWidth, kCounterBackHeight);
    ok &= p.cursorBack != nullptr && p.counterBack != nullptr;
    // The pictures' files are not required: a missing one leaves its bitmap empty.
    p.waitBits = NewBits(GameBitDepth);
    if (p.waitBits != nullptr)
        DrawImageFile(p.waitBits, nullptr, "Wait.bmp", DataFileMan, 0, 0);
    const struct {
        TXeRGBBits*& bits;
        TXeAlpha*& alpha;
        const char* file;
    } captures[] = {{p.capLogoBits, p.capLogoAlpha, "Cap_Logo.png"}, {p.capCopyBits, p.capCopyAlpha, "Cap_Copy.png"}};
    for (const auto& c : captures) {
        c.bits = NewBits(bd24);
        c.alpha = MemMan->CreateVCL<TXeAlpha>();
        if (c.bits != nullptr && c.alpha != nullptr)
            DrawImageFile(c.bits, c.alpha, c.file, DataFileMan, 0, 0);
        ok &= c.bits != nullptr && c.alpha != nullptr && p.waitBits != nullptr;
    }
    return ok;
}

void TGameForm::UseShortTimerPeriod()
{
    if (timer::GetCaps().periodMin > kShortTimerMs)
        return;
    FTimer->SetInterval(kShortTimerMs);
    FTimerPeriod = kShortTimerMs;
}

void TGameForm::StartThreads()
{
    SetState(fsRunning);
    FFPSCounter.Reset();
    FWaitThread = std::make_unique<TWaitThread>(*this);
    SetOnResumeWaitThread([thread = FWaitThread.get()] { thread->Resume(); });
    FTimer->SetEnabled(true);
    Redraw();
    try {
        FLogicThread = FLogicThreadFactory ? FLogicThreadFactory(*this) : std::make_unique<TMainThread>(*this);
    } catch (const std::exception&) {
        // The settings and the system save are read while the thread is made: without it nothing
        // would ever close the window, so everything started stops and the program quits.
        FTimer->SetEnabled(false);
        StopThreads();
        SetState(fsClosing);
        QuitMessageLoop();
        return;
    }
    MainThread = FLogicThread.get();
    FWaitThread->Start();
    FLogicThread->Start();
    SetRunning(true);
}

// ---- the display ----

bool TGameForm::InitDisplay(bool window)
{
    WindowMode = window ? 1 : 0;
    TBitDepth depth = DisplayBitDepth;
    if (window) {
        // The window needs a desktop larger than the picture in each direction.
        const video::Size desktop = Handle() != nullptr ? Handle()->DesktopSize() : video::Size{};
        const TBitDepth desktopDepth = FDisplay->DesktopBitDepth();
        const bool fits = desktop.width > kScreenWidth && desktop.height > kScreenHeight;
        depth = fits && (desktopDepth == bd16 || desktopDepth == bd24 || desktopDepth == bd32) ? desktopDepth : bdNone;
    }
    // Without a depth the display cannot start (the setter would keep the previous depth).
    if (depth != bdNone) {
        FDisplay->SetScreenSize(ss640x480);
        FDisplay->SetBitDepth(depth);
        FDisplay->SetFullScreen(!window);
        FDisplay->SetBackType(DirectX::btSystem);
        FDisplay->SetTripleBuffer(true);
        FDisplay->NoVSync = FFPSMode == fpsNoSync;
        FDisplay->SetEnabled(true);
    }
    if (!FDisplay->Enabled()) {
        if (!window)
            return false;
        const int answer = Application().MessageBox(CodePage::FromUtf8(kAskFullScreen, CodePage::ShiftJis), kError,
                                                    mbOKCancel, CodePage::ShiftJis);
        return answer == idOK && InitDisplay(false);
    }
    return CreateWorkSurface();
}

bool TGameForm::CreateWorkSurface()
{
    if (!(WindowMode == 1 || FDisplay->BitDepth() != GameBitDepth))
        return true;
    const bool deep = GameBitDepth == bd32;
    FPictures.workSurface =
        FDisplay->CreateSurface(deep ? bd32 : bd24, deep ? pf32_888 : pf24_888, kScreenWidth, kScreenHeight, false);
    if (FPictures.workSurface == nullptr)
        return false;
    MemMan->AddPtr(FPictures.workSurface);
    return true;
}

void TGameForm::AddDisplayListener(const void* owner, TDisplayMethod method)
{
    if (!method)
        return;
    std::lock_guard lock(FListenerLock);
    FDisplayListeners.push_back({owner, std::move(method)});
}

void TGameForm::RemoveDisplayListener(const void* owner)
{
    std::lock_guard lock(FListenerLock);
    const auto it = std::find_if(FDisplayListeners.begin(), FDisplayListeners.end(),
                                 [owner](const TListenerEntry& e) { return e.owner == owner; });
    if (it != FDisplayListeners.end())
        FDisplayListeners.erase(it);
}

TGameForm::TDisplayMethod TGameForm::ListenerAt(std::size_t i) const
{
    std::lock_guard lock(FListenerLock);
    return i < FDisplayListeners.size() ? FDisplayListeners[i].method : TDisplayMethod{};
}

void TGameForm::NotifyDisplayListeners(bool before)
{
    // Each call works on a copy, so a listener may remove itself.
    for (std::size_t i = 0;; ++i) {
        const TDisplayMethod method = ListenerAt(i);
        if (!method)
            return;
        method(FDisplay, before);
    }
}

// ---- hide ----

void TGameForm::FormHide()
{
    if (!FShown || FHidden)
        return;
    FHidden = true;
    SetRunning(false);
    SetState(fsClosing);
    FTimer->SetEnabled(false);
    StopThreads();
    {
        std::lock_guard lock(*FStateLock);
        FRootPanel->SetCreated(false);
    }
    {
        std::lock_guard lock(*FDisplayLock);
        ReleaseFormPictures();
        ResetTransition();
        MemMan->Delete(FPictures.workSurface);
        FDisplay->SetEnabled(false);
        FSoundChannels->SetDevice(nullptr);
        FSoundDevice.reset();
        FSound->SetEnabled(false);
    }
    QuitMessageLoop();
}

void TGameForm::StopThreads()
{
    if (FLogicThread != nullptr) {
        FLogicThread->Terminate();
        {
            // The thread may be parked or waiting for a pulse inside a frame wait.
            std::lock_guard lock(*FStateLock);
            FLogicThread->Resume();
            PulseFrameEvent();
        }
        FLogicThread->WaitFor();
        MainThread = nullptr;
        FLogicThread.reset();
    }
    if (FWaitThread != nullptr) {
        FWaitThread->Stop();
        PulseFrameEvent();
        FWaitThread->WaitFor();
        SetOnResumeWaitThread({});
        FWaitThread.reset();
    }
}

void TGameForm::ReleaseFormPictures()
{
    TFormPictures& p = FPictures;
    for (TXeRGBBits** bits : {&p.cursorBits, &p.cursorBack, &p.counterBack, &p.capLogoBits, &p.capCopyBits, &p.waitBits})
        MemMan->Delete(*bits);
    for (TXeAlpha** alpha : {&p.cursorAlpha, &p.capLogoAlpha, &p.capCopyAlpha})
        MemMan->Delete(*alpha);
}
