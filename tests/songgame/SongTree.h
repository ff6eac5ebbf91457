// The song tests' fixture maker: a temporary program folder, current while it lives, in which song
// folders are built from generated files (identity files, charts, stage scripts, pictures, WAVE
// sounds), and a folder can be turned into a pack with the pack writer.
#pragma once

#include "support/Tools.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace songtest {

using Bytes = std::vector<std::uint8_t>;

class SongTree {
public:
    SongTree();
    ~SongTree();
    SongTree(const SongTree&) = delete;
    SongTree& operator=(const SongTree&) = delete;

    std::filesystem::path Native(std::string_view gamePath) const;
    // Writes a file at a backslash path under the program folder, making its folders.
    void Write(std::string_view gamePath, const Bytes& bytes) const;
    void WriteText(std::string_view gamePath, std::string_view text) const;
    // "SONG.ID" in the location: the version line, the code line, the title and filler up to
    // `lines` lines.
    void WriteIdentity(std::string_view location, std::string_view versionLine, std::string_view codeLine,
                       std::string_view title = "Title", int lines = 8) const;
    // Packs every file of the folder into folder + ".pak" (stored) and removes the folder.
    void PackFolder(std::string_view gamePath) const;

private:
    TestSupport::TempFolder folder_;
    std::string savedFolder_;
};

// 16-bit stereo 44.1 kHz PCM WAVE of `frames` frames of a ramp.
Bytes WaveOfRamp(int frames);
// A PNG of the shell tests' pattern, `width` x `height`.
Bytes Png(int width, int height, bool withAlpha = false);

} // namespace songtest
