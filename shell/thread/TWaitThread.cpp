#include "shell/thread/TWaitThread.h"

#include "shell/form/TGameForm.h"

bool TWaitThread::Loading() const
{
    const std::uint8_t state = form_.GetState();
    return state == fsLoading || state == fsLoadingKeep;
}

void TWaitThread::Stop()
{
    Terminate();
    Resume();
}

void TWaitThread::Execute()
{
    while (!Terminated()) {
        while (!Terminated() && Loading())
            form_.FrameStep();
        if (!Terminated())
            Suspend();
    }
}
