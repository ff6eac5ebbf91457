// The stage's test bed: a temporary game folder (made current, as the game's program folder is)
// with the background and character folders "EvBG_Pak" and "EvCG_Pak" and a data folder holding
// "Snow.bmp", the memory registry and a 32-bit display depth installed, and the pictures and
// definition files the tests put there.
#pragma once

#include "base/memory/TMemMan.h"
#include "base/packs/TFileMan.h"
#include "base/util/TRandom.h"
#include "graphics/bitmaps/PixelFormat.h"
#include "scenario/ScenarioTestSupport.h"
#include "scenario/records/TSystemState.h"
#include "scenario/stage/TStageUnit.h"
#include "shell/config/TUserConfig.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace StageTest {

using Bytes = std::vector<unsigned char>;
using ColourAt = std::function<std::uint32_t(int x, int y)>;
using AlphaAt = std::function<std::uint8_t(int x, int y)>;

// A bottom-up 24-bit BMP, an 8-bit grey BMP, and an RGB (alpha given: RGBA) PNG.
Bytes Bmp24(int w, int h, const ColourAt& colour);
Bytes Bmp8(int w, int h, const AlphaAt& value);
Bytes Png(int w, int h, const ColourAt& colour, const AlphaAt& alpha = nullptr);

Bytes Text(const std::string& text);
// The colour after the tone (1 sepia, 2 monochrome then negative) in the display's format.
std::uint32_t Toned(std::uint32_t colour, int tone);
// A w x h bitmap of the display depth, black.
std::unique_ptr<TXeRGBBits> Screen(int w = 640, int h = 480);
// The first pixel (x, y) where the two differ inside r, or "" when none does.
std::string FirstDifference(TXeRGBBits& a, TXeRGBBits& b, const TXeRect& r);

class StageFixture : public ::testing::Test {
protected:
    StageFixture();
    ~StageFixture() override;

    void WriteBackground(const std::string& name, const Bytes& bytes) const;
    void WriteCharacter(const std::string& name, const Bytes& bytes) const;
    void WriteData(const std::string& name, const Bytes& bytes) const;
    void RemoveData(const std::string& name) const;
    // A plain background "bg%03d.png" of one colour (with a uniform alpha plane when alpha >= 0).
    void PlainBackground(int number, std::uint32_t colour, int alpha = -1) const;
    // A character sheet "chr%03d.png" of w x h in one colour, fully opaque.
    void PlainCharacter(int number, int w, int h, std::uint32_t colour) const;

    // The stage made and initialized.
    void Start();
    // Requests and shows at once (change code 0).
    void Show(int background, int left = -1, int center = -1, int right = -1, int mode = 0);
    // Updates of one frame until the stage is idle; the number of updates, at most `limit`.
    int RunToIdle(int limit = 1000);
    // BGPanel's tree rendered whole into a new bitmap.
    std::unique_ptr<TXeRGBBits> RenderScene(TXeRGBPanel* scene) const;

    ScenarioTest::TempFolder folder_;
    std::filesystem::path savedFolder_;
    TMemMan registry_{nullptr};
    TMemMan* savedRegistry_;
    TBitDepth savedDepth_;
    TFileMan data_{nullptr};
    TUserConfig config_;
    TSystemState system_;
    TRandom random_;
    std::unique_ptr<TStageUnit> stage_;
};

} // namespace StageTest
