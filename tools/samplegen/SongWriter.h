// SongWriter: the sample song "TV07" (the scenario's song, free play's and the title demo's): its identity file, chart, stage script and definition files
// from the sources in sample/song (UTF-8 there, GBK in the game), its key sounds (bell tones in
// Ogg Vorbis, a clap in ADP1, a hat in WAVE), the stage's cheer and the music, a backing of pad,
// bass and drums under the chart's melody.
#pragma once

#include "tools/samplegen/SampleGenerator.h"
#include "tools/samplegen/SoundSynth.h"

#include <array>
#include <filesystem>
#include <string_view>
#include <vector>

namespace samplegen {

// The text files of the song data, taken from sample/song.
inline constexpr std::string_view kSongTexts[] = {"SONG.ID", "Song.txt", "Anime.txt", "dancer.txt", "dancermiss.txt"};

// The tempo and the chords of the music, one a bar, the melody's bars among them.
inline constexpr double kSongBpm = 120.0;
std::vector<std::array<int, 3>> SongChords();
// The music: the backing of every bar and a short tail, stereo at 32,000 Hz.
Pcm SongMusic();

// Writes the song into its stores' staging folders (the song data and the key sounds become packs,
// the music "song.ogg" a plain file beside them) from the sources folder (the repository's
// sample/); false, with a message on stderr, when a source is missing or a file cannot be written.
bool WriteSong(const SampleStaging& staging, const std::filesystem::path& sources);

} // namespace samplegen
