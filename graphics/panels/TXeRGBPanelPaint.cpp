// TXeRGBPanel: dirty regions (flagging, propagation, collection) and painting.
//
// Flagging: a change adds rectangles to the panel's own set, passes them down to the children
// they overlap and up through the ancestors, where they also reach the overlapping siblings; so
// every panel that must be repainted holds the rectangle itself. Each ancestor of a dirty panel
// knows that something below it is dirty, so collecting and clearing visit only dirty subtrees.
// Painting: the root's collected set is repainted rectangle by rectangle, each one bottom to top
// through the shown subtree, skipping the children a rectangle misses.
#include "graphics/panels/TXeRGBPanel.h"

#include "graphics/panels/PanelGeometry.h"

// --- Flagging ---

void TXeRGBPanel::AddModified(const TXeRect& r)
{
    FModifiedSet.UnionRect(r);
    MarkDirtyUp();
}

void TXeRGBPanel::MarkDirtyUp()
{
    for (TXeRGBPanel* p = FParent; p != nullptr && !p->FDirtyBelow; p = p->FParent)
        p->FDirtyBelow = true;
}

bool TXeRGBPanel::FlagHereAndBelow(const TXeRGBPanel* except, const TXeRect& r)
{
    if (!FCreated || !FVisible)
        return false;
    AddModified(r);
    const TGuard self(this);
    SetModifyToChild(except, r);
    if (!self.Gone())
        CallOnChange();
    return !self.Gone();
}

void TXeRGBPanel::SetModifyRect(const TXeRect& r)
{
    if (FlagHereAndBelow(nullptr, r))
        SetModifyToParent(r);
}

void TXeRGBPanel::SetModify()
{
    SetModifyRect(ClientRect());
}

void TXeRGBPanel::SetModifyToParent(const TXeRect& r)
{
    if (FParent == nullptr)
        return;
    const TXeRect inParent = Overlap(Shifted(r, FOffsetX, FOffsetY), FParent->ClientRect());
    if (!inParent.IsRectEmpty())
        FParent->SetModifyFromChild(this, inParent);
}

void TXeRGBPanel::SetModifyToParent()
{
    SetModifyToParent(ClientRect());
}

void TXeRGBPanel::SetModifyFromChild(TXeRGBPanel* child, const TXeRect& r)
{
    if (FlagHereAndBelow(child, r))
        SetModifyToParent(r);
}

void TXeRGBPanel::SetModifyToChild(const TXeRGBPanel* except, const TXeRect& r)
{
    TChildWalk walk(this, false);
    while (TXeRGBPanel* child = walk.Next()) {
        if (child == except)
            continue;
        const TXeRect inChild = Overlap(Shifted(r, -child->FOffsetX, -child->FOffsetY), child->ClientRect());
        if (!inChild.IsRectEmpty())
            child->SetModifyFromParent(inChild);
    }
}

void TXeRGBPanel::SetModifyToChild(const TXeRGBPanel* except)
{
    SetModifyToChild(except, ClientRect());
}

void TXeRGBPanel::SetModifyFromParent(const TXeRect& r)
{
    FlagHereAndBelow(nullptr, r);
}

void TXeRGBPanel::ClrModify()
{
    FModifiedSet.SetRectEmpty();
}

void TXeRGBPanel::ClrModifyToChild()
{
    FModifiedSet.SetRectEmpty();
    if (!FDirtyBelow)
        return;
    FDirtyBelow = false;
    for (TXeRGBPanel* child : FChildren)
        if (child->Dirty())
            child->ClrModifyToChild();
}

void TXeRGBPanel::SubModify(const TXeRect& r)
{
    FModifiedSet.SubtractRect(r);
}

void TXeRGBPanel::SetModified(bool modified)
{
    modified ? SetModify() : ClrModify();
}

bool TXeRGBPanel::GetModified() const
{
    if (!FModifiedSet.IsRectEmpty())
        return true;
    if (!FDirtyBelow)
        return false;
    for (const TXeRGBPanel* child : FChildren)
        if (child->GetModified())
            return true;
    return false;
}

// --- Collecting ---

void TXeRGBPanel::GetModifiedRectSet(TXeRectSet& out) const
{
    if (!FCreated || !FVisible)
        return;
    out.SetRectEmpty();
    CollectModified(out, 0, 0, ClientRect());
}

// Adds the shown subtree's dirty rectangles, moved by (dx, dy) into the collecting panel's space
// and clipped to `clip` (this panel's rectangle cut by every ancestor's, in that space): the same
// region as collecting each child into a set of its own and clipping it at every level, without a
// set per panel.
void TXeRGBPanel::CollectModified(TXeRectSet& out, int dx, int dy, const TXeRect& clip) const
{
    for (const TXeRGBPanel* child : FChildren) {
        if (!child->FCreated || !child->FVisible || !child->Dirty())
            continue;
        const int cx = SatAdd(dx, child->FOffsetX);
        const int cy = SatAdd(dy, child->FOffsetY);
        const TXeRect childClip = Overlap(clip, Shifted(child->ClientRect(), cx, cy));
        if (!childClip.IsRectEmpty())
            child->CollectModified(out, cx, cy, childClip);
    }
    for (const TXeRect& r : FModifiedSet) {
        const TXeRect part = Overlap(Shifted(r, dx, dy), clip);
        if (!part.IsRectEmpty())
            out.UnionRect(part);
    }
}

void TXeRGBPanel::GetModifiedRect(TXeRect& out) const
{
    if (!FCreated || !FVisible)
        return;
    out.SetRectEmpty();
    for (const TXeRGBPanel* child : FChildren) {
        if (!child->FCreated || !child->FVisible)
            continue;
        TXeRect fromChild;
        child->GetModifiedRect(fromChild);
        fromChild = Shifted(fromChild, child->FOffsetX, child->FOffsetY);
        if (!fromChild.IsRectEmpty())
            out.UnionRect(out, fromChild);
    }
    out.UnionRect(out, FModifiedSet.AllUnionRect());
    out = Overlap(out, ClientRect());
}

// --- Painting ---

// Only a shown child with an image drawn as an opaque copy hides what lies beneath it; its whole
// rectangle counts as covered.
bool TXeRGBPanel::IsOpaque() const
{
    return FCreated && FVisible && FImage != nullptr && FMaskMode == mmNormal;
}

// Step 3: r without what opaque children cover, within the one-rectangle rule of SubtractRect.
TXeRect TXeRGBPanel::UncoveredPart(const TXeRect& r) const
{
    TXeRect v = r;
    for (const TXeRGBPanel* child : FChildren)
        if (child->IsOpaque())
            v.SubtractRect(v, child->RectInParent());
    return v;
}

// Step 4: the panel's own pixels in v, by its OnDraw or else its image.
bool TXeRGBPanel::DrawOwnPart(TXeRGBBits* dst, int x, int y, const TXeRect& v)
{
    if (v.IsRectEmpty())
        return true;
    if (CallOnDraw(dst, SatAdd(x, v.left), SatAdd(y, v.top), v.left, v.top, v.right - v.left, v.bottom - v.top))
        return true;
    return DrawImagePart(dst, x, y, v);
}

// Step 4b: the part v of the shown block, cut at the right and bottom edges of the whole strip.
bool TXeRGBPanel::DrawImagePart(TXeRGBBits* dst, int x, int y, const TXeRect& v)
{
    if (FMaskMode == mmNone || FImage == nullptr || !FImage->Created())
        return true;
    const long long sy = v.top + static_cast<long long>(BlockHeight()) * FBlockIndex;
    const long long w = std::min<long long>(v.right - static_cast<long long>(v.left), FImage->Width() - static_cast<long long>(v.left));
    const long long h = std::min<long long>(v.bottom - static_cast<long long>(v.top), FImage->Height() - sy);
    if (w <= 0 || h <= 0)
        return true;
    const int dx = SatAdd(x, v.left);
    const int dy = SatAdd(y, v.top);
    const int srcY = static_cast<int>(sy);
    switch (FMaskMode) {
    case mmNormal: return dst->Draw(dx, dy, FImage, v.left, srcY, static_cast<int>(w), static_cast<int>(h));
    case mmAlpha:
        return FAlpha == nullptr ||
               dst->DrawAlphaMask(dx, dy, FImage, v.left, srcY, static_cast<int>(w), static_cast<int>(h), FAlpha);
    case mmColorKey:
        return dst->DrawKey(dx, dy, FImage, v.left, srcY, static_cast<int>(w), static_cast<int>(h), FColorKey);
    default: return true;
    }
}

// Step 6: every shown child over the repainted rectangle r, bottom to top.
bool TXeRGBPanel::DrawChildren(TXeRGBBits* dst, int x, int y, const TXeRect& r)
{
    bool result = true;
    TChildWalk walk(this, false);
    while (TXeRGBPanel* child = walk.Next()) {
        // Children the rectangle misses are skipped here, not called.
        if (!child->FCreated || !child->FVisible || Overlap(r, child->RectInParent()).IsRectEmpty())
            continue;
        const TXeRect inChild = Shifted(r, -child->FOffsetX, -child->FOffsetY);
        if (!child->Draw(dst, SatAdd(x, child->FOffsetX), SatAdd(y, child->FOffsetY), inChild.left, inChild.top,
                         r.right - r.left, r.bottom - r.top))
            result = false;
    }
    return result;
}

bool TXeRGBPanel::Draw(TXeRGBBits* dst, int x, int y, int l, int t, int w, int h)
{
    if (!FCreated || !FVisible)
        return true;
    if (dst == nullptr)
        return false;
    const TXeRect r = Overlap(RectAt(l, t, w, h), ClientRect());
    if (r.IsRectEmpty())
        return true;
    const TGuard self(this);
    bool result = DrawOwnPart(dst, x, y, UncoveredPart(r));
    if (self.Gone())
        return result;
    SubModify(r);
    if (!DrawChildren(dst, x, y, r))
        result = false;
    return result;
}

bool TXeRGBPanel::Draw(TXeRGBBits* dst)
{
    const TGuard self(this);
    const bool result = Draw(dst, FOffsetX, FOffsetY, 0, 0, FSizeX, FSizeY);
    if (!self.Gone())
        ClrModifyToChild();
    return result;
}

bool TXeRGBPanel::Update(TXeRGBBits* dst)
{
    TXeRectSet dirty;
    GetModifiedRectSet(dirty);
    bool result = true;
    const TGuard self(this);
    for (const TXeRect& d : dirty) {
        if (!Draw(dst, FOffsetX, FOffsetY, d.left, d.top, d.right - d.left, d.bottom - d.top))
            result = false;
        if (self.Gone())
            return result;
    }
    ClrModifyToChild();
    return result;
}
