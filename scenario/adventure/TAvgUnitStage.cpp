// TAvgUnit: the script's stage operations, the talking animation, and the clock and place-name
// windows.
#include "scenario/adventure/TAvgUnit.h"

#include "graphics/panels/TXeRGBPanel.h"
#include "scenario/adventure/AvgHost.h"
#include "scenario/records/TGameState.h"
#include "scenario/stage/TStageUnit.h"
#include "scenario/windows/TSubWinUnit.h"
#include "shell/config/TUserConfig.h"
#include "shell/sound/GameSoundChannels.h"

void TAvgUnit::SetStageInputs()
{
    const TGameState& s = State();
    stage_->SetTimeBand(s.GetTimeOfDay());
    stage_->SetStageMode(s.GetModeIndex());
    stage_->SetWeatherLevel(s.GetMeterLevel());
    stage_->SetBackground(s.GetShownBackground());
    stage_->SetCharacters(s.GetShownCharacter(0), s.GetShownCharacter(1), s.GetShownCharacter(2), s.GetCharacterChangeMode());
}

void TAvgUnit::RememberStageInputs()
{
    lastTimeOfDay_ = State().GetTimeOfDay();
    lastModeIndex_ = State().GetModeIndex();
    lastMeter_ = State().GetMeterLevel();
}

bool TAvgUnit::StageInputsChanged() const
{
    return lastTimeOfDay_ != State().GetTimeOfDay() || lastModeIndex_ != State().GetModeIndex() ||
           lastMeter_ != State().GetMeterLevel();
}

void TAvgUnit::EnterStageWait(bool changing)
{
    if (changing) {
        context_.host.ResetFrameCounters();
        SetWaitState(WaitState::StageChange);
    } else {
        // One frame: a timed wait with a count of 1.
        waits_.StartTimed(0, false);
        SetWaitState(WaitState::Timed);
    }
}

void TAvgUnit::StageChange(std::int32_t kind)
{
    if (Skipping() && context_.config.EffectCanSkip != 0)
        kind = 0;
    SetStageInputs();
    EnterStageWait(stage_->ChangeStage(kind, State().GetStageSpeed()));
    ShowTalking();
    avgPanel_->SetModify();
    RememberStageInputs();
    ShowClockWindows();
    if (windows_->PlaceWinIsReady())
        windows_->PlaceWinClose();
}

void TAvgUnit::StageRefresh()
{
    if (Skipping() && context_.config.EffectCanSkip != 0)
        StageChange(0);
    SetStageInputs();
    EnterStageWait(stage_->ChangeCharacters());
    ShowTalking();
    avgPanel_->SetModify();
}

void TAvgUnit::StageEffect(std::int32_t effect)
{
    if (Skipping() && context_.config.EffectCanSkip != 0)
        return;
    if (!stage_->StartEffect(effect))
        return;
    context_.host.ResetFrameCounters();
    SetWaitState(WaitState::StageChange);
    avgPanel_->SetModify();
}

void TAvgUnit::TalkStart(std::int32_t milliseconds)
{
    talking_.Start(milliseconds);
    UpdateTalking();
}

void TAvgUnit::TalkStop()
{
    talking_.Stop();
    UpdateTalking();
}

void TAvgUnit::UpdateTalking()
{
    GameSoundChannels* sound = context_.host.Sound();
    const bool voice = sound != nullptr && sound->IsVoicePlaying();
    const bool printing = windows_->MesWin().State() == wsPrinting || windows_->NovelWin().State() == wsPrinting;
    if (talking_.Update(voice, printing))
        ShowTalking();
}

void TAvgUnit::ShowTalking()
{
    for (int slot = 0; slot < 3; ++slot)
        stage_->SetTalking(slot, talking_.Shown() && State().GetShownTalking(slot));
}

void TAvgUnit::TimeWindow(bool open, bool atOnce)
{
    if (!open)
        windows_->TimeWinClose(atOnce);
    else if (!State().GetNovel())
        windows_->TimeWinOpen(atOnce);
}

void TAvgUnit::DateWindow(bool open, bool atOnce)
{
    if (!open)
        windows_->DateWinClose(atOnce);
    else if (!State().GetNovel())
        windows_->DateWinOpen(atOnce);
}

void TAvgUnit::ClockRefresh() { windows_->SetClock(); }

void TAvgUnit::PlaceName()
{
    if (context_.config.ShowPlaceName != 0)
        windows_->PlaceWinOpen(State().GetPlaceName());
}
