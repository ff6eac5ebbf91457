// Helpers for the shell tests: the process-wide registry and bit depth set for one test, and the
// bytes of small BMP, PNG and GNY pictures and Ogg Vorbis sounds made here.
#pragma once

#include "base/memory/TMemMan.h"
#include "graphics/bitmaps/PixelFormat.h"
#include "shell/GameGlobals.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace shelltest {

using Bytes = std::vector<std::uint8_t>;

// A memory registry installed as MemMan, and DisplayBitDepth set, while it lives.
class ScopedGlobals {
public:
    explicit ScopedGlobals(TBitDepth displayDepth = bd24);
    ~ScopedGlobals();
    ScopedGlobals(const ScopedGlobals&) = delete;
    ScopedGlobals& operator=(const ScopedGlobals&) = delete;

    TMemMan& Registry() { return *registry_; }
    std::size_t Listed() const { return registry_->Records().size(); }

private:
    std::unique_ptr<TMemMan> registry_;
    TMemMan* savedRegistry_;
    TBitDepth savedDepth_;
};

// Pixel (x, y) of the pictures below: blue x * 10, green y * 10, red 200; alpha 255 - x.
std::uint32_t PatternColour(int x, int y);

// A bottom-up 24-bit BMP of the pattern.
Bytes BmpOfPattern(int width, int height);
// An RGB (or RGB + alpha) PNG of the pattern.
Bytes PngOfPattern(int width, int height, bool withAlpha);
// A GNY picture of the pattern scrambled with the table.
Bytes GnyOfPattern(int width, int height, const unsigned char* table);

// An Ogg Vorbis file (libvorbisenc) of `seconds` of a stereo sine at `hz`, 44.1 kHz.
Bytes OggOfSine(double seconds, double hz);

} // namespace shelltest
