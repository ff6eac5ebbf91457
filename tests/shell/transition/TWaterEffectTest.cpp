#include "shell/transition/TWaterEffect.h"

#include "shell/GameExceptions.h"
#include "tests/shell/transition/TransitionTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

using namespace transitiontest;

constexpr int kSide = 8;

// An 8 x 8 area around (4, 4) whose pixel (x, y) holds bytes x, y, 7 (and 9 for 4-byte pixels).
class TWaterEffectTest : public ::testing::TestWithParam<int> {
protected:
    int Bytes() const { return GetParam(); }

    std::vector<std::uint8_t> Source() const
    {
        std::vector<std::uint8_t> pixels;
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) {
                pixels.insert(pixels.end(), {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 7});
                if (Bytes() == 4)
                    pixels.push_back(9);
            }
        return pixels;
    }

    // The distorted area (centre (cx, cy)); the destination starts filled with 0xEE.
    std::vector<std::uint8_t> Distort(int amplitude, int phase, int width = kSide, int cx = 4)
    {
        const std::vector<std::uint8_t> src = Source();
        std::vector<std::uint8_t> dst(src.size(), 0xEE);
        const int pitch = kSide * Bytes();
        if (Bytes() == 4)
            water.Draw32(src.data(), width, amplitude, phase, pitch, dst.data(), pitch, 4, cx, kSide);
        else
            water.Draw(src.data(), width, amplitude, phase, pitch, dst.data(), pitch, 4, cx, kSide);
        return dst;
    }

    // The source moved by the same offset in both directions, clamped to the area.
    std::vector<std::uint8_t> Moved(int offset) const
    {
        const std::vector<std::uint8_t> src = Source();
        std::vector<std::uint8_t> out;
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) {
                const int sx = std::clamp(x + offset, 0, kSide - 1);
                const int sy = std::clamp(y + offset, 0, kSide - 1);
                const auto at = src.begin() + (sy * kSide + sx) * Bytes();
                out.insert(out.end(), at, at + Bytes());
            }
        return out;
    }

    shelltest::ScopedGlobals globals;
    DataFolder data;
    TWaterEffect water;
};

TEST_P(TWaterEffectTest, TheAmplitudeIsClampedToItsRows)
{
    // Every distance 0 and sine 0; row a moves pixels by a.
    WriteWaterTables(data, 0, 0);
    data.Write(TWaterEffect::kMultiFile, WaterMulti([](int row, int) { return static_cast<std::uint8_t>(127 + row % 4); }));
    water.Load(&data.files);
    struct Case {
        int amplitude;
        int offset;
    };
    for (const Case c : {Case{0, 0}, Case{2, 2}, Case{31, 3}, Case{40, 3}, Case{-3, 0}})
        EXPECT_EQ(Distort(c.amplitude, 0), Moved(c.offset)) << "amplitude " << c.amplitude;
}

TEST_P(TWaterEffectTest, ANeutralMultiplierKeepsThePicture)
{
    WriteWaterTables(data, 0, 127);
    data.Write(TWaterEffect::kSinFile, WaterSine([](int i) { return static_cast<std::uint8_t>(i); }));
    water.Load(&data.files);
    EXPECT_EQ(Distort(17, 99), Source());
}

TEST_P(TWaterEffectTest, PhasesWrapAndNegativeOnesStayInTheTable)
{
    WriteWaterTables(data, 0, 0);
    data.Write(TWaterEffect::kSinFile, WaterSine([](int i) { return static_cast<std::uint8_t>(i); }));
    data.Write(TWaterEffect::kMultiFile, WaterMulti([](int, int c) { return static_cast<std::uint8_t>(c == 248 ? 129 : 127); }));
    water.Load(&data.files);
    EXPECT_EQ(Distort(5, 248), Moved(2));
    EXPECT_EQ(Distort(5, -8), Moved(2));
    EXPECT_EQ(Distort(5, 248 + 512), Moved(2));
}

TEST_P(TWaterEffectTest, ASineOf255ReadsTheRowsLastEntry)
{
    WriteWaterTables(data, 255, 127);
    // Row 1's last entry moves by 1; row 2's first, which an unbounded index would reach, by 5.
    data.Write(TWaterEffect::kMultiFile, WaterMulti([](int r, int c) {
                   return static_cast<std::uint8_t>(r == 1 && c == 254 ? 128 : r == 2 && c == 0 ? 132 : 127);
               }));
    water.Load(&data.files);
    EXPECT_EQ(Distort(1, 0), Moved(1));
}

TEST_P(TWaterEffectTest, AnAreaOutsideTheTablesOrAnUnloadedEffectDrawsNothing)
{
    const std::vector<std::uint8_t> untouched(Source().size(), 0xEE);
    EXPECT_EQ(Distort(3, 0), untouched) << "not loaded";
    WriteWaterTables(data, 0, 127);
    water.Load(&data.files);
    // A centre 330 of a 640-wide area leaves 310 columns on one side and 330 on the other.
    EXPECT_EQ(Distort(3, 0, 640, 330), untouched);
    EXPECT_EQ(Distort(3, 0, 8, -1), untouched);
}

TEST_P(TWaterEffectTest, ShortOrMissingTablesLeaveZeros)
{
    // Only row 0 of the multipliers is there: amplitude 1 reads zeros, an offset of -127.
    data.Write(TWaterEffect::kMultiFile, std::vector<std::uint8_t>(255, 127));
    water.Load(&data.files);
    EXPECT_TRUE(water.Loaded()) << "missing tables still count as loaded";
    EXPECT_EQ(Distort(0, 0), Source());
    EXPECT_EQ(Distort(1, 0), Moved(-127));
}

TEST_P(TWaterEffectTest, TablesLiveInTheRegistryWhileLoaded)
{
    const std::size_t before = globals.Listed();
    water.Load(&data.files);
    EXPECT_EQ(globals.Listed(), before + 3);
    water.Load(&data.files);
    EXPECT_EQ(globals.Listed(), before + 3) << "loading a loaded effect does nothing";
    water.Release();
    EXPECT_FALSE(water.Loaded());
    EXPECT_EQ(globals.Listed(), before);
}

TEST_P(TWaterEffectTest, EveryPixelFollowsThePlainRuleOnRealTables)
{
    // A true distance and sine; amplitude a moves by up to a, except row 7, pushed 40 to the lower
    // right, and row 30, which moves by up to 127 (every pixel clamped somewhere).
    const auto sine = [](int i) { return static_cast<std::uint8_t>(127.5 + 127 * std::sin(i * 2 * M_PI / 256)); };
    const auto multi = [](int a, int s) {
        const int moved = a == 30 ? s : 127 + (s - 127) * a / 127 + (a == 7 ? 40 : 0);
        return static_cast<std::uint8_t>(std::clamp(moved, 0, 255));
    };
    const auto dist = [](int r, int c) { return static_cast<std::uint16_t>(std::sqrt(r * r + c * c)); };
    data.Write(TWaterEffect::kDistFile, WaterDistance(dist));
    data.Write(TWaterEffect::kSinFile, WaterSine(sine));
    data.Write(TWaterEffect::kMultiFile, WaterMulti(multi));
    water.Load(&data.files);

    struct Case {
        int width, height, centreX, centreY, amplitude, phase, padding;
    };
    const Case cases[] = {
        {640, 480, 320, 240, 31, 8 * 37, 0}, {640, 480, 320, 240, 5, -24, 0}, {600, 400, 290, 230, 18, 99, 12},
        {600, 400, 310, 170, 7, 3, 5},       {40, 30, 25, 10, 31, 0, 0},      {64, 48, 32, 24, 30, 200, 7},
    };
    std::mt19937 rng(19);
    for (const Case& c : cases) {
        const int pitch = c.width * Bytes() + c.padding;
        std::vector<std::uint8_t> src(static_cast<std::size_t>(pitch) * c.height);
        for (std::uint8_t& byte : src)
            byte = static_cast<std::uint8_t>(rng());
        std::vector<std::uint8_t> expected(src.size(), 0xEE);
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) {
                const int row = y < c.centreY ? c.centreY - 1 - y : y - c.centreY;
                const int column = x < c.centreX ? c.centreX - 1 - x : x - c.centreX;
                const int phaseStep = (dist(row, column) * 4 + c.phase) & 255;
                const int offset = multi(std::clamp(c.amplitude, 0, 31), std::min<int>(sine(phaseStep), 254)) - 127;
                const int sx = std::clamp(x + offset, 0, c.width - 1);
                const int sy = std::clamp(y + offset, 0, c.height - 1);
                std::copy_n(&src[static_cast<std::size_t>(sy * pitch + sx * Bytes())], Bytes(),
                            &expected[static_cast<std::size_t>(y * pitch + x * Bytes())]);
            }
        std::vector<std::uint8_t> out(src.size(), 0xEE);
        if (Bytes() == 4)
            water.Draw32(src.data(), c.width, c.amplitude, c.phase, pitch, out.data(), pitch, c.centreY, c.centreX, c.height);
        else
            water.Draw(src.data(), c.width, c.amplitude, c.phase, pitch, out.data(), pitch, c.centreY, c.centreX, c.height);
        EXPECT_EQ(out, expected) << c.width << " x " << c.height << " around (" << c.centreX << ", " << c.centreY
                                 << "), amplitude " << c.amplitude << ", phase " << c.phase;
    }
}

TEST(TWaterEffect, LoadingWithoutARegistryRaises)
{
    TMemMan* saved = MemMan;
    MemMan = nullptr;
    TWaterEffect water;
    EXPECT_THROW(water.Load(nullptr), EGameErr);
    EXPECT_FALSE(water.Loaded());
    MemMan = saved;
}

INSTANTIATE_TEST_SUITE_P(PixelSizes, TWaterEffectTest, ::testing::Values(3, 4),
                         [](const auto& info) { return info.param == 3 ? "Bytes3" : "Bytes4"; });

} // namespace
