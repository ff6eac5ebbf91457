// SongPlayer: plays a set-up song screen from its start to its end as a perfect player would: in
// every frame of the performance, the key of each playable note that falls due by the clock the
// frame will read is tapped just before the frame, so that every note is judged best. The song's
// clock is moved on by the test (its timer's milliseconds or its audio clock) before each frame.
//
// Two notes of one lane due in the same frame get one tap (a frame takes one press a lane).
#pragma once

#include "songgame/chart/TMusicNote.h"
#include "songgame/screen/TMusicUnit.h"

#include "platform/input/headless/ScriptedSongInput.h"

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace songtest {

// The scan code whose press strikes lane 0..29 (the inverse of the run's key lanes).
std::uint8_t LaneKey(int lane);

// The keys of the notes a player strikes (with a sound and no lyric, not played by themselves) due
// in the clock interval (after, upTo], one a lane, in chart order.
std::vector<std::uint8_t> KeysDue(std::span<const TMusicNote> notes, std::uint32_t after, std::uint32_t upTo);

struct SongPlayOptions {
    int maxFrames = 30 * 600;
    // Goes of the performance played without a key; after each the continue prompt is answered
    // with Y, and the go after them is played perfectly.
    int silentGoes = 0;
};

struct SongPlay {
    int frames = 0; // frames stepped
    int taps = 0;   // note keys tapped
    int goes = 0;   // performances begun
    bool ended = false;
};

// Starts the screen and steps it a tick a frame until it is idle again (its result handed over) or
// maxFrames have run; before each frame `advance` moves the song's clock on by one frame.
SongPlay PlayWholeSong(TMusicUnit& unit, input::ScriptedSongInput& keys, const std::function<void()>& advance,
                       const SongPlayOptions& options = {});

} // namespace songtest
