// SampleFiles: every file of the sample game that the game opens by name, where it lives in the
// game folder, who makes it and, for pictures, the size the screens expect.
//
// The generator's writers put loose files into one staging folder per store (StagingFolder); the
// pack step then turns each packed store into its archive and moves the loose stores into place.
// The test of the generator checks that every row exists in the finished game folder and that every
// picture decodes at its size.
#pragma once

#include <span>
#include <string_view>

namespace samplegen {

// Where a file lives in the game folder. The comment gives the finished place; a packed store is
// staged in its folder form ("<stem>_Pak" for the game's own packs), then packed.
enum class SampleStore {
    GameData, // "Game.pak": the shell's and the screens' pictures, system sounds, transition data
    Script,   // "Script.pak": "Scene.tbl", "scr%05d.dvo", "SpeakTbl.csv"
    Bgm,      // the folder "BGM": "Track%02d.bgm"
    EvBG,     // "EvBG.pak": backgrounds "bg%03d" and animated-background definitions
    EvCG,     // "EvCG.pak": character sheets "chr%03d.png" with their definitions "chr%03d.ini"
    EvSE,     // "EvSE.pak": sound effects and ambient sounds "se%03d.ogg"
    Voice,    // "Voice\ev00000.pak": voices "%010u.ogg" numbered below 100000
    Movie,    // the folder "Movie": "TVOP.mpg", "TV%02d.mpg", "TVED%d.mpg"
    SongData, // "Song\TV07\song.pak": "SONG.ID", "Song.txt", "Anime.txt", "curtain.png", the stage
    SongKey,  // "Song\TV07\key.pak": the key sounds
    SongMusic // the folder "Song\TV07": the music "song.ogg" (never packed)
};

// Who writes a file: the picture drawers of this generator, or the sound, movie, scenario and song
// writers (SoundFiles, MovieFiles, ScenarioFiles, SongFiles).
enum class SampleMaker { Pictures, Sounds, Movie, Scenario, Song };

// The picture formats the loaders take, and the other kinds of file.
enum class SampleKind {
    Png,      // PNG, RGB or RGB + alpha
    Bmp,      // 24-bit BMP
    GreyBmp,  // 8-bit BMP with the grey palette (the wipe masks)
    Jpeg,     // JPEG
    Data,     // a binary table or a text the game reads
    Sound,    // Ogg Vorbis (or, where allowed, ADP1 or WAVE)
    Mpeg      // MPEG-1 system stream (a movie)
};

struct SampleFile {
    SampleStore store;
    const char* name; // inside the store, with "\" between folders
    SampleMaker maker;
    SampleKind kind;
    int width = 0; // pictures: the size the screen expects (a strip's whole size)
    int height = 0;
};

// The sample song's code and its folder.
inline constexpr std::string_view kSongCode = "TV07";

// Every file of the sample game, pictures first, in the order the generator draws them.
std::span<const SampleFile> SampleFiles();

// Every store, in the order of the enumeration.
std::span<const SampleStore> SampleStores();

// A store's staging folder below the staging root ("/" between folders), which is also its folder
// form inside the game folder.
std::string_view StagingFolder(SampleStore store);
// The archive a store is packed into, relative to the game folder; empty for a folder store.
std::string_view PackFile(SampleStore store);

} // namespace samplegen
