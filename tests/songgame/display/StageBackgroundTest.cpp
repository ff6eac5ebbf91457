#include "songgame/display/StageBackground.h"

#include "graphics/bitmaps/TXeRGBBits.h"
#include "platform/classes/Stream.h"
#include "support/BmpFile.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

struct Flags : RectSink {
    int count = 0;
    void Flag(const TXeRect& rect) override
    {
        EXPECT_EQ(rect, XeRect(0, 0, 640, 300));
        ++count;
    }
};

// A stage with its 640 x 300 panel bitmap and pictures of one grey level each, kept as streams.
struct Stage {
    StageState state;
    StageResources resources;
    Flags flags;
    TXeRGBBits target{nullptr};
    StageBackground background{state, resources};
    std::vector<std::unique_ptr<TMemoryStream>> streams;

    Stage()
    {
        target.SetBitDepth(bd32);
        target.Resize(640, 300);
        target.Create();
        background.SetTarget(&target, &flags);
    }

    StagePicture Grey(std::uint32_t level)
    {
        const auto bytes = TestSupport::Bmp24(8, 4, [level](int, int) { return level * 0x010101u; });
        auto& stream = streams.emplace_back(std::make_unique<TMemoryStream>());
        stream->Write(bytes.data(), static_cast<int>(bytes.size()));
        return {stream.get(), spfBmp};
    }
    // The stage's grey level at the top-left corner.
    std::uint32_t Shown() { return target.PGet(0, 0) & 0xFF; }
};

} // namespace

TEST(StageBackground, PictureWithoutFadeIsDecodedStraightIn)
{
    struct Case {
        const char* what;
        int fade;
        bool stageAnime;
    };
    for (const Case& c : {Case{"no fade", 0, true}, Case{"stage animation off", 4, false}}) {
        SCOPED_TRACE(c.what);
        Stage s;
        s.resources.backgrounds[31] = s.Grey(0x40); // the last slot, past the animations' count
        s.background.ShowPicture(31, c.fade, c.stageAnime);
        EXPECT_EQ(s.Shown(), 0x40u);
        EXPECT_EQ(s.flags.count, 1);
        EXPECT_EQ(s.state.current.kind, 1);
        EXPECT_EQ(s.state.current.slot, 31);
        EXPECT_FALSE(s.background.Fading());
        EXPECT_EQ(s.background.CurrentBitmaps(), 0) << "the picture lives in the stage's bitmap";
        s.background.Step(5);
        EXPECT_EQ(s.state.current.frame, 0) << "a picture has no frames to step";
        EXPECT_EQ(s.flags.count, 1);
    }
}

TEST(StageBackground, FadeBlendsOverSixteenSteps)
{
    // From grey 0x20 to 0xA0: each step of 4 ticks adds level 8, one grey level per level unit.
    Stage s;
    s.resources.backgrounds[0] = s.Grey(0x20);
    s.resources.backgrounds[1] = s.Grey(0xA0);
    s.background.ShowPicture(0, 0, true);
    s.background.ShowPicture(1, 4, true);
    EXPECT_TRUE(s.background.Fading());
    EXPECT_EQ(s.Shown(), 0x20u) << "the previous picture until the first step";
    struct Tick {
        int elapsed;
        std::uint32_t grey;
        bool fading;
    };
    const Tick ticks[] = {{3, 0x20, true}, {1, 0x28, true}, {0, 0x28, true}, {28, 0x60, true},
                          {31, 0x98, true}, {1, 0xA0, false}};
    int total = 0;
    for (const Tick& t : ticks) {
        total += t.elapsed;
        s.background.Step(t.elapsed);
        EXPECT_EQ(s.Shown(), t.grey) << total;
        EXPECT_EQ(s.background.Fading(), t.fading) << total;
    }
    EXPECT_EQ(total, 64) << "a fade of 4 ticks a step lasts 64 ticks";
    EXPECT_EQ(s.background.PreviousBitmaps(), 0);
    EXPECT_EQ(s.background.CurrentBitmaps(), 0);
    EXPECT_EQ(s.state.fadeStep, 0);
}

TEST(StageBackground, FadeStepsAreAtMostEightTicksAndMayJump)
{
    Stage s;
    s.resources.backgrounds[0] = s.Grey(0x20);
    s.resources.backgrounds[1] = s.Grey(0xA0);
    s.background.ShowPicture(0, 0, true);
    s.background.ShowPicture(1, 50, true);
    EXPECT_EQ(s.state.fadeStep, 8);
    s.background.Step(127);
    EXPECT_EQ(s.Shown(), 0x98u);
    s.background.Step(500); // far past the end: the last step only
    EXPECT_EQ(s.Shown(), 0xA0u);
    EXPECT_FALSE(s.background.Fading());
}

TEST(StageBackground, EmptySlotsClearTheStage)
{
    Stage s;
    s.resources.backgrounds[0] = s.Grey(0x60);
    for (const int slot : {1, -1, 32}) {
        s.background.ShowPicture(0, 0, true);
        s.background.ShowPicture(slot, 4, true);
        EXPECT_EQ(s.Shown(), 0u) << slot;
        EXPECT_EQ(s.state.current.kind, 0) << slot;
        EXPECT_FALSE(s.background.Fading()) << slot;
    }
    s.background.ShowPicture(0, 0, true);
    s.background.ShowAnimation(2, 4, true); // no frames
    EXPECT_EQ(s.Shown(), 0u);
}

TEST(StageBackground, AnimationLoopsThroughItsFramesAndFadesOut)
{
    Stage s;
    BackgroundAnimation& animation = s.resources.animations[1];
    animation.frameCount = 3;
    animation.frames = {s.Grey(0x10), s.Grey(0x20), s.Grey(0x30)};
    animation.durations = {2, 1, 3};
    s.background.ShowAnimation(1, 0, true);
    EXPECT_EQ(s.Shown(), 0x10u);
    EXPECT_EQ(s.background.CurrentBitmaps(), 3);
    // Ticks one at a time: frame 0 for 2, frame 1 for 1, frame 2 for 3, then frame 0 again.
    const std::uint32_t expected[] = {0x10, 0x20, 0x30, 0x30, 0x30, 0x10, 0x10, 0x20};
    for (const std::uint32_t grey : expected) {
        s.background.Step(1);
        EXPECT_EQ(s.Shown(), grey);
    }
    s.background.Step(0);
    EXPECT_EQ(s.Shown(), 0x20u) << "no time, no frame";

    // A picture fading in over the running animation: the animation hands its frames over and
    // keeps running underneath.
    s.resources.backgrounds[5] = s.Grey(0x90);
    s.background.ShowPicture(5, 1, true);
    EXPECT_EQ(s.background.PreviousBitmaps(), 3);
    EXPECT_EQ(s.state.previous.kind, 2);
    s.background.Step(1); // the animation moves to frame 2 (0x30); step 1 of 16
    EXPECT_EQ(s.Shown(), 0x30u + (0x90u - 0x30u) / 16);
    s.background.Step(15);
    EXPECT_EQ(s.Shown(), 0x90u);
    EXPECT_EQ(s.background.PreviousBitmaps(), 0);
}

TEST(StageBackground, BrokenPictureShowsNothingAndDoesNotFail)
{
    Stage s;
    auto& stream = s.streams.emplace_back(std::make_unique<TMemoryStream>());
    stream->Write("not a picture", 13);
    s.resources.backgrounds[0] = {stream.get(), spfPng};
    s.background.ShowPicture(0, 2, true);
    s.background.Step(40);
    EXPECT_FALSE(s.background.Fading());
    EXPECT_EQ(s.Shown(), 0u);
}
