// TAvgUnit: the per-frame step with its wait states, the click and the click wait.
#include "scenario/adventure/TAvgUnit.h"

#include "graphics/panels/TXeRGBPanel.h"
#include "scenario/adventure/AvgHost.h"
#include "scenario/choice/TExSelUnit.h"
#include "scenario/records/TGameState.h"
#include "scenario/script/TScriptEngine.h"
#include "scenario/stage/TStageUnit.h"
#include "scenario/windows/TSubWinUnit.h"
#include "shell/config/TUserConfig.h"
#include "shell/sound/GameSoundChannels.h"

bool TAvgUnit::Skipping() const { return modes_.Skipping(State().GetNoSkip()); }

bool TAvgUnit::Fast() const { return modes_.Fast(State().GetNoSkip()); }

void TAvgUnit::Update(int frames)
{
    if (frames <= 0 || !initialized_)
        return;
    const bool fast = Fast();
    if (GameSoundChannels* sound = context_.host.Sound(); sound != nullptr && Skipping()) {
        sound->StopVoice();
        sound->StopSE();
    }
    if (modes_.SubScreen() < 3) {
        talking_.Count(frames);
        UpdateTalking();
        StepParts(frames, fast);
    }
    if (modes_.SubScreen() == 0)
        StepWaitState(frames, fast);
    else if (subs_->MoviePlaying())
        StepMovie();
    else
        StepSubScreens(frames);
}

void TAvgUnit::StepParts(int frames, bool fast)
{
    stage_->Update(frames, fast && context_.config.EffectCanSkip != 0);
    windows_->MesWinUpdate(frames, fast);
    windows_->NovelWinUpdate(frames, fast);
    windows_->LogWinUpdate(frames, fast);
    windows_->ClockUpdate(frames, fast);
    windows_->SelWinUpdate(frames, fast);
    windows_->PlaceWinUpdate(frames, fast);
    windows_->MenuWinUpdate();
    exSel_->Update(fast);
}

bool TAvgUnit::WindowsIdle() const { return !windows_->MesWinIsActive() && !windows_->NovelWinIsActive(); }

void TAvgUnit::StepWaitState(int frames, bool fast)
{
    switch (waits_.State()) {
    case WaitState::Run:
        RunEngine();
        break;
    case WaitState::Timed:
        if (waits_.StepTimed(frames, fast))
            SetWaitState(WaitState::Run);
        break;
    case WaitState::Click:
        if (fast || (modes_.Auto() && waits_.StepAuto(frames, context_.host.Sound() != nullptr && context_.host.Sound()->IsVoicePlaying())))
            FinishClickWait();
        break;
    case WaitState::StageChange:
        if (!stage_->IsChanging()) {
            modes_.SetHurry(false);
            SetWaitState(WaitState::Run);
        }
        break;
    case WaitState::TextPrinting:
        if (WindowsIdle() && !stage_->IsChanging())
            SetWaitState(WaitState::Run);
        break;
    case WaitState::ChoiceOpening:
        if (!windows_->SelWinIsActive())
            SetWaitState(WaitState::Choice);
        break;
    case WaitState::ChoiceClosing:
        if (!windows_->SelWinIsActive())
            SetWaitState(WaitState::Run);
        break;
    case WaitState::ExSelOpening:
        if (WindowsIdle() && !stage_->IsChanging() && exSel_->IsShown())
            SetWaitState(WaitState::ExSel);
        break;
    case WaitState::ExSelClosing:
        if (WindowsIdle() && !stage_->IsChanging() && !exSel_->IsBusy())
            SetWaitState(WaitState::Run);
        break;
    case WaitState::Choice:
    case WaitState::ExSel:
    case WaitState::ExSelDecided:
    case WaitState::Movie:
        break;
    }
}

void TAvgUnit::RunEngine()
{
    TGameState& s = State();
    // Each run goes on to the next yield; a run that ends without one (the script stopped, or the
    // engine's step bound was reached) gives the frame back.
    while (running_ && waits_.State() == WaitState::Run && !s.GetStop()) {
        if (engine_->Run()) {
            HandBack(kResultHalted);
            return;
        }
        if (!engine_->Yielded())
            return;
    }
}

void TAvgUnit::Click()
{
    if (SubScreenClick())
        return;
    const WaitState state = waits_.State();
    modes_.Click(state);
    SelectButtons();
    if (state == WaitState::Click)
        FinishClickWait();
}

void TAvgUnit::WaitClick()
{
    modes_.SetHurry(false);
    if (Skipping()) {
        waits_.StartTimed(0, true);
        SetWaitState(WaitState::Timed);
        return;
    }
    SetPageWaitSign(true);
    waits_.StartClick(context_.config.AutoSkipWait);
    SetWaitState(WaitState::Click);
}

void TAvgUnit::FinishClickWait()
{
    // The click that ended this wait must not rush the next page.
    modes_.SetHurry(false);
    windows_->SetClock();
    if (GameSoundChannels* sound = context_.host.Sound())
        sound->StopVoice();
    SetPageWaitSign(false);
    if (StageInputsChanged()) {
        SetStageInputs();
        stage_->ChangeStage(0, State().GetStageSpeed());
        RememberStageInputs();
        SetWaitState(WaitState::StageChange);
    } else {
        SetWaitState(WaitState::Run);
    }
}
