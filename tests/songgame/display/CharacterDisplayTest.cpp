#include "songgame/display/CharacterDisplay.h"

#include "graphics/bitmaps/TXeAlpha.h"
#include "graphics/bitmaps/TXeRGBBits.h"

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

namespace {

constexpr std::uint32_t Key = 0xFF00FF;

// A 32-bit picture of 2 x 2 cells of 10 x 10 pixels, cell k of grey 0x11 x (k + 1), with the key
// colour in its top-left pixel and at (2, 2) of cell 3.
struct CellPicture {
    TXeRGBBits bits{nullptr};
    CellPicture()
    {
        bits.SetBitDepth(bd32);
        bits.Resize(20, 20);
        bits.Create();
        for (int k = 0; k < 4; ++k)
            bits.BoxFill(k % 2 * 10, k / 2 * 10, k % 2 * 10 + 9, k / 2 * 10 + 9, 0x111111u * (k + 1));
        bits.PSet(0, 0, Key);
        bits.PSet(12, 12, Key);
    }
};

struct Canvas {
    TXeRGBBits bits{nullptr};
    Canvas()
    {
        bits.SetBitDepth(bd32);
        bits.Resize(640, 300);
        bits.Create();
    }
    std::uint32_t At(int x, int y) { return bits.PGet(x, y) & 0xFFFFFF; }
};

} // namespace

TEST(CharacterDisplay, DrawsCellsInDepthOrderClippedToPartAndPicture)
{
    Stage s;
    CellPicture picture;
    for (int c = 0; c < 2; ++c) {
        PictureEntry& entry = s.resources.characters[static_cast<std::size_t>(c)].entries[0];
        entry = PictureEntry{2, 10, 10, 2, 2, pepPlain, &picture.bits, nullptr, {}, {}};
        entry.cells[0] = c == 0 ? 3 : 0;
        s.characters.SetPicture(c, 0);
    }
    s.characters.SetPosition(0, 100, 50, 0, true);
    s.characters.SetPosition(1, 105, 50, 0, true);
    s.state.depth = {1, 0, 2, 3}; // character 0 over character 1

    struct Case {
        const char* what;
        int x, y;
        TXeRect part;
        std::vector<std::pair<TPoint, std::uint32_t>> pixels;
    };
    const std::uint32_t cell0 = 0x111111, cell3 = 0x444444;
    const Case cases[] = {
        {"whole stage",
         0,
         0,
         XeRect(0, 0, 640, 300),
         {{{100, 50}, cell3}, {{102, 52}, 0}, {{109, 59}, cell3}, {{110, 50}, cell0}, {{106, 51}, cell3},
          {{105, 50}, cell3}, {{114, 59}, cell0}, {{115, 50}, 0}, {{100, 60}, 0}}},
        {"part of the stage", 0, 0, XeRect(0, 0, 104, 300), {{{103, 50}, cell3}, {{104, 50}, 0}, {{110, 50}, 0}}},
        {"stage drawn at an offset", 10, 20, XeRect(0, 0, 640, 300), {{{110, 70}, cell3}, {{100, 50}, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Canvas canvas;
        s.characters.Draw(canvas.bits, c.x, c.y, c.part);
        for (const auto& [at, colour] : c.pixels)
            EXPECT_EQ(canvas.At(at.x, at.y), colour) << at.x << "," << at.y;
    }

    // Cells reaching past the picture are cut to it, never read outside it.
    PictureEntry& wide = s.resources.characters[0].entries[0];
    wide.cellWidth = 15;
    wide.cells[0] = 1; // x 15..30 of a 20-pixel picture
    Canvas canvas;
    s.characters.Draw(canvas.bits, 0, 0, XeRect(0, 0, 640, 300));
    EXPECT_EQ(canvas.At(104, 50), 0x222222u);
    EXPECT_EQ(canvas.At(105, 51), 0x111111u) << "character 1 shows where the cut cell ends";
    wide.cellWidth = 64;
    wide.cellHeight = 96;
    Canvas outside;
    s.characters.Draw(outside.bits, 0, 0, XeRect(0, 0, 640, 300));
    EXPECT_EQ(outside.At(100, 50), 0u);

    // Through a mask, the key colour is drawn like any other.
    TXeAlpha mask(nullptr);
    mask.Resize(20, 20);
    mask.Create();
    mask.PSet(13, 13, 0);
    wide = PictureEntry{1, 10, 10, 2, 2, pepPlain, &picture.bits, &mask, {}, {}};
    wide.cells[0] = 3;
    Canvas masked;
    s.characters.Draw(masked.bits, 0, 0, XeRect(0, 0, 640, 300));
    EXPECT_EQ(masked.At(102, 52), Key);
    EXPECT_EQ(masked.At(103, 53), 0u);
    EXPECT_EQ(masked.At(100, 50), cell3);
    for (auto& character : s.resources.characters)
        character.entries[0] = PictureEntry{};
}
