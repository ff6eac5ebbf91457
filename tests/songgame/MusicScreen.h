// MusicScreen: a game data folder with every picture of the song screen and the song TV01 (two key
// sounds, a chart, a stage script with one effect, WAVE music), with a recording sound device and a
// song input service for the screens the tests set up on it.
#pragma once

#include "songgame/screen/TMusicUnit.h"

#include "songgame/RecordingSongDevice.h"
#include "songgame/SongTree.h"

#include "shell/ShellTestSupport.h"

#include "base/packs/TFileMan.h"
#include "platform/input/SongInput.h"

#include <memory>
#include <string>

namespace songtest {

inline const char* const GameData = "Game_Pak";
inline const char* const SongData = "Song\\TV01\\song";

struct MusicScreen {
    MusicScreen();

    // A screen on these devices, not set up.
    std::unique_ptr<TMusicUnit> Unit();
    bool SetupOnce(TMusicUnit& unit);
    // The music stream made, or null.
    SoundLog* Music() const;
    // Plays of key sounds (every sound but the music).
    int KeyPlays() const;
    void WriteChart(const std::string& text) { tree.WriteText(std::string(SongData) + "\\Song.txt", text); }
    void WriteStage(const std::string& text) { tree.WriteText(std::string(SongData) + "\\Anime.txt", text); }

    shelltest::ScopedGlobals globals;
    SongTree tree;
    TFileMan gameFiles{nullptr};
    RecordingSongDevice device;
    input::SongInput input;
    SongDevices devices;
    int mutes = 0;
};

} // namespace songtest
