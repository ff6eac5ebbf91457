// TSystemState: flags, values, seen bits, viewed items and the sorted song table with its scores.
#include "scenario/records/TSystemState.h"

#include "scenario/records/RecordText.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <type_traits>

static_assert(std::is_trivially_copyable_v<TSystemState>);
static_assert(sizeof(TSystemState) == 13492);

void TSystemState::CheckLayout()
{
    static_assert(offsetof(TSystemState, FFlags) == 0);
    static_assert(offsetof(TSystemState, FValues) == 8);
    static_assert(offsetof(TSystemState, FSeenBits) == 40);
    static_assert(offsetof(TSystemState, FSongCodes) == 77);
    static_assert(offsetof(TSystemState, FReserved1) == 1101);
    static_assert(offsetof(TSystemState, FScores) == 1104);
    static_assert(offsetof(TSystemState, FReserved2) == 13392);
    static_assert(offsetof(TSystemState, FViewedItems) == 13457);
    static_assert(offsetof(TSystemState, FReserved3) == 13489);
}

namespace {

bool InRange(int i, int count) { return i >= 0 && i < count; }

bool GetBit(const std::uint8_t* bits, int i) { return (bits[i / 8] >> (i % 8) & 1) != 0; }

void SetBit(std::uint8_t* bits, int i, bool on)
{
    const auto bit = static_cast<std::uint8_t>(1u << (i % 8));
    bits[i / 8] = static_cast<std::uint8_t>(on ? bits[i / 8] | bit : bits[i / 8] & ~bit);
}

constexpr char BlankName[4] = {' ', ' ', ' ', ' '};

// Milliseconds of a monotonic clock, wrapping like a 32-bit tick count.
std::uint32_t TickCount()
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

} // namespace

TSystemState::TSystemState()
{
    std::memset(static_cast<void*>(this), 0, sizeof *this);
    for (auto& mode : FScores)
        for (auto& entry : mode)
            std::memcpy(entry.FName, BlankName, sizeof BlankName);
}

bool TSystemState::AssignBytes(std::span<const unsigned char> bytes)
{
    if (bytes.size() != sizeof *this)
        return false;
    std::memcpy(static_cast<void*>(this), bytes.data(), sizeof *this);
    return true;
}

bool TSystemState::GetSystemFlag(int i) const { return InRange(i, FlagCount) && GetBit(FFlags, i); }

void TSystemState::SetSystemFlag(int i, bool on)
{
    if (InRange(i, FlagCount))
        SetBit(FFlags, i, on);
}

std::int32_t TSystemState::GetSystemValue(int i) const { return InRange(i, ValueCount) ? FValues[i] : 0; }

void TSystemState::SetSystemValue(int i, std::int32_t value)
{
    if (InRange(i, ValueCount))
        FValues[i] = value;
}

void TSystemState::CopySystemFlags(std::uint8_t (&flags)[FlagCount / 8]) const { std::memcpy(flags, FFlags, sizeof FFlags); }

void TSystemState::CopySystemValues(std::int32_t (&values)[ValueCount]) const { std::memcpy(values, FValues, sizeof FValues); }

// Scripts can name bits up to 299; those past the stored set must not reach the song table behind it.
void TSystemState::SetSystemBit(int i)
{
    if (InRange(i, SeenBitCount))
        SetBit(FSeenBits, i, true);
}

bool TSystemState::GetSystemBit(int i) const { return InRange(i, SeenBitCount) && GetBit(FSeenBits, i); }

void TSystemState::SetViewedItem(int i)
{
    if (i >= 1 && i <= ViewedItemCount)
        FViewedItems[i - 1] = 1;
}

bool TSystemState::GetViewedItem(int i) const { return i >= 1 && i <= ViewedItemCount && FViewedItems[i - 1] != 0; }

int TSystemState::FindIndex(const TSongID& code) const
{
    if (code.IsEmpty())
        return -1;
    for (int i = 0; i < SongCount; ++i)
        if (!FSongCodes[i].IsEmpty() && CompareSongId(FSongCodes[i], code) == 0)
            return i;
    return -1;
}

int TSystemState::FindSongCode(const TSongID& code, bool add)
{
    const int found = FindIndex(code);
    if (found >= 0 || !add || code.IsEmpty())
        return found;
    const auto* empty = std::find_if(std::begin(FSongCodes), std::end(FSongCodes), [](const TSongID& c) { return c.IsEmpty(); });
    if (empty == std::end(FSongCodes))
        return -1;
    const int slot = static_cast<int>(empty - std::begin(FSongCodes));
    FSongCodes[slot] = code;
    for (auto& mode : FScores) {
        mode[slot] = TRankingData{};
        std::memcpy(mode[slot].FName, BlankName, sizeof BlankName);
    }
    return SortSongs(slot);
}

// An insertion sort of the used slots (up to the first empty one) through a permutation, stable
// for equal codes, then one pass that moves codes and all three rank tables into the new order.
int TSystemState::SortSongs(int index)
{
    std::array<int, SongCount> order;
    for (int i = 0; i < SongCount; ++i)
        order[i] = i;
    int used = 0;
    while (used < SongCount && !FSongCodes[used].IsEmpty())
        ++used;
    for (int i = 1; i < used; ++i)
        for (int j = i; j > 0 && CompareSongId(FSongCodes[order[j]], FSongCodes[order[j - 1]]) < 0; --j)
            std::swap(order[j], order[j - 1]);

    std::array<TSongID, SongCount> codes;
    std::array<TRankingData, SongCount> scores;
    for (int i = 0; i < SongCount; ++i)
        codes[i] = FSongCodes[order[i]];
    std::copy(codes.begin(), codes.end(), FSongCodes);
    for (auto& mode : FScores) {
        for (int i = 0; i < SongCount; ++i)
            scores[i] = mode[order[i]];
        std::copy(scores.begin(), scores.end(), mode);
    }
    return static_cast<int>(std::find(order.begin(), order.end(), index) - order.begin());
}

TSongID TSystemState::GetSongCode(int index) const { return InRange(index, SongCount) ? FSongCodes[index] : TSongID{}; }

void TSystemState::SetScoreEntry(int rankMode, const TSongID& code, std::uint32_t score, std::string_view name)
{
    if (!InRange(rankMode, RankModeCount))
        return;
    const int index = FindSongCode(code, true);
    if (index < 0)
        return;
    TRankingData& entry = FScores[rankMode][index];
    const std::uint32_t stamp = TickCount();
    entry.FScore = score;
    entry.FStamp = stamp == 0 ? 1 : stamp;
    entry.FCheck = entry.FScore ^ entry.FStamp;
    if (name.empty()) {
        std::memcpy(entry.FName, BlankName, sizeof BlankName);
        return;
    }
    std::memset(entry.FName, 0, sizeof entry.FName);
    std::memcpy(entry.FName, name.data(), std::min(name.size(), sizeof entry.FName));
}

std::uint32_t TSystemState::GetScoreValue(int rankMode, const TSongID& code) const
{
    return GetScoreEntry(rankMode, FindIndex(code)).FScore;
}

AnsiString TSystemState::GetScoreName(int rankMode, const TSongID& code) const
{
    const int index = FindIndex(code);
    if (!InRange(rankMode, RankModeCount) || index < 0)
        return {};
    return ReadText(FScores[rankMode][index].FName);
}

TRankingData TSystemState::GetScoreEntry(int rankMode, int index) const
{
    return InRange(rankMode, RankModeCount) && InRange(index, SongCount) ? FScores[rankMode][index] : TRankingData{};
}
