// TMusicNote, one record of a song's chart, and the sizes of the chart's stores.
#pragma once

#include <cstddef>
#include <cstdint>

// Seven 32-bit words. A read record has a time and a value above 0; `sound` and `lane` are both
// valid or both -1; every record past the last one read has the time NoteTimeEnd.
struct TMusicNote {
    std::uint32_t time;      // song-clock units, 88,200 a second
    std::int32_t value;      // the chart's second field in thousandths; not used by the run
    std::int32_t sound;      // index in the key-sound list, or -1
    std::int32_t lane;       // 0..29 on hard, 0..7 otherwise, or -1
    std::int32_t text;       // offset of the lyric in the text pool, or -1
    std::uint8_t autoPlay;   // the game plays the note itself
    std::uint8_t autoByRank; // autoPlay only because of the easy difficulty
    std::int32_t state;      // 0 after reading; the run's afterwards
};
static_assert(sizeof(TMusicNote) == 28);
static_assert(offsetof(TMusicNote, autoPlay) == 20 && offsetof(TMusicNote, state) == 24);

inline constexpr std::uint32_t NoteTimeEnd = 0xFFFFFFFFu;
// Records of a song screen; a chart loads with at most one fewer.
inline constexpr int MaxNotes = 1024;
// Bytes of the lyric text pool.
inline constexpr int TextPoolSize = 32768;
