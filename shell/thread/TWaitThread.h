// TWaitThread: the second frame thread, which runs frames while the form is in a loading state (6 or 7)
// and the logic thread is busy loading or releasing a screen.
#pragma once

#include "platform/classes/Thread.h"

class TGameForm;

// Between loading states it parks (TThread::Suspend). Entering state 6 or 7 resumes it; the resume
// is a permit, so one that comes between the thread's state check and its park is not lost: the
// park returns at once and the state is checked again. Made suspended; the owner starts it.
class TWaitThread : public TThread {
public:
    explicit TWaitThread(TGameForm& form) : form_(form) {}

    // Terminates the thread and wakes it; the owner then waits for it.
    void Stop();

protected:
    void Execute() override;

private:
    bool Loading() const;

    TGameForm& form_;
};
