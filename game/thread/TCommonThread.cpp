#include "game/thread/TCommonThread.h"

#include "game/thread/Finally.h"
#include "scenario/saves/SystemSave.h"
#include "shell/GameExceptions.h"
#include "shell/GameGlobals.h"
#include "shell/form/TGameForm.h"
#include "shell/sound/GameSoundChannels.h"

#include <cstdio>

namespace {

// The plain cross-fade, and the fade into the song screen.
constexpr std::int8_t kPlainFade = 0;
constexpr std::int8_t kSongFade = 20;
constexpr int kFullGauge = 59;
constexpr std::int32_t kFullLevel = 100;

} // namespace

AnsiString TCommonThread::SongText(std::int32_t number)
{
    char text[16];
    std::snprintf(text, sizeof text, "TV%02d", static_cast<int>(number));
    return text;
}

TCommonThread::TCommonThread(TGameForm& form, const MakerFactory& makeScreens)
    : TMainThread(form), records_(std::make_unique<GameRecords>())
{
    LoadUserConfig(records_->config, form.SettingsPath());
    screens_ = makeScreens(form, *records_);
}

TCommonThread::~TCommonThread() = default;

void TCommonThread::SetStep(THandler step)
{
    std::lock_guard lock(stepLock_);
    SetHandler(std::move(step));
}

void TCommonThread::RunStep(int dp)
{
    THandler step;
    {
        std::lock_guard lock(stepLock_);
        step = GetHandler();
    }
    if (step)
        step(dp);
}

void TCommonThread::SaveSettings()
{
    SaveUserConfig(records_->config, Form().SettingsPath());
}

void TCommonThread::SaveSystem()
{
    SaveSystemData(Form().Services().programFolder, records_->system, records_->readMes);
}

// ---- the top of the thread ----

void TCommonThread::Execute()
{
    std::lock_guard lock(*Form().StateLock());
    try {
        Form().SetOnUpdate([this](int dp) { RunStep(dp); });
        const Finally releaseDialog([this] { ReleaseDialog(); });
        dialog_ = screens_->MakeDialog();
        if (dialog_ == nullptr || !dialog_->Initialize(DataFileMan))
            Abort();
        GameMain();
    } catch (const EGameEnd&) {
        SaveSystem();
        SaveSettings();
    } catch (...) {
        // A broken game ends without saving and without a message.
    }
    Form().SetOnUpdate({});
    Form().CloseGame();
}

void TCommonThread::ReleaseDialog()
{
    if (dialog_ == nullptr)
        return;
    dialog_->Finalize();
    dialog_.reset();
}

// ---- the adventure part ----

void TCommonThread::CreateScreens()
{
    if (screensMade_)
        return;
    const Finally unlessMade([this] {
        if (!screensMade_)
            ReleaseScreens();
    });
    adventure_ = screens_->MakeAdventure();
    config_ = screens_->MakeConfigMenu();
    save_ = screens_->MakeSaveMenu();
    movie_ = screens_->MakeMovie();
    if (adventure_ == nullptr || config_ == nullptr || save_ == nullptr || movie_ == nullptr)
        Abort();
    for (GameScreen* screen : {static_cast<GameScreen*>(adventure_.get()), static_cast<GameScreen*>(config_.get()),
                               static_cast<GameScreen*>(save_.get()), static_cast<GameScreen*>(movie_.get())})
        if (!screen->Initialize(DataFileMan))
            Abort();
    screensMade_ = true;
}

void TCommonThread::ReleaseScreens()
{
    screensMade_ = false;
    for (GameScreen* screen : {static_cast<GameScreen*>(adventure_.get()), static_cast<GameScreen*>(config_.get()),
                               static_cast<GameScreen*>(save_.get()), static_cast<GameScreen*>(movie_.get())})
        if (screen != nullptr)
            screen->Finalize();
    adventure_.reset();
    config_.reset();
    save_.reset();
    movie_.reset();
}

void TCommonThread::RunAdventure()
{
    while (!Terminated() && !adventureFinished_) {
        switch (request_) {
        case arRun:
            AdventureLoop();
            StopAllSounds();
            break;
        case arSong: RunMusicByNumber(); break;
        case arRebuildBlack: RebuildScreens(false); break;
        case arRebuildWhite: RebuildScreens(true); break;
        case arLoaded:
            FadeToBlack(kPlainFade);
            adventure_->LoadResume();
            EndAdventure();
            FadeToPanel(kPlainFade, adventure_->Panel());
            break;
        default: adventureFinished_ = true; break;
        }
    }
}

void TCommonThread::RebuildScreens(bool white)
{
    EnterState7();
    ReleaseScreens();
    if (white)
        FadeToWhite(kPlainFade);
    else
        FadeToBlack(kPlainFade);
    StopBGM(true);
    FadeToScreen(kPlainFade);
    EnterStartState();
    ResumeAdventure();
}

void TCommonThread::ResumeAdventure()
{
    CreateScreens();
    adventure_->Resume();
    EndAdventure();
}

void TCommonThread::AdventureLoop()
{
    AdventureScreen* adventure = adventure_.get();
    config_->SetOnClose([adventure](std::int32_t code) { adventure->OnConfigMenuClose(code); });
    save_->SetOnClose([adventure](std::int32_t code) { adventure->OnSaveMenuClose(code); });
    TGameForm& form = Form();
    {
        const Finally clearHandlers([&] {
            config_->SetOnClose({});
            save_->SetOnClose({});
        });
        if (form.GetState() != fsAdventure)
            FadeToPanel(kPlainFade, adventure->Panel());
        const Finally takeDown([&] {
            SetStep({});
            form.DetachPanel(adventure->Panel());
            form.PopCursorKind();
        });
        form.PushCursorKind();
        form.AttachPanel(adventure->Panel());
        SetStep([adventure](int dp) { adventure->Update(dp); });
        EnterAdventureState();
        form.ResetFrameCounters();
        if (adventure->IsRunning())
            WaitFrame();
    }
    EndAdventure();
    SaveSystem();
}

void TCommonThread::EndAdventure()
{
    request_ = arRun;
    if (adventure_ != nullptr && adventure_->IsRunning())
        return;
    const int result = ResultValue();
    if (result >= arSong && result <= arLoaded)
        request_ = static_cast<std::int8_t>(result);
    else if (result == 5)
        AbortGame();
    else
        adventureFinished_ = true;
}

void TCommonThread::StopAllSounds()
{
    GameSoundChannels* channels = Form().SoundChannels();
    if (channels == nullptr)
        return;
    if (channels->IsBGMPlaying())
        StopBGM(true);
    channels->StopVoice();
    channels->StopSE();
    if (channels->IsRearPlaying())
        channels->StopRear(true);
    if (channels->IsRear2Playing())
        channels->StopRear2();
    channels->SetBGMLevel(kFullLevel);
    channels->SetVoiceLevel(kFullLevel);
    channels->SetSELevel(kFullLevel);
    channels->SetRearLevel(kFullLevel);
    channels->SetRear2Level(kFullLevel);
}

// ---- the song part ----

void TCommonThread::RunMusic(std::uint8_t rankMode, std::uint8_t autoMode, std::int32_t* gauge, std::int32_t* score,
                             std::int32_t pack, const TSongID& code)
{
    StopBGM(true);
    FadeToScreen(kPlainFade);
    EnterStartState();
    music_ = screens_->MakeMusic();
    if (music_ == nullptr)
        Abort();
    const Finally release([this] { ReleaseMusic(); });
    const TUserConfig& config = records_->config;
    MusicOptions options;
    options.timingMode = config.MusicTimingMode;
    options.musicVolume = config.VolumeMainPlay;
    options.keyVolume = config.VolumeKeyboard;
    options.rankMode = rankMode;
    options.wordMode = config.MusicWordMode;
    options.anime = config.MusicAnime;
    options.autoMode = MusicForceAuto != 0 ? 1 : autoMode;
    options.memorySave = MusicMemorySave;
    options.pack = pack;
    music_->SetOptions(options);
    if (gauge != nullptr)
        *gauge = 0;
    if (score != nullptr)
        *score = 0;
    if (music_->Setup(DataFileMan, code)) {
        SleepWhileVoice();
        MusicScreen* music = music_.get();
        FadeToPanel(kSongFade, music->Panel());
        TGameForm& form = Form();
        const Finally takeDown([&] {
            SetStep({});
            form.DetachPanel(music->Panel());
            form.PopCursorKind();
        });
        form.PushCursorKind();
        form.SetCursorKind(-1);
        form.AttachPanel(music->Panel());
        SetStep([music](int dp) { music->Step(dp); });
        EnterMusicState();
        form.ResetFrameCounters();
        music->Start();
        WaitFrame();
    } else {
        SetResultValue(1);
    }
    const int result = ResultValue();
    if (gauge != nullptr)
        *gauge = result == 0 || result == 1 ? music_->GetGauge() : autoMode == 1 ? kFullGauge : 0;
    if (score != nullptr)
        *score = result == 0 ? music_->GetScore() : 0;
}

void TCommonThread::ReleaseMusic()
{
    if (music_ == nullptr)
        return;
    music_->Stop();
    music_->Release();
    music_.reset();
}

void TCommonThread::RunMusicByNumber()
{
    TGameState& scenario = records_->scenario.current;
    const std::int32_t number = scenario.GetMovie();
    EnterState7();
    ReleaseScreens();
    std::int32_t gauge = 0;
    if (number >= 0) {
        RunMusic(records_->config.MusicRankMode, records_->config.AvgAutoMode, &gauge, nullptr, number / 100 + 1,
                 MakeTag4(SongText(number % 100)));
    } else {
        // A number no song can have (a broken save) fails like a song that cannot be set up.
        SetResultValue(1);
    }
    scenario.SetResultValue(gauge);
    StopBGM(true);
    FadeToScreen(kPlainFade);
    EnterStartState();
    ResumeAdventure();
}
