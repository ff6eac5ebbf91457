#include "songgame/display/CharacterDisplay.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Flags : RectSink {
    std::vector<TXeRect> rects;
    void Flag(const TXeRect& rect) override { rects.push_back(rect); }
};

struct Stage {
    StageState state;
    StageResources resources;
    Flags flags;
    CharacterDisplay characters{state, resources, flags};

    Stage()
    {
        for (auto& character : resources.characters) {
            for (auto& entry : character.entries) {
                entry.frameCount = 3;
                entry.cellWidth = 40;
                entry.cellHeight = 100;
                entry.playMode = pepTurn;
                entry.durations.fill(1);
            }
        }
    }
};

} // namespace

TEST(CharacterDisplay, MoveAndHide)
{
    Stage s;
    s.characters.SetPicture(0, 0);
    s.characters.SetPosition(0, 0, 10, 30, true); // appears at once
    EXPECT_EQ(s.characters.Rect(0), XeRect(0, 10, 40, 110));
    s.characters.SetPosition(0, 100, 10, 30, true);
    for (int tick = 0; tick < 15; ++tick)
        s.characters.Animate(1);
    EXPECT_EQ(s.state.characters[0].x, 50);
    s.characters.Animate(100);
    EXPECT_EQ(s.state.characters[0].x, 100);
    EXPECT_EQ(s.state.characters[0].moveDuration, 30); // stays set

    s.characters.SetPosition(0, 5, 5, 30, false); // without animation: a jump
    EXPECT_EQ(s.state.characters[0].x, 5);
    EXPECT_EQ(s.state.characters[0].moveDuration, 0);
    s.flags.rects.clear();
    s.characters.SetPosition(0, 640, 0, 0, true);
    EXPECT_FALSE(s.state.characters[0].active);
    EXPECT_EQ(s.flags.rects, (std::vector<TXeRect>{XeRect(5, 5, 45, 105)}));
    s.characters.SetPosition(1, 0, 300, 0, true); // off the stage: stays hidden
    EXPECT_FALSE(s.state.characters[1].active);
    s.characters.SetPosition(4, 0, 0, 0, true);   // no such character
    s.characters.SetPicture(-1, 0);
}

TEST(CharacterDisplay, OverlayAndMissRunOnceThenEnd)
{
    Stage s;
    s.resources.characters[0].miss.frameCount = 2;
    s.resources.characters[0].miss.cellWidth = 60;
    s.resources.characters[0].miss.cellHeight = 120;
    s.resources.characters[0].miss.durations.fill(1);
    s.characters.SetPicture(0, 1);
    s.characters.SetPosition(0, 0, 0, 0, true);
    s.characters.SetOverlay(0, 2);
    s.characters.Shake();
    EXPECT_EQ(s.characters.Shown(0), &s.resources.characters[0].miss);
    EXPECT_EQ(s.characters.Rect(0), XeRect(0, 0, 60, 120));
    s.characters.Animate(1);
    EXPECT_EQ(s.state.characters[0].miss, 1);
    s.characters.Animate(1);
    EXPECT_EQ(s.state.characters[0].miss, -1);
    EXPECT_EQ(s.characters.Shown(0), &s.resources.characters[0].entries[2]);
    s.characters.Animate(10);
    EXPECT_EQ(s.state.characters[0].overlay, -1);
    EXPECT_EQ(s.characters.Shown(0), &s.resources.characters[0].entries[1]);
    s.resources.characters[1].miss.frameCount = 0; // without a miss picture nothing shakes
    s.characters.Shake();
    EXPECT_EQ(s.state.characters[1].miss, -1);
}

TEST(CharacterDisplay, DepthOrderIsStableByBottomEdge)
{
    Stage s;
    for (int c = 0; c < 4; ++c) {
        s.characters.SetPicture(c, 0);
        s.characters.SetPosition(c, 10 * c, 50, 0, true);
    }
    EXPECT_FALSE(s.characters.SortDepth()); // equal bottoms keep their order
    s.characters.SetPosition(0, 0, 120, 0, true);
    s.characters.SetPosition(2, 0, 10, 0, true);
    s.flags.rects.clear();
    EXPECT_TRUE(s.characters.SortDepth());
    EXPECT_EQ(s.state.depth, (std::array<std::int32_t, 4>{2, 1, 3, 0}));
    EXPECT_EQ(s.flags.rects.size(), 4u);
    EXPECT_FALSE(s.characters.SortDepth());
}
