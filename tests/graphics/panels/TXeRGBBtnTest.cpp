// Tests of the button panel: the range each state shows, the animation through a range, and the
// click rules of an enabled and a disabled button.
#include "graphics/panels/TXeRGBBtn.h"

#include "tests/graphics/PanelTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A created button with the given range counts (normal, focus, selected, down, disabled).
struct TButton : TPanelScene {
    TXeRGBPanel* root = Panel(nullptr, 0, 0, 100, 100);
    TXeRGBBtn* button = new TXeRGBBtn(owner.get(), root);

    TButton(int n, int f, int s, int d, int x)
    {
        button->SetAutoSize(false);
        button->SetSizeX(20);
        button->SetSizeY(10);
        button->SetOffsetX(10);
        button->SetOffsetY(10);
        button->SetPatNormal(n);
        button->SetPatFocus(f);
        button->SetPatSelected(s);
        button->SetPatDown(d);
        button->SetPatDisable(x);
        root->AllCreate();
    }
    std::vector<int> Steps(int ticks)
    {
        std::vector<int> blocks;
        for (int i = 0; i < ticks; ++i) {
            root->Anime();
            blocks.push_back(button->BlockIndex());
        }
        return blocks;
    }
};

} // namespace

TEST(TXeRGBBtn, ConstructionDefaults)
{
    TXeRGBBtn alone(nullptr);
    EXPECT_EQ(alone.SizeX(), 98);
    EXPECT_EQ(alone.SizeY(), 31);
    EXPECT_TRUE(alone.Enabled());
    EXPECT_EQ(alone.PatNormal(), 1);
    EXPECT_EQ(alone.NumBlock(), 1);
    TXeRGBPanel root(nullptr);
    TXeRGBBtn child(nullptr, &root);
    EXPECT_EQ(child.SizeX(), 640);
    child.SetPatNormal(0);
    child.SetPatFocus(-1);
    EXPECT_EQ(child.PatNormal(), 1);
    EXPECT_EQ(child.PatFocus(), 0);
}

TEST(TXeRGBBtn, StatesChooseTheFirstBlockOfTheirRange)
{
    struct Case {
        const char* what;
        int n, f, s, d, x;
        bool enabled, selected, focus, pressed;
        int block;
    };
    const Case cases[] = {
        {"normal", 2, 2, 2, 2, 2, true, false, false, false, 0},
        {"focus", 2, 2, 2, 2, 2, true, false, true, false, 2},
        {"selected", 2, 2, 2, 2, 2, true, true, false, false, 4},
        {"pressed", 2, 2, 2, 2, 2, true, false, true, true, 6},
        {"disabled wins", 2, 2, 2, 2, 2, false, true, true, false, 8},
        {"disabled without its range looks enabled", 2, 2, 2, 2, 0, false, false, false, false, 0},
        {"selected without its range shows down", 1, 1, 0, 1, 0, true, true, false, false, 2},
        {"focus without its range stays normal", 1, 0, 0, 0, 0, true, false, true, false, 0},
        {"pressed without a down range", 1, 1, 0, 0, 0, true, false, true, true, 1},
    };
    for (const Case& c : cases) {
        TButton b(c.n, c.f, c.s, c.d, c.x);
        EXPECT_EQ(b.button->NumBlock(), c.n + c.f + c.s + c.d + c.x) << c.what;
        b.button->SetEnabled(c.enabled);
        b.button->SetSelected(c.selected);
        if (c.focus)
            b.root->MouseMove(0, 15, 15);
        if (c.pressed)
            b.root->MouseDown(mbLeft, 0, 15, 15);
        EXPECT_EQ(b.button->BlockIndex(), c.block) << c.what;
    }
}

TEST(TXeRGBBtn, ThePressShowsUntilTheRelease)
{
    TButton b(1, 1, 0, 1, 0);
    b.root->MouseMove(0, 15, 15);
    EXPECT_EQ(b.button->BlockIndex(), 1);
    b.root->MouseDown(mbLeft, 0, 15, 15);
    EXPECT_EQ(b.button->BlockIndex(), 2);
    b.root->MouseUp(mbLeft, 0, 15, 15);
    EXPECT_EQ(b.button->BlockIndex(), 1);
    b.root->MouseMove(0, 90, 90);
    EXPECT_EQ(b.button->BlockIndex(), 0);
    b.button->SetAutoFocus(false);
    b.button->SetFocus(true);
    EXPECT_EQ(b.button->BlockIndex(), 1);
    b.button->Hide(); // drops the focus
    EXPECT_FALSE(b.button->Focused());
}

TEST(TXeRGBBtn, AnimationLoopsOrTurnsWithinTheRange)
{
    {
        TButton b(3, 0, 0, 0, 0);
        EXPECT_EQ(b.Steps(5), (std::vector<int>{1, 2, 0, 1, 2}));
    }
    {
        TButton b(3, 0, 0, 0, 0);
        b.button->SetAnimeType(batRoundtrip);
        EXPECT_EQ(b.Steps(6), (std::vector<int>{1, 2, 1, 0, 1, 2}));
    }
    {
        TButton b(4, 0, 0, 0, 0);
        b.button->SetAnimeWait(2);
        EXPECT_EQ(b.Steps(6), (std::vector<int>{0, 1, 1, 2, 2, 3}));
    }
    {
        TButton b(1, 2, 0, 0, 0); // a one-block range stays put, back and forth or not
        b.button->SetAnimeType(batRoundtrip);
        b.button->SetAnimeWait(0);
        EXPECT_EQ(b.Steps(3), (std::vector<int>{0, 0, 0}));
        b.root->MouseMove(0, 15, 15); // into the two-block focus range
        EXPECT_EQ(b.Steps(4), (std::vector<int>{2, 1, 2, 1}));
    }
}

TEST(TXeRGBBtn, AnInvisibleButtonNeitherAnimatesNorFiresOnAnime)
{
    TButton b(3, 0, 0, 0, 0);
    int animes = 0;
    b.button->OnAnime = [&](TObject*) { ++animes; };
    b.button->Hide();
    EXPECT_EQ(b.Steps(3), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(animes, 0);
    b.button->Show();
    b.Steps(2);
    EXPECT_EQ(animes, 2);
}

TEST(TXeRGBBtn, ADisabledButtonGetsMouseEventsButNeverClicks)
{
    TButton b(1, 0, 0, 0, 1);
    int clicks = 0, downs = 0, ups = 0;
    b.button->OnClick = [&](TObject*) { ++clicks; };
    b.button->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
    b.button->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { ++ups; };
    b.button->SetEnabled(false);
    EXPECT_EQ(b.button->BlockIndex(), 1);
    b.root->MouseDown(mbLeft, 0, 15, 15);
    b.root->MouseUp(mbLeft, 0, 15, 15);
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(ups, 1);
    EXPECT_EQ(clicks, 0);
    b.button->SetEnabled(true);
    b.root->MouseDown(mbLeft, 0, 15, 15);
    b.root->MouseUp(mbLeft, 0, 15, 15);
    EXPECT_EQ(clicks, 1);
}
