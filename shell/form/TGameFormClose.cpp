// TGameForm: the window and full-screen switch, the close query with its quit question, the quit
// request from inside a frame, the close at the end of the game code, and the end of the message loop.
#include "shell/form/TGameForm.h"

#include "base/memory/TMemMan.h"
#include "graphics/display/TDDraw.h"
#include "graphics/panels/TXeRGBPanel.h"
#include "platform/classes/Application.h"
#include "platform/codepage/CodePage.h"
#include "shell/GameGlobals.h"
#include "shell/thread/TMainThread.h"

namespace {

// The quit question (GBK, six trailing spaces included), asked in a window only.
constexpr const char* kQuitQuestion = "确定要结束游戏？      ";

} // namespace

bool TGameForm::ChangeDisplayMode(bool window)
{
    bool result = false;
    SetRunning(false);
    {
        // No frame draws while the display is made again: the logic thread holds the state lock
        // outside its frame waits, and a frame's drawing holds the display lock.
        std::lock_guard stateLock(*FStateLock);
        std::lock_guard displayLock(*FDisplayLock);
        if (FDisplay->Enabled()) {
            NotifyDisplayListeners(true);
            MemMan->Delete(FPictures.workSurface);
            FDisplay->SetEnabled(false);
            const std::uint8_t previous = WindowMode;
            if (InitDisplay(window)) {
                FRootPanel->SetModify();
                FDisplay->SetModifyRect(XeRect(0, 0, kScreenWidth, kScreenHeight));
                result = true;
            } else {
                // The game ends now: the settings keep the mode that last worked.
                WindowMode = previous;
            }
            NotifyDisplayListeners(false);
        }
    }
    SetRunning(true);
    return result;
}

void TGameForm::RequestDisplayMode(int window)
{
    FServices.post([this, window] {
        if ((window != 0 && window != 1) || !Running() || window == WindowMode)
            return;
        if (!ChangeDisplayMode(window == 1))
            RequestQuit();
    });
}

bool TGameForm::FormCloseQuery()
{
    if (FState == fsClosing)
        return true;
    if (MainThread == nullptr) {
        SetState(fsClosing);
        return true;
    }
    if (WindowMode == 1) {
        const AnsiString& title = Application().Title;
        const int answer = Application().MessageBox(CodePage::FromUtf8(kQuitQuestion, CodePage::Gbk), title, mbOKCancel,
                                                    CodePage::Gbk);
        if (answer != idOK)
            return false;
    }
    // The game may have ended by itself while the question was open: ask only a thread that still runs.
    if (TMainThread* thread = MainThread)
        thread->Terminate();
    return false;
}

void TGameForm::RequestQuit()
{
    if (TMainThread* thread = MainThread) {
        thread->Terminate();
        return;
    }
    SetState(fsClosing);
    FServices.postClose();
}

void TGameForm::CloseGame()
{
    SetState(fsClosing);
    FServices.postClose();
}

void TGameForm::QuitMessageLoop()
{
    FServices.postQuit();
}
