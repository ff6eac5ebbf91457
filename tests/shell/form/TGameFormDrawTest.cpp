#include "graphics/panels/TXeRGBPanel.h"
#include "tests/shell/FormTestSupport.h"

#include <cstring>

namespace {

using namespace ShellTest;

constexpr std::uint32_t kBackground = 0x204060;
constexpr std::uint32_t kHeader = 0x0000FF;

// The colour of cursor cell k, and of wait-sign row n.
std::uint32_t CellColour(int k)
{
    return 0x100000u * static_cast<std::uint32_t>(k + 1) + 0x11;
}
std::uint32_t RowColour(int n)
{
    return 0x001000u * static_cast<std::uint32_t>(n + 1) + 0x22;
}

// A form in window mode with a work surface, cursor sheet, save areas and wait picture.
class TGameFormDrawTest : public FormFixture {
protected:
    void SetUp() override
    {
        Make();
        ASSERT_NE(form->Display(), nullptr);
        EnableDisplay(false, true);
        TFormPictures& p = form->Pictures();
        cursor.SetBitDepth(GameBitDepth);
        cursor.Resize(256, 32);
        ASSERT_TRUE(cursor.Create());
        for (int k = 0; k < 8; ++k)
            cursor.BoxFill(32 * k, 0, 32 * k + 31, 31, CellColour(k));
        cursorAlpha.Resize(256, 32);
        ASSERT_TRUE(cursorAlpha.Create());
        cursorAlpha.Fill(255);
        for (TXeRGBBits* b : {&cursorBack, &counterBack, &wait})
            b->SetBitDepth(GameBitDepth);
        cursorBack.Resize(32, 32);
        counterBack.Resize(96, 26);
        wait.Resize(240, 44 + 28 * 9);
        for (TXeRGBBits* b : {&cursorBack, &counterBack, &wait})
            ASSERT_TRUE(b->Create());
        wait.BoxFill(0, 0, 239, 43, kHeader);
        for (int n = 0; n < 9; ++n)
            wait.BoxFill(0, 44 + 28 * n, 239, 44 + 28 * n + 27, RowColour(n));
        p.cursorBits = &cursor;
        p.cursorAlpha = &cursorAlpha;
        p.cursorBack = &cursorBack;
        p.counterBack = &counterBack;
        p.waitBits = &wait;
        form->SetState(fsRunning);
        Target()->Fill(XeRGB(0x20, 0x40, 0x60));
        form->Redraw(); // the whole picture reaches the screen once
    }

    void TearDown() override { form->Pictures() = {}; }

    DirectX::TDSurface* Target() { return form->Pictures().workSurface; }

    // The colour the window shows at (x, y), in the picture now shown or in a copy taken before.
    template <typename Picture> static std::uint32_t ShownIn(const Picture& front, int x, int y)
    {
        const std::uint8_t* p = &front.pixels[(static_cast<std::size_t>(y) * front.width + x) * 4];
        return p[0] | (p[1] << 8) | (p[2] << 16);
    }
    std::uint32_t Shown(int x, int y) { return ShownIn(window->Front().Copy(), x, y); }

    std::uint32_t InTarget(int x, int y) { return Target()->PGet(x, y) & 0xFFFFFF; }

    TXeRGBBits cursor{nullptr};
    TXeAlpha cursorAlpha{nullptr};
    TXeRGBBits cursorBack{nullptr};
    TXeRGBBits counterBack{nullptr};
    TXeRGBBits wait{nullptr};
};

TEST_F(TGameFormDrawTest, DrawsTheCursorAtItsHotSpotAndLeavesTheTargetClean)
{
    struct Case {
        int kind;
        TPoint mouse;
        TPoint drawnAt;
    } cases[] = {{0, {100, 50}, {100, 50}}, {3, {200, 60}, {200, 60}}, {4, {100, 50}, {85, 35}}, {7, {20, 20}, {5, 5}}};
    for (const Case& c : cases) {
        form->SetCursorKind(c.kind);
        mouse = c.mouse;
        form->Draw(0);
        EXPECT_EQ(form->CursorPoint(), c.drawnAt);
        EXPECT_EQ(Shown(c.drawnAt.x, c.drawnAt.y), CellColour(c.kind)) << "kind " << c.kind;
        EXPECT_EQ(Shown(c.drawnAt.x + 31, c.drawnAt.y + 31), CellColour(c.kind));
        EXPECT_EQ(Shown(c.drawnAt.x + 32, c.drawnAt.y + 32), kBackground);
        EXPECT_EQ(InTarget(c.drawnAt.x, c.drawnAt.y), kBackground) << "the target never keeps the cursor";
    }
}

TEST_F(TGameFormDrawTest, RefreshesTheLastCursorPlaceOnceAndDrawsNoCursorOfKindMinusOne)
{
    form->SetCursorKind(0);
    mouse = {100, 100};
    form->Draw(0);
    ASSERT_EQ(Shown(110, 110), CellColour(0));
    form->SetCursorKind(-1);
    mouse = {300, 300};
    form->Draw(0);
    EXPECT_EQ(Shown(110, 110), kBackground) << "the old place is presented again";
    EXPECT_EQ(Shown(310, 310), kBackground);
    // A change under the old place is not presented by a later frame: nothing marks it any more.
    Target()->BoxFill(100, 100, 131, 131, 0x00FF00);
    form->Draw(0);
    form->Draw(0);
    EXPECT_EQ(Shown(110, 110), kBackground);
}

TEST_F(TGameFormDrawTest, AFrameWithNothingChangedPresentsNothing)
{
    form->SetCursorKind(0);
    mouse = {100, 100};
    form->Draw(0);
    // A mark on the back surface alone reaches the screen only with a present (in a window, of the
    // whole back surface).
    form->Display()->BackSurface()->BoxFill(400, 300, 409, 309, 0x00FF00);
    form->Draw(0);
    form->Draw(0);
    EXPECT_EQ(Shown(405, 305), kBackground) << "the cursor did not move and nothing was drawn";
    mouse = {101, 100};
    form->Draw(0);
    EXPECT_EQ(Shown(405, 305), 0x00FF00u) << "a moved cursor is presented";
    EXPECT_EQ(Shown(101, 100), CellColour(0));
    EXPECT_EQ(Shown(100, 100), kBackground);
}

TEST_F(TGameFormDrawTest, ClipsTheCursorAtTheScreenEdges)
{
    form->SetCursorKind(0);
    for (const TPoint p : {TPoint{630, 470}, TPoint{-20, -10}}) {
        mouse = p;
        form->Draw(0);
        const int x = std::clamp(p.x, 0, 639);
        const int y = std::clamp(p.y, 0, 479);
        EXPECT_EQ(Shown(x, y), CellColour(0));
        EXPECT_EQ(InTarget(x, y), kBackground);
    }
    // Far outside: the last place is not collected, nothing is drawn, nothing breaks.
    mouse = {700, 600};
    form->Draw(0);
    EXPECT_EQ(InTarget(639, 479), kBackground);
}

TEST_F(TGameFormDrawTest, DarkensTheCounterBoxOnlyOnTheScreen)
{
    ShowFPS = 1;
    Target()->Fill(XeRGB(0x80, 0x80, 0x80));
    form->Redraw();
    EXPECT_EQ(Shown(548, 24), 0x404040u) << "the full redraw shows the counter too";
    form->Draw(0);
    EXPECT_EQ(Shown(548, 24), 0x404040u) << "the box is darkened with the tone 0x404040";
    EXPECT_EQ(Shown(639, 25), 0x404040u) << "the whole box is presented";
    EXPECT_EQ(Shown(543, 10), 0x808080u);
    EXPECT_EQ(InTarget(548, 24), 0x808080u) << "the target never keeps the counter";
    const auto front = window->Front().Copy();
    int white = 0;
    for (int y = 0; y < 26; ++y)
        for (int x = 544; x < 640; ++x)
            white += ShownIn(front, x, y) == 0xFFFFFFu;
    EXPECT_GT(white, 20) << "the \"%2d FPS\" text is drawn in white over its black shadow";
}

TEST_F(TGameFormDrawTest, TheWaitSignStepsEverySecondPulsedFrameAndWraps)
{
    form->EnterStartState();
    EXPECT_EQ(form->WaitStep(), 0);
    EXPECT_EQ(Shown(400, 400), kHeader);
    EXPECT_EQ(Shown(400, 440), RowColour(0));
    EXPECT_EQ(Shown(10, 10), 0u) << "state 6 clears the screen";
    const std::pair<int, int> frames[] = {{1, 0}, {1, 1}, {0, 1}, {0, 1}, {3, 1}, {1, 2}};
    for (const auto& [dp, step] : frames) {
        form->Draw(dp);
        EXPECT_EQ(form->WaitStep(), step);
        EXPECT_EQ(Shown(400, 440), RowColour(step));
    }
    for (int i = 0; i < 14; ++i)
        form->Draw(1);
    EXPECT_EQ(form->WaitStep(), 0) << "after step 8 comes 0";
}

TEST_F(TGameFormDrawTest, FullScreenPresentsNothingWhileInactive)
{
    WindowMode = 0;
    active = false;
    form->SetCursorKind(0);
    mouse = {50, 50};
    form->Draw(0);
    EXPECT_NE(Shown(60, 60), CellColour(0));
    active = true;
    form->Draw(0);
    EXPECT_EQ(Shown(60, 60), CellColour(0));
}

TEST_F(TGameFormDrawTest, PanelStatesPresentTheModifiedRectanglesOfTheTree)
{
    TXeRGBBits picture{nullptr};
    picture.SetBitDepth(GameBitDepth);
    picture.Resize(64, 64);
    ASSERT_TRUE(picture.Create());
    picture.BoxFill(0, 0, 63, 63, 0xFF0000);
    TXeRGBPanel panel{nullptr};
    panel.SetImage(&picture);
    panel.SetOffsetX(10);
    panel.SetOffsetY(20);
    form->RootPanel()->SetCreated(true);
    panel.SetCreated(true);
    form->AttachPanel(&panel);
    form->EnterState2();
    EXPECT_EQ(Shown(12, 22), 0xFF0000u);
    picture.BoxFill(0, 0, 63, 63, 0x00FF00);
    panel.SetModify();
    form->Draw(0);
    EXPECT_EQ(Shown(12, 22), 0x00FF00u);
    form->DetachPanel(&panel);
}

TEST_F(TGameFormDrawTest, PushesSixteenCursorKindsAndCountsTheRest)
{
    for (int i = 0; i < 17; ++i) {
        form->SetCursorKind(i % 8);
        EXPECT_EQ(form->PushCursorKind(), i < 16) << "push " << i;
    }
    form->SetCursorKind(-1);
    EXPECT_FALSE(form->PopCursorKind()) << "the seventeenth push stored nothing";
    EXPECT_EQ(form->GetCursorKind(), -1);
    for (int i = 15; i >= 0; --i) {
        EXPECT_TRUE(form->PopCursorKind());
        EXPECT_EQ(form->GetCursorKind(), i % 8);
    }
    EXPECT_FALSE(form->PopCursorKind());
    form->SetCursorKind(8);
    EXPECT_EQ(form->GetCursorKind(), -1) << "a kind outside the sheet is no cursor";
}

TEST_F(TGameFormDrawTest, ARequestedFullRepaintReachesTheScreenAtTheNextFrame)
{
    form->RootPanel()->SetCreated(true);
    form->EnterState2();
    TXeRGBBits picture{nullptr};
    picture.SetBitDepth(GameBitDepth);
    picture.Resize(640, 480);
    ASSERT_TRUE(picture.Create());
    picture.BoxFill(0, 0, 639, 479, 0x00FF00);
    form->Draw(0);
    {
        std::lock_guard lock(*form->StateLock());
        form->RootPanel()->SetImage(&picture);
        form->RootPanel()->ClrModify();
        form->RootPanel()->ClrModifyToChild();
    }
    form->Draw(0);
    EXPECT_EQ(Shown(320, 240), kBackground) << "nothing flagged the tree";
    form->RequestFullRepaint();
    form->Draw(0);
    EXPECT_EQ(Shown(320, 240), 0x00FF00u);
    EXPECT_EQ(Shown(639, 479), 0x00FF00u);
    std::lock_guard lock(*form->StateLock());
    form->RootPanel()->SetImage(nullptr);
}

TEST_F(TGameFormDrawTest, StateSevenDrawsNothingOfTheForm)
{
    TXeRGBBits picture{nullptr};
    picture.SetBitDepth(GameBitDepth);
    ASSERT_TRUE(picture.Create());
    picture.BoxFill(0, 0, 639, 479, 0xFF0000);
    form->RootPanel()->SetCreated(true);
    form->EnterState7();
    form->RootPanel()->SetImage(&picture); // the tree changes while the screen is released
    form->Draw(1);
    form->Draw(1);
    EXPECT_EQ(Shown(320, 240), kBackground) << "the picture of the previous screen stays";
    EXPECT_EQ(InTarget(320, 240), kBackground);
    form->RootPanel()->SetImage(nullptr);
}

TEST_F(TGameFormDrawTest, DrawsTheLoadingPictureIntoABitmap)
{
    TXeRGBBits bitmap{nullptr};
    bitmap.SetBitDepth(GameBitDepth);
    ASSERT_TRUE(bitmap.Create());
    bitmap.BoxFill(0, 0, 639, 479, 0x010203);
    form->DrawWaitScreenTo(&bitmap);
    EXPECT_EQ(bitmap.PGet(10, 10) & 0xFFFFFF, 0u);
    EXPECT_EQ(bitmap.PGet(400, 400) & 0xFFFFFF, kHeader);
    EXPECT_EQ(bitmap.PGet(400, 440) & 0xFFFFFF, RowColour(0));
}

TEST_F(TGameFormDrawTest, TheMovieHookDrawsStraightIntoTheBackSurface)
{
    DirectX::TDSurface* seen = nullptr;
    form->SetOnMovieDraw([&](DirectX::TDSurface* back) {
        seen = back;
        back->Fill(XeRGB(0, 0, 0xFF));
    });
    form->SetCursorKind(0);
    form->DrawMovie();
    EXPECT_EQ(seen, form->Display()->BackSurface());
    EXPECT_EQ(Shown(5, 5), 0x0000FFu) << "no cursor over a movie";
}

using TGameFormDisplayTest = FormFixture;

TEST_F(TGameFormDisplayTest, LoadingWithoutABackSurfaceLeavesTheScreenBlack)
{
    Make();
    DirectX::TDDraw* display = form->Display();
    display->SetBitDepth(bd32);
    display->SetFullScreen(false);
    display->SetBackType(DirectX::btNone);
    display->SetEnabled(true);
    ASSERT_TRUE(display->Enabled());
    ASSERT_EQ(display->BackSurface(), nullptr);
    form->EnterStartState(); // nothing to clear or draw into: no crash, the screen stays black
    form->Draw(1);
    form->Draw(1);
    form->Redraw();
    EXPECT_EQ(form->WaitStep(), 0);
}

} // namespace
