// Tests of the panel tree: re-parenting and order, property setters, the life cycle with its
// events and failures, activation, animation, and the teardown that reaches derived overrides.
#include "graphics/panels/TXeRGBPanel.h"

#include "tests/graphics/PanelTestSupport.h"

#include "support/ScopedState.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

using Log = std::vector<std::string>;

// Records the panel events that carry no arguments, by panel name.
void Record(TXeRGBPanel* panel, Log& log)
{
    const std::string name = panel->Name;
    panel->OnCreate = [&log, name](TObject*) { log.push_back(name + ".create"); };
    panel->OnRelease = [&log, name](TObject*) { log.push_back(name + ".release"); };
    panel->OnShow = [&log, name](TObject*) { log.push_back(name + ".show"); };
    panel->OnHide = [&log, name](TObject*) { log.push_back(name + ".hide"); };
    panel->OnActivate = [&log, name](TObject*) { log.push_back(name + ".activate"); };
    panel->OnDeactivate = [&log, name](TObject*) { log.push_back(name + ".deactivate"); };
    panel->OnAnime = [&log, name](TObject*) { log.push_back(name + ".anime"); };
}

struct TTree : TPanelScene {
    TXeRGBPanel* root = Panel(nullptr, 0, 0, 100, 100);
    TXeRGBPanel* a = Panel(root, 10, 10, 40, 40);
    TXeRGBPanel* b = Panel(root, 30, 30, 40, 40);
    TXeRGBPanel* c = Panel(root, 50, 50, 40, 40);
    TXeRGBPanel* a1 = Panel(a, 5, 5, 10, 10);

    TTree()
    {
        root->Name = "root";
        a->Name = "a";
        b->Name = "b";
        c->Name = "c";
        a1->Name = "a1";
    }
    std::vector<TXeRGBPanel*> Children(TXeRGBPanel* p) const
    {
        std::vector<TXeRGBPanel*> out;
        for (int i = 0; i < p->GetChildCount(); ++i)
            out.push_back(p->GetChild(i));
        return out;
    }
};

} // namespace

TEST(TXeRGBPanel, ConstructionDefaults)
{
    TXeRGBPanel panel(nullptr);
    EXPECT_FALSE(panel.Created());
    EXPECT_TRUE(panel.Visible());
    EXPECT_TRUE(panel.MouseControl());
    EXPECT_FALSE(panel.KeyControl());
    EXPECT_TRUE(panel.AutoSize());
    EXPECT_EQ(panel.SizeX(), 640);
    EXPECT_EQ(panel.SizeY(), 480);
    EXPECT_EQ(panel.NumBlock(), 1);
    EXPECT_EQ(panel.MaskMode(), mmNormal);
    EXPECT_EQ(panel.GetChild(0), nullptr);
    EXPECT_EQ(panel.GetChild(-1), nullptr);
}

TEST(TXeRGBPanel, ReparentingUnderItsOwnDescendantLeavesItWithoutParent)
{
    TTree t;
    t.a->SetParent(t.a1);
    EXPECT_EQ(t.a->Parent(), nullptr);
    EXPECT_EQ(t.Children(t.root), (std::vector<TXeRGBPanel*>{t.b, t.c}));
    EXPECT_EQ(t.a1->GetChildCount(), 0);
    t.b->SetParent(t.b);
    EXPECT_EQ(t.b->Parent(), nullptr);
    t.b->SetParent(t.a);
    EXPECT_EQ(t.b->Parent(), t.a);
    EXPECT_EQ(t.Children(t.a), (std::vector<TXeRGBPanel*>{t.a1, t.b}));
}

TEST(TXeRGBPanel, RaiseAndDownOrder)
{
    struct Case {
        const char* what;
        bool raise;
        int a, b;
        std::vector<int> order;
    };
    const Case cases[] = {
        {"raise a over c", true, 0, 2, {1, 2, 0}},
        {"raise a over b", true, 0, 1, {1, 0, 2}},
        {"down a under c", false, 0, 2, {1, 0, 2}},
        {"raise with a above b does nothing", true, 2, 0, {0, 1, 2}},
        {"down with a above b does nothing", false, 2, 0, {0, 1, 2}},
        {"same panel does nothing", true, 1, 1, {0, 1, 2}},
    };
    for (const Case& c : cases) {
        TTree t;
        const std::vector<TXeRGBPanel*> start = t.Children(t.root);
        c.raise ? t.root->RaiseOrder(start[c.a], start[c.b]) : t.root->DownOrder(start[c.a], start[c.b]);
        std::vector<TXeRGBPanel*> expected;
        for (int i : c.order)
            expected.push_back(start[i]);
        EXPECT_EQ(t.Children(t.root), expected) << c.what;
    }
    TTree t;
    t.root->RaiseOrder(t.a1, t.c); // not a child
    EXPECT_EQ(t.Children(t.root), (std::vector<TXeRGBPanel*>{t.a, t.b, t.c}));
}

TEST(TXeRGBPanel, CoordinatesThroughTheChain)
{
    TTree t;
    t.root->SetOffsetX(3);
    int x = 1, y = 2;
    t.a1->ClientToScreen(x, y);
    EXPECT_EQ(x, 1 + 5 + 10 + 3);
    EXPECT_EQ(y, 2 + 5 + 10);
    t.a1->ScreenToClient(x, y);
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, 2);
}

TEST(TXeRGBPanel, BlockSettersKeepTheIndexInsideTheStrip)
{
    TXeRGBPanel panel(nullptr);
    panel.SetNumBlock(4);
    panel.SetBlockIndex(3);
    EXPECT_EQ(panel.BlockIndex(), 3);
    for (const int bad : {4, 9, -1, -100})
        panel.SetBlockIndex(bad);
    EXPECT_EQ(panel.BlockIndex(), 3);
    panel.SetNumBlock(0);
    panel.SetNumBlock(-2);
    EXPECT_EQ(panel.NumBlock(), 4);
    panel.SetNumBlock(2);
    EXPECT_EQ(panel.BlockIndex(), 1);
}

TEST(TXeRGBPanel, AutoSizeTakesOneBlockOfTheImage)
{
    TPanelScene scene;
    TXeRGBPanel* panel = new TXeRGBPanel(scene.owner.get());
    panel->SetNumBlock(3);
    panel->SetImage(scene.Solid(20, 31, pf32_888, 0));
    EXPECT_EQ(panel->SizeX(), 20);
    EXPECT_EQ(panel->SizeY(), 10);
    panel->SetAutoSize(false);
    panel->SetImage(scene.Solid(7, 7, pf32_888, 0));
    EXPECT_EQ(panel->SizeX(), 20);
    panel->SetAutoSize(true);
    EXPECT_EQ(panel->SizeX(), 7);
    EXPECT_EQ(panel->SizeY(), 2);
}

TEST(TXeRGBPanel, ADestroyedImageIsForgotten)
{
    TPanelScene scene;
    TXeRGBPanel* panel = new TXeRGBPanel(scene.owner.get());
    TXeRGBBits* image = scene.Solid(4, 4, pf32_888, 0);
    TXeAlpha* alpha = scene.AlphaMap(4, 4, [](int, int) { return 255; });
    panel->SetImage(image);
    panel->SetAlpha(alpha);
    delete image;
    delete alpha;
    EXPECT_EQ(panel->Image(), nullptr);
    EXPECT_EQ(panel->Alpha(), nullptr);
}

TEST(TXeRGBPanel, LifeCycleEventsInOrder)
{
    Log log; // outlives the tree, whose teardown still fires events
    TTree t;
    Record(t.a, log);
    ASSERT_TRUE(t.a->Create());
    EXPECT_TRUE(t.a->Create());
    t.a->Hide();
    t.a->Show();
    t.a->Release();
    t.a->Hide();
    t.a->Create(); // hidden: no show
    t.a->Release();
    EXPECT_EQ(log, (Log{"a.create", "a.show", "a.hide", "a.show", "a.hide", "a.release", "a.create", "a.release"}));
}

TEST(TXeRGBPanel, ACreateThatThrowsReleasesAgain)
{
    Log log; // outlives the tree, whose teardown still fires events
    TTree t;
    Record(t.a, log);
    t.a->OnShow = [](TObject*) { throw std::runtime_error("show failed"); };
    EXPECT_FALSE(t.a->Create());
    EXPECT_FALSE(t.a->Created());
    EXPECT_EQ(log, (Log{"a.create", "a.hide", "a.release"}));
}

TEST(TXeRGBPanel, AllCreateGoesOnPastAFailingChild)
{
    TTree t;
    t.b->OnCreate = [](TObject*) { throw std::runtime_error("no"); };
    EXPECT_FALSE(t.root->AllCreate());
    EXPECT_TRUE(t.root->Created());
    EXPECT_TRUE(t.a->Created());
    EXPECT_TRUE(t.a1->Created());
    EXPECT_FALSE(t.b->Created());
    EXPECT_TRUE(t.c->Created());
    t.root->AllRelease();
    for (TXeRGBPanel* p : {t.root, t.a, t.a1, t.c})
        EXPECT_FALSE(p->Created());
}

TEST(TXeRGBPanel, AllReleaseReportsAFailingChildAndGoesOn)
{
    const TestSupport::CapturedApplication application;
    TTree t;
    ASSERT_TRUE(t.root->AllCreate());
    t.a->OnRelease = [](TObject*) { throw std::runtime_error("release failed"); };
    t.root->AllRelease();
    t.a->OnRelease = nullptr;
    EXPECT_EQ(application.shown, (std::vector<std::string>{"release failed"}));
    for (TXeRGBPanel* p : {t.root, t.a1, t.b, t.c})
        EXPECT_FALSE(p->Created());
}

TEST(TXeRGBPanel, TheTopmostShownChildIsActive)
{
    Log log; // outlives the tree, whose teardown still fires events
    TTree t;
    for (TXeRGBPanel* p : {t.a, t.b, t.c, t.a1})
        Record(p, log);
    ASSERT_TRUE(t.root->AllCreate());
    t.root->SetActive();
    EXPECT_TRUE(t.root->Active());
    EXPECT_EQ(t.root->GetActivePanel(), t.c);
    EXPECT_TRUE(t.c->Active());
    EXPECT_FALSE(t.a->Active());
    log.clear();
    t.c->Hide();
    t.c->ChangeCreatedToParent();
    EXPECT_EQ(t.root->GetActivePanel(), t.b);
    EXPECT_EQ(log, (Log{"c.hide", "b.activate"}));
    log.clear();
    // Activating a1 raises it and a to the top of their siblings.
    t.a1->SetActive();
    EXPECT_EQ(t.root->GetChild(2), t.a);
    EXPECT_TRUE(t.a->Active());
    EXPECT_TRUE(t.a1->Active());
    EXPECT_FALSE(t.b->Active());
    EXPECT_EQ(log, (Log{"b.deactivate", "a1.activate", "a.activate"}));
}

TEST(TXeRGBPanel, AnimeRunsChildrenFirstOnCreatedPanels)
{
    Log log; // outlives the tree, whose teardown still fires events
    TTree t;
    for (TXeRGBPanel* p : {t.root, t.a, t.a1, t.b})
        Record(p, log);
    t.root->Anime();
    EXPECT_TRUE(log.empty());
    t.root->AllCreate();
    t.b->Hide();
    log.clear();
    t.root->Anime();
    EXPECT_EQ(log, (Log{"a1.anime", "a.anime", "b.anime", "root.anime"}));
}

namespace {

// A derived panel whose teardown must still reach its override.
class TCountingPanel : public TXeRGBPanel {
public:
    TCountingPanel(TComponent* owner, TXeRGBPanel* parent, int& hides) : TXeRGBPanel(owner, parent), hides_(hides) {}
    ~TCountingPanel() override { Dispose(); }
    void CallOnHide() override { ++hides_; }

private:
    int& hides_;
};

} // namespace

TEST(TXeRGBPanel, DisposeReachesDerivedOverridesAndDetaches)
{
    TPanelScene scene;
    TXeRGBPanel* root = scene.Panel(nullptr, 0, 0, 50, 50);
    int hides = 0;
    auto* derived = new TCountingPanel(scene.owner.get(), root, hides);
    TXeRGBPanel* child = scene.Panel(derived, 0, 0, 5, 5);
    root->AllCreate();
    delete derived;
    EXPECT_EQ(hides, 1);
    EXPECT_EQ(root->GetChildCount(), 0);
    EXPECT_EQ(child->Parent(), nullptr);
    delete root;
    EXPECT_TRUE(child->Created());
}

TEST(TXeRGBPanel, TeardownExceptionsAreShownAndTheTeardownGoesOn)
{
    const TestSupport::CapturedApplication application;
    {
        TPanelScene scene;
        TXeRGBPanel* root = scene.Panel(nullptr, 0, 0, 50, 50);
        TXeRGBPanel* child = scene.Panel(root, 0, 0, 5, 5);
        root->AllCreate();
        child->OnRelease = [](TObject*) { throw std::runtime_error("release failed"); };
        delete child;
        EXPECT_EQ(root->GetChildCount(), 0);
    }
    EXPECT_EQ(application.shown, (std::vector<std::string>{"release failed"}));
}

namespace {

// Three overlapping children under a root, all created; the middle one's handler deletes one
// panel (an earlier sibling, a later one, the parent, or itself) the first time it runs.
struct TDeletingTree : TPanelScene {
    TXeRGBPanel* root = Panel(nullptr, 0, 0, 100, 100);
    TXeRGBPanel* first = Panel(root, 10, 10, 40, 40);
    TXeRGBPanel* middle = Panel(root, 20, 20, 40, 40);
    TXeRGBPanel* last = Panel(root, 30, 30, 40, 40);
    Log log;

    explicit TDeletingTree(int victimIndex)
    {
        root->Name = "root";
        first->Name = "first";
        middle->Name = "middle";
        last->Name = "last";
        victim = std::vector<TXeRGBPanel*>{first, last, root, middle}[static_cast<std::size_t>(victimIndex)];
        root->AllCreate();
        for (TXeRGBPanel* p : {root, first, last}) {
            const std::string name = p->Name;
            p->OnAnime = [this, name](TObject*) { log.push_back(name); };
            p->OnMouseWheel = [this, name](TObject*, TShiftState, int, TPoint, bool&) { log.push_back(name); };
        }
        middle->SetKeyControl(true);
    }
    // The teardown still fires events, whose handlers use the members.
    ~TDeletingTree() { owner.reset(); }
    // Deletes the victim once; later calls only log.
    void Strike()
    {
        log.push_back("middle");
        delete std::exchange(victim, nullptr);
    }
    bool Lives(const TXeRGBPanel* p) const
    {
        for (int i = 0; i < owner->ComponentCount(); ++i)
            if (owner->Components(i) == p)
                return true;
        return false;
    }

    TXeRGBPanel* victim = nullptr;
};

} // namespace

// A handler that deletes a panel in the middle of a walk: the walk goes on with the panels that
// still live, skips the deleted one, and ends when its own panel goes (no use after free).
TEST(TXeRGBPanel, WalksSurviveHandlersThatDeletePanels)
{
    const char* const victims[] = {"first", "last", "root", "middle"};
    // Animation walks bottom to top, then the parent; the wheel walks top to bottom.
    const Log anime[] = {{"first", "middle", "last", "root"},
                         {"first", "middle", "root"},
                         {"first", "middle"},
                         {"first", "middle", "last", "root"}};
    const Log wheel[] = {{"last", "middle", "root"}, {"last", "middle", "first", "root"}, {"last", "middle"},
                         {"last", "middle", "first", "root"}};
    for (int v = 0; v < 4; ++v) {
        {
            TDeletingTree t(v);
            t.middle->OnAnime = [&t](TObject*) { t.Strike(); };
            t.root->Anime();
            EXPECT_EQ(t.log, anime[v]) << "anime, victim " << victims[v];
        }
        {
            TDeletingTree t(v);
            t.middle->OnMouseWheel = [&t](TObject*, TShiftState, int, TPoint, bool&) { t.Strike(); };
            bool handled = false;
            t.root->MouseWheel(TShiftState{}, 120, TPoint{35, 35}, handled);
            EXPECT_EQ(t.log, wheel[v]) << "wheel, victim " << victims[v];
        }
        {
            // A change reaching the children from the parent, and from the parent upwards.
            TDeletingTree t(v);
            t.middle->OnChange = [&t](TObject*) {
                if (t.victim != nullptr)
                    t.Strike();
            };
            t.root->SetModify();
            EXPECT_EQ(t.victim, nullptr) << "change, victim " << victims[v];
            if (t.Lives(t.last)) {
                EXPECT_FALSE(t.last->ModifiedSet().IsRectEmpty()) << "change, victim " << victims[v];
            }
        }
        {
            // Input handlers: entering, pressing, releasing and a key on the middle panel, at a
            // point the last panel does not cover.
            TDeletingTree t(v);
            t.middle->OnMouseEnter = [&t](TObject*) { t.Strike(); };
            EXPECT_TRUE(t.root->MouseMove(TShiftState{}, 25, 25)) << victims[v];
            EXPECT_EQ(t.victim, nullptr) << "enter, victim " << victims[v];
            TDeletingTree press(v);
            press.middle->OnMouseDown = [&press](TObject*, TMouseButton, TShiftState, int, int) { press.Strike(); };
            press.middle->OnMouseUp = press.middle->OnMouseDown;
            press.middle->OnClick = [&press](TObject*) { press.Strike(); };
            EXPECT_TRUE(press.root->MouseDown(mbLeft, TShiftState{}, 25, 25)) << victims[v];
            if (press.Lives(press.root))
                press.root->MouseUp(mbLeft, TShiftState{}, 25, 25);
            TDeletingTree key(v);
            key.last->SetVisible(false);
            key.middle->OnKeyDown = [&key](TObject*, std::uint16_t&, TShiftState) { key.Strike(); };
            std::uint16_t code = 13;
            EXPECT_TRUE(key.root->KeyDown(code, TShiftState{})) << victims[v];
            EXPECT_EQ(key.victim, nullptr) << "key, victim " << victims[v];
        }
    }
}
