// ReadChart: turns a song's chart "Song.txt" into note records and a pool of lyric texts.
//
// Lines in file order (never sorted: a chart out of order is the file's fault). An empty line or
// one whose first byte is "#" is skipped; every other line is one record: time, value, key-sound
// name (or "@" for a lyric-only line), key letter, lyric. Key-sound names are matched without
// their extension against the song's key list (held in upper case). Failures are false: the file
// missing, a time that is not a whole number of 0 or more, the pool full, or the 1,024th record.
#pragma once

#include "songgame/chart/TMusicNote.h"

#include "platform/classes/AnsiString.h"

#include <span>

class TFileMan;
class TStringList;

// What the reader needs of the song screen; it changes none of it.
struct ChartOptions {
    std::span<const AnsiString> keyNames; // upper case, with extension, in key-sound order
    int rankMode = 0;                     // 0 normal, 1 hard, 2 easy
    int autoMode = 0;                     // 0 the player plays, 1 automatic, 2 demonstration
    int version = 100;                    // the identity file's version
};

// Where the records and texts go: MaxNotes records and TextPoolSize bytes (smaller stores fail).
struct ChartStore {
    std::span<TMusicNote> notes;
    std::span<char> pool;
    int count = 0;    // records filled by the last read
    int poolUsed = 0; // bytes of the pool in use
};

inline constexpr int RankNormal = 0;
inline constexpr int RankHard = 1;
inline constexpr int RankEasy = 2;

// Reads "Song.txt" through the song-data file manager.
bool ReadChart(TFileMan& songFiles, const ChartOptions& options, ChartStore& store);
// The same on lines already read.
bool ReadChartLines(const TStringList& lines, const ChartOptions& options, ChartStore& store);
