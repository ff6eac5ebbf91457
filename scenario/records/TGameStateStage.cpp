// The stage, sound-setting and print-position parts of the scenario record the command
// instructions change.
#include "scenario/records/RecordText.h"
#include "scenario/records/TGameState.h"

#include <algorithm>
#include <array>

namespace {

bool InRange(int i, int count) { return i >= 0 && i < count; }
bool IsLevel(std::int32_t level) { return level >= 0 && level <= 100; }

constexpr std::int32_t Empty = TGameState::NoPicture;

} // namespace

bool TGameState::SetPrintPosition(std::int32_t column, std::int32_t line)
{
    if (!InRange(column, 26) || !InRange(line, WindowLineCount))
        return false;
    if (line < FWindowLine ||
        (line == FWindowLine && strnlen(FWindowLines[line], LineSize) > static_cast<std::size_t>(2 * column)))
        ClearWindowLines();
    FWindowLine = line;
    const AnsiString blanks(static_cast<std::size_t>(2 * column), '\xA1');
    StoreText(FWindowLines[line], blanks);
    AdvanceBacklog();
    AppendBacklogLine(blanks);
    return true;
}

std::int32_t TGameState::GetPendingCharacter(int slot) const { return InRange(slot, 3) ? FPendingCharacters[slot] : Empty; }
bool TGameState::GetPendingTalking(int slot) const { return InRange(slot, 3) && FPendingTalking[slot] != 0; }
bool TGameState::GetShownTalking(int slot) const { return InRange(slot, 3) && FShownTalking[slot] != 0; }

void TGameState::SetStageSpeed(std::int32_t speed) { FStageSpeed = std::max(1, speed); }

void TGameState::PutCharacter(std::int32_t character, int slot)
{
    if (!InRange(slot, 3))
        return;
    const bool centreOnly = FPendingCharacters[0] == Empty && FPendingCharacters[1] != Empty && FPendingCharacters[2] == Empty;
    if (centreOnly && slot != 1) {
        // The centre character steps aside to the far side of the newcomer.
        const int other = 2 - slot;
        FPendingCharacters[other] = FPendingCharacters[1];
        FPendingTalking[other] = FPendingTalking[1];
        FPendingCharacters[1] = Empty;
        FPendingTalking[1] = FPendingTalking[slot] = 0;
        FPendingCharacters[slot] = character;
        const std::int32_t toward = slot == 0 ? 2 : 1; // the mode of the move, and its opposite
        const std::int32_t away = 3 - toward;
        FCharacterChangeMode = FCharacterChangeMode == 0 ? toward : FCharacterChangeMode == away ? 0 : FCharacterChangeMode;
        return;
    }
    FCharacterChangeMode = 0;
    FPendingCharacters[slot] = character;
}

void TGameState::RemoveCharacter(int slot)
{
    if (!InRange(slot, 3))
        return;
    const bool sidesOnly = FPendingCharacters[0] != Empty && FPendingCharacters[1] == Empty && FPendingCharacters[2] != Empty;
    if (sidesOnly && slot != 1) {
        // The one left moves to the centre.
        const int other = 2 - slot;
        FPendingCharacters[1] = FPendingCharacters[other];
        FPendingTalking[1] = FPendingTalking[other];
        FPendingCharacters[0] = FPendingCharacters[2] = Empty;
        FPendingTalking[0] = FPendingTalking[2] = 0;
        const std::int32_t toward = slot == 0 ? 1 : 2;
        const std::int32_t away = 3 - toward;
        FCharacterChangeMode = FCharacterChangeMode == 0 ? toward : FCharacterChangeMode == away ? 0 : FCharacterChangeMode;
        return;
    }
    FCharacterChangeMode = 0;
    FPendingCharacters[slot] = Empty;
}

void TGameState::SlideCharacters(bool right)
{
    auto slide = [right](auto& slots, auto empty) {
        if (right) {
            slots[2] = slots[1];
            slots[1] = slots[0];
            slots[0] = empty;
        } else {
            slots[0] = slots[1];
            slots[1] = slots[2];
            slots[2] = empty;
        }
    };
    slide(FPendingCharacters, Empty);
    slide(FPendingTalking, std::uint8_t{0});
}

void TGameState::ClearCharacters()
{
    for (auto* slots : {FPendingCharacters, FShownCharacters})
        std::fill(slots, slots + 3, Empty);
    for (auto* flags : {FPendingTalking, FShownTalking})
        std::fill(flags, flags + 3, 0);
}

void TGameState::ShowPendingCharacters()
{
    std::copy(std::begin(FPendingCharacters), std::end(FPendingCharacters), FShownCharacters);
    std::copy(std::begin(FPendingTalking), std::end(FPendingTalking), FShownTalking);
}

void TGameState::ShowPendingStage()
{
    FShownBackground = FPendingBackground;
    ShowPendingCharacters();
}

void TGameState::SetTalking(int slot, bool on)
{
    if (InRange(slot, 3))
        FPendingTalking[slot] = FShownTalking[slot] = on;
}

bool TGameState::UpdateAmbientSelection()
{
    std::int32_t selection = -1;
    const std::int32_t picture = FShownBackground % 1000;
    if (FModeIndex == 2 && picture < 998)
        selection = GetMeterLevel() + (FShownBackground / 1000 == 1 ? 5 : 0);
    else if (FModeIndex == 2 && (FShownBackground == 998 || FShownBackground == 999))
        selection = FAmbientSelection < 0 ? FAmbientSelection : GetMeterLevel() + (FAmbientSelection >= 5 ? 5 : 0);
    if (selection == FAmbientSelection)
        return false;
    FAmbientSelection = selection;
    return true;
}

void TGameState::SetBgmLevel(std::int32_t level)
{
    if (IsLevel(level))
        FBgmLevel = level;
}

void TGameState::SetVoiceLevel(std::int32_t level)
{
    if (IsLevel(level))
        FVoiceLevel = level;
}

void TGameState::SetSeLevel(std::int32_t level)
{
    if (IsLevel(level))
        FSeLevel = level;
}

void TGameState::SetAmbientLevel(std::int32_t level)
{
    if (IsLevel(level))
        FAmbientLevel = level;
}

void TGameState::SetAmbientParam(std::int32_t value)
{
    if (IsLevel(value))
        FAmbientParam = value;
}

void TGameState::SetAmbient(std::int32_t number, PlayParams params)
{
    FAmbient = number;
    FAmbientPlaying[0] = params.a;
    FAmbientPlaying[1] = params.b;
}

bool TGameState::GetOption(int i) const { return InRange(i, OptionCount) && FOptions[i] != 0; }

void TGameState::SetOption(int i, bool on)
{
    if (InRange(i, OptionCount))
        FOptions[i] = on;
}

void TGameState::SetAllOptions(bool on) { std::fill(std::begin(FOptions), std::end(FOptions), on); }
