#include "songgame/run/SongRun.h"

#include "songgame/run/PlayState.h"

void SongRun::Start()
{
    phase_ = Opening;
    subState_ = 0;
    tickCount_ = 0;
}

void SongRun::Stop()
{
    host_.StopMusic();
    phase_ = Idle;
}

void SongRun::Enter(Phase phase)
{
    phase_ = phase;
    subState_ = 0;
    tickCount_ = 0;
    host_.PhaseChanged();
}

void SongRun::Step(int elapsed)
{
    // Once the run has ended (idle) nothing is left to abort, and its result stands.
    if (AbortRequested(elapsed) && !aborted_ && phase_ != Idle)
        Abort();
    const bool performing = phase_ == Perform;
    if (phase_ != Idle && elapsed > 0 && (options_.charaAnime || !performing))
        host_.AnimateCharacters(elapsed);
    StepPhase(elapsed);
    host_.StepDisplay(elapsed);
    if (phase_ != Idle && elapsed > 0 && (options_.stageAnime || phase_ != Perform))
        host_.StepBackground(elapsed);
    if (options_.autoMode != 0) {
        captionTime_ += elapsed;
        if (captionTime_ > CaptionTicks) {
            captionTime_ -= CaptionTicks;
            host_.SetCaptionBlink();
        }
    }
}

bool SongRun::AbortRequested(int elapsed)
{
    bool requested = false;
    if (host_.ReadEscapeDown()) {
        escapeTime_ += elapsed;
        requested = escapeTime_ > EscapeTicks;
    } else {
        escapeTime_ = 0;
    }
    // The demonstration reads its keys only to end on one; they are never judged.
    if (options_.autoMode == 2 && host_.DrainKeysForAbort())
        requested = true;
    return requested;
}

void SongRun::Abort()
{
    aborted_ = 1;
    const bool performing = phase_ == Perform;
    Stop();
    host_.ClearSheet();
    host_.SetReaction(JudgePoor);
    if (performing)
        Enter(Closing);
    else
        host_.SetResult(SongAborted);
}

void SongRun::StepPhase(int elapsed)
{
    switch (phase_) {
    case Idle:
        break;
    case Opening:
        for (int tick = 0; tick < elapsed && phase_ == Opening; ++tick)
            StepOpening();
        break;
    case Before:
        if (host_.RunEntries(1)) {
            Enter(Perform);
            host_.StartMusic();
            host_.BeginPerformance();
            host_.SetSection(2);
        }
        break;
    case Perform:
        if (elapsed > 0)
            host_.DriftReaction(elapsed);
        host_.Judge(elapsed);
        if (!host_.MusicPlaying()) {
            host_.HideLyrics();
            Enter(After);
            host_.SetReaction(JudgePoor);
            host_.SetSection(3);
        }
        break;
    case After:
        if (host_.RunEntries(3)) {
            if (host_.Gauge() < PlayState::ClearGauge) {
                host_.ShowContinue();
                Enter(Continue);
            } else {
                Enter(Closing);
            }
        }
        break;
    case Closing:
        for (int tick = 0; tick < elapsed && phase_ == Closing; ++tick)
            StepClosing();
        break;
    case Continue:
        StepContinue(elapsed);
        break;
    }
}

void SongRun::StepOpening()
{
    if (subState_ == 0) {
        if (tickCount_ >= TitleTicks) {
            subState_ = 1;
            tickCount_ = 0;
        }
        ++tickCount_;
        return;
    }
    if (tickCount_ >= CurtainTicks) {
        Enter(Before);
        host_.SetSection(1);
        return;
    }
    const int k = CurtainStrips - 1 - tickCount_;
    SetStrip(k, 1);
    SetStrip(k + 1, 2);
    SetStrip(k + 2, -1);
    if (tickCount_ < 16)
        host_.SetTitleOffset(TitleOffset - 16 * (tickCount_ + 1));
    else if (tickCount_ == 16)
        host_.SetTitleOffset(-1);
    ++tickCount_;
}

void SongRun::StepClosing()
{
    if (tickCount_ >= CurtainTicks) {
        Stop();
        host_.SetResult(aborted_ ? SongAborted
                                 : host_.Gauge() >= PlayState::ClearGauge ? SongCleared : SongFailed);
        return;
    }
    const int k = tickCount_;
    SetStrip(k, 2);
    SetStrip(k - 1, 1);
    SetStrip(k - 2, 0);
    ++tickCount_;
}

void SongRun::StepContinue(int elapsed)
{
    const int answer = host_.StepContinue(elapsed);
    if (answer < 0)
        return;
    host_.CloseContinue();
    if (answer == 0) {
        Enter(Closing);
        return;
    }
    host_.ResetForContinue();
    Enter(Perform);
    host_.StartMusic();
    host_.BeginPerformance();
    host_.SetSection(2);
}

void SongRun::SetStrip(int strip, int block)
{
    if (strip >= 0 && strip < CurtainStrips)
        host_.SetCurtain(strip, block);
}
