#include "shell/thread/TMainThread.h"

#include "shell/GameExceptions.h"
#include "shell/GameGlobals.h"
#include "shell/form/TGameForm.h"
#include "shell/sound/GameSoundChannels.h"

#include <cassert>

std::atomic<TMainThread*> MainThread{nullptr};

namespace {

constexpr std::uint32_t kRandomStepMask = 4095;
constexpr unsigned kVoiceSleepMs = 100;

} // namespace

void SetThreadResult(int value)
{
    if (TMainThread* thread = MainThread)
        thread->SetResult(value);
}

void RaiseGameEnd()
{
    throw EGameEnd();
}

TMainThread::TMainThread(TGameForm& form) : form_(form)
{
    StepSharedRandom(form_.Services().tickCount() & kRandomStepMask);
}

void TMainThread::SetResult(int value)
{
    resultValue_ = value;
    resultReady_ = true;
}

template <typename Step> void TMainThread::Unlocked(Step&& step)
{
    TCriticalSection& lock = *form_.StateLock();
    lock.Release();
    try {
        step();
    } catch (...) {
        lock.Acquire();
        throw;
    }
    lock.Acquire();
}

void TMainThread::WaitFrame()
{
    if (form_.InFrame()) {
        assert(!"WaitFrame called from inside a frame");
        return;
    }
    resultReady_ = false;
    Unlocked([&] {
        while (!Terminated() && !resultReady_)
            form_.FrameStep();
    });
    CheckTerminated();
}

void TMainThread::WaitVoice()
{
    Unlocked([&] {
        while (!Terminated() && VoicePlaying())
            form_.FrameStep();
    });
    CheckTerminated();
}

void TMainThread::SleepWhileVoice()
{
    Unlocked([&] {
        while (!Terminated() && VoicePlaying())
            form_.Services().sleep(kVoiceSleepMs);
    });
    CheckTerminated();
}

bool TMainThread::VoicePlaying() const
{
    GameSoundChannels* channels = form_.SoundChannels();
    return channels != nullptr && channels->IsVoicePlaying();
}

bool TMainThread::PlayBGM(std::int32_t track, bool loop, bool fade)
{
    bool played = false;
    Unlocked([&] { played = form_.SoundChannels()->PlayBGM(track, loop, fade); });
    return played;
}

void TMainThread::StopBGM(bool fade)
{
    Unlocked([&] { form_.SoundChannels()->StopBGM(fade); });
}

void TMainThread::CheckTerminated()
{
    if (Terminated())
        RaiseGameEnd();
}

void TMainThread::Abort()
{
    Terminate();
    RaiseGameEnd();
}

void TMainThread::AbortGame()
{
    Abort();
}

void TMainThread::EnterStartState()
{
    Unlocked([&] { form_.EnterStartState(); });
}

void TMainThread::EnterState7()
{
    Unlocked([&] { form_.EnterState7(); });
}

void TMainThread::EnterState2()
{
    Unlocked([&] { form_.EnterState2(); });
}

void TMainThread::EnterMusicState()
{
    Unlocked([&] { form_.EnterMusicState(); });
}

void TMainThread::EnterAdventureState()
{
    Unlocked([&] { form_.EnterAdventureState(); });
}

void TMainThread::Execute()
{
    std::lock_guard lock(*form_.StateLock());
    resultValue_ = 0;
    try {
        EnterStartState();
        while (!Terminated())
            WaitFrame();
    } catch (const EGameEnd&) {
        // The termination request reached the frame wait: the game code has unwound.
    }
    form_.CloseGame();
}
