// SoundSet: the sample game's own sounds (system sounds, sound effects, ambient loops, voices and
// BGM tracks), synthesised and written as loose files into the game folder's staging folders.
//
#pragma once

#include "tools/samplegen/SampleGenerator.h"
#include "tools/samplegen/SoundSynth.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace samplegen {

// One sound file: its store, its name there and how it is made.
struct SoundFile {
    SampleStore store;
    std::string name;
    std::function<Pcm()> make;
};

// Sounds the scenario plays by number.
inline constexpr std::array kBgmTracks{1, 2, 3, 4};
inline constexpr std::array kSoundEffects{1, 2, 3, 4, 5, 6};
inline constexpr std::array kAmbientLoops{10, 11};
inline constexpr int kVoiceCount = 12;     // voices 1 to 12, in the voice pack 0
inline constexpr int kSecondSpeakerVoice = 7; // voices from here on are the second character's

// Every sound of the game outside the song, in a fixed order.
std::vector<SoundFile> GameSounds();
// Synthesises and encodes every sound of GameSounds() into its store's staging folder; false, with
// a message on stderr, when one cannot be written.
bool WriteSounds(const SampleStaging& staging, const std::filesystem::path& sources);

// Writes `bytes` to `path`, making its folders; throws std::runtime_error when it cannot.
void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

} // namespace samplegen
