// MusicRun: one run of the song screen: the phases (SongRun) played on the screen's panels, music
// and input, the judgement of the performance with its gauge, score and sheet, the stage
// characters, and the continue prompt. Made by TMusicUnit::Start and stepped by TMusicUnit::Step.
//
// Logic thread only.
#pragma once

#include "songgame/display/SheetNotes.h"
#include "songgame/run/ContinuePrompt.h"
#include "songgame/run/PlayState.h"
#include "songgame/run/SongClock.h"
#include "songgame/run/SongJudge.h"
#include "songgame/run/SongRun.h"

#include "platform/input/SongInput.h"

#include <array>
#include <cstdint>

class TMusicUnit;
class TXeRGBPanel;

class MusicRun final : private SongRunHost, private JudgeActions, private ContinuePromptView {
public:
    MusicRun(TMusicUnit& unit, PlayState& play);

    void Start() { run_.Start(); }
    void Step(int elapsed) { run_.Step(elapsed); }
    SongRun::Phase Phase() const { return run_.CurrentPhase(); }
    bool Aborted() const { return run_.Aborted(); }
    // The play state back to its start for a new go (last sound none), gauge and score redrawn.
    void ResetPlay();
    void DrawGauge();
    void DrawScore();
    const SongJudge& Judgement() const { return judge_; }
    const SheetNotes& Sheet() const { return sheet_; }
    SongTime Clock() const { return stored_; }
    // The song clock the performance would read now (the stored one when the music has no position).
    SongTime Now() const;

private:
    // ---- SongRunHost ----
    bool ReadEscapeDown() override;
    bool DrainKeysForAbort() override;
    void SetCurtain(int strip, int block) override;
    void SetTitleOffset(int y) override;
    void SetCaptionBlink() override;
    void PhaseChanged() override;
    void SetSection(int section) override;
    bool RunEntries(int section) override;
    void StartMusic() override;
    bool MusicPlaying() override;
    void StopMusic() override;
    void BeginPerformance() override;
    void DriftReaction(int elapsed) override;
    void Judge(int elapsed) override;
    void SetReaction(int judgement) override { play_.SetReaction(judgement); }
    int Gauge() override { return play_.gauge; }
    void AnimateCharacters(int elapsed) override;
    void StepDisplay(int elapsed) override;
    void StepBackground(int elapsed) override;
    void HideLyrics() override;
    void ClearSheet() override;
    void ShowContinue() override;
    int StepContinue(int elapsed) override;
    void CloseContinue() override;
    void ResetForContinue() override;
    void SetResult(int result) override;

    // ---- JudgeActions ----
    void PlayKeySound(int sound) override;
    void ShowLyric(int text) override;
    void ShakeCharacters() override;

    // ---- ContinuePromptView ----
    void ShowCountBlock(int block) override;
    void PlayCountSound() override;
    bool SystemSoundPlaying() override;

    // The buffered keyboard records of one read (none when the device is lost).
    std::span<const input::KeyRecord> ReadKeys();
    std::uint32_t MillisecondsNow() const;
    void RunSectionEntries(int section);
    void ReadPresses();
    void ReadJoystick();
    void FlagSheet();
    void DrawClef();
    void StepGlow();
    TXeRGBPanel* Panel(const char* name) const;

    TMusicUnit& unit_;
    PlayState& play_;
    SongRun run_;
    SongJudge judge_;
    SheetNotes sheet_;
    ContinuePrompt prompt_;
    SongTime stored_{};
    std::uint32_t msBase_ = 0;
    std::array<input::KeyRecord, input::KeyBufferSize> records_{};
    std::array<std::uint8_t, 256> keyState_{};
    std::array<std::uint8_t, input::LaneButtons> buttons_{};
    std::array<std::uint8_t, input::LaneButtons> previousButtons_{};
    std::int32_t clefLevel_ = -1;
    std::int32_t glowPhase_ = 0;
    std::int32_t glowCalls_ = 0;
    std::int32_t drawnGauge_ = -1;
    std::int64_t drawnScore_ = -1;
};
