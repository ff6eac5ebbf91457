#include "scenario/adventure/TAvgUnit.h"

#include "base/packs/TFileMan.h"
#include "graphics/panels/TXeRGBPanel.h"
#include "platform/classes/Format.h"
#include "scenario/adventure/AvgHost.h"
#include "scenario/adventure/VoiceBank.h"
#include "scenario/choice/TExSelUnit.h"
#include "scenario/movie/TMovieUnit.h"
#include "scenario/records/TGameState.h"
#include "scenario/saves/SaveSlot.h"
#include "scenario/script/TScriptEngine.h"
#include "scenario/stage/TStageUnit.h"
#include "scenario/windows/TSubWinUnit.h"
#include "shell/GameExceptions.h"
#include "shell/config/TUserConfig.h"
#include "shell/sound/GameSoundChannels.h"

namespace {

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;

} // namespace

TAvgUnit::TAvgUnit(const Context& context) : context_(context) {}

TAvgUnit::~TAvgUnit()
{
    if (initialized_)
        Finalize();
}

TGameState& TAvgUnit::State() const { return context_.records.current; }

bool TAvgUnit::Initialize(TFileMan* dataFiles)
{
    dataFiles_ = dataFiles;
    seFiles_ = std::make_unique<TFileMan>(nullptr);
    voices_ = std::make_unique<VoiceBank>();
    if (!seFiles_->InitPack("EvSE.pak"))
        seFiles_->InitDir("EvSE_Pak");
    try {
        engine_ = std::make_unique<TScriptEngine>(TScriptEngine::Context{context_.scripts, *dataFiles, State(),
                                                                         context_.records.snapshot, context_.system,
                                                                         context_.readMes, *this});
        if (!engine_->LoadSceneTable())
            throw EGameErr();
        BuildPanel();
        CreateParts();
    } catch (...) {
        Finalize();
        throw;
    }
    initialized_ = true;
    return true;
}

void TAvgUnit::BuildPanel()
{
    owner_ = std::make_unique<TComponent>(nullptr);
    avgPanel_ = new TXeRGBPanel(owner_.get());
    avgPanel_->Name = "AvgPanel";
    avgPanel_->SetSizeX(kScreenWidth);
    avgPanel_->SetSizeY(kScreenHeight);
    avgPanel_->SetKeyControl(true);
    avgPanel_->OnKeyDown = [this](TObject* sender, std::uint16_t& key, TShiftState shift) { AvgPanelKeyDown(sender, key, shift); };
    avgPanel_->OnKeyUp = [this](TObject* sender, std::uint16_t& key, TShiftState shift) { AvgPanelKeyUp(sender, key, shift); };
    avgPanel_->OnMouseWheel = [this](TObject* sender, TShiftState shift, int delta, TPoint at, bool& handled) {
        AvgPanelMouseWheel(sender, shift, delta, at, handled);
    };
    avgPanel_->SetCreated(true);
}

void TAvgUnit::CreateParts()
{
    auto onEvent = [this](int code) { OnEvent(code); };
    stage_ = new TStageUnit(owner_.get(), context_.random, context_.config, context_.system);
    if (!stage_->Initialize(dataFiles_))
        throw EGameErr();
    stage_->Reset();
    stage_->Attach(avgPanel_);
    stage_->SetOwner(onEvent);

    exSel_ = new TExSelUnit(owner_.get());
    if (!exSel_->Initialize(dataFiles_))
        throw EGameErr();
    exSel_->Attach(avgPanel_);
    exSel_->SetCallback([this](int code) { OnExSelEvent(code); });

    windows_ = std::make_unique<TSubWinUnit>(State(), context_.host);
    if (!windows_->Initialize(dataFiles_))
        throw EGameErr();
    // Later ones lie in front.
    windows_->ClockWinAttach(avgPanel_);
    windows_->PlaceWinAttach(avgPanel_);
    windows_->MesWinAttach(avgPanel_);
    windows_->MesWinSetTransparency(context_.config.MesBoxTrans);
    windows_->NovelWinAttach(avgPanel_);
    windows_->LogWinAttach(avgPanel_);
    windows_->SelWinAttach(avgPanel_);
    windows_->MenuWinAttach(avgPanel_);
    windows_->MesWinSetOnEvent(onEvent);
    windows_->NovelWinSetOnEvent(onEvent);
    windows_->LogWinSetOnEvent([this](int code) { BacklogEvent(code); });
    windows_->SelWinSetOnEvent(onEvent);
    CreateSubScreens();
}

void TAvgUnit::Finalize()
{
    if (subs_ != nullptr && subs_->MoviePlaying()) {
        if (context_.movie != nullptr)
            context_.movie->Close();
        subs_->SetMoviePlaying(false);
    }
    if (windows_ != nullptr) {
        windows_->MesWinDetach();
        windows_->NovelWinDetach();
        windows_->LogWinDetach();
        windows_->SelWinDetach();
        windows_->ClockWinDetach();
        windows_->PlaceWinDetach();
        windows_->MenuWinDetach();
        windows_->Finalize();
        windows_.reset();
    }
    if (exSel_ != nullptr) {
        exSel_->Detach();
        exSel_->Finalize();
    }
    if (stage_ != nullptr) {
        stage_->Detach();
        stage_->Finalize();
    }
    owner_.reset();
    avgPanel_ = nullptr;
    stage_ = nullptr;
    exSel_ = nullptr;
    engine_.reset();
    voices_.reset();
    seFiles_.reset();
    running_ = false;
    initialized_ = false;
}

void TAvgUnit::StartScenario(std::string_view scene)
{
    engine_->StartScene(scene);
    RunScript();
}

void TAvgUnit::LoadResume()
{
    engine_->RestoreState();
    RunScript();
}

void TAvgUnit::Resume()
{
    engine_->Resume();
    RunScript();
}

void TAvgUnit::HandBack(int result)
{
    context_.host.SetThreadResult(result);
    running_ = false;
}

void TAvgUnit::RunScript()
{
    TGameState& s = State();
    talking_ = AvgTalking();
    modes_.Reset();
    waits_.Reset();
    subs_->Reset();
    RebuildScreen();

    if (s.GetGameMode() == 2) {
        windows_->SelWinClearText();
        for (int i = 0; i < TGameState::ChoiceCount; ++i)
            windows_->SelWinSetText(i, s.GetChoiceText(i).c_str());
        windows_->SelWinOpen(true);
    } else {
        windows_->SelWinClose(true);
    }
    if (s.GetGameMode() == 3) {
        exSel_->SetIndex(s.GetExtraItem());
        exSel_->Show(true);
    } else {
        exSel_->Hide(true);
    }
    windows_->PlaceWinClose();
    windows_->MenuWinClose(true);
    RestoreSound();

    if (s.GetGameMode() == 4)
        engine_->SetChoice(s.GetResultValue());
    else if (s.GetStop() && s.GetGameMode() != 2 && s.GetGameMode() != 3)
        engine_->SetChoice(0);

    running_ = true;
    switch (s.GetGameMode()) {
    case 1:
        SetPageWaitSign(true);
        waits_.StartClick(context_.config.AutoSkipWait);
        SetWaitState(WaitState::Click);
        break;
    case 2:
        SetWaitState(WaitState::Choice);
        break;
    case 3:
        SetWaitState(WaitState::ExSel);
        break;
    default:
        SetWaitState(WaitState::Run);
        RunEngine();
        break;
    }
}

void TAvgUnit::RebuildFromRecord()
{
    RebuildScreen();
    RestoreSound();
}

void TAvgUnit::RebuildScreen()
{
    SetStageInputs();
    stage_->ShowStage(0);
    RememberStageInputs();
    for (int slot = 0; slot < 3; ++slot)
        stage_->SetTalking(slot, false);
    RebuildWindows();
    SelectButtons();
    windows_->SetClock();
    ShowClockWindows();
    UpdateCursor();
    avgPanel_->SetModify();
}

void TAvgUnit::RebuildWindows()
{
    const TGameState& s = State();
    SetPageWaitSign(false);
    if (s.GetGameMode() == 3 || !s.GetTextWindow()) {
        windows_->MesWinClose(true);
        windows_->NovelWinClose(true);
    } else if (s.GetNovel()) {
        windows_->MesWinClose(true);
        windows_->NovelWinOpen(true);
    } else {
        windows_->NovelWinClose(true);
        windows_->MesWinOpen(true);
    }
    windows_->LogWinClose(true);
    TextReprint();
}

void TAvgUnit::ShowClockWindows()
{
    // The plates stand over the stage beside the message window; the full-screen novel window and
    // the extra selection cover them.
    if (State().GetNovel() || State().GetGameMode() == 3) {
        windows_->TimeWinClose(true);
        windows_->DateWinClose(true);
    }
}

void TAvgUnit::RestoreSound()
{
    GameSoundChannels* sound = context_.host.Sound();
    if (sound == nullptr)
        return;
    const TGameState& s = State();
    sound->SetBGMLevel(s.GetBgmLevel());
    if (s.GetBgm() >= 0)
        sound->PlayBGM(s.GetBgm(), true, false);
    else
        sound->StopBGM(true);
    sound->SetVoiceLevel(s.GetVoiceLevel());
    sound->SetSELevel(s.GetSeLevel());
    sound->SetRearLevel(s.GetAmbientLevel());
    if (s.GetAmbient() >= 0) {
        const TGameState::PlayParams params = s.GetAmbientParams();
        sound->PlayRear(Format("se%03d", s.GetAmbient()), seFiles_.get(), false, params.a, params.b);
    } else {
        sound->StopRear(true);
    }
    SoundSetLevel();
    SoundQuery();
}

void TAvgUnit::SetWaitState(WaitState state)
{
    waits_.Set(state);
    if (windows_->MenuWinIsActive() || modes_.SubScreen() == 2)
        UpdateSideMenuButtons();
    UpdateCursor();
}

void TAvgUnit::UpdateCursor()
{
    const WaitState state = waits_.State();
    const bool shown = State().GetCursor() || modes_.SubScreen() != 0 || state == WaitState::Choice || state == WaitState::ExSel;
    context_.host.SetCursorKind(shown ? 0 : -1);
}

TRandom& TAvgUnit::Random() { return context_.random; }

void TAvgUnit::SetMusicRankMode(std::int32_t mode)
{
    if (mode >= 0 && mode <= 2)
        context_.config.MusicRankMode = static_cast<std::uint8_t>(mode);
}
