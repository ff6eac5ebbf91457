// TSystemState: the record that outlives a play-through (system flags and values, seen bits,
// viewed items, and the song game's best scores by song code and rank mode), with its score entry
// TRankingData. Its bytes go into the system save as they stand: 13,492 bytes, little-endian.
#pragma once

#include "platform/classes/AnsiString.h"
#include "scenario/records/TSongID.h"

#include <cstdint>
#include <span>
#include <string_view>

// One best score: the check word is score XOR stamp; the name is four bytes, zero-padded.
struct TRankingData {
    std::uint32_t FScore;
    std::uint32_t FStamp; // millisecond tick count when stored, never 0
    std::uint32_t FCheck;
    char FName[4];
};
static_assert(sizeof(TRankingData) == 16);

// Logic thread only.
class TSystemState {
public:
    static constexpr int FlagCount = 64;
    static constexpr int ValueCount = 8;
    static constexpr int SeenBitCount = 296;
    static constexpr int SongCount = 256;
    static constexpr int RankModeCount = 3; // 0 NORMAL, 1 HARD, 2 EASY
    static constexpr int ViewedItemCount = 32;

    // Everything 0, every score name four blanks.
    TSystemState();

    std::span<const unsigned char> Bytes() const { return {reinterpret_cast<const unsigned char*>(this), sizeof *this}; }
    // False, record untouched, unless there are exactly 13,492 bytes.
    bool AssignBytes(std::span<const unsigned char> bytes);

    bool GetSystemFlag(int i) const;
    void SetSystemFlag(int i, bool on);
    std::int32_t GetSystemValue(int i) const;
    void SetSystemValue(int i, std::int32_t value);
    void CopySystemFlags(std::uint8_t (&flags)[FlagCount / 8]) const;
    void CopySystemValues(std::int32_t (&values)[ValueCount]) const;

    // Seen bits 0 to 295; a higher bit is ignored. Bits are never cleared.
    void SetSystemBit(int i);
    bool GetSystemBit(int i) const;
    // Viewed items 1 to 32.
    void SetViewedItem(int i);
    bool GetViewedItem(int i) const;

    // The code's index in the song table, or -1. With `add`, a missing code takes the first empty
    // slot with cleared scores and the table is sorted again; -1 when the table is full.
    int FindSongCode(const TSongID& code, bool add);
    // The code at index 0 to 255, or an empty code.
    TSongID GetSongCode(int index) const;

    // Stores score, stamp, check word and the name's first four bytes (four blanks when empty) for
    // the code, which is added when missing; nothing for a rank mode outside 0 to 2 or a full table.
    void SetScoreEntry(int rankMode, const TSongID& code, std::uint32_t score, std::string_view name);
    // 0 for a code not in the table or a rank mode outside 0 to 2.
    std::uint32_t GetScoreValue(int rankMode, const TSongID& code) const;
    // The name up to its first zero byte; empty for a code not in the table or a bad rank mode.
    AnsiString GetScoreName(int rankMode, const TSongID& code) const;
    // The whole entry at a table index (all zero outside the table or for a bad rank mode).
    TRankingData GetScoreEntry(int rankMode, int index) const;

private:
    int FindIndex(const TSongID& code) const;
    // Sorts the used slots and moves the score entries with them; returns the new index of `index`.
    int SortSongs(int index);
    static void CheckLayout();

    std::uint8_t FFlags[FlagCount / 8];
    std::int32_t FValues[ValueCount];
    std::uint8_t FSeenBits[37];
    TSongID FSongCodes[SongCount];
    std::uint8_t FReserved1[3];
    TRankingData FScores[RankModeCount][SongCount];
    std::uint8_t FReserved2[65];
    std::uint8_t FViewedItems[ViewedItemCount];
    std::uint8_t FReserved3[3];
};
