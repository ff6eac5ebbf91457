// TGameForm: ending the game: the quit request from inside a frame, the close at the end of the game
// code, and the end of the message loop.
#include "shell/form/TGameForm.h"

#include "shell/thread/TMainThread.h"

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
