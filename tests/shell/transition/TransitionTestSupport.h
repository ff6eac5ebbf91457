// Fixtures of the transition tests, all made here: 640 x 480 pictures of a known pattern at 24 or 32
// bits, the water tables, 8-bit grey mask BMPs and plain 24-bit BMPs for the halo pictures, written
// into a scratch folder that a file manager reads.
#pragma once

#include "base/PackFixture.h"
#include "base/packs/TFileMan.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "tests/shell/ShellTestSupport.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace transitiontest {

using Bytes = std::vector<std::uint8_t>;

// The two pictures of a transition: the source's pixel (x, y) is SourceColour, the target's
// TargetColour; a third picture is the destination.
std::uint32_t SourceColour(int x, int y);
std::uint32_t TargetColour(int x, int y);

// A created 640 x 480 (or other size) picture of the depth filled by colour(x, y), made with new
// (not through the registry) for the controller's own tests.
std::unique_ptr<TXeRGBBits> MakePicture(TBitDepth depth, const std::function<std::uint32_t(int, int)>& colour,
                                        int width = 640, int height = 480);
// The pixel (x, y) as 0x00RRGGBB.
std::uint32_t ColourAt(TXeRGBBits& bits, int x, int y);
// True when every pixel of a equals b's (colour bytes only).
bool SamePixels(TXeRGBBits& a, TXeRGBBits& b);

// An 8-bit BMP with a grey palette whose pixel (x, y) is value(x, y).
Bytes GreyBmp(int width, int height, const std::function<std::uint8_t(int, int)>& value);
// A 24-bit BMP of one colour.
Bytes ColourBmp(int width, int height, std::uint32_t colour);

// Water tables: the distance of every row and column, the sine of every phase, every multiplier entry.
Bytes WaterDistance(const std::function<std::uint16_t(int row, int column)>& value);
Bytes WaterSine(const std::function<std::uint8_t(int)>& value);
Bytes WaterMulti(const std::function<std::uint8_t(int row, int column)>& value);

// A scratch folder with a file manager bound to it.
class DataFolder {
public:
    DataFolder() { files.InitDir(folder.Name()); }
    void Write(const std::string& name, const Bytes& bytes) { folder.Write(name, bytes); }

    PackFixture::ScratchFolder folder;
    TFileMan files{nullptr};
};

// Writes the six halo pictures: a dark grey backdrop and five small coloured sprites.
void WriteHaloPictures(DataFolder& data);
// Writes the three water tables: distance 0 everywhere, the given sine and multiplier rows.
void WriteWaterTables(DataFolder& data, std::uint8_t sine, std::uint8_t multi);

} // namespace transitiontest
