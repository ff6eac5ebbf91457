// TGameState: the record of one play-through (flags, variables, names, calendar clock, meter, the
// script machine's registers, message and backlog, choices, stage and sound settings). Its bytes
// are the save slots' format, so the layout is pinned: 59,860 bytes, little-endian.
#pragma once

#include "platform/classes/AnsiString.h"

#include <cstdint>
#include <span>
#include <string_view>

class TReadMesTable;
class TSystemState;

// One call frame of the script machine.
struct TCallFrame {
    std::int32_t FScriptNumber;
    std::uint32_t FStamp;
    std::uint32_t FReturnPc;
    std::int32_t FValueBase;
    std::int32_t FValueCount;
    std::int32_t FFrameWord1;
    std::int32_t FFrameWord2;
};
static_assert(sizeof(TCallFrame) == 28);

// Every accessor ignores an index outside its range on store and reads 0 or the empty text for it.
// Logic thread only.
class TGameState {
public:
    static constexpr int FlagCount = 512;
    static constexpr int VarCount = 64;
    static constexpr int NameTextCount = 16;
    static constexpr int NameTextSize = 128;
    static constexpr int SceneNameSize = 64;
    static constexpr int StackSize = 256;
    static constexpr int FrameSize = 64;
    static constexpr int LineSize = 53; // a window, backlog or choice line: 52 bytes and its zero
    static constexpr int WindowLineCount = 16;
    static constexpr int BacklogSize = 1000;
    static constexpr int ChoiceCount = 4;
    static constexpr int MessageSize = 256;
    static constexpr int OptionCount = 32;
    static constexpr int NoPicture = -1;
    static constexpr int NoBackground = 999;
    static constexpr std::uint32_t NoEntry = 0xFFFFFFFF;

    TGameState() { Clear(); }

    // The start of a new game: everything empty, the clock at 1 January 10:00 with no limit, meter
    // 100, halted, then the stage and sound resets.
    void Clear();
    // Done at every scene start too: stage, characters, window, message and the per-scene extras.
    void ResetStage();
    void ResetSound();
    // Whether the record is one the game can run on: indices, counts and texts in their ranges.
    // A decoded save slot that fails it is unreadable.
    bool IsSane() const;

    // The record's bytes as stored in a save slot, and the record from such bytes (false, record
    // untouched, when there are not exactly 59,860 of them).
    std::span<const unsigned char> Bytes() const { return {reinterpret_cast<const unsigned char*>(this), sizeof *this}; }
    bool AssignBytes(std::span<const unsigned char> bytes);

    std::uint8_t GetGameMode() const { return FGameMode; }
    void SetGameMode(std::uint8_t mode) { FGameMode = mode; }

    bool GetFlag(int i) const;
    void SetFlag(int i, bool on);
    // The system flags 0 to 63 as copied at a new game.
    bool GetLocalFlag(int i) const;
    void CopySystemFlagsFrom(const TSystemState& system);
    std::int32_t GetVar(int i) const;
    void SetVar(int i, std::int32_t value);
    // The system values 0 to 7 as copied at a new game.
    std::int32_t GetSubVar(int i) const;
    void CopySystemValuesFrom(const TSystemState& system);

    AnsiString GetNameText(int i) const;
    // Raises EGameErr for a text of 128 bytes or more.
    void SetNameText(int i, std::string_view text);
    AnsiString GetSceneName() const;
    // Raises EGameErr for a name of 64 bytes or more.
    void SetSceneName(std::string_view name);

    std::int32_t GetFrameWord1() const { return FFrameWord1; }
    void SetFrameWord1(std::int32_t value) { FFrameWord1 = value; }
    std::int32_t GetFrameWord2() const { return FFrameWord2; }
    void SetFrameWord2(std::int32_t value) { FFrameWord2 = value; }
    void SetExtraWord(std::int32_t value) { FExtraWord = value; }
    std::int32_t GetModeIndex() const { return FModeIndex; }
    void SetModeIndex(std::int32_t index);
    std::int32_t GetMeter() const { return FMeter; }
    // Clamped to 0 to 255.
    void SetMeter(std::int32_t value);
    // Meter / 50, at most 4.
    std::int32_t GetMeterLevel() const;

    // Calendar clock (no leap years). Date values are month * 100 + day, times hour * 100 + minute,
    // both taken by their remainder by 10000; a part out of range is ignored.
    int GetMonth() const { return FMonth; }
    int GetDay() const { return FDay; }
    int GetHour() const { return FHour; }
    int GetMinute() const { return FMinute; }
    std::uint32_t GetSubMinute() const { return FSubMinute; }
    // 0 day, 1 evening, 2 night, 3 morning.
    std::int32_t GetTimeOfDay() const { return FTimeOfDay; }
    // 0 to 6; 1 January is 0.
    int GetWeekday() const;
    void SetDate(std::int32_t monthDay);
    void SetTime(std::int32_t hourMinute);
    void SetLimitDate(std::int32_t monthDay);
    void SetLimitTime(std::int32_t hourMinute);
    void ClearLimit();
    bool HasLimit() const { return FLimitMonth != 0; }
    // Move the clock while it is before the limit, then stop it at the limit if it passed it.
    void AddDays(std::int32_t days);
    void AddMinutes(std::int32_t minutes);

    // Script machine registers and the value stack, which pops no lower than its base.
    std::int32_t GetScriptNumber() const { return FScriptNumber; }
    std::uint32_t GetScriptStamp() const { return FScriptStamp; }
    void SetScript(std::int32_t number, std::uint32_t stamp);
    std::uint32_t GetPc() const { return FPc; }
    void SetPc(std::uint32_t pc) { FPc = pc; }
    bool GetHalt() const { return FHalt != 0; }
    void SetHalt(bool on) { FHalt = on; }
    bool GetStop() const { return FStop != 0; }
    void SetStop(bool on) { FStop = on; }
    std::int32_t GetValueCount() const { return FValueCount; }
    std::int32_t GetValueBase() const { return FValueBase; }
    void SetValueBase(std::int32_t base) { FValueBase = base; }
    // Raises EGameErr when 256 values are on the stack.
    void PushValue(std::int32_t value);
    // Both raise EGameErr when the count is at the base.
    std::int32_t PopValue();
    std::int32_t PeekValue() const;
    // Empties the stack and the call frames.
    void ClearStack();
    std::int32_t GetFrameCount() const { return FFrameCount; }
    // Raises EGameErr when 64 frames are in use.
    void PushFrame(const TCallFrame& frame);
    // Raises EGameErr when none is.
    TCallFrame PopFrame();
    // Frame i (0 = the oldest) of those in use; all zero for another i.
    TCallFrame GetFrame(int i) const;

    // Stage and sound settings the resets set.
    std::int32_t GetShownBackground() const { return FShownBackground; }
    std::int32_t GetShownCharacter(int slot) const;
    std::int32_t GetMessageSpeed() const { return FMessageSpeed; }
    // Clamped to 0 to 3000.
    void SetMessageSpeed(std::int32_t speed);
    bool GetTextWindow() const { return FTextWindow != 0; }
    void SetTextWindow(bool on) { FTextWindow = on; }
    std::int32_t GetMovie() const { return FMovie; }
    std::int32_t GetBgm() const { return FBgm; }
    std::int32_t GetBgmLevel() const { return FBgmLevel; }
    std::int32_t GetAmbient() const { return FAmbient; }

    // Text window lines and the backlog ring of past lines (each at most 52 bytes).
    AnsiString GetWindowLine(int i) const;
    std::int32_t GetCurrentWindowLine() const { return FWindowLine; }
    // The next window line becomes current; on the last one the index stays and later text goes
    // on filling that line (a message of 16 or more line breaks keeps what fits).
    void NewWindowLine();
    // Appended to the current window line, cut to 52 bytes without splitting a character.
    void AppendWindowLine(std::string_view text);
    // Empties the window lines (advancing the backlog first when one held text); line 0 is current.
    void ClearWindowLines();
    // Lines the ring holds, oldest first; the newest is the one being written.
    int GetBacklogCount() const;
    AnsiString GetBacklogLine(int i) const;
    // Starts a new newest line, dropping the oldest when all 1000 are in use.
    void AdvanceBacklog();
    // Appended to the newest line, cut to 52 bytes without splitting a character.
    void AppendBacklogLine(std::string_view text);
    // All lines empty, one in use.
    void ClearBacklog();

    // The message being shown (TGameStateMessage.cpp): the rest still to hand to the window, its
    // string number (-1 once recorded as read) and whether it had been read before it started.
    AnsiString GetCurrentMessage() const;
    std::int32_t GetMessageNumber() const { return FMessageNumber; }
    bool GetReadFlag() const { return FReadFlag != 0; }
    // Stores the text cut to 255 bytes without splitting a character, and the read flag: the
    // number in 1 to 65535, the script number in 0 to 65535, and the map holding both.
    void SetCurrentMessage(std::string_view text, std::int32_t number, const TReadMesTable& readMes);
    // What is left of the message after a piece went to the window.
    void SetMessageRest(std::string_view rest);
    // A message not read before whose number is above 0 is recorded in the map (number below
    // 65536, script number in 0 to 65535) and its number becomes -1.
    void SetMessageRead(TReadMesTable& readMes);

    // Text window and input flags.
    bool GetNovel() const { return FNovel != 0; }
    void SetNovel(bool on) { FNovel = on; }
    bool GetNoSkip() const { return FNoSkip != 0; }
    void SetNoSkip(bool on) { FNoSkip = on; }
    bool GetCursor() const { return FCursor != 0; }
    void SetCursor(bool on) { FCursor = on; }
    std::int32_t GetPlaceName() const { return FPlaceName; }
    void SetPlaceName(std::int32_t place) { FPlaceName = place; }
    // Column `column` (0 to 25) of window line `line` (0 to 15): the lines are cleared when `line`
    // lies above the current one or is the current one and already reaches past the column; the
    // line then holds `column` two-byte blanks, which also start a new backlog line. False, nothing
    // changed, for a position outside the window.
    bool SetPrintPosition(std::int32_t column, std::int32_t line);

    // Stage (TGameStateStage.cpp): the pending pictures the commands set and the shown ones a stage
    // change copies them to. Slots are 0 left, 1 centre, 2 right.
    std::int32_t GetPendingBackground() const { return FPendingBackground; }
    void SetPendingBackground(std::int32_t number) { FPendingBackground = number; }
    std::int32_t GetPendingCharacter(int slot) const;
    bool GetPendingTalking(int slot) const;
    bool GetShownTalking(int slot) const;
    // 0 plain, 1 characters slide left, 2 slide right, 3 redraw, 4 clear all.
    std::int32_t GetCharacterChangeMode() const { return FCharacterChangeMode; }
    void SetCharacterChangeMode(std::int32_t mode) { FCharacterChangeMode = mode; }
    std::int32_t GetStageSpeed() const { return FStageSpeed; }
    // At least 1.
    void SetStageSpeed(std::int32_t speed);
    // Puts character `character` into pending slot `slot`, or empties it; a lone centre character
    // moves aside (or back to the centre) and the change mode says which way.
    void PutCharacter(std::int32_t character, int slot);
    void RemoveCharacter(int slot);
    // Pending slots (a, b, c) become (-1, a, b) to the right or (b, c, -1) to the left, talking
    // flags likewise.
    void SlideCharacters(bool right);
    // Every pending and shown slot empty, every talking flag clear.
    void ClearCharacters();
    // Shown characters and talking flags := the pending ones; the background too when asked.
    void ShowPendingCharacters();
    void ShowPendingStage();
    // Pending and shown talking flag of `slot`.
    void SetTalking(int slot, bool on);
    std::int32_t GetAmbientSelection() const { return FAmbientSelection; }
    // Recomputes the ambient selection from the mode index, meter and shown background; true when
    // it changed.
    bool UpdateAmbientSelection();

    // Sound settings: levels 0 to 100 (a value outside is ignored), the play parameters each channel
    // hands to its next play, and what the BGM and ambient channels play.
    struct PlayParams {
        std::int32_t a = 0;
        std::int32_t b = 0;
    };
    void SetBgm(std::int32_t track) { FBgm = track < 0 ? -1 : track; }
    void SetBgmLevel(std::int32_t level);
    std::int32_t GetVoiceLevel() const { return FVoiceLevel; }
    void SetVoiceLevel(std::int32_t level);
    std::int32_t GetSeLevel() const { return FSeLevel; }
    void SetSeLevel(std::int32_t level);
    std::int32_t GetAmbientLevel() const { return FAmbientLevel; }
    void SetAmbientLevel(std::int32_t level);
    std::int32_t GetAmbientParam() const { return FAmbientParam; }
    void SetAmbientParam(std::int32_t value);
    PlayParams GetVoiceParams() const { return {FVoiceParams[0], FVoiceParams[1]}; }
    void SetVoiceParams(PlayParams params) { FVoiceParams[0] = params.a, FVoiceParams[1] = params.b; }
    PlayParams GetSeParams() const { return {FSeParams[0], FSeParams[1]}; }
    void SetSeParams(PlayParams params) { FSeParams[0] = params.a, FSeParams[1] = params.b; }
    PlayParams GetAmbientNextParams() const { return {FAmbientNext[0], FAmbientNext[1]}; }
    void SetAmbientNextParams(PlayParams params) { FAmbientNext[0] = params.a, FAmbientNext[1] = params.b; }
    // The ambient sound playing (-1 none) with the parameters it was started with.
    PlayParams GetAmbientParams() const { return {FAmbientPlaying[0], FAmbientPlaying[1]}; }
    void SetAmbient(std::int32_t number, PlayParams params);

    // Per-scene extras.
    void SetMovie(std::int32_t movie) { FMovie = movie; }
    std::int32_t GetExtraItem() const { return FExtraItem; }
    void SetExtraItem(std::int32_t item) { FExtraItem = item; }
    std::int32_t GetExtraWord() const { return FExtraWord; }
    // The value a finished song or game end leaves for the script (game mode 4).
    std::int32_t GetResultValue() const { return FResultValue; }
    void SetResultValue(std::int32_t value) { FResultValue = value; }
    bool GetOption(int i) const;
    void SetOption(int i, bool on);
    void SetAllOptions(bool on);

    AnsiString GetChoiceText(int i) const;
    // Cut to 52 bytes without splitting a character.
    void SetChoiceText(int i, std::string_view text);

private:
    // The engine's inner loop works on the value stack directly, checking its bounds itself.
    friend class TScriptEngine;

    bool BeforeLimit() const;
    void ClampToLimit();
    void StepDays(std::int32_t days);
    void UpdateTimeOfDay();
    static void CheckLayout();

    std::uint8_t FGameMode;
    std::uint8_t FFlags[FlagCount / 8];
    std::uint8_t FLocalFlags[8];
    std::uint8_t FReserved1[3];
    std::int32_t FVars[VarCount];
    std::int32_t FSubVars[8];
    char FNameTexts[NameTextCount][NameTextSize];
    std::int32_t FFrameWord1;
    std::int32_t FFrameWord2;
    std::int32_t FExtraWord;
    std::int8_t FMonth;
    std::int8_t FDay;
    std::int8_t FHour;
    std::int8_t FMinute;
    std::uint32_t FSubMinute;
    std::int32_t FTimeOfDay;
    std::uint8_t FLimitMonth; // 0: no limit
    std::uint8_t FLimitDay;
    std::uint8_t FLimitHour;
    std::uint8_t FLimitMinute;
    std::int32_t FMeter;
    char FSceneName[SceneNameSize];
    std::int32_t FValueStack[StackSize];
    std::int32_t FValueBase;
    std::int32_t FValueCount;
    std::int32_t FScriptNumber;
    std::uint32_t FScriptStamp;
    std::uint32_t FPc;
    std::uint8_t FHalt;
    std::uint8_t FStop;
    std::uint8_t FReserved2[2];
    TCallFrame FFrames[FrameSize];
    std::int32_t FFrameCount;
    std::int32_t FModeIndex;
    std::int32_t FShownBackground;
    std::int32_t FPendingBackground;
    std::int32_t FStageSpeed;
    std::int32_t FShownCharacters[3];
    std::int32_t FPendingCharacters[3];
    std::int32_t FCharacterChangeMode;
    std::uint8_t FShownTalking[3];
    std::uint8_t FPendingTalking[3];
    std::uint8_t FNovel;
    std::uint8_t FTextWindow;
    std::uint8_t FStageResetMarks[2]; // set by the stage reset, read nowhere
    std::uint8_t FCursor;
    std::uint8_t FNoSkip;
    std::int32_t FPlaceName;
    char FMessage[MessageSize];
    std::int32_t FMessageNumber;
    std::uint8_t FReadFlag;
    char FWindowLines[WindowLineCount][LineSize];
    std::uint8_t FReserved3[3];
    std::int32_t FWindowLine;
    std::int32_t FMessageSpeed;
    char FBacklog[BacklogSize][LineSize];
    std::int32_t FBacklogFirst;
    std::int32_t FBacklogLast;
    char FChoiceTexts[ChoiceCount][LineSize];
    std::int32_t FBgm;
    std::int32_t FBgmLevel;
    std::int32_t FVoiceLevel;
    std::int32_t FVoiceParams[2];
    std::int32_t FSeLevel;
    std::int32_t FSeParams[2];
    std::int32_t FAmbient;
    std::int32_t FAmbientLevel;
    std::int32_t FAmbientPlaying[2];
    std::int32_t FAmbientNext[2];
    std::int32_t FAmbientSelection;
    std::int32_t FAmbientParam;
    std::int32_t FExtraItem;
    std::uint8_t FOptions[OptionCount];
    std::int32_t FMovie;
    std::int32_t FResultValue;
};
