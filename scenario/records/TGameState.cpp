// TGameState: accessors, resets, the value stack and call frames, window lines, backlog and the
// sanity check of a decoded record. The calendar clock is in TGameStateClock.cpp.
#include "scenario/records/TGameState.h"

#include "scenario/records/GameCalendar.h"
#include "scenario/records/RecordText.h"
#include "scenario/records/TSystemState.h"
#include "scenario/text/MessageText.h"
#include "shell/GameExceptions.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>
#include <type_traits>

static_assert(std::endian::native == std::endian::little, "the record's bytes are its little-endian file format");
static_assert(std::is_trivially_copyable_v<TGameState>);
static_assert(sizeof(TGameState) == 59860);

void TGameState::CheckLayout()
{
    static_assert(offsetof(TGameState, FGameMode) == 0);
    static_assert(offsetof(TGameState, FFlags) == 1);
    static_assert(offsetof(TGameState, FLocalFlags) == 65);
    static_assert(offsetof(TGameState, FReserved1) == 73);
    static_assert(offsetof(TGameState, FVars) == 76);
    static_assert(offsetof(TGameState, FSubVars) == 332);
    static_assert(offsetof(TGameState, FNameTexts) == 364);
    static_assert(offsetof(TGameState, FFrameWord1) == 2412);
    static_assert(offsetof(TGameState, FFrameWord2) == 2416);
    static_assert(offsetof(TGameState, FExtraWord) == 2420);
    static_assert(offsetof(TGameState, FMonth) == 2424);
    static_assert(offsetof(TGameState, FDay) == 2425);
    static_assert(offsetof(TGameState, FHour) == 2426);
    static_assert(offsetof(TGameState, FMinute) == 2427);
    static_assert(offsetof(TGameState, FSubMinute) == 2428);
    static_assert(offsetof(TGameState, FTimeOfDay) == 2432);
    static_assert(offsetof(TGameState, FLimitMonth) == 2436);
    static_assert(offsetof(TGameState, FLimitDay) == 2437);
    static_assert(offsetof(TGameState, FLimitHour) == 2438);
    static_assert(offsetof(TGameState, FLimitMinute) == 2439);
    static_assert(offsetof(TGameState, FMeter) == 2440);
    static_assert(offsetof(TGameState, FSceneName) == 2444);
    static_assert(offsetof(TGameState, FValueStack) == 2508);
    static_assert(offsetof(TGameState, FValueBase) == 3532);
    static_assert(offsetof(TGameState, FValueCount) == 3536);
    static_assert(offsetof(TGameState, FScriptNumber) == 3540);
    static_assert(offsetof(TGameState, FScriptStamp) == 3544);
    static_assert(offsetof(TGameState, FPc) == 3548);
    static_assert(offsetof(TGameState, FHalt) == 3552);
    static_assert(offsetof(TGameState, FStop) == 3553);
    static_assert(offsetof(TGameState, FReserved2) == 3554);
    static_assert(offsetof(TGameState, FFrames) == 3556);
    static_assert(offsetof(TGameState, FFrameCount) == 5348);
    static_assert(offsetof(TGameState, FModeIndex) == 5352);
    static_assert(offsetof(TGameState, FShownBackground) == 5356);
    static_assert(offsetof(TGameState, FPendingBackground) == 5360);
    static_assert(offsetof(TGameState, FStageSpeed) == 5364);
    static_assert(offsetof(TGameState, FShownCharacters) == 5368);
    static_assert(offsetof(TGameState, FPendingCharacters) == 5380);
    static_assert(offsetof(TGameState, FCharacterChangeMode) == 5392);
    static_assert(offsetof(TGameState, FShownTalking) == 5396);
    static_assert(offsetof(TGameState, FPendingTalking) == 5399);
    static_assert(offsetof(TGameState, FNovel) == 5402);
    static_assert(offsetof(TGameState, FTextWindow) == 5403);
    static_assert(offsetof(TGameState, FStageResetMarks) == 5404);
    static_assert(offsetof(TGameState, FCursor) == 5406);
    static_assert(offsetof(TGameState, FNoSkip) == 5407);
    static_assert(offsetof(TGameState, FPlaceName) == 5408);
    static_assert(offsetof(TGameState, FMessage) == 5412);
    static_assert(offsetof(TGameState, FMessageNumber) == 5668);
    static_assert(offsetof(TGameState, FReadFlag) == 5672);
    static_assert(offsetof(TGameState, FWindowLines) == 5673);
    static_assert(offsetof(TGameState, FReserved3) == 6521);
    static_assert(offsetof(TGameState, FWindowLine) == 6524);
    static_assert(offsetof(TGameState, FMessageSpeed) == 6528);
    static_assert(offsetof(TGameState, FBacklog) == 6532);
    static_assert(offsetof(TGameState, FBacklogFirst) == 59532);
    static_assert(offsetof(TGameState, FBacklogLast) == 59536);
    static_assert(offsetof(TGameState, FChoiceTexts) == 59540);
    static_assert(offsetof(TGameState, FBgm) == 59752);
    static_assert(offsetof(TGameState, FBgmLevel) == 59756);
    static_assert(offsetof(TGameState, FVoiceLevel) == 59760);
    static_assert(offsetof(TGameState, FVoiceParams) == 59764);
    static_assert(offsetof(TGameState, FSeLevel) == 59772);
    static_assert(offsetof(TGameState, FSeParams) == 59776);
    static_assert(offsetof(TGameState, FAmbient) == 59784);
    static_assert(offsetof(TGameState, FAmbientLevel) == 59788);
    static_assert(offsetof(TGameState, FAmbientPlaying) == 59792);
    static_assert(offsetof(TGameState, FAmbientNext) == 59800);
    static_assert(offsetof(TGameState, FAmbientSelection) == 59808);
    static_assert(offsetof(TGameState, FAmbientParam) == 59812);
    static_assert(offsetof(TGameState, FExtraItem) == 59816);
    static_assert(offsetof(TGameState, FOptions) == 59820);
    static_assert(offsetof(TGameState, FMovie) == 59852);
    static_assert(offsetof(TGameState, FResultValue) == 59856);
}

namespace {

bool InRange(int i, int count) { return i >= 0 && i < count; }

// A program counter the engine can hold: an offset in a code section, or none.
bool IsPc(std::uint32_t pc) { return pc == TGameState::NoEntry || pc < 0x80000000u; }

bool IsStackState(std::int32_t base, std::int32_t count)
{
    return base >= 0 && base <= count && count <= TGameState::StackSize;
}

} // namespace

void TGameState::Clear()
{
    std::memset(static_cast<void*>(this), 0, sizeof *this);
    FMonth = 1;
    FDay = 1;
    FHour = 10;
    UpdateTimeOfDay();
    FMeter = 100;
    FHalt = 1;
    FShownBackground = NoBackground;
    FPendingBackground = NoBackground;
    ResetStage();
    ResetSound();
}

void TGameState::ResetStage()
{
    FStageSpeed = 100;
    std::fill(std::begin(FShownCharacters), std::end(FShownCharacters), NoPicture);
    std::fill(std::begin(FPendingCharacters), std::end(FPendingCharacters), NoPicture);
    std::fill(std::begin(FShownTalking), std::end(FShownTalking), 0);
    std::fill(std::begin(FPendingTalking), std::end(FPendingTalking), 0);
    FCharacterChangeMode = 0;
    FNovel = 0;
    FTextWindow = 0;
    FStageResetMarks[0] = FStageResetMarks[1] = 1;
    FCursor = 1;
    FNoSkip = 0;
    FPlaceName = 0;
    std::memset(FMessage, 0, sizeof FMessage);
    FMessageNumber = -1;
    FReadFlag = 0;
    ClearWindowLines();
    FMessageSpeed = 100;
    FExtraItem = 0;
    std::memset(FOptions, 0, sizeof FOptions);
    FMovie = -1;
    FResultValue = 0;
}

void TGameState::ResetSound()
{
    FBgm = -1;
    FBgmLevel = 100;
    FVoiceLevel = 100;
    FSeLevel = 100;
    FAmbient = -1;
    FAmbientLevel = 100;
    for (auto* params : {FVoiceParams, FSeParams, FAmbientPlaying, FAmbientNext})
        params[0] = params[1] = 0;
    FAmbientSelection = -1;
    FAmbientParam = 100;
}

bool TGameState::IsSane() const
{
    if (FGameMode > 4 || !IsPc(FPc) || !IsStackState(FValueBase, FValueCount))
        return false;
    if (FFrameCount < 0 || FFrameCount > FrameSize)
        return false;
    for (int i = 0; i < FFrameCount; ++i)
        if (!IsPc(FFrames[i].FReturnPc) || !IsStackState(FFrames[i].FValueBase, FFrames[i].FValueCount))
            return false;
    if (FMonth < 1 || FMonth > 12 || FDay < 1 || FDay > DaysInMonth(FMonth) || FHour < 0 || FHour > 23 ||
        FMinute < 0 || FMinute > 59)
        return false;
    if (!InRange(FModeIndex, 6) || !InRange(FWindowLine, WindowLineCount) || !InRange(FBacklogFirst, BacklogSize) ||
        !InRange(FBacklogLast, BacklogSize))
        return false;
    return IsTerminated(FSceneName) && IsTerminated(FMessage) && AllTerminated(FNameTexts) &&
           AllTerminated(FWindowLines) && AllTerminated(FBacklog) && AllTerminated(FChoiceTexts);
}

bool TGameState::AssignBytes(std::span<const unsigned char> bytes)
{
    if (bytes.size() != sizeof *this)
        return false;
    std::memcpy(static_cast<void*>(this), bytes.data(), sizeof *this);
    return true;
}

bool TGameState::GetFlag(int i) const { return InRange(i, FlagCount) && (FFlags[i / 8] >> (i % 8) & 1) != 0; }

void TGameState::SetFlag(int i, bool on)
{
    if (!InRange(i, FlagCount))
        return;
    const auto bit = static_cast<std::uint8_t>(1u << (i % 8));
    FFlags[i / 8] = static_cast<std::uint8_t>(on ? FFlags[i / 8] | bit : FFlags[i / 8] & ~bit);
}

bool TGameState::GetLocalFlag(int i) const { return InRange(i, 64) && (FLocalFlags[i / 8] >> (i % 8) & 1) != 0; }

void TGameState::CopySystemFlagsFrom(const TSystemState& system) { system.CopySystemFlags(FLocalFlags); }

std::int32_t TGameState::GetVar(int i) const { return InRange(i, VarCount) ? FVars[i] : 0; }

void TGameState::SetVar(int i, std::int32_t value)
{
    if (InRange(i, VarCount))
        FVars[i] = value;
}

std::int32_t TGameState::GetSubVar(int i) const { return InRange(i, 8) ? FSubVars[i] : 0; }

void TGameState::CopySystemValuesFrom(const TSystemState& system) { system.CopySystemValues(FSubVars); }

AnsiString TGameState::GetNameText(int i) const { return InRange(i, NameTextCount) ? ReadText(FNameTexts[i]) : AnsiString(); }

void TGameState::SetNameText(int i, std::string_view text)
{
    if (text.size() >= NameTextSize)
        throw EGameErr();
    if (InRange(i, NameTextCount))
        StoreText(FNameTexts[i], text);
}

AnsiString TGameState::GetSceneName() const { return ReadText(FSceneName); }

void TGameState::SetSceneName(std::string_view name)
{
    if (name.size() >= SceneNameSize)
        throw EGameErr();
    StoreText(FSceneName, name);
}

void TGameState::SetModeIndex(std::int32_t index)
{
    if (InRange(index, 6))
        FModeIndex = index;
}

void TGameState::SetMeter(std::int32_t value) { FMeter = std::clamp(value, 0, 255); }

std::int32_t TGameState::GetMeterLevel() const { return std::min(FMeter / 50, 4); }

void TGameState::SetScript(std::int32_t number, std::uint32_t stamp)
{
    FScriptNumber = number;
    FScriptStamp = stamp;
}

void TGameState::PushValue(std::int32_t value)
{
    if (FValueCount >= StackSize)
        throw EGameErr();
    FValueStack[FValueCount++] = value;
}

std::int32_t TGameState::PopValue()
{
    if (FValueCount <= FValueBase)
        throw EGameErr();
    return FValueStack[--FValueCount];
}

std::int32_t TGameState::PeekValue() const
{
    if (FValueCount <= FValueBase)
        throw EGameErr();
    return FValueStack[FValueCount - 1];
}

void TGameState::ClearStack()
{
    FValueCount = 0;
    FValueBase = 0;
    FFrameCount = 0;
}

void TGameState::PushFrame(const TCallFrame& frame)
{
    if (FFrameCount >= FrameSize)
        throw EGameErr();
    FFrames[FFrameCount++] = frame;
}

TCallFrame TGameState::PopFrame()
{
    if (FFrameCount <= 0)
        throw EGameErr();
    return FFrames[--FFrameCount];
}

TCallFrame TGameState::GetFrame(int i) const { return InRange(i, FFrameCount) ? FFrames[i] : TCallFrame{}; }

std::int32_t TGameState::GetShownCharacter(int slot) const { return InRange(slot, 3) ? FShownCharacters[slot] : 0; }

AnsiString TGameState::GetWindowLine(int i) const
{
    return InRange(i, WindowLineCount) ? ReadText(FWindowLines[i]) : AnsiString();
}

void TGameState::ClearWindowLines()
{
    const bool anyText = std::any_of(std::begin(FWindowLines), std::end(FWindowLines), [](const auto& line) { return line[0] != 0; });
    if (anyText)
        AdvanceBacklog();
    std::memset(FWindowLines, 0, sizeof FWindowLines);
    FWindowLine = 0;
}

int TGameState::GetBacklogCount() const
{
    return FBacklogFirst <= FBacklogLast ? FBacklogLast - FBacklogFirst + 1 : FBacklogLast + BacklogSize - FBacklogFirst + 1;
}

AnsiString TGameState::GetBacklogLine(int i) const
{
    if (!InRange(i, GetBacklogCount()))
        return {};
    return ReadText(FBacklog[(FBacklogFirst + i) % BacklogSize]);
}

void TGameState::AdvanceBacklog()
{
    if (GetBacklogCount() == BacklogSize) {
        std::memset(FBacklog[FBacklogFirst], 0, LineSize);
        FBacklogFirst = (FBacklogFirst + 1) % BacklogSize;
    }
    FBacklogLast = (FBacklogLast + 1) % BacklogSize;
    std::memset(FBacklog[FBacklogLast], 0, LineSize);
}


void TGameState::ClearBacklog()
{
    std::memset(FBacklog, 0, sizeof FBacklog);
    FBacklogFirst = 0;
    FBacklogLast = 0;
}

AnsiString TGameState::GetChoiceText(int i) const { return InRange(i, ChoiceCount) ? ReadText(FChoiceTexts[i]) : AnsiString(); }

void TGameState::SetChoiceText(int i, std::string_view text)
{
    if (InRange(i, ChoiceCount))
        StoreText(FChoiceTexts[i], MessageText::Cut(text, MessageText::LineBytes));
}
