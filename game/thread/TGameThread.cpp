#include "game/thread/TGameThread.h"

#include "game/thread/Finally.h"
#include "game/thread/FormScreenMaker.h"
#include "scenario/saves/SystemSave.h"
#include "shell/GameGlobals.h"
#include "shell/form/TGameForm.h"
#include "shell/menus/ShellServices.h"

#include <utility>

namespace {

// The fades of the title flow, by the masks they wipe through.
constexpr std::int8_t kPlainFade = 0;
constexpr std::int8_t kLoadMenuFade = 1;
constexpr std::int8_t kScoreFade = 23;   // "FadeMask10_StripesN.bmp"
constexpr std::int8_t kConfigFade = 24;  // "FadeMask11_Star.bmp"
constexpr std::int8_t kNameFade = 27;    // "FadeMask14_Windmill.bmp"
constexpr std::int8_t kTitleFade = 29;   // "FadeMask16_Noise.bmp"
constexpr std::int32_t kTitleTrack = 1;
constexpr const char* kGreeting = "TitleVoice03";
constexpr const char* kFirstScene = "GameStart";
constexpr const char* kFreePlaySong = "TV07";
constexpr std::int32_t kDemoSong = 7;
constexpr std::uint8_t kDemoAuto = 2; // any key ends it, nothing is scored
constexpr std::int32_t kMenuClosed = 6;
constexpr std::int32_t kSlotLoaded = 5;

} // namespace

TGameThread::TGameThread(TGameForm& form, const MakerFactory& makeScreens) : TCommonThread(form, makeScreens)
{
    LoadSystemData(form.Services().programFolder, Records().system, Records().readMes);
}

void TGameThread::GameMain()
{
    SetResultValue(trNothing);
    while (!Terminated()) {
        RunTitleMenu();
        switch (ResultValue()) {
        case trStart: NewGame(kFirstScene); break;
        case trLoad: LoadGame(); break;
        case trFreePlay: PlayFreeSong(StringToTag4(kFreePlaySong)); break;
        case trScores: RunSongScoreMenu(); break;
        case trDemo: MakeSongID(kDemoSong, 0, kDemoAuto); break;
        case trExit:
            SaveSystem();
            StopBGM(false);
            AbortGame();
        default: break; // the hidden buttons lead back to the title
        }
        SaveSystem();
    }
    StopBGM(false);
}

// ---- the title flow ----

void TGameThread::RunTitleMenu()
{
    FadeToScreen(kPlainFade);
    EnterStartState();
    std::unique_ptr<TitleScreen> title = Screens().MakeTitle();
    std::unique_ptr<ConfigScreen> config = Screens().MakeConfigMenu();
    std::unique_ptr<SaveScreen> save = Screens().MakeSaveMenu();
    if (title == nullptr || config == nullptr || save == nullptr)
        Abort(); // what was made goes unprepared
    const Finally release([&] {
        title->Finalize();
        config->Finalize();
        save->Finalize();
    });
    if (!title->Initialize(DataFileMan) || !config->Initialize(DataFileMan) || !save->Initialize(DataFileMan))
        Abort();
    config->SetOnClose([this](std::int32_t code) {
        if (code == kMenuClosed)
            SetResult(trNothing);
    });
    save->SetOnClose([this](std::int32_t code) {
        if (code == kSlotLoaded)
            SetResult(trLoad);
        else if (code == kMenuClosed)
            SetResult(trNothing);
    });
    TGameForm& form = Form();
    const Finally takeDown([&] {
        form.DetachPanel(title->Panel());
        config->SetOnClose({});
        save->SetOnClose({});
    });
    if (firstTitle_)
        TitleCall(*title);
    title->Show();
    PlayBGM(kTitleTrack, true, true);
    if (std::exchange(firstTitle_, false))
        FormShellServices(form).PlaySystemSE(kGreeting);
    FadeToPanel(kTitleFade, title->Panel());
    form.AttachPanel(title->Panel());
    SetResultValue(trNothing);
    while (ResultValue() == trNothing) {
        title->StartIdle();
        EnterState2();
        WaitFrame();
        title->StopIdle();
        switch (ResultValue()) {
        case trConfig: VisitConfigMenu(*title, *config); break;
        case trLoad: VisitLoadMenu(*save); break;
        case trExit: WaitVoice(); break;
        case trStart: ClearGameState(); break;
        default: break;
        }
    }
}

void TGameThread::TitleCall(TitleScreen& title)
{
    TGameForm& form = Form();
    form.SetCursorKind(-1);
    {
        const Finally end([&] {
            title.Release();
            SetStep({});
            form.DetachPanel(title.TitleCallPanel());
            // The title's drawing hooks must not outlive it when the game ends during the call.
            form.SetOnRedraw({});
            form.SetOnDraw({});
        });
        title.TitleCallStart();
        form.AttachPanel(title.TitleCallPanel());
        SetStep([&title](int dp) { title.TitleCallStep(dp); });
        EnterState2();
        WaitFrame();
    }
    form.SetCursorKind(0);
}

void TGameThread::VisitConfigMenu(TitleScreen& title, ConfigScreen& config)
{
    TGameForm& form = Form();
    form.DetachPanel(title.Panel());
    config.Refresh();
    {
        const Finally detach([&] { form.DetachPanel(config.Panel()); });
        form.AttachPanel(config.Panel());
        FadeToPanel(kConfigFade, form.RootPanel());
        EnterState2();
        WaitFrame();
        SaveSettings();
    }
    form.AttachPanel(title.Panel());
    if (ResultValue() == trNothing)
        FadeToPanel(kConfigFade, form.RootPanel());
}

void TGameThread::VisitLoadMenu(SaveScreen& save)
{
    TGameForm& form = Form();
    ClearGameState();
    save.Open(SaveScreen::kModeLoad);
    {
        const Finally detach([&] { form.DetachPanel(save.Panel()); });
        form.AttachPanel(save.Panel());
        FadeToPanel(kLoadMenuFade, form.RootPanel());
        EnterState2();
        WaitFrame();
    }
    if (ResultValue() == trNothing)
        FadeToPanel(kLoadMenuFade, form.RootPanel());
    save.Close();
}

void TGameThread::ClearGameState()
{
    TGameState& current = Records().scenario.current;
    current.Clear();
    current.CopySystemFlagsFrom(Records().system);
    current.CopySystemValuesFrom(Records().system);
}

// ---- the adventure ----

template <typename Opening> void TGameThread::PlayAdventure(Opening open)
{
    TGameForm& form = Form();
    form.PushCursorKind();
    const Finally release([&] {
        ReleaseScreens();
        form.PopCursorKind();
    });
    form.SetCursorKind(0);
    StopBGM(true);
    FadeToScreen(kPlainFade);
    EnterStartState();
    CreateScreens();
    // Each game runs to its own end, also after an earlier one in the same run.
    SetAdventureFinished(false);
    open(*Adventure());
    EndAdventure();
    RunAdventure();
}

void TGameThread::NewGame(const AnsiString& scene)
{
    PlayAdventure([&](AdventureScreen& adventure) {
        adventure.StartScenario(scene);
        SleepWhileVoice();
    });
}

void TGameThread::LoadGame()
{
    PlayAdventure([](AdventureScreen& adventure) { adventure.LoadResume(); });
}

// ---- songs ----

void TGameThread::PlayFreeSong(const TSongID& code)
{
    const TUserConfig& config = Records().config;
    std::int32_t score = 0;
    RunMusic(config.MusicRankMode, config.MusicAutoMode, nullptr, &score, 0, code);
    // A song that played itself (by the setting or the start-up switch) records nothing.
    if (ResultValue() == 0 && config.MusicAutoMode == 0 && MusicForceAuto == 0)
        RecordFreePlayScore(score, code);
}

void TGameThread::RecordFreePlayScore(std::int32_t score, const TSongID& code)
{
    const std::uint8_t rankMode = Records().config.MusicRankMode;
    const auto best = static_cast<std::int32_t>(Records().system.GetScoreValue(rankMode, code));
    if (score <= best)
        return;
    AnsiString name;
    RunNameEntry(score, name);
    Records().system.SetScoreEntry(rankMode, code, static_cast<std::uint32_t>(score), name);
}

void TGameThread::RunNameEntry(std::int32_t score, AnsiString& name)
{
    std::unique_ptr<NameEntryScreen> entry = Screens().MakeNameEntry();
    if (entry == nullptr)
        Abort();
    const Finally release([&] { entry->Finalize(); });
    if (!entry->Initialize(DataFileMan))
        Abort();
    if (!entry->Begin(score))
        return;
    PlayBGM(kTitleTrack, true, true);
    FadeToPanel(kNameFade, entry->Panel());
    TGameForm& form = Form();
    const Finally detach([&] { form.DetachPanel(entry->Panel()); });
    form.AttachPanel(entry->Panel());
    EnterState2();
    WaitFrame();
    name = entry->Name();
}

void TGameThread::RunSongScoreMenu()
{
    std::unique_ptr<ScoreScreen> scores = Screens().MakeScoreMenu();
    if (scores == nullptr)
        Abort();
    const Finally release([&] { scores->Finalize(); });
    if (!scores->Initialize(DataFileMan))
        return;
    PlayBGM(kTitleTrack, true, true);
    if (!scores->Open(Records().config.MusicRankMode))
        return;
    FadeToPanel(kScoreFade, scores->Panel());
    TGameForm& form = Form();
    const Finally detach([&] { form.DetachPanel(scores->Panel()); });
    form.AttachPanel(scores->Panel());
    EnterState2();
    WaitFrame();
}

void TGameThread::MakeSongID(std::int32_t number, std::uint8_t rankMode, std::uint8_t autoMode)
{
    RunSong(SongText(number), rankMode, autoMode);
}

void TGameThread::RunSong(const AnsiString& code, std::uint8_t rankMode, std::uint8_t autoMode)
{
    RunMusic(rankMode, autoMode, nullptr, nullptr, 0, MakeTag4(code));
    PlayBGM(kTitleTrack, true, true);
}

std::unique_ptr<TMainThread> TGameThread::Start(TGameForm& form)
{
    return std::make_unique<TGameThread>(
        form, [](TGameForm& f, GameRecords& records) { return std::make_unique<FormScreenMaker>(f, records); });
}
