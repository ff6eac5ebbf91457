// MovieWriter: the sample game's movies (the opening, one numbered movie and the ending), drawn
// frame by frame and encoded with FFmpeg's own encoders: MPEG-1 video and MP2 sound in an MPEG
// program stream, bit-exact so that the same movie always gives the same bytes.
#pragma once

#include "tools/samplegen/SampleGenerator.h"

#include <filesystem>
#include <string>
#include <vector>

namespace samplegen {

// A movie of the sample: its name in the "Movie" folder, its look and its length.
struct MovieFile {
    const char* name;
    int scene; // 0 dawn (opening), 1 rain (numbered movie), 2 stars (ending)
    double seconds;
};

inline constexpr int kMovieWidth = 320;
inline constexpr int kMovieHeight = 240;
inline constexpr int kMovieFps = 25;

// The movies the scenario plays: "TVOP.mpg", "TV01.mpg" and "TVED1.mpg".
std::vector<MovieFile> GameMovies();
// Encodes one movie into `file`; throws std::runtime_error with FFmpeg's reason on failure.
void EncodeMovie(const std::filesystem::path& file, int scene, double seconds);
// Encodes every movie of GameMovies() into the movie folder's staging; false, with a message on
// stderr, when one cannot be made.
bool WriteMovies(const SampleStaging& staging, const std::filesystem::path& sources);

} // namespace samplegen
