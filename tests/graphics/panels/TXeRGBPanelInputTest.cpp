// Tests of the panel tree's input routing: clicks, capture, enter and leave, transparency,
// the wheel and keys.
#include "graphics/panels/TXeRGBPanel.h"

#include "tests/graphics/PanelTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

// Records every mouse and key event of a panel, with its coordinates, by panel name.
void Record(TXeRGBPanel* panel, Log& log)
{
    const std::string n = panel->Name;
    const auto at = [](int x, int y) { return "(" + std::to_string(x) + "," + std::to_string(y) + ")"; };
    panel->OnClick = [&log, n](TObject*) { log.push_back(n + ".click"); };
    panel->OnMouseDown = [&log, n, at](TObject*, TMouseButton, TShiftState, int x, int y) { log.push_back(n + ".down" + at(x, y)); };
    panel->OnMouseUp = [&log, n, at](TObject*, TMouseButton, TShiftState, int x, int y) { log.push_back(n + ".up" + at(x, y)); };
    panel->OnMouseMove = [&log, n, at](TObject*, TShiftState, int x, int y) { log.push_back(n + ".move" + at(x, y)); };
    panel->OnMouseEnter = [&log, n](TObject*) { log.push_back(n + ".enter"); };
    panel->OnMouseLeave = [&log, n](TObject*) { log.push_back(n + ".leave"); };
    panel->OnKeyDown = [&log, n](TObject*, std::uint16_t& key, TShiftState) { log.push_back(n + ".key" + std::to_string(key)); };
    panel->OnKeyPress = [&log, n](TObject*, char& key) { log.push_back(n + ".press" + std::string(1, key)); };
}

// A root with two overlapping buttons a (below) and b (above), and c inside b.
struct TInputTree : TPanelScene {
    Log log; // outlives the panels, whose teardown still fires events
    TXeRGBPanel* root = Panel(nullptr, 0, 0, 100, 100);
    TXeRGBPanel* a = Panel(root, 10, 10, 30, 30);
    TXeRGBPanel* b = Panel(root, 30, 30, 40, 40);
    TXeRGBPanel* c = Panel(b, 10, 10, 10, 10);

    TInputTree()
    {
        root->Name = "root";
        a->Name = "a";
        b->Name = "b";
        c->Name = "c";
        for (TXeRGBPanel* p : {root, a, b, c})
            Record(p, log);
        root->AllCreate();
        root->SetActive();
        log.clear();
    }
    ~TInputTree() { owner.reset(); }
};

} // namespace

TEST(TXeRGBPanelInput, ClicksNeedALeftPressAndAReleaseInside)
{
    struct Case {
        const char* what;
        TMouseButton button;
        int downX, downY, upX, upY;
        Log expected;
    };
    const Case cases[] = {
        {"left inside", mbLeft, 15, 15, 16, 17, {"a.down(5,5)", "a.up(6,7)", "a.click"}},
        {"right never clicks", mbRight, 15, 15, 15, 15, {"a.down(5,5)", "a.up(5,5)"}},
        {"release outside", mbLeft, 15, 15, 90, 90, {"a.down(5,5)", "a.up(80,80)", "root.move(90,90)"}},
        {"the top panel takes the overlap", mbLeft, 35, 35, 35, 35, {"b.down(5,5)", "b.up(5,5)", "b.click"}},
        {"the deepest panel takes its point", mbLeft, 45, 45, 45, 45, {"c.down(5,5)", "c.up(5,5)", "c.click"}},
    };
    for (const Case& c : cases) {
        TInputTree t;
        EXPECT_TRUE(t.root->MouseDown(c.button, 0, c.downX, c.downY)) << c.what;
        EXPECT_TRUE(t.root->MouseUp(c.button, 0, c.upX, c.upY)) << c.what;
        // The refresh move after a captured release reaches whoever is under the pointer.
        Log events;
        for (const std::string& e : t.log)
            if (e.find(".enter") == std::string::npos && e.find(".leave") == std::string::npos &&
                (e.find(".move") == std::string::npos || c.upX == 90))
                events.push_back(e);
        EXPECT_EQ(events, c.expected) << c.what;
    }
}

TEST(TXeRGBPanelInput, CaptureSendsMovesAndTheReleaseToTheCapturingPanel)
{
    TInputTree t;
    ASSERT_TRUE(t.root->MouseDown(mbLeft, 0, 15, 15));
    EXPECT_EQ(t.root->MouseCapture(), t.a);
    EXPECT_EQ(t.c->MouseCapture(), t.a);
    EXPECT_TRUE(t.a->Pressed());
    t.log.clear();
    EXPECT_TRUE(t.root->MouseMove(0, 50, 50)); // over c, but a holds the capture
    t.root->MouseEnter(50, 50);
    t.root->MouseLeave();
    EXPECT_EQ(t.log, (Log{"a.move(40,40)"}));
    t.log.clear();
    t.root->MouseUp(mbLeft, 0, 95, 5);
    EXPECT_EQ(t.root->MouseCapture(), nullptr);
    EXPECT_EQ(t.log, (Log{"a.up(85,-5)", "root.move(95,5)"}));
}

TEST(TXeRGBPanelInput, HidingTheCapturingPanelReleasesTheCapture)
{
    TInputTree t;
    ASSERT_TRUE(t.root->MouseDown(mbLeft, 0, 45, 45));
    EXPECT_EQ(t.root->MouseCapture(), t.c);
    t.b->Hide();
    EXPECT_EQ(t.root->MouseCapture(), nullptr);
    EXPECT_FALSE(t.c->Pressed());
    t.log.clear();
    EXPECT_TRUE(t.root->MouseUp(mbLeft, 0, 45, 45));
    EXPECT_EQ(t.log, (Log{"root.up(45,45)"}));
}

TEST(TXeRGBPanelInput, EnterAndLeaveFollowThePointer)
{
    TInputTree t;
    const struct {
        int x, y;
        Log expected;
    } moves[] = {
        {15, 15, {"a.enter", "a.move(5,5)"}},
        {45, 45, {"a.leave", "b.enter", "c.enter", "c.move(5,5)"}},
        {35, 35, {"c.leave", "b.move(5,5)"}},
        {95, 95, {"b.leave", "root.move(95,95)"}},
    };
    for (const auto& m : moves) {
        t.log.clear();
        t.root->MouseMove(0, m.x, m.y);
        EXPECT_EQ(t.log, m.expected) << m.x << "," << m.y;
    }
}

TEST(TXeRGBPanelInput, PanelsWithoutMouseControlPassEventsOn)
{
    TInputTree t;
    t.b->SetMouseControl(false);
    EXPECT_FALSE(t.b->PosInPanel(5, 5, true));
    EXPECT_TRUE(t.b->PosInPanel(5, 5, false));
    t.root->MouseDown(mbLeft, 0, 35, 35); // b's own area: b does not take it, a below does
    EXPECT_EQ(t.log, (Log{"a.down(25,25)"}));
}

TEST(TXeRGBPanelInput, TransparentPixelsAreNotHit)
{
    TPanelScene scene;
    const TXeRGB key = XeRGB(255, 0, 255);
    TXeRGBBits* keyed16 = scene.Picture(2, 2, pf16_565, [&](int x, int) { return x == 0 ? 0xF81Fu : 0x1234u; });
    TXeRGBBits* keyed32 = scene.Picture(2, 2, pf32_888, [&](int x, int) { return x == 0 ? key.ToDWORD() : 0x1234u; });
    TXeAlpha* alpha = scene.AlphaMap(2, 2, [](int x, int) { return x == 0 ? 0 : 1; });
    struct Case {
        const char* what;
        bool mouseTrans;
        TXeRGBBits* image;
        TXeAlpha* alpha;
        TMaskMode mode;
        bool left, right; // PosIsTrans at (0, 0) and (1, 0)
    };
    const Case cases[] = {
        {"MouseTrans off", false, keyed32, alpha, mmColorKey, false, false},
        {"no image", true, nullptr, alpha, mmNormal, true, true},
        {"opaque copy", true, keyed32, alpha, mmNormal, false, false},
        {"alpha map", true, keyed32, alpha, mmAlpha, true, false},
        {"no image mode reads the alpha map", true, keyed32, alpha, mmNone, true, false},
        {"alpha mode without a map", true, keyed32, nullptr, mmAlpha, false, false},
        {"colour key, 32 bits", true, keyed32, nullptr, mmColorKey, true, false},
        {"colour key in the picture's 16-bit format", true, keyed16, nullptr, mmColorKey, true, false},
    };
    for (const Case& c : cases) {
        TXeRGBPanel* panel = scene.Panel(nullptr, 0, 0, 4, 2);
        panel->SetMouseTrans(c.mouseTrans);
        panel->SetImage(c.image);
        panel->SetAlpha(c.alpha);
        panel->SetColorKey(key);
        panel->SetMaskMode(c.mode);
        EXPECT_EQ(panel->PosIsTrans(0, 0), c.left) << c.what;
        EXPECT_EQ(panel->PosIsTrans(1, 0), c.right) << c.what;
        // Outside the picture nothing is drawn, so nothing is hit there in the modes that show it.
        if (c.mouseTrans && c.image != nullptr && c.mode != mmNormal && (c.mode == mmColorKey || c.alpha)) {
            EXPECT_TRUE(panel->PosIsTrans(3, 0)) << c.what;
        }
    }
}

TEST(TXeRGBPanelInput, ATransparentPixelCoveredByAChildStillCountsAsInside)
{
    TInputTree t;
    t.b->SetMouseTrans(true); // no image: every pixel of b is transparent
    EXPECT_TRUE(t.b->PosInPanel(15, 15, true));  // c covers it
    EXPECT_FALSE(t.b->PosInPanel(5, 5, true));
    EXPECT_TRUE(t.root->MouseDown(mbLeft, 0, 35, 35)); // falls through b to a
    EXPECT_EQ(t.log, (Log{"a.down(25,25)"}));
    t.root->MouseUp(mbLeft, 0, 35, 35);
    t.log.clear();
    t.root->MouseDown(mbLeft, 0, 65, 65); // b only: not consumed by b, the root takes it
    EXPECT_EQ(t.log, (Log{"root.down(65,65)"}));
}

TEST(TXeRGBPanelInput, TheWheelReachesTheTopmostHandlerWhereverThePointerIs)
{
    TInputTree t;
    Log wheel;
    for (TXeRGBPanel* p : {t.root, t.a, t.c}) {
        const std::string name = p->Name;
        p->OnMouseWheel = [&wheel, name](TObject*, TShiftState, int delta, TPoint pos, bool& handled) {
            wheel.push_back(name + std::to_string(delta) + "@" + std::to_string(pos.x) + "," + std::to_string(pos.y));
            handled = name != "c";
        };
    }
    bool handled = false;
    t.root->MouseWheel(0, 120, TPoint{0, 0}, handled);
    EXPECT_TRUE(handled);
    EXPECT_EQ(wheel, (Log{"c120@-40,-40", "a120@-10,-10"}));
}

TEST(TXeRGBPanelInput, KeysGoDownTheTopmostChainAndBubbleUp)
{
    TInputTree t;
    for (TXeRGBPanel* p : {t.root, t.a, t.b})
        p->SetKeyControl(true);
    std::uint16_t key = 13;
    EXPECT_TRUE(t.root->KeyDown(key, 0));
    char press = 'x';
    EXPECT_TRUE(t.root->KeyPress(press));
    EXPECT_EQ(t.log, (Log{"b.key13", "b.pressx"})); // c has no KeyControl, b takes it
    t.log.clear();
    t.b->Hide();
    t.root->KeyDown(key, 0);
    EXPECT_EQ(t.log, (Log{"a.key13"}));
    t.log.clear();
    t.a->SetKeyControl(false);
    t.root->KeyDown(key, 0);
    EXPECT_EQ(t.log, (Log{"root.key13"}));
    t.root->SetKeyControl(false);
    EXPECT_FALSE(t.root->KeyDown(key, 0));
}
