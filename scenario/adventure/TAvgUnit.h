// TAvgUnit: the adventure screen on which a scenario runs. It owns the script engine, the stage,
// the extra selection and the sub-windows under its one panel, AvgPanel; the logic thread starts or
// continues a scenario through it and calls Update once a frame until a thread result is handed
// back. Each frame either runs the script or waits in one of thirteen wait states (printing, a
// click, a timer, a stage change, a choice, the extra selection, a movie), with auto mode, skip
// mode (button or Ctrl) and hurry on click. The script's command instructions reach it through
// ScriptScreen.
//
// Files: TAvgUnit.cpp (set-up, start, the rebuild from the record, wait states), TAvgUnitFrame.cpp
// (the per-frame step, the click and the click wait), TAvgUnitInput.cpp (event codes, keys and
// wheel), TAvgUnitSubScreens.cpp (the sub-screen hooks), TAvgUnitText.cpp, TAvgUnitSound.cpp,
// TAvgUnitStage.cpp and TAvgUnitChoice.cpp (the script's operations by subject).
//
// Threads: the logic thread only; the panel handlers run there too.
#pragma once

#include "platform/classes/AnsiString.h"
#include "platform/classes/Component.h"
#include "platform/classes/Controls.h"
#include "scenario/adventure/AvgModes.h"
#include "scenario/adventure/AvgSubScreenHost.h"
#include "scenario/adventure/AvgSubScreens.h"
#include "scenario/adventure/AvgTalking.h"
#include "scenario/adventure/AvgWaits.h"
#include "scenario/script/ScriptScreen.h"

#include <cstdint>
#include <memory>
#include <string_view>

class AvgHost;
class TExSelUnit;
class TFileMan;
class TGameState;
class TMovieUnit;
class TRandom;
class TReadMesTable;
class TScriptEngine;
class TStageUnit;
class TSubWinUnit;
class TSystemState;
class TUserConfig;
class TXeRGBPanel;
class VoiceBank;
struct TScenarioRecords;

class TAvgUnit final : public ScriptScreen {
public:
    // What the screen works on; everything must outlive it.
    struct Context {
        TScenarioRecords& records; // the current record and the scene-start snapshot
        TSystemState& system;
        TReadMesTable& readMes;
        TUserConfig& config;
        TFileMan& scripts; // "Scene.tbl" and the compiled scripts
        AvgHost& host;
        TRandom& random;
        TMovieUnit* movie = nullptr; // the game's movie player; null: movies are refused
        // The system menus the logic thread made for the adventure; null: that one is refused.
        TDlgUnit* dialog = nullptr;
        TConfigMenu* configMenu = nullptr;
        TSaveMenu* saveMenu = nullptr;
    };

    // Thread results handed back.
    static constexpr int kResultHalted = 0;
    static constexpr int kResultEndGame = 1;
    static constexpr int kResultLoaded = 4;
    static constexpr int kResultExit = 5;

    explicit TAvgUnit(const Context& context);
    // Finalises when initialised.
    ~TAvgUnit() override;
    TAvgUnit(const TAvgUnit&) = delete;
    TAvgUnit& operator=(const TAvgUnit&) = delete;

    // False when a sound file manager cannot be made; EGameErr (after releasing what was made) when
    // the scene table, the stage, the extra selection or the sub-windows fail.
    bool Initialize(TFileMan* dataFiles);
    void Finalize();
    bool Initialized() const { return initialized_; }

    // A new scenario from the named scene, a loaded game (already in the current record), and the
    // current record's script once more; each rebuilds the screen and runs the script.
    void StartScenario(std::string_view scene);
    void LoadResume();
    void Resume();
    bool IsRunning() const { return running_; }
    // The per-frame step; nothing for 0 frames.
    void Update(int frames);

    // The panel the logic thread attaches to the root panel.
    TXeRGBPanel* AvgPanel() const { return avgPanel_; }

    // Codes from the sub-windows, the stage and the extra selection; keys and the wheel on AvgPanel.
    void OnEvent(int code);
    void OnExSelEvent(int code);
    void AvgPanelKeyDown(TObject* sender, std::uint16_t& key, TShiftState shift);
    void AvgPanelKeyUp(TObject* sender, std::uint16_t& key, TShiftState shift);
    void AvgPanelMouseWheel(TObject* sender, TShiftState shift, int wheelDelta, TPoint mousePos, bool& handled);
    // Close handlers the logic thread gives the configuration and save/load menus.
    void OnConfigMenuClose(std::int32_t code);
    void OnSaveMenuClose(std::int32_t code);

    // What the sub-screens and tests read.
    WaitState GetWaitState() const { return waits_.State(); }
    const AvgWaits& Waits() const { return waits_; }
    AvgModes& Modes() { return modes_; }
    const AvgTalking& Talking() const { return talking_; }
    const AvgSubScreens& SubScreens() const { return *subs_; }
    TScriptEngine& Engine() const { return *engine_; }
    TStageUnit& Stage() const { return *stage_; }
    TExSelUnit& ExSel() const { return *exSel_; }
    TSubWinUnit& Windows() const { return *windows_; }
    TGameState& State() const;
    const TUserConfig& Config() const { return context_.config; }
    TFileMan* DataFiles() const { return dataFiles_; }
    TFileMan& SeFiles() const { return *seFiles_; }
    const VoiceBank& Voices() const { return *voices_; }
    // Skip mode or Ctrl held, with no sub-screen and the no-skip flag clear.
    bool Skipping() const;
    // Hands a thread result back and stops running.
    void HandBack(int result);
    void SetWaitState(WaitState state);
    // The arrow while the record's cursor flag is set or a sub-screen or a choice is open.
    void UpdateCursor() override;

    // ScriptScreen.
    void RebuildFromRecord() override;
    bool HasMessageText() override;
    bool PrintMessagePiece(TScriptEngine& engine) override;
    void MarkMessageRead() override;
    void WriteAutoSave() override;
    void TextNewLine() override;
    void TextClear() override;
    void WaitText() override;
    void TextReprint() override;
    void TextReset() override;
    void Wait(std::int64_t milliseconds) override;
    void WaitClick() override;
    void BgmPlay(std::int32_t track, bool loop, bool fade) override;
    void BgmStop(bool fade) override;
    void BgmSetVolume() override;
    void VoicePlay(std::int32_t number, std::int32_t a, std::int32_t b) override;
    void VoiceSetVolume() override;
    void SePlay(std::int32_t number, std::int32_t a, std::int32_t b) override;
    void SeStop() override;
    void SeSetVolume() override;
    void Se2Play(std::int32_t number, bool fadeIn, std::int32_t a, std::int32_t b) override;
    void Se2Stop(bool fade) override;
    void Se2SetVolume() override;
    void SoundSetLevel() override;
    void SoundQuery() override;
    void StageChange(std::int32_t kind) override;
    void StageRefresh() override;
    void StageEffect(std::int32_t effect) override;
    void TalkStart(std::int32_t milliseconds) override;
    void TalkStop() override;
    void TimeWindow(bool open, bool atOnce) override;
    void DateWindow(bool open, bool atOnce) override;
    void ClockRefresh() override;
    void PlaceName() override;
    void ChoiceShow() override;
    void ExSelShow() override;
    void PlayOpeningMovie() override;
    void PlayEndingMovie() override;
    void PlayMovie(std::int32_t number) override;
    void EndGame() override;
    TRandom& Random() override;
    void SetMusicRankMode(std::int32_t mode) override;

private:
    class MessageSink;
    class SubScreenHost;

    // TAvgUnit.cpp
    void CreateParts();
    void BuildPanel();
    void RunScript();
    void RebuildScreen();
    void RebuildWindows();
    void RestoreSound();
    void ShowClockWindows();

    // TAvgUnitFrame.cpp
    bool Fast() const;
    void StepParts(int frames, bool fast);
    void StepWaitState(int frames, bool fast);
    void RunEngine();
    void Click();
    void FinishClickWait();
    bool WindowsIdle() const;
    // Stage, text windows and extra selection all at rest.
    bool AllIdle() const;

    // TAvgUnitInput.cpp
    void CodeOrClick(bool done) { if (!done) Click(); }
    void RightClick();
    bool ChoiceKey(std::uint16_t key);

    // TAvgUnitSubScreens.cpp: the hidden text windows, backlog, side menu, dialog and menus. Each
    // opener is false when it cannot open now (the caller then counts a click).
    bool HideText();
    bool OpenBacklog();
    bool OpenSideMenu();
    bool OpenConfigMenu();
    bool OpenSaveMenu(bool load);
    bool QuickSave();
    bool QuickLoad();
    void BacklogEvent(int code);
    // A click while a sub-screen is open; true when it was taken (no click of the wait then).
    bool SubScreenClick();
    void UpdateSideMenuButtons();
    // Keys and the wheel while a sub-screen is open; true when taken.
    bool SubScreenKey(std::uint16_t key);
    bool SubScreenWheel(int notches);
    // Update's steps for sub-screens 1 to 3 (the movie excepted).
    void StepSubScreens(int frames);
    // Makes the sub-screens over the parts (the last step of CreateParts).
    void CreateSubScreens();

    // TAvgUnitText.cpp
    void PrintPiece(const AnsiString& piece, std::int32_t speed);
    void SelectButtons();
    void SetPageWaitSign(bool on);
    bool TextWindowBusy() const;

    // TAvgUnitStage.cpp
    void SetStageInputs();
    void RememberStageInputs();
    bool StageInputsChanged() const;
    void EnterStageWait(bool changing);
    void ShowTalking();
    void UpdateTalking();

    // TAvgUnitChoice.cpp
    void ChoiceDecide();
    void ExSelDecide();
    void ExSelClosed();
    bool StartMovie(const AnsiString& fileName);
    void StepMovie();

    Context context_;
    bool initialized_ = false;
    TFileMan* dataFiles_ = nullptr;
    std::unique_ptr<TFileMan> seFiles_;
    std::unique_ptr<VoiceBank> voices_;
    std::unique_ptr<TScriptEngine> engine_;
    std::unique_ptr<TComponent> owner_; // owns AvgPanel, the stage and the extra selection
    TXeRGBPanel* avgPanel_ = nullptr;
    TStageUnit* stage_ = nullptr;
    TExSelUnit* exSel_ = nullptr;
    std::unique_ptr<TSubWinUnit> windows_;

    bool running_ = false;
    AvgWaits waits_;
    AvgModes modes_;
    AvgTalking talking_;
    // Stage inputs at the last full stage update.
    std::int32_t lastTimeOfDay_ = 0;
    std::int32_t lastModeIndex_ = 0;
    std::int32_t lastMeter_ = 0;
    std::unique_ptr<AvgSubScreenHost> subHost_;
    std::unique_ptr<AvgSubScreens> subs_;
};
