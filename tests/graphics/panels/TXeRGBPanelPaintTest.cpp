// Tests of the panel tree's dirty regions and painting: propagation of a move, collection,
// the painting steps' edge cases, and the property that repainting only the collected rectangles
// gives the same pixels as a full repaint after every one of many random changes.
#include "graphics/panels/TXeRGBPanel.h"

#include "tests/graphics/PanelTestSupport.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<TXeRect> Rects(const TXeRectSet& set)
{
    return std::vector<TXeRect>(set.begin(), set.end());
}

// Whether the set covers exactly the union of the rectangles, pixel by pixel over the area where
// the tests' panels lie (a set may split a region into rectangles in any way).
::testing::AssertionResult SameRegion(const TXeRectSet& set, std::initializer_list<TXeRect> region)
{
    for (int y = -10; y < 110; ++y)
        for (int x = -10; x < 110; ++x) {
            bool inSet = false, inRegion = false;
            for (const TXeRect& e : set)
                inSet = inSet || e.InRect(x, y);
            for (const TXeRect& e : region)
                inRegion = inRegion || e.InRect(x, y);
            if (inSet != inRegion)
                return ::testing::AssertionFailure()
                       << "(" << x << ", " << y << ") is " << (inSet ? "" : "not ") << "in the set";
        }
    return ::testing::AssertionSuccess();
}

struct TPaintTree : TPanelScene {
    TXeRGBPanel* root = Panel(nullptr, 0, 0, 100, 80);
    TXeRGBPanel* p = Panel(root, 10, 10, 60, 50);
    TXeRGBPanel* c = Panel(p, 5, 5, 20, 20);
    TXeRGBPanel* s = Panel(p, 15, 15, 30, 30);

    TPaintTree()
    {
        root->AllCreate();
        root->ClrModifyToChild();
    }
};

} // namespace

TEST(TXeRGBPanelPaint, AMoveDirtiesTheOldAndNewAreasWhereverTheyShow)
{
    TPaintTree t;
    int parentChanges = 0;
    t.p->OnChange = [&](TObject*) { ++parentChanges; };
    t.c->SetOffsetX(40);
    // The parent holds the old and the new rectangle of the child, and nothing else.
    EXPECT_TRUE(SameRegion(t.p->ModifiedSet(), {XeRect(5, 5, 25, 25), XeRect(40, 5, 60, 25)}));
    // The child holds its whole rectangle; the sibling the parts it overlaps, in its own space.
    EXPECT_TRUE(SameRegion(t.c->ModifiedSet(), {XeRect(0, 0, 20, 20)}));
    EXPECT_TRUE(SameRegion(t.s->ModifiedSet(), {XeRect(0, 0, 10, 10), XeRect(25, 0, 30, 10)}));
    // The root holds both, moved into its space and clipped to the parent.
    EXPECT_TRUE(SameRegion(t.root->ModifiedSet(), {XeRect(15, 15, 35, 35), XeRect(50, 15, 70, 35)}));
    EXPECT_EQ(parentChanges, 2);
    TXeRectSet collected;
    t.root->GetModifiedRectSet(collected);
    EXPECT_TRUE(SameRegion(collected, {XeRect(15, 15, 35, 35), XeRect(50, 15, 70, 35)}));
    TXeRect bounds;
    t.root->GetModifiedRect(bounds);
    EXPECT_EQ(bounds, XeRect(15, 15, 70, 35));
}

TEST(TXeRGBPanelPaint, HidingDirtiesTheOldAreaInTheParent)
{
    TPaintTree t;
    t.c->Hide();
    EXPECT_TRUE(SameRegion(t.p->ModifiedSet(), {XeRect(5, 5, 25, 25)}));
    t.root->ClrModifyToChild();
    t.c->SetOffsetX(30); // hidden: the area it leaves is dirtied all the same, the new one not
    EXPECT_TRUE(SameRegion(t.p->ModifiedSet(), {XeRect(5, 5, 25, 25)}));
    EXPECT_TRUE(t.c->ModifiedSet().IsRectEmpty());
}

TEST(TXeRGBPanelPaint, UnchangedNumBlockStillDirties)
{
    TPaintTree t;
    t.c->SetNumBlock(1);
    EXPECT_TRUE(t.c->GetModified());
    EXPECT_TRUE(t.root->GetModified());
    t.root->ClrModifyToChild();
    EXPECT_FALSE(t.root->GetModified());
}

TEST(TXeRGBPanelPaint, CollectionOfAHiddenRootLeavesTheSetAlone)
{
    TPaintTree t;
    TXeRectSet out;
    out.UnionRect(XeRect(1, 2, 3, 4));
    t.root->Hide();
    t.root->GetModifiedRectSet(out);
    EXPECT_EQ(Rects(out), std::vector<TXeRect>{XeRect(1, 2, 3, 4)});
    TXeRect bounds = XeRect(1, 2, 3, 4);
    t.root->GetModifiedRect(bounds);
    EXPECT_EQ(bounds, XeRect(1, 2, 3, 4));
}

TEST(TXeRGBPanelPaint, UpdateWithNothingDirtyDrawsNothing)
{
    TPaintTree t;
    TXeRGBBits* dst = t.Solid(100, 80, pf32_888, 0x123456);
    int draws = 0;
    t.root->OnDraw = [&](TObject*, TXeRGBBits*, int, int, int, int, int, int) { return ++draws, true; };
    EXPECT_TRUE(t.root->Update(dst));
    EXPECT_EQ(draws, 0);
    EXPECT_EQ(dst->PGet(50, 50), 0x123456u);
}

TEST(TXeRGBPanelPaint, PanelsWithoutImageGetOnDrawAndStillPaintTheirChildren)
{
    TPaintTree t;
    TXeRGBBits* dst = t.Solid(100, 80, pf32_888, 0);
    t.p->SetMaskMode(mmNone);
    t.c->SetImage(t.Solid(20, 20, pf32_888, 0xFF0000));
    std::vector<std::vector<int>> calls;
    t.p->OnDraw = [&](TObject*, TXeRGBBits* dest, int x, int y, int sx, int sy, int dx, int dy) {
        EXPECT_EQ(dest, dst);
        calls.push_back({x, y, sx, sy, dx, dy});
        return false;
    };
    ASSERT_TRUE(t.root->Draw(dst, 0, 0, 0, 0, 100, 80));
    // The opaque child c does not span the parent's width or height: the whole parent is offered.
    EXPECT_EQ(calls, (std::vector<std::vector<int>>{{10, 10, 0, 0, 60, 50}}));
    EXPECT_EQ(dst->PGet(15, 15), 0xFF0000u);
    // A repaint of a band that c spans in height: the part under c is left out.
    calls.clear();
    ASSERT_TRUE(t.p->Draw(dst, 10, 10, 0, 5, 20, 20));
    EXPECT_EQ(calls, (std::vector<std::vector<int>>{{10, 15, 0, 5, 5, 20}}));
}

TEST(TXeRGBPanelPaint, OpaqueChildWithASmallImageLeavesItsRestUnpainted)
{
    TPanelScene scene;
    TXeRGBBits* dst = scene.Solid(100, 80, pf32_888, 0x777777);
    TXeRGBPanel* root = scene.Panel(nullptr, 0, 0, 100, 80);
    root->SetImage(scene.Solid(100, 80, pf32_888, 0x0000FF));
    TXeRGBPanel* c = scene.Panel(root, 15, 15, 20, 20);
    c->SetImage(scene.Solid(10, 10, pf32_888, 0xFF0000));
    root->AllCreate();
    // Repaint exactly c's rectangle: c covers the whole request, so the root draws nothing there.
    ASSERT_TRUE(root->Draw(dst, 0, 0, 15, 15, 20, 20));
    EXPECT_EQ(dst->PGet(16, 16), 0xFF0000u);
    EXPECT_EQ(dst->PGet(30, 30), 0x777777u);
    EXPECT_EQ(dst->PGet(14, 14), 0x777777u); // outside the request
    // A child covering only the middle of the request does not spare the parent's drawing.
    ASSERT_TRUE(root->Draw(dst, 0, 0, 10, 10, 30, 30));
    EXPECT_EQ(dst->PGet(30, 30), 0x0000FFu);
    EXPECT_EQ(dst->PGet(16, 16), 0xFF0000u);
}

TEST(TXeRGBPanelPaint, ABlockTallerThanTheStripReadsOnAndIsCutAtTheStripsEnd)
{
    TPanelScene scene;
    TXeRGBBits* dst = scene.Solid(10, 10, pf32_888, 0x777777);
    TXeRGBPanel* root = scene.Panel(nullptr, 0, 0, 10, 10);
    root->SetMaskMode(mmNone);
    TXeRGBPanel* strip = scene.Panel(root, 0, 0, 2, 6);
    strip->SetNumBlock(4);
    strip->SetImage(scene.Picture(2, 8, pf32_888, [](int, int y) { return 0x10u * (y + 1); }));
    strip->SetBlockIndex(2);
    root->AllCreate();
    ASSERT_TRUE(root->Draw(dst));
    const std::uint32_t expected[6] = {0x50, 0x60, 0x70, 0x80, 0x777777, 0x777777};
    for (int y = 0; y < 6; ++y)
        EXPECT_EQ(dst->PGet(0, y), expected[y]) << y;
}

TEST(TXeRGBPanelPaint, MaskModesDrawThroughAlphaAndKey)
{
    TPanelScene scene;
    TXeRGBBits* dst = scene.Solid(4, 1, pf32_888, 0);
    TXeRGBPanel* root = scene.Panel(nullptr, 0, 0, 4, 1);
    root->SetImage(scene.Solid(4, 1, pf32_888, 0x0000FF));
    TXeRGBPanel* keyed = scene.Panel(root, 0, 0, 2, 1);
    keyed->SetImage(scene.Picture(2, 1, pf32_888, [](int x, int) { return x == 0 ? 0x00FF00u : 0x000000u; }));
    keyed->SetMaskMode(mmColorKey);
    TXeRGBPanel* masked = scene.Panel(root, 2, 0, 2, 1);
    masked->SetImage(scene.Solid(2, 1, pf32_888, 0xFF0000));
    masked->SetAlpha(scene.AlphaMap(2, 1, [](int x, int) { return x == 0 ? 255 : 0; }));
    masked->SetMaskMode(mmAlpha);
    root->AllCreate();
    ASSERT_TRUE(root->Draw(dst));
    EXPECT_EQ(dst->PGet(0, 0), 0x00FF00u);
    EXPECT_EQ(dst->PGet(1, 0), 0x0000FFu);
    EXPECT_EQ(dst->PGet(2, 0), 0xFF0000u);
    EXPECT_EQ(dst->PGet(3, 0), 0x0000FFu);
    EXPECT_FALSE(root->GetModified());
}

namespace {

// A random tree over an opaque root, changed at random; after each change the live frame is
// repainted from the collected rectangles and compared with a full repaint of the same tree.
class TRandomScene : public TPanelScene {
public:
    static constexpr int kW = 160;
    static constexpr int kH = 120;

    // The MMX alpha-mask kernel takes the plain rule for the last pixels of a row, so for odd
    // alpha values its result depends on where a repainted row ends; with MMX the alpha maps hold
    // only values on which both rules agree (even ones and 255).
    TRandomScene(TPixFormat format, bool mmx, std::uint32_t seed) : format_(format), mmx_(mmx), rng_(seed)
    {
        root_ = Panel(nullptr, 0, 0, kW, kH);
        root_->SetImage(RandomPicture(kW, kH));
        panels_.push_back(root_);
        // Six panels on the root, eight more anywhere.
        for (int i = 0; i < 14; ++i)
            AddPanel(i < 6 ? root_ : panels_[Pick(static_cast<int>(panels_.size()))]);
        live_ = Solid(kW, kH, format, 0);
        reference_ = Solid(kW, kH, format, 0);
        live_->SetMMX(mmx);
        reference_->SetMMX(mmx);
        root_->AllCreate();
        root_->SetActive();
        root_->Draw(live_);
    }

    // One change; returns its name.
    std::string Mutate()
    {
        TXeRGBPanel* p = panels_[1 + Pick(static_cast<int>(panels_.size()) - 1)];
        switch (Pick(10)) {
        case 0: p->SetOffsetX(Range(-20, p->Parent()->SizeX())); return "move x";
        case 1: p->SetOffsetY(Range(-20, p->Parent()->SizeY())); return "move y";
        case 2: Toggle(p, &TXeRGBPanel::Visible, &TXeRGBPanel::SetVisible); return "show/hide";
        case 3: p->SetBlockIndex(Pick(p->NumBlock())); return "block";
        case 4: Reorder(); return "reorder";
        case 5: ChangeAlpha(p); return "alpha";
        case 6: ChangeMask(p); return "mask mode";
        case 7: Resize(p); return "resize";
        case 8: Toggle(p, &TXeRGBPanel::Created, &TXeRGBPanel::SetCreated); return "create/release";
        default: Reparent(p); return "reparent";
        }
    }

    // Index of the first pixel where the repaint differs from a full repaint, or -1.
    int Check()
    {
        EXPECT_TRUE(root_->Update(live_));
        reference_->Cls();
        EXPECT_TRUE(root_->Draw(reference_));
        int first = -1;
        bool changed = false;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                const std::uint32_t pixel = reference_->PGet(x, y);
                if (first < 0 && live_->PGet(x, y) != pixel)
                    first = y * kW + x;
                std::uint32_t& previous = previous_[static_cast<std::size_t>(y * kW + x)];
                changed = changed || previous != pixel;
                previous = pixel;
            }
        visibleChanges_ += changed;
        return first;
    }
    // How many checks saw the picture change, so that the property is not met by an idle tree.
    int VisibleChanges() const { return visibleChanges_; }

private:
    int Pick(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }
    int Range(int lo, int hi) { return lo + Pick(hi - lo); }

    TXeRGBBits* RandomPicture(int w, int h)
    {
        const std::uint32_t key = KeyPixel();
        return Picture(w, h, format_, [&](int, int) { return Pick(4) == 0 ? key : static_cast<std::uint32_t>(rng_()) & Mask(); });
    }
    std::uint32_t Mask() const { return format_ == pf16_565 ? 0xFFFF : 0xFFFFFF; }
    std::uint32_t KeyPixel() const { return format_ == pf16_565 ? 0xF81F : 0xFF00FF; }

    // Panels that may show an opaque copy always keep the size of one block of their image, as
    // the tree's screens do; only panels that never draw opaque are resized freely.
    void AddPanel(TXeRGBPanel* parent)
    {
        auto* panel = new TXeRGBPanel(owner.get(), parent);
        const int w = Range(8, 70);
        const int blocks = 1 + Pick(3);
        const int bh = Range(8, 50);
        panel->SetNumBlock(blocks);
        panel->SetImage(RandomPicture(w, bh * blocks));
        panel->SetAlpha(RandomAlpha(w, bh * blocks));
        panel->SetColorKey(XeRGB(255, 0, 255));
        panel->SetOffsetX(Range(-10, parent->SizeX()));
        panel->SetOffsetY(Range(-10, parent->SizeY()));
        resizable_.push_back(Pick(2) == 0);
        panel->SetMaskMode(resizable_.back() ? TMaskMode(1 + Pick(3)) : TMaskMode(Pick(4)));
        panel->SetVisible(Pick(5) != 0);
        panels_.push_back(panel);
    }
    TXeAlpha* RandomAlpha(int w, int h)
    {
        return AlphaMap(w, h, [&](int, int) {
            const int k = Pick(3);
            const auto a = static_cast<std::uint8_t>(k == 0 ? 0 : k == 1 ? 255 : rng_());
            return mmx_ && a != 255 ? static_cast<std::uint8_t>(a & 0xFE) : a;
        });
    }
    bool Resizable(const TXeRGBPanel* p) const
    {
        for (std::size_t i = 1; i < panels_.size(); ++i)
            if (panels_[i] == p)
                return resizable_[i - 1];
        return false;
    }
    // Turns a flag off on p, or more often back on on a panel that has it off, so that about
    // three panels in four stay shown.
    void Toggle(TXeRGBPanel* p, bool (TXeRGBPanel::*get)() const, void (TXeRGBPanel::*set)(bool))
    {
        std::vector<TXeRGBPanel*> off;
        for (TXeRGBPanel* panel : panels_)
            if (!(panel->*get)())
                off.push_back(panel);
        if (!off.empty() && Pick(3) != 0)
            (off[Pick(static_cast<int>(off.size()))]->*set)(true);
        else
            (p->*set)(!(p->*get)());
    }
    // Moves a child of some panel with several children above or below a sibling that was above it.
    void Reorder()
    {
        std::vector<TXeRGBPanel*> parents;
        for (TXeRGBPanel* panel : panels_)
            if (panel->GetChildCount() >= 2)
                parents.push_back(panel);
        if (parents.empty())
            return;
        TXeRGBPanel* parent = parents[Pick(static_cast<int>(parents.size()))];
        const int ia = Pick(parent->GetChildCount() - 1);
        TXeRGBPanel* a = parent->GetChild(ia);
        TXeRGBPanel* b = parent->GetChild(Range(ia + 1, parent->GetChildCount()));
        switch (Pick(3)) {
        case 0: parent->RaiseOrder(a, b); break;
        case 1: parent->DownOrder(a, b); break;
        default: a->SetActive(); break;
        }
    }
    void ChangeAlpha(TXeRGBPanel* p)
    {
        if (Pick(3) == 0)
            p->SetAlpha(nullptr);
        else if (p->Image() != nullptr)
            p->SetAlpha(RandomAlpha(p->Image()->Width(), p->Image()->Height()));
    }
    void ChangeMask(TXeRGBPanel* p)
    {
        p->SetMaskMode(Resizable(p) ? TMaskMode(1 + Pick(3)) : TMaskMode(Pick(4)));
    }
    void Resize(TXeRGBPanel* p)
    {
        if (!Resizable(p))
            return;
        p->SetSizeX(Range(0, 90));
        p->SetSizeY(Range(0, 70));
    }
    // Moves p under a panel at most two levels below the root and outside p's own subtree
    // (re-parenting under a descendant is a tree test).
    void Reparent(TXeRGBPanel* p)
    {
        std::vector<TXeRGBPanel*> parents;
        for (TXeRGBPanel* panel : panels_)
            if (!panel->SearchPanelToParent(p) && (panel == root_ || panel->Parent() == root_ ||
                                                   panel->Parent()->Parent() == root_))
                parents.push_back(panel);
        p->SetParent(parents[Pick(static_cast<int>(parents.size()))]);
    }

    TPixFormat format_;
    bool mmx_;
    std::mt19937 rng_;
    TXeRGBPanel* root_ = nullptr;
    std::vector<TXeRGBPanel*> panels_;
    std::vector<bool> resizable_;
    TXeRGBBits* live_ = nullptr;
    TXeRGBBits* reference_ = nullptr;
    std::vector<std::uint32_t> previous_ = std::vector<std::uint32_t>(kW * kH);
    int visibleChanges_ = 0;
};

} // namespace

TEST(TXeRGBPanelPaint, RepaintingTheCollectedRectanglesEqualsAFullRepaint)
{
    for (const TPixFormat format : {pf16_565, pf32_888})
        for (const bool mmx : {false, true}) {
        TRandomScene scene(format, mmx, 20240601u + format);
        for (int step = 0; step < 1000; ++step) {
            const std::string change = scene.Mutate();
            const int first = scene.Check();
            ASSERT_EQ(first, -1) << "format " << int(format) << (mmx ? " MMX" : "") << ", step " << step << " (" << change
                                 << "): first differing pixel (" << first % TRandomScene::kW << ", "
                                 << first / TRandomScene::kW << ")";
        }
        EXPECT_GT(scene.VisibleChanges(), 100) << "format " << int(format);
        }
}
