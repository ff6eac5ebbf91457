#include "songgame/SongPlayer.h"

#include "songgame/screen/MusicRun.h"

#include <algorithm>

namespace songtest {

std::uint8_t LaneKey(int lane)
{
    // Inverse of the row order A S D F G H J K L ; -> 0 1 2 3 8 9 4 5 6 7.
    static constexpr std::uint8_t rowKey[10] = {0, 1, 2, 3, 6, 7, 8, 9, 4, 5};
    static constexpr std::uint8_t rowBase[3] = {0x1E, 0x10, 0x2C};
    return static_cast<std::uint8_t>(rowBase[lane / 10] + rowKey[lane % 10]);
}

std::vector<std::uint8_t> KeysDue(std::span<const TMusicNote> notes, std::uint32_t after, std::uint32_t upTo)
{
    std::vector<std::uint8_t> keys;
    for (const TMusicNote& note : notes) {
        // A note with a lyric leaves the judgement when it falls due: it cannot be struck.
        if (note.sound < 0 || note.autoPlay || note.lane < 0 || note.text >= 0 || note.time <= after ||
            note.time > upTo)
            continue;
        const std::uint8_t key = LaneKey(note.lane);
        if (std::find(keys.begin(), keys.end(), key) == keys.end())
            keys.push_back(key);
    }
    return keys;
}

SongPlay PlayWholeSong(TMusicUnit& unit, input::ScriptedSongInput& keys, const std::function<void()>& advance,
                       const SongPlayOptions& options)
{
    constexpr int PhasePerform = 3;
    constexpr int PhaseContinue = 6;
    constexpr std::uint8_t Yes = 0x15;
    SongPlay play;
    unit.Start();
    const auto notes = unit.Chart().notes.first(static_cast<std::size_t>(unit.Chart().count));
    int lastPhase = unit.Phase();
    while (play.frames < options.maxFrames && unit.Phase() != 0) {
        advance();
        const int phase = unit.Phase();
        play.goes += phase == PhasePerform && lastPhase != PhasePerform;
        lastPhase = phase;
        if (phase == PhasePerform && play.goes > options.silentGoes) {
            const MusicRun& run = *unit.Run();
            for (const std::uint8_t key : KeysDue(notes, run.Clock().clock, run.Now().clock)) {
                keys.Tap(key);
                ++play.taps;
            }
        }
        if (phase == PhaseContinue)
            keys.Tap(Yes);
        unit.Step(1);
        ++play.frames;
    }
    play.ended = unit.Phase() == 0;
    return play;
}

} // namespace songtest
