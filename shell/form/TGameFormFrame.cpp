// TGameForm: the frame timer's tick handler, the frame step and the FPS mode.
#include "shell/form/TGameForm.h"

#include "graphics/display/TDDraw.h"
#include "platform/classes/Event.h"

#include <mutex>

namespace {

// How long the paced modes wait for a pulse, and how long the unpaced modes sleep per step.
constexpr unsigned kPulseWaitMs = 100;
constexpr unsigned kUnpacedSleepMs = 3;

thread_local bool inFrame = false;

// Marks the calling thread as running a frame for the scope.
class FrameScope {
public:
    FrameScope() { inFrame = true; }
    ~FrameScope() { inFrame = false; }
    FrameScope(const FrameScope&) = delete;
    FrameScope& operator=(const FrameScope&) = delete;
};

} // namespace

void TGameForm::GameTimerTimer(TObject*)
{
    const std::uint8_t state = FState;
    if (state < fsRunning || state > fsTransition)
        return;
    if (FPulse.Tick(FTimerPeriod))
        PulseFrameEvent();
}

void TGameForm::PulseFrameEvent()
{
    if (FFrameEvent != nullptr)
        FFrameEvent->PulseEvent();
}

void TGameForm::ResetFrameCounters()
{
    FPulse.Reset();
}

void TGameForm::FrameStep()
{
    std::lock_guard frameLock(*FFrameLock);
    const std::uint8_t mode = FFPSMode;
    if (mode == fps15 || mode == fps30)
        FFrameEvent->WaitFor(kPulseWaitMs);
    else
        FServices.sleep(kUnpacedSleepMs);
    if (FState == fsClosing)
        return;
    const std::optional<int> dp = FPulse.TakeDue(mode);
    if (!dp)
        return;
    try {
        const FrameScope scope;
        if (FState != fsClosing) {
            Update(*dp);
            Draw(*dp);
        }
    } catch (...) {
        // Whatever a frame throws ends the game, without a question, unless it is closing already.
        if (FState != fsClosing)
            RequestQuit();
    }
}

bool TGameForm::InFrame()
{
    return inFrame;
}

void TGameForm::SetFPSMode(std::uint8_t mode)
{
    if (mode == FFPSMode || mode >= kFPSModeCount)
        return;
    FFPSMode = mode;
    if (FDisplay != nullptr) {
        std::lock_guard lock(*FDisplayLock);
        FDisplay->NoVSync = mode == fpsNoSync;
    }
    if (mode == fpsFull || mode == fpsNoSync)
        PulseFrameEvent();
    SaveIni();
}
