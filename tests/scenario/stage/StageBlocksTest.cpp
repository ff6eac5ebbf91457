#include "scenario/stage/StageBlocks.h"

#include "base/util/TRandom.h"

#include <gtest/gtest.h>

namespace {

// The example sheet: body image 0, eyes open 1 and closed 2, mouth closed 3 and open 4; the eyes
// blink (1 for 1 frame, 2 for 3, 1 for 1, END), the mouth talks (3 for 4, 4 for 4, LOOP).
TCharStat ExampleBlock()
{
    TCharStat b;
    b.Loaded = true;
    b.Img[0] = {0, 0, 100, 200};
    b.Img[1] = {100, 0, 20, 10};
    b.Img[2] = {100, 10, 20, 8};
    b.Img[3] = {120, 0, 10, 6};
    b.Img[4] = {120, 6, 12, 7};
    b.Anim[0] = {{{1, 1}, {2, 3}, {1, 1}, {kFrameEnd, 1}}};
    b.Anim[1] = {{{3, 4}, {4, 4}, {kFrameLoop, 1}}};
    b.Entry[kEntryBody] = {0, 0, 0, -1, 0, 0};
    b.Entry[kEntryEyes] = {40, 30, -1, 0, -1, 0};
    b.Entry[kEntryMouth] = {45, 50, -1, 1, -1, 0};
    return b;
}

} // namespace

TEST(StageBlocks, EntryRectangleComesFromItsImageOrItsCurrentFrameAndIsCheckedEverywhere)
{
    TCharStat b = ExampleBlock();
    EXPECT_EQ(EntrySourceRect(b, kEntryBody), XeRect(0, 0, 100, 200));
    EXPECT_EQ(EntryPanelRect(b, kEntryEyes), XeRect(40, 30, 60, 40)) << "frame 0 shows image 1";
    b.Entry[kEntryEyes].Frame = 1;
    EXPECT_EQ(EntrySourceRect(b, kEntryEyes), XeRect(100, 10, 120, 18));
    EXPECT_EQ(EntryPanelRect(b, kEntryEyes), XeRect(40, 30, 60, 38));

    struct Case {
        const char* what;
        int img, anim, frame;
    };
    const Case unset[] = {{"image 16", 16, -1, 0},  {"image -2", -2, -1, 0}, {"animation 4", -1, 4, 0},
                          {"animation -3", -1, -3, 0}, {"frame 16", -1, 0, 16}, {"frame -1", -1, 0, -1},
                          {"END frame", -1, 0, 3},   {"image of width 0", 7, -1, 0}};
    for (const Case& c : unset) {
        TCharStat e = ExampleBlock();
        e.Entry[3] = {5, 5, c.img, c.anim, 0, c.frame};
        EXPECT_TRUE(EntrySourceRect(e, 3).IsRectEmpty()) << c.what;
        EXPECT_TRUE(EntryPanelRect(e, 3).IsRectEmpty()) << c.what;
        EXPECT_FALSE(StepEntry(e, 3).changed) << c.what;
    }
    TCharStat fallback = ExampleBlock();
    fallback.Entry[3] = {0, 0, 99, 1, 0, 1};
    EXPECT_EQ(EntrySourceRect(fallback, 3), XeRect(120, 6, 132, 13)) << "an image out of range counts as not set";
}

TEST(StageBlocks, BlinkRunsOnceAndRestsOnItsLastRealFrame)
{
    TCharStat b = ExampleBlock();
    StartEntry(b, kEntryEyes);
    std::vector<int> frames;
    std::vector<TXeRect> flagged;
    for (int update = 0; update < 8; ++update) {
        const TEntryStep step = StepEntry(b, kEntryEyes);
        if (step.changed) {
            flagged.push_back(step.before);
            flagged.push_back(step.after);
        }
        frames.push_back(b.Entry[kEntryEyes].Frame);
    }
    EXPECT_EQ(frames, (std::vector<int>{1, 1, 1, 2, 3 - 1, 2, 2, 2}));
    EXPECT_EQ(b.Entry[kEntryEyes].Counter, -1) << "stopped on the END frame's predecessor";
    EXPECT_EQ(flagged.size(), 6u);
    EXPECT_EQ(flagged[0], XeRect(40, 30, 60, 40));
    EXPECT_EQ(flagged[1], XeRect(40, 30, 60, 38));
}

TEST(StageBlocks, TalkLoopsAndSixteenFramesStopOnTheLast)
{
    TCharStat b = ExampleBlock();
    StartEntry(b, kEntryMouth);
    std::vector<int> frames;
    for (int update = 0; update < 17; ++update) {
        StepEntry(b, kEntryMouth);
        frames.push_back(b.Entry[kEntryMouth].Frame);
    }
    EXPECT_EQ(frames, (std::vector<int>{0, 0, 0, 1, 1, 1, 1, 0, 0, 0, 0, 1, 1, 1, 1, 0, 0}));
    StopEntry(b, kEntryMouth);
    EXPECT_EQ(b.Entry[kEntryMouth].Frame, 0);
    EXPECT_FALSE(StepEntry(b, kEntryMouth).changed) << "a stopped entry stays";

    TCharStat full = ExampleBlock();
    for (auto& f : full.Anim[2])
        f = {0, 1};
    full.Entry[3] = {0, 0, -1, 2, 0, 0};
    for (int update = 0; update < 20; ++update)
        StepEntry(full, 3);
    EXPECT_EQ(full.Entry[3].Frame, 15);
    EXPECT_EQ(full.Entry[3].Counter, -1);
}

TEST(StageBlocks, BlinkTimerWaitsTwoToThreeSecondsThenStartsTheEyes)
{
    TCharStat b = ExampleBlock();
    TRandom random;
    TRandom same;
    const int expectedWait = 120 + same.Random(60);
    EXPECT_FALSE(StepBlink(b, random).changed);
    EXPECT_EQ(b.BlinkTimer, expectedWait);
    for (int i = 1; i < expectedWait; ++i)
        ASSERT_FALSE(StepBlink(b, random).changed) << i;
    const TEntryStep start = StepBlink(b, random);
    EXPECT_TRUE(start.changed);
    EXPECT_EQ(start.after, XeRect(40, 30, 60, 40));
    EXPECT_EQ(b.Entry[kEntryEyes].Counter, 0) << "the eyes run";
    EXPECT_FALSE(StepBlink(b, random).changed) << "no timer while they run";
    EXPECT_EQ(b.BlinkTimer, 0);

    TCharStat still = ExampleBlock();
    still.Entry[kEntryEyes].AnimId = -1;
    EXPECT_FALSE(StepBlink(still, random).changed);
    EXPECT_EQ(still.BlinkTimer, 0) << "eyes without an animation never blink";
}

TEST(StageBlocks, PagesTurnAtTheirWaitAndWrap)
{
    TBGStat b;
    b.Loaded = true;
    b.Pages = 3;
    b.PageWait = 2;
    std::vector<int> pages;
    for (int i = 0; i < 7; ++i) {
        StepPages(b);
        pages.push_back(b.Page);
    }
    EXPECT_EQ(pages, (std::vector<int>{0, 1, 1, 2, 2, 0, 0}));
    TBGStat single;
    single.Loaded = true;
    EXPECT_FALSE(StepPages(single));
}
