// ScriptScreen: what the script engine asks of the adventure screen: the operations the command
// instructions call after changing the record, the picture rebuilt after a scene start, message
// pieces, and the automatic save.
#pragma once

#include <algorithm>
#include <cstdint>

class TRandom;
class TScriptEngine;

// Frames of 1/30 second in `milliseconds`, at least 1.
inline std::int64_t MillisecondsToFrames(std::int64_t milliseconds) { return std::max<std::int64_t>(1, milliseconds * 30 / 1000); }

// The operations read what they need from the engine's record, which the instruction has already
// changed. "Skipping" is the screen's to judge (skip mode or Ctrl, no sub-screen, no-skip clear).
class ScriptScreen {
public:
    virtual ~ScriptScreen() = default;

    // A script started a scene: rebuild stage, windows, clock and sounds from the record.
    virtual void RebuildFromRecord() = 0;
    // Whether the record holds message text not yet handed to the window.
    virtual bool HasMessageText() = 0;
    // Hands the next piece of the current message to the window; true when the message is used up.
    virtual bool PrintMessagePiece(TScriptEngine& engine) = 0;
    // Records the current message as read.
    virtual void MarkMessageRead() = 0;
    // Writes the game to the automatic save slot.
    virtual void WriteAutoSave() = 0;

    // Text windows: a new line, a cleared page, the window opened or closed after the record's
    // text-window flag, all window lines printed again, and the switch after a novel-flag change.
    virtual void TextNewLine() = 0;
    virtual void TextClear() = 0;
    virtual void WaitText() = 0;
    virtual void TextReprint() = 0;
    virtual void TextReset() = 0;

    // Waits: a timed wait, and the wait for a click.
    virtual void Wait(std::int64_t milliseconds) = 0;
    virtual void WaitClick() = 0;

    // Sound channels; levels come from the record.
    virtual void BgmPlay(std::int32_t track, bool loop, bool fade) = 0;
    virtual void BgmStop(bool fade) = 0;
    virtual void BgmSetVolume() = 0;
    virtual void VoicePlay(std::int32_t number, std::int32_t a, std::int32_t b) = 0;
    virtual void VoiceSetVolume() = 0;
    virtual void SePlay(std::int32_t number, std::int32_t a, std::int32_t b) = 0;
    virtual void SeStop() = 0;
    virtual void SeSetVolume() = 0;
    virtual void Se2Play(std::int32_t number, bool fadeIn, std::int32_t a, std::int32_t b) = 0;
    virtual void Se2Stop(bool fade) = 0;
    virtual void Se2SetVolume() = 0;
    // The record's ambient parameter and ambient selection go to the form's ambient channel.
    virtual void SoundSetLevel() = 0;
    virtual void SoundQuery() = 0;

    // Stage: a change to the record's shown stage with transition `kind`, a change of the characters
    // only, and a whole-stage effect.
    virtual void StageChange(std::int32_t kind) = 0;
    virtual void StageRefresh() = 0;
    virtual void StageEffect(std::int32_t effect) = 0;
    // Talking animation: for `milliseconds` (0 or less: while a voice plays or text prints), or off.
    virtual void TalkStart(std::int32_t milliseconds) = 0;
    virtual void TalkStop() = 0;
    // The mouse cursor after the record's cursor flag.
    virtual void UpdateCursor() = 0;

    // Clock and place-name windows.
    virtual void TimeWindow(bool open, bool atOnce) = 0;
    virtual void DateWindow(bool open, bool atOnce) = 0;
    virtual void ClockRefresh() = 0;
    virtual void PlaceName() = 0;

    // Choices, the extra selection, movies and the end of the game.
    virtual void ChoiceShow() = 0;
    virtual void ExSelShow() = 0;
    virtual void PlayOpeningMovie() = 0;
    virtual void PlayEndingMovie() = 0;
    virtual void PlayMovie(std::int32_t number) = 0;
    virtual void EndGame() = 0;

    // The game's random source, and the song difficulty setting (0 to 2).
    virtual TRandom& Random() = 0;
    virtual void SetMusicRankMode(std::int32_t mode) = 0;
};
