// QuickSave: the adventure screen's quick save into slot 0, with a thumbnail of the screen as the
// slot's extra data.
#pragma once

#include "platform/classes/AnsiString.h"

#include <vector>

class TXeRGBBits;
struct TScenarioRecords;

// The slot quick save writes and quick load reads.
inline constexpr int kQuickSaveSlot = 0;

// The thumbnail of the screen as the slot stores it: its rows top first, three bytes a pixel (blue,
// green, red), 40,200 bytes; empty when no thumbnail can be made of it.
std::vector<unsigned char> ThumbnailBytes(TXeRGBBits* screen);

// Writes both records into the quick-save slot of `folder`, with the screen's thumbnail, or without
// extra data when there is none. False when the slot could not be written.
bool WriteQuickSave(const AnsiString& folder, const TScenarioRecords& records, TXeRGBBits* screen);
