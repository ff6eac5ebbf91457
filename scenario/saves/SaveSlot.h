// Save slots "TVQE%02d.sav": the current scenario record, the scene-start snapshot and an optional
// extra block (such as a thumbnail), as one range-coded image of 159,924 bytes behind the header.
#pragma once

#include "platform/classes/AnsiString.h"
#include "scenario/records/TGameState.h"

#include <cstddef>
#include <span>
#include <vector>

inline constexpr std::size_t SlotImageSize = 159924;
inline constexpr std::size_t MaxExtraLength = 40200;

// The two records of a play-through that every slot holds.
struct TScenarioRecords {
    TGameState current;
    TGameState snapshot; // taken at every scene start
};

AnsiString SaveSlotName(int slot);

// The whole file; empty when the extra block is longer than 40,200 bytes or coding fails.
std::vector<unsigned char> EncodeSaveSlot(const TGameState& current, const TGameState& snapshot, std::span<const unsigned char> extra);
// Checks header, coding, the extra length and both records' sanity first, then fills whichever
// targets are given (the extra block only when `extra` is not empty; it must then hold the stored
// length). False, targets untouched, on any failure.
bool DecodeSaveSlot(std::span<const unsigned char> file, TGameState* current, TGameState* snapshot, std::size_t& extraLength,
                    std::span<unsigned char> extra);

// The same on slot files in `folder` (the game passes the program folder); slots are 0 or more
// (0 is the automatic save). Never raise.
bool WriteSaveSlot(const AnsiString& folder, int slot, const TGameState& current, const TGameState& snapshot,
                   std::span<const unsigned char> extra);
bool ReadSaveSlot(const AnsiString& folder, int slot, TGameState* current, TGameState* snapshot, std::size_t& extraLength,
                  std::span<unsigned char> extra);

bool SaveGameSlot(const AnsiString& folder, int slot, const TScenarioRecords& records);
bool SaveGameSlotEx(const AnsiString& folder, int slot, const TScenarioRecords& records, std::span<const unsigned char> extra);
// Replaces both records only when the whole slot reads back.
bool LoadGameSlot(const AnsiString& folder, int slot, TScenarioRecords& records);
