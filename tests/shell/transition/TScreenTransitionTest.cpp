#include "shell/transition/TScreenTransition.h"

#include "base/util/TXeRectSet.h"
#include "tests/shell/transition/TransitionTestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace transitiontest;

constexpr std::uint32_t kDestColour = 0x123456;

// Blending a toward b at a level, channel by channel, as the blend kernels do.
std::uint32_t Blend(std::uint32_t a, std::uint32_t b, int level)
{
    std::uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int ca = static_cast<int>(a >> shift & 0xFF);
        const int cb = static_cast<int>(b >> shift & 0xFF);
        out |= static_cast<std::uint32_t>(ca + (((cb - ca) * level) >> 7)) << shift;
    }
    return out;
}

// Synthetic 640 x 480 pictures at the parameter's depth, a destination, and the effects' data in a
// scratch folder.
class TScreenTransitionTest : public ::testing::TestWithParam<TBitDepth> {
protected:
    TScreenTransitionTest()
    {
        WriteWaterTables(data, 0, 127);
        WriteHaloPictures(data);
        data.Write("Half.bmp", GreyBmp(640, 480, [](int x, int) { return static_cast<std::uint8_t>(x < 320 ? 0 : 255); }));
        data.Write("Small.bmp", GreyBmp(320, 240, [](int, int) { return std::uint8_t{0}; }));
    }

    std::unique_ptr<TXeRGBBits> Picture(const std::function<std::uint32_t(int, int)>& colour)
    {
        return MakePicture(GetParam(), colour);
    }

    // Loads what the kind needs.
    void LoadFor(int kind)
    {
        if (kind == 11)
            t.WaterEffect().Load(&data.files);
        if (kind == 12)
            t.HaloEffect().Load(&data.files, GetParam());
        if (kind == 13 || kind == 14)
            t.MaskEffect().Load(&data.files, "Half.bmp");
    }

    // The first drawing, as the form's start does.
    void Begin(int kind, int speed = 100)
    {
        ASSERT_TRUE(t.Start(kind, source.get(), target.get(), speed));
        t.Draw(dest.get(), nullptr);
    }

    // Frames of `pulses` each until the transition is done; their number (at most `cap`).
    int FramesToEnd(int pulses = 1, int cap = 1000)
    {
        int frames = 0;
        while (!t.IsDone() && frames < cap) {
            t.Advance(pulses);
            t.Draw(dest.get(), nullptr);
            ++frames;
        }
        return frames;
    }

    // Advances to the progress and draws that frame.
    void DrawAt(int progress)
    {
        t.Advance(progress - t.Progress());
        t.Draw(dest.get(), nullptr);
    }

    shelltest::ScopedGlobals globals{GetParam()};
    DataFolder data;
    std::unique_ptr<TXeRGBBits> source = Picture(SourceColour);
    std::unique_ptr<TXeRGBBits> target = Picture(TargetColour);
    std::unique_ptr<TXeRGBBits> dest = Picture([](int, int) { return kDestColour; });
    TScreenTransition t;
};

TEST_P(TScreenTransitionTest, StartRefusesMissingOrWrongPicturesAndKeepsTheState)
{
    auto small = MakePicture(GetParam(), SourceColour, 320, 240);
    TXeRGBBits uncreated(nullptr);
    struct Case {
        TXeRGBBits* from;
        TXeRGBBits* to;
    };
    const Case refused[] = {{nullptr, target.get()}, {source.get(), nullptr}, {small.get(), target.get()},
                            {source.get(), small.get()}, {&uncreated, target.get()}};
    for (const Case& c : refused) {
        EXPECT_FALSE(t.Start(0, c.from, c.to, 100));
        EXPECT_TRUE(t.IsDone()) << "idle before, idle after";
    }
    Begin(1);
    t.Advance(3);
    for (const Case& c : refused) {
        EXPECT_FALSE(t.Start(5, c.from, c.to, 100));
        EXPECT_FALSE(t.IsDone());
        EXPECT_EQ(t.Kind(), 1);
        EXPECT_EQ(t.Source(), source.get());
        EXPECT_EQ(t.Progress(), 3);
    }
    t.Reset();
    EXPECT_TRUE(t.IsDone());
    EXPECT_EQ(t.Source(), nullptr);
}

TEST_P(TScreenTransitionTest, CrossFadeEndsOnTheFrameTheSpeedGives)
{
    struct Case {
        int speed;
        int frames;
    };
    // A speed <= 0 counts as 100, so a fade always ends.
    for (const Case c : {Case{100, 32}, Case{200, 16}, Case{50, 64}, Case{0, 32}, Case{-7, 32}}) {
        dest->Cls();
        Begin(0, c.speed);
        EXPECT_TRUE(SamePixels(*dest, *source)) << "the first picture is the source";
        EXPECT_EQ(FramesToEnd(), c.frames) << "speed " << c.speed;
        EXPECT_TRUE(SamePixels(*dest, *target)) << "the last picture is the target";
    }
}

TEST_P(TScreenTransitionTest, EveryKindStartsOnTheSourceAndEndsOnTheTarget)
{
    for (int kind = 0; kind < TScreenTransition::kKindCount; ++kind) {
        source = Picture(SourceColour); // the frame-paced kinds change their source
        LoadFor(kind);
        Begin(kind);
        EXPECT_TRUE(SamePixels(*dest, *source)) << "kind " << kind;
        EXPECT_GT(FramesToEnd(), 1) << "kind " << kind;
        EXPECT_TRUE(t.IsDone());
        EXPECT_TRUE(SamePixels(*dest, *target)) << "kind " << kind;
    }
}

TEST_P(TScreenTransitionTest, EveryDrawingFlagsTheWholeScreen)
{
    Begin(2);
    TXeRectSet set;
    t.Advance(1);
    t.Draw(dest.get(), &set);
    EXPECT_EQ(set.AllUnionRect(), XeRect(0, 0, 640, 480));
}

TEST_P(TScreenTransitionTest, CrossFadeLevelsFollowTheProgress)
{
    struct Case {
        int kind;
        int progress;
        int level;
    };
    for (const Case c : {Case{0, 8, 32}, Case{1, 5, 40}, Case{2, 63, 126}}) {
        Begin(c.kind);
        DrawAt(c.progress);
        for (const auto& [x, y] : {std::pair{0, 0}, std::pair{123, 77}, std::pair{639, 479}})
            EXPECT_EQ(ColourAt(*dest, x, y), Blend(SourceColour(x, y), TargetColour(x, y), c.level))
                << "kind " << c.kind << " at " << x << "," << y;
    }
}

TEST_P(TScreenTransitionTest, PushSlidesMoveBothPicturesByTheProgress)
{
    // At progress 80 the vertical pushes have moved 240 rows and the horizontal ones 320 columns.
    struct Case {
        int kind;
        int x, y;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {3, 10, 0, SourceColour(10, 240)},    {3, 10, 239, SourceColour(10, 479)},
        {3, 10, 240, TargetColour(10, 0)},    {3, 10, 479, TargetColour(10, 239)},
        {4, 10, 0, TargetColour(10, 240)},    {4, 10, 240, SourceColour(10, 0)},
        {5, 0, 10, TargetColour(320, 10)},    {5, 320, 10, SourceColour(0, 10)},
        {6, 0, 10, SourceColour(320, 10)},    {6, 320, 10, TargetColour(0, 10)},
    };
    for (const Case& c : cases) {
        Begin(c.kind);
        DrawAt(80);
        EXPECT_EQ(ColourAt(*dest, c.x, c.y), c.expected) << "kind " << c.kind << " at " << c.x << "," << c.y;
    }
}

TEST_P(TScreenTransitionTest, FramePacedKindsCountDrawnFramesNotTime)
{
    struct Case {
        int kind;
        int frames;
    };
    for (const Case c : {Case{7, 36}, Case{8, 20}, Case{9, 36}, Case{10, 20}, Case{11, 70}, Case{12, 37}}) {
        for (const int speed : {100, 300}) {
            source = Picture(SourceColour);
            LoadFor(c.kind);
            Begin(c.kind, speed);
            EXPECT_EQ(FramesToEnd(), c.frames) << "kind " << c.kind << " speed " << speed;
        }
    }
}

TEST_P(TScreenTransitionTest, FramesWithoutNewProgressDrawNothingNew)
{
    Begin(7);
    DrawAt(1);
    DrawAt(2);
    auto before = Picture([](int, int) { return 0u; });
    before->Draw(0, 0, dest.get(), 0, 0, 640, 480);
    const int steps = t.StepCount();
    t.Advance(0);
    t.Draw(dest.get(), nullptr);
    EXPECT_EQ(t.StepCount(), steps);
    EXPECT_TRUE(SamePixels(*dest, *before));
    EXPECT_FALSE(t.IsDone());
}

TEST_P(TScreenTransitionTest, ShrinkBlendsTheBorderTowardTheTargetAtAQuarter)
{
    Begin(9);
    DrawAt(1);
    // (1, 1) lies outside the inset of step 1, which the shrunk source covers.
    EXPECT_EQ(ColourAt(*dest, 1, 1), Blend(SourceColour(1, 1), TargetColour(1, 1), 32));
    EXPECT_TRUE(SamePixels(*source, *dest)) << "the source becomes a copy of the destination";
}

TEST_P(TScreenTransitionTest, SoftMaskWipeAtItsValues)
{
    // The mask shows the source on the left half (0) and the target on the right (255).
    LoadFor(13);
    Begin(13);
    EXPECT_TRUE(SamePixels(*dest, *source)) << "value 0";
    DrawAt(16); // value 256: the mask itself
    EXPECT_EQ(ColourAt(*dest, 100, 50), SourceColour(100, 50));
    EXPECT_EQ(ColourAt(*dest, 500, 50), TargetColour(500, 50));
    DrawAt(8); // value 128: the mask minus 127 leaves 128 on the right
    EXPECT_EQ(ColourAt(*dest, 100, 50), SourceColour(100, 50));
    EXPECT_NE(ColourAt(*dest, 500, 50), TargetColour(500, 50));
    DrawAt(32); // value 511: the end
    EXPECT_TRUE(t.IsDone());
    EXPECT_TRUE(SamePixels(*dest, *target));
}

TEST_P(TScreenTransitionTest, HardMaskWipeExtractsTheMask)
{
    LoadFor(14);
    Begin(14);
    DrawAt(1); // value 8: 255 stays at the top of the ramp, 8 falls below it
    EXPECT_EQ(ColourAt(*dest, 100, 50), SourceColour(100, 50));
    EXPECT_EQ(ColourAt(*dest, 500, 50), TargetColour(500, 50));
    DrawAt(32);
    EXPECT_TRUE(t.IsDone());
    EXPECT_TRUE(SamePixels(*dest, *target));
}

TEST_P(TScreenTransitionTest, OutsideASmallMaskTheTargetShows)
{
    t.MaskEffect().Load(&data.files, "Small.bmp");
    Begin(13);
    DrawAt(4);
    EXPECT_EQ(ColourAt(*dest, 100, 100), SourceColour(100, 100)) << "mask 0 inside";
    for (const auto& [x, y] : {std::pair{400, 100}, std::pair{100, 300}, std::pair{639, 479}})
        EXPECT_EQ(ColourAt(*dest, x, y), TargetColour(x, y)) << x << "," << y;
}

TEST_P(TScreenTransitionTest, EffectKindsWithoutTheirDataShowTheTargetAndEnd)
{
    for (const int kind : {11, 12, 13, 14}) {
        Begin(kind);
        EXPECT_TRUE(SamePixels(*dest, *source)) << "kind " << kind;
        EXPECT_EQ(FramesToEnd(), 1) << "kind " << kind;
        EXPECT_TRUE(SamePixels(*dest, *target)) << "kind " << kind;
    }
}

TEST_P(TScreenTransitionTest, WaterWithANeutralMultiplierKeepsThePicture)
{
    LoadFor(11);
    Begin(11);
    DrawAt(1);
    DrawAt(2);
    EXPECT_TRUE(SamePixels(*dest, *source)) << "every offset is 0";
}

TEST_P(TScreenTransitionTest, HaloDarkensTheSourceUnderItsBackdropInFourSteps)
{
    LoadFor(12);
    Begin(12);
    for (int p = 1; p <= 4; ++p)
        DrawAt(p);
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{300, 200}, std::pair{639, 479}}) {
        const std::uint32_t s = SourceColour(x, y);
        const std::uint32_t expected = ((s >> 1) & 0x7F7F7F) + 0x101010;
        EXPECT_EQ(ColourAt(*dest, x, y), expected) << x << "," << y;
    }
}

TEST_P(TScreenTransitionTest, AnotherKindShowsTheTargetAtOnce)
{
    Begin(15);
    EXPECT_TRUE(t.IsDone());
    EXPECT_TRUE(SamePixels(*dest, *target));
    ASSERT_TRUE(t.Start(-1, source.get(), target.get(), 100));
    EXPECT_TRUE(t.IsDone());
}

TEST_P(TScreenTransitionTest, RawKindsOnPicturesOfAnotherDepthShowTheTargetAndEnd)
{
    auto shallow = MakePicture(bd16, SourceColour);
    LoadFor(11);
    for (const int kind : {7, 8, 9, 10, 11}) {
        ASSERT_TRUE(t.Start(kind, shallow.get(), target.get(), 100));
        t.Draw(dest.get(), nullptr);
        EXPECT_TRUE(t.IsDone()) << "kind " << kind;
        EXPECT_TRUE(SamePixels(*dest, *target)) << "kind " << kind;
    }
}

TEST_P(TScreenTransitionTest, AdvanceDoesNothingWhileIdle)
{
    t.Advance(10);
    EXPECT_EQ(t.Elapsed(), 0);
    Begin(0, 150);
    t.Advance(3);
    EXPECT_EQ(t.Progress(), 4) << "3 x 150 / 100";
    t.Advance(-10);
    EXPECT_EQ(t.Progress(), 0) << "time never runs backward past the start";
}

INSTANTIATE_TEST_SUITE_P(Depths, TScreenTransitionTest, ::testing::Values(bd24, bd32),
                         [](const auto& info) { return info.param == bd24 ? "Bits24" : "Bits32"; });

} // namespace
