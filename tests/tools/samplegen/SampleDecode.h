// SampleDecode: the sample generator tests' view of a made sound: decoded by the game's own
// decoders (Ogg Vorbis, ADP1, RIFF WAVE, by the file's magic) into 16-bit samples.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace sampletest {

struct Decoded {
    bool open = false;
    unsigned channels = 0;
    unsigned rate = 0;
    std::vector<std::int16_t> samples; // interleaved

    std::size_t Frames() const { return channels ? samples.size() / channels : 0; }
    double Seconds() const { return rate ? static_cast<double>(Frames()) / rate : 0.0; }
    int Peak() const;
};

Decoded DecodeSound(std::span<const std::uint8_t> bytes);
std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path);
// Every regular file below `root`, relative to it, sorted.
std::vector<std::filesystem::path> FilesBelow(const std::filesystem::path& root);

} // namespace sampletest
