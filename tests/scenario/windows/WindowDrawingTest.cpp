// Window drawing: the picture unrolling from its middle line, levels, and the darkening tone.
#include "scenario/windows/WindowDrawing.h"

#include "graphics/bitmaps/TXeRGBBits.h"
#include "scenario/windows/WindowTestSupport.h"

#include <gtest/gtest.h>

namespace {

// The rows of the message background (601 x 177, blue 0x80) drawn into black for a state.
std::vector<bool> DrawnRows(TXeRGBPanel& back, WindowState state, int counter, int level = 128)
{
    TXeRGBBits dest(nullptr);
    dest.SetBitDepth(bd24);
    EXPECT_TRUE(dest.Resize(601, 177) && dest.Create());
    dest.Cls();
    DrawWindowPicture(back, {&dest, 0, 0, 0, 0, 601, 177}, level, state, counter);
    std::vector<bool> rows;
    for (int y = 0; y < 177; ++y)
        rows.push_back(dest.PGet(300, y) != 0);
    return rows;
}

std::pair<int, int> Span(const std::vector<bool>& rows)
{
    int first = -1, last = -1;
    for (int y = 0; y < static_cast<int>(rows.size()); ++y)
        if (rows[static_cast<std::size_t>(y)]) {
            if (first < 0)
                first = y;
            last = y;
        }
    return {first, last};
}

} // namespace

TEST(WindowDrawing, UnrollsFromTheMiddleLine)
{
    WindowTest::UnitFixture f;
    TXeRGBPanel& back = *f.unit->Panel("MesBack");
    struct Case {
        WindowState state;
        int counter;
        std::pair<int, int> span;
    };
    // Half-height 88: (88 x steps / 5) rows either side of row 88.
    const Case cases[] = {
        {wsOpening, 5, {-1, -1}}, {wsOpening, 4, {71, 104}}, {wsOpening, 0, {0, 175}},
        {wsClosing, 1, {71, 104}}, {wsIdle, 0, {0, 176}},     {wsPrinting, 3, {0, 176}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Span(DrawnRows(back, c.state, c.counter)), c.span) << int(c.state) << "/" << c.counter;
    EXPECT_EQ(Span(DrawnRows(back, wsIdle, 0, 0)), (std::pair<int, int>{-1, -1})) << "level 0 draws nothing";
}

TEST(WindowDrawing, ToneStepsBetweenUnchangedAndHalf)
{
    EXPECT_EQ(FadeTone(wsOpening, 5), 128);
    EXPECT_EQ(FadeTone(wsOpening, 0), 64);
    EXPECT_EQ(FadeTone(wsClosing, 5), 64);
    EXPECT_EQ(FadeTone(wsClosing, 2), 103);
    EXPECT_EQ(FadeTone(wsIdle, 0), 64);
    EXPECT_EQ(FadeTone(wsPrinting, 3), 64);
}
