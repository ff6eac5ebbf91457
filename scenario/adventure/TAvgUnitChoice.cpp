// TAvgUnit: the choice window, the extra selection, movies and the end of the game.
#include "scenario/adventure/TAvgUnit.h"

#include "graphics/panels/TXeRGBPanel.h"
#include "platform/classes/Format.h"
#include "scenario/adventure/AvgHost.h"
#include "scenario/choice/TExSelUnit.h"
#include "scenario/movie/TMovieUnit.h"
#include "scenario/records/TGameState.h"
#include "scenario/script/TScriptEngine.h"
#include "scenario/stage/TStageUnit.h"
#include "scenario/windows/TSubWinUnit.h"

void TAvgUnit::ChoiceShow()
{
    windows_->SelWinClearText();
    for (int i = 0; i < TGameState::ChoiceCount; ++i)
        windows_->SelWinSetText(i, State().GetChoiceText(i).c_str());
    windows_->SelWinOpen(false);
    SetWaitState(windows_->SelWinIsActive() ? WaitState::ChoiceOpening : WaitState::Choice);
}

void TAvgUnit::ChoiceDecide()
{
    engine_->SetChoice(windows_->SelWinGetCursor());
    windows_->SelWinClose(false);
    SetWaitState(windows_->SelWinIsActive() ? WaitState::ChoiceClosing : WaitState::Run);
}

bool TAvgUnit::AllIdle() const { return WindowsIdle() && !stage_->IsChanging() && !exSel_->IsBusy(); }

void TAvgUnit::ExSelShow()
{
    exSel_->SetIndex(State().GetExtraItem());
    if (windows_->MesWin().IsReady())
        windows_->MesWinClose(false);
    if (windows_->NovelWin().IsReady())
        windows_->NovelWinClose(false);
    exSel_->Show(false);
    if (!exSel_->IsShown() && !AllIdle()) {
        context_.host.ResetFrameCounters();
        SetWaitState(WaitState::ExSelOpening);
    } else {
        SetWaitState(WaitState::ExSel);
    }
    avgPanel_->SetModify();
}

void TAvgUnit::ExSelDecide()
{
    engine_->SetChoice(exSel_->GetSelected());
    SetWaitState(WaitState::ExSelDecided);
}

void TAvgUnit::ExSelClosed()
{
    modes_.SetHurry(false);
    exSel_->Hide(false);
    if (State().GetTextWindow())
        State().GetNovel() ? windows_->NovelWinOpen(false) : windows_->MesWinOpen(false);
    if (AllIdle()) {
        SetWaitState(WaitState::Run);
    } else {
        context_.host.ResetFrameCounters();
        SetWaitState(WaitState::ExSelClosing);
    }
    avgPanel_->SetModify();
}

void TAvgUnit::PlayOpeningMovie() { StartMovie("TVOP.mpg"); }

void TAvgUnit::PlayEndingMovie() { StartMovie(Format("TVED%lld.mpg", static_cast<long long>(State().GetMovie()) + 1)); }

void TAvgUnit::PlayMovie(std::int32_t number) { StartMovie(Format("TV%02d.mpg", number)); }

bool TAvgUnit::StartMovie(const AnsiString& fileName)
{
    TMovieUnit* movie = context_.movie;
    if (movie == nullptr || modes_.SubScreen() >= 3 || !movie->Play(fileName))
        return false;
    context_.host.DetachPanel(avgPanel_);
    context_.host.AttachPanel(movie->MoviePanel());
    context_.host.ResetFrameCounters();
    movie->Start();
    subs_->SetMoviePlaying(true);
    SetWaitState(WaitState::Movie);
    return true;
}

void TAvgUnit::StepMovie()
{
    TMovieUnit* movie = context_.movie;
    movie->Update();
    if (movie->Running())
        return;
    context_.host.DetachPanel(movie->MoviePanel());
    context_.host.AttachPanel(avgPanel_);
    movie->Close();
    subs_->SetMoviePlaying(false);
    SetWaitState(WaitState::Run);
}

void TAvgUnit::EndGame() { HandBack(kResultEndGame); }
