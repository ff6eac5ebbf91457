#include "scenario/stage/StageWeather.h"

#include "base/util/TRandom.h"
#include "graphics/bitmaps/TXeAlpha.h"
#include "graphics/bitmaps/TXeRGBBits.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

std::unique_ptr<TXeRGBBits> Black(int w = 640, int h = 480, TBitDepth depth = bd24)
{
    auto bits = std::make_unique<TXeRGBBits>(nullptr);
    bits->SetBitDepth(depth);
    bits->Resize(w, h);
    EXPECT_TRUE(bits->Create());
    return bits;
}

// The sum of the blue bytes of the area.
long long BlueSum(TXeRGBBits& bits, const TXeRect& r = XeRect(0, 0, 640, 480))
{
    long long sum = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            sum += bits.PGet(x, y) & 0xFF;
    return sum;
}

TBGStat Block(int kind, int level = 4)
{
    TBGStat b;
    b.Loaded = true;
    b.WeatherKind = kind;
    b.WeatherLevel = level;
    return b;
}

const TXeRect kScreen = XeRect(0, 0, 640, 480);

} // namespace

TEST(StageWeather, KindsShowTheirLayers)
{
    struct Case {
        int kind;
        bool back, front;
    };
    const Case cases[] = {{0, false, false}, {1, false, false}, {2, true, true},  {3, false, true},
                          {4, false, false}, {5, true, false},  {6, true, false}, {7, true, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(WeatherShowsBack(c.kind), c.back) << c.kind;
        EXPECT_EQ(WeatherShowsFront(c.kind), c.front) << c.kind;
    }
}

TEST(StageWeather, StreaksDrawTheirLevelsCountOfLinesThroughThePlaneWhenThereIsOne)
{
    const int counts[] = {25, 51, 76, 102, 128};
    for (int level = 0; level < 5; ++level) {
        EXPECT_EQ(StreakCount(level), counts[level]);
        TRandom random;
        TBGStat b = Block(kWeatherStreaks, level);
        InitWeather(b, random);
        long long rows = 0;
        for (int i = 0; i < 128; ++i) {
            ASSERT_GE(b.X[i], 0);
            ASSERT_LT(b.X[i], 640);
            ASSERT_GE(b.Y[i], -120);
            ASSERT_LT(b.Y[i], 360);
            if (i < counts[level])
                rows += std::min(b.Y[i] + 240, 479) - std::max<int>(b.Y[i], 0) + 1;
        }
        auto bits = Black();
        DrawWeatherBack(b, bits.get(), kScreen, 0, 0, nullptr);
        EXPECT_EQ(BlueSum(*bits), rows * 0x20) << "level " << level;

        auto masked = Black();
        TXeAlpha plane(nullptr);
        plane.Resize(640, 480);
        ASSERT_TRUE(plane.Create());
        plane.Fill(128);
        b.Alpha = &plane;
        DrawWeatherBack(b, masked.get(), kScreen, 0, 0, nullptr);
        EXPECT_EQ(BlueSum(*masked), rows * 0x10) << "level " << level << " through a plane of 128";
    }
}

TEST(StageWeather, SpreadingAndNarrowingStreaksAimAtTheirPoints)
{
    struct Case {
        int kind;
        int topX, bottomX; // of the streak placed at (480, 0), at rows 0 and 240
    };
    // Spreading: from a point 480 above the top centre; narrowing: toward one 960 below it.
    const Case cases[] = {{kWeatherStreaks, 480, 480}, {kWeatherSpreading, 480, 560}, {kWeatherNarrowing, 533, 480}};
    for (const Case& c : cases) {
        TBGStat b = Block(c.kind);
        b.X.fill(0);
        b.Y.fill(20000); // far below the screen
        b.X[3] = 480;
        b.Y[3] = 0;
        auto bits = Black();
        DrawWeatherBack(b, bits.get(), kScreen, 0, 0, nullptr);
        EXPECT_EQ(bits->PGet(c.topX, 0), 0x202020u) << c.kind;
        EXPECT_EQ(bits->PGet(c.bottomX, 240), 0x202020u) << c.kind;
        EXPECT_EQ(BlueSum(*bits), 241 * 0x20) << c.kind << ": one line of 241 rows";
    }
}

TEST(StageWeather, StreaksAreReplacedEverySecondFrame)
{
    TRandom random;
    TBGStat b = Block(kWeatherSpreading);
    InitWeather(b, random);
    const auto first = b.X;
    EXPECT_FALSE(UpdateWeather(b, 1, random).back);
    EXPECT_EQ(b.X, first);
    const TWeatherChange change = UpdateWeather(b, 1, random);
    EXPECT_TRUE(change.back);
    EXPECT_FALSE(change.front);
    EXPECT_NE(b.X, first);
    EXPECT_TRUE(UpdateWeather(b, 3, random).back) << "two frames at once";
}

TEST(StageWeather, SnowStartsAboveTheScreenFallsWithItsDriftAndRestartsBelow494)
{
    TRandom random;
    TBGStat b = Block(kWeatherSnow);
    InitWeather(b, random);
    for (int i = 0; i < 128; ++i) {
        ASSERT_GE(b.X[i], -32);
        ASSERT_LT(b.X[i], 672);
        ASSERT_GE(b.Y[i], -480);
        ASSERT_LT(b.Y[i], 0);
    }
    EXPECT_EQ(b.Drift, (std::array<int, 4>{0, 1, 2, 1}));
    b.X[0] = 100, b.Y[0] = 490;   // falls 4 to 494: stays
    b.X[1] = 100, b.Y[1] = 491;   // falls to 495: restarts
    b.X[42] = 200, b.Y[42] = 100; // falls 5 with drift 1
    b.X[80] = 300, b.Y[80] = 100; // falls 6..9 with twice drift 2
    const TWeatherChange change = UpdateWeather(b, 1, random);
    EXPECT_TRUE(change.back && change.front);
    EXPECT_EQ(b.Drift, (std::array<int, 4>{1, 1, 2, 1})) << "count 1: drift 0 takes drift 1";
    EXPECT_EQ(b.X[0], 101);
    EXPECT_EQ(b.Y[0], 494);
    EXPECT_EQ(b.Y[1], -14);
    EXPECT_GE(b.X[1], -32);
    EXPECT_LT(b.X[1], 672);
    EXPECT_EQ(b.X[42], 201);
    EXPECT_EQ(b.Y[42], 105);
    EXPECT_EQ(b.X[80], 304);
    EXPECT_GE(b.Y[80], 106);
    EXPECT_LE(b.Y[80], 109);
    const auto y = b.Y;
    const TWeatherChange even = UpdateWeather(b, 1, random);
    EXPECT_FALSE(even.back || even.front) << "nothing on even counts";
    EXPECT_EQ(b.Y, y);

    // The drift rotates every eight counts; the fourth takes the change of the others, -3 and 3 become -1 and 1.
    const std::array<int, 4> expected[] = {{1, 2, 2, 1}, {1, 2, 1, 1}, {1, 2, 1, 0}};
    for (const auto& drift : expected) {
        for (int i = 0; i < 8; ++i)
            UpdateWeather(b, 1, random);
        EXPECT_EQ(b.Drift, drift);
    }
    b.Drift = {0, -1, 1, 1};
    b.WeatherCounter = 24;
    UpdateWeather(b, 1, random);
    EXPECT_EQ(b.Drift[3], 1) << "1 + 2 = 3 becomes 1";
}

TEST(StageWeather, SnowFlakesAddTheirSheetSquaresBehindAndInFront)
{
    auto snow = Black(50, 14);
    snow->BoxFill(0, 0, 49, 13, 0x030201);
    TBGStat b = Block(kWeatherSnow);
    b.Y.fill(-100);
    b.X[0] = 10, b.Y[0] = 10;     // 8 x 8, behind
    b.X[50] = -4, b.Y[50] = 0;    // 10 x 10, behind, 6 columns on the screen
    b.X[100] = 630, b.Y[100] = 470; // 12 x 12, in front, 10 x 10 on the screen
    b.X[120] = 300, b.Y[120] = 300; // 14 x 14, in front
    auto back = Black();
    DrawWeatherBack(b, back.get(), kScreen, 0, 0, snow.get());
    EXPECT_EQ(BlueSum(*back), 64 + 60);
    auto front = Black();
    DrawWeatherFront(b, front.get(), kScreen, 0, 0, snow.get());
    EXPECT_EQ(BlueSum(*front), 100 + 196);
    auto part = Black();
    DrawWeatherFront(b, part.get(), XeRect(305, 305, 310, 400), 0, 0, snow.get());
    EXPECT_EQ(BlueSum(*part), 5 * 9) << "clipped to the area";
}

TEST(StageWeather, ScratchesDarkenTwoColumnsAndWobble)
{
    TRandom random;
    TBGStat b = Block(kWeatherScratches);
    InitWeather(b, random);
    for (int k = 0; k < 4; ++k) {
        EXPECT_GE(b.X[k], 0);
        EXPECT_LT(b.X[k], 640);
        EXPECT_EQ(b.Drift[k], 0);
    }
    b.X = {};
    b.X[0] = 100, b.X[1] = 200, b.X[2] = 300, b.X[3] = 638;
    b.Drift[2] = -2;
    auto bits = Black();
    bits->BoxFill(0, 0, 639, 479, 0x808080);
    DrawWeatherFront(b, bits.get(), kScreen, 0, 0, nullptr);
    for (int x : {100, 101, 200, 201, 298, 299, 638, 639})
        EXPECT_EQ(bits->PGet(x, 240), 0x606060u) << x;
    EXPECT_EQ(bits->PGet(300, 240), 0x808080u);
    EXPECT_EQ(BlueSum(*bits), 640LL * 480 * 0x80 - 8 * 480 * 0x20);

    EXPECT_FALSE(UpdateWeather(b, 1, random).front);
    EXPECT_TRUE(UpdateWeather(b, 1, random).front);
    for (int k = 0; k < 4; ++k) {
        EXPECT_GE(b.Drift[k], -2);
        EXPECT_LE(b.Drift[k], 2);
    }
}

TEST(StageWeather, QuietKindsPlaceNothingAndDrawNothing)
{
    for (int kind : {0, 1, 4}) {
        TRandom random;
        TBGStat b = Block(kind);
        b.WeatherCounter = 9;
        InitWeather(b, random);
        EXPECT_EQ(b.WeatherCounter, 0);
        EXPECT_EQ(b.X, (std::array<std::int16_t, 128>{}));
        const TWeatherChange change = UpdateWeather(b, 2, random);
        EXPECT_FALSE(change.back || change.front);
        auto bits = Black();
        DrawWeatherBack(b, bits.get(), kScreen, 0, 0, nullptr);
        DrawWeatherFront(b, bits.get(), kScreen, 0, 0, nullptr);
        EXPECT_EQ(BlueSum(*bits), 0);
    }
}
