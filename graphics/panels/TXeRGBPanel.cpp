// TXeRGBPanel: tree, properties, life cycle, activation, animation and the event callers.
#include "graphics/panels/TXeRGBPanel.h"

#include "graphics/panels/PanelGeometry.h"
#include "platform/classes/Application.h"

#include <algorithm>
#include <exception>

TXeRGBPanel::TXeRGBPanel(TComponent* owner) : TComponent(owner) {}

TXeRGBPanel::TXeRGBPanel(TComponent* owner, TXeRGBPanel* parent) : TComponent(owner), FParent(parent)
{
    if (parent != nullptr)
        parent->AddChild(this);
}

TXeRGBPanel::~TXeRGBPanel()
{
    Dispose();
    // The walks and calls still guarding this panel learn that it is gone.
    for (TGuard* guard = FGuards; guard != nullptr; guard = guard->next_)
        guard->panel_ = nullptr;
}

// --- Guards ---

// A guard links itself, a local of its caller, into the panel's list and unlinks itself in its
// destructor; GCC's dangling-pointer analysis does not follow the destructor and warns.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdangling-pointer"
#endif
TXeRGBPanel::TGuard::TGuard(TXeRGBPanel* panel) : panel_(panel)
{
    if (panel == nullptr)
        return;
    next_ = panel->FGuards;
    panel->FGuards = this;
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

TXeRGBPanel::TGuard::~TGuard()
{
    if (panel_ == nullptr)
        return;
    for (TGuard** link = &panel_->FGuards; *link != nullptr; link = &(*link)->next_)
        if (*link == this) {
            *link = next_;
            break;
        }
}

TXeRGBPanel::TChildWalk::TChildWalk(TXeRGBPanel* parent, bool topFirst)
    : TGuard(parent), topFirst_(topFirst), next_(topFirst ? parent->GetChildCount() - 1 : 0),
      end_(parent->GetChildCount())
{
}

void TXeRGBPanel::TChildWalk::Removed(int index)
{
    if (topFirst_) {
        if (index <= next_)
            --next_;
        return;
    }
    if (index < next_)
        --next_;
    if (index < end_)
        --end_;
}

void TXeRGBPanel::TChildWalk::Inserted(int index)
{
    if (topFirst_) {
        if (index <= next_)
            ++next_;
        return;
    }
    if (index < next_)
        ++next_;
    if (index < end_)
        ++end_;
}

void TXeRGBPanel::ChildRemoved(int index)
{
    for (TGuard* guard = FGuards; guard != nullptr; guard = guard->next_)
        guard->Removed(index);
}

void TXeRGBPanel::ChildInserted(int index)
{
    for (TGuard* guard = FGuards; guard != nullptr; guard = guard->next_)
        guard->Inserted(index);
}

template <typename Step> void TXeRGBPanel::TeardownStep(Step&& step)
{
    try {
        step();
    } catch (const std::exception& error) {
        Application().ShowException(error);
    }
}

void TXeRGBPanel::Dispose()
{
    if (FDisposed)
        return;
    FDisposed = true;
    // A parent that goes in the same batch has nothing left to repaint or activate: leave it
    // first, so that the teardown of a tree of N panels stays linear.
    if (FParent != nullptr && FParent->Destroying()) {
        FParent->RemoveChild(this, false);
        FParent = nullptr;
    }
    TeardownStep([&] { Hide(); });
    TeardownStep([&] { Release(); });
    if (FParent != nullptr) {
        TeardownStep([&] { FParent->DelChild(this); });
        FParent = nullptr;
        TeardownStep([&] { StatusClear(); });
    }
    while (!FChildren.empty()) {
        TXeRGBPanel* child = FChildren.back();
        if (child->Destroying()) {
            RemoveChild(child, false);
            child->FParent = nullptr;
            continue;
        }
        TeardownStep([&] { child->SetParent(nullptr); });
        // A child whose detaching failed half-way is dropped all the same.
        if (!FChildren.empty() && FChildren.back() == child) {
            FChildren.pop_back();
            ChildRemoved(GetChildCount());
            child->FParent = nullptr;
        }
    }
    DetachImages();
}

void TXeRGBPanel::DetachImages()
{
    if (FImage != nullptr)
        RemoveFreeNotification(FImage);
    if (FAlpha != nullptr)
        RemoveFreeNotification(FAlpha);
    FImage = nullptr;
    FAlpha = nullptr;
}

void TXeRGBPanel::Notification(TComponent* component, TOperation operation)
{
    if (operation == opRemove && component != nullptr) {
        if (component == FImage) {
            FImage = nullptr;
            SetModify();
        }
        if (component == FAlpha) {
            FAlpha = nullptr;
            SetModify();
        }
    }
    TComponent::Notification(component, operation);
}

// --- Tree ---

// Searches from the top: panels are removed last made first.
int TXeRGBPanel::IndexOf(const TXeRGBPanel* child) const
{
    const auto it = std::find(FChildren.rbegin(), FChildren.rend(), child);
    return it == FChildren.rend() ? -1 : static_cast<int>(FChildren.rend() - it) - 1;
}

void TXeRGBPanel::SetParent(TXeRGBPanel* p)
{
    if (FParent != nullptr) {
        FParent->DelChild(this);
        SetModifyToParent();
        if (FHoverChild != nullptr)
            FHoverChild->MouseLeave();
        StatusClear();
        SetActive();
    }
    FHoverChild = nullptr;
    if (p != nullptr && p->SearchPanelToParent(this)) {
        FParent = nullptr;
        return;
    }
    FParent = p;
    if (p != nullptr) {
        p->AddChild(this);
        SetModify();
    }
}

void TXeRGBPanel::AddChild(TXeRGBPanel* child)
{
    if (child == nullptr)
        return;
    FChildren.push_back(child);
    ChildInserted(GetChildCount() - 1);
    if (child->Dirty())
        child->MarkDirtyUp();
    SetActiveToChild();
    child->SetMouseCapToChild(FMouseCap);
}

void TXeRGBPanel::DelChild(TXeRGBPanel* child)
{
    RemoveChild(child, true);
}

void TXeRGBPanel::RemoveChild(TXeRGBPanel* child, bool activate)
{
    const int index = IndexOf(child);
    if (index < 0)
        return;
    FChildren.erase(FChildren.begin() + index);
    ChildRemoved(index);
    if (FHoverChild == child)
        FHoverChild = nullptr;
    if (FMouseCap != nullptr && FMouseCap->SearchPanelToParent(child)) {
        SetMouseCapToParent(nullptr);
        child->SetMouseCapToChild(nullptr);
    }
    if (activate)
        SetActiveToChild();
}

bool TXeRGBPanel::SearchPanelToParent(const TXeRGBPanel* p) const
{
    for (const TXeRGBPanel* panel = this; panel != nullptr; panel = panel->FParent)
        if (panel == p)
            return true;
    return false;
}

TXeRGBPanel* TXeRGBPanel::GetChild(int index) const
{
    return index < 0 || index >= GetChildCount() ? nullptr : FChildren[static_cast<std::size_t>(index)];
}

void TXeRGBPanel::ClientToScreen(int& x, int& y) const
{
    for (const TXeRGBPanel* panel = this; panel != nullptr; panel = panel->FParent) {
        x = SatAdd(x, panel->FOffsetX);
        y = SatAdd(y, panel->FOffsetY);
    }
}

void TXeRGBPanel::ScreenToClient(int& x, int& y) const
{
    for (const TXeRGBPanel* panel = this; panel != nullptr; panel = panel->FParent) {
        x = SatAdd(x, -static_cast<long long>(panel->FOffsetX));
        y = SatAdd(y, -static_cast<long long>(panel->FOffsetY));
    }
}

void TXeRGBPanel::MoveChild(std::size_t from, std::size_t to)
{
    if (from == to)
        return;
    TXeRGBPanel* child = FChildren[from];
    FChildren.erase(FChildren.begin() + static_cast<std::ptrdiff_t>(from));
    ChildRemoved(static_cast<int>(from));
    FChildren.insert(FChildren.begin() + static_cast<std::ptrdiff_t>(to), child);
    ChildInserted(static_cast<int>(to));
    // What lies above what has changed, so the child's area must be repainted.
    child->SetModify();
}

void TXeRGBPanel::RaiseOrder(TXeRGBPanel* a, TXeRGBPanel* b)
{
    const int ia = IndexOf(a);
    const int ib = IndexOf(b);
    if (ia >= 0 && ib > ia)
        MoveChild(static_cast<std::size_t>(ia), static_cast<std::size_t>(ib));
    SetActiveToChild();
}

void TXeRGBPanel::DownOrder(TXeRGBPanel* a, TXeRGBPanel* b)
{
    const int ia = IndexOf(a);
    const int ib = IndexOf(b);
    if (ia >= 0 && ib > ia)
        MoveChild(static_cast<std::size_t>(ia), static_cast<std::size_t>(ib - 1));
    SetActiveToChild();
}

// --- Properties ---

void TXeRGBPanel::SetVisible(bool visible)
{
    if (visible != FVisible)
        visible ? Show() : Hide();
}

void TXeRGBPanel::SetCreated(bool created)
{
    if (created != FCreated)
        created ? static_cast<void>(Create()) : Release();
}

void TXeRGBPanel::SetAutoSize(bool on)
{
    if (on == FAutoSize)
        return;
    FAutoSize = on;
    if (on && FImage != nullptr && FImage->Created()) {
        SetSizeX(FImage->Width());
        SetSizeY(FImage->Height() / FNumBlock);
    }
}

void TXeRGBPanel::SetOffsetX(int x)
{
    if (x == FOffsetX)
        return;
    SetModifyToParent();
    FOffsetX = x;
    SetModify();
}

void TXeRGBPanel::SetOffsetY(int y)
{
    if (y == FOffsetY)
        return;
    SetModifyToParent();
    FOffsetY = y;
    SetModify();
}

void TXeRGBPanel::SetSizeX(int w)
{
    if (w == FSizeX)
        return;
    SetModifyToParent();
    FSizeX = w;
    SetModify();
}

void TXeRGBPanel::SetSizeY(int h)
{
    if (h == FSizeY)
        return;
    SetModifyToParent();
    FSizeY = h;
    SetModify();
}

void TXeRGBPanel::SetNumBlock(int n)
{
    if (n <= 0)
        return;
    FNumBlock = n;
    if (FBlockIndex >= n)
        FBlockIndex = n - 1;
    SetModify();
}

void TXeRGBPanel::SetBlockIndex(int index)
{
    if (index < 0 || index >= FNumBlock || index == FBlockIndex)
        return;
    FBlockIndex = index;
    SetModify();
}

void TXeRGBPanel::SetImage(TXeRGBBits* image)
{
    if (image == FImage)
        return;
    if (FImage != nullptr)
        RemoveFreeNotification(FImage);
    FImage = image;
    if (image != nullptr) {
        FreeNotification(image);
        if (FAutoSize && image->Created()) {
            SetSizeX(image->Width());
            SetSizeY(image->Height() / FNumBlock);
        }
    }
    SetModify();
}

void TXeRGBPanel::SetAlpha(TXeAlpha* alpha)
{
    if (alpha == FAlpha)
        return;
    if (FAlpha != nullptr)
        RemoveFreeNotification(FAlpha);
    FAlpha = alpha;
    if (alpha != nullptr)
        FreeNotification(alpha);
    SetModify();
}

void TXeRGBPanel::SetColorKey(TXeRGB key)
{
    if (key == FColorKey)
        return;
    FColorKey = key;
    SetModify();
}

void TXeRGBPanel::SetMaskMode(TMaskMode mode)
{
    if (mode == FMaskMode)
        return;
    FMaskMode = mode;
    SetModify();
}

int TXeRGBPanel::BlockHeight() const
{
    return FImage == nullptr ? 0 : FImage->Height() / FNumBlock;
}

// --- Life cycle ---

bool TXeRGBPanel::Create()
{
    if (FCreated)
        return true;
    const TGuard self(this);
    try {
        FCreated = true;
        CallOnCreate();
        if (!self.Gone() && FVisible)
            CallOnShow();
        if (self.Gone())
            return false;
        SetModify();
        if (self.Gone())
            return false;
        if (!FInBulk)
            ChangeCreatedToParent();
        if (self.Gone())
            return false;
        FHoverChild = nullptr;
        return FCreated;
    } catch (const std::exception&) {
        if (self.Gone())
            return false;
        SetCreated(false);
        FHoverChild = nullptr;
        return false;
    }
}

void TXeRGBPanel::DropCaptureInSubtree()
{
    if (FMouseCap != nullptr && FMouseCap->SearchPanelToParent(this))
        SetMouseCapToParent(nullptr);
}

void TXeRGBPanel::Release()
{
    if (!FCreated)
        return;
    DropCaptureInSubtree();
    FCreated = false;
    const TGuard self(this);
    if (FVisible)
        CallOnHide();
    if (!self.Gone())
        CallOnRelease();
    if (self.Gone())
        return;
    if (FParent != nullptr)
        SetModifyToParent();
    if (!FInBulk)
        ChangeCreatedToParent();
    StatusClear();
}

bool TXeRGBPanel::AllCreate()
{
    FInBulk = true;
    bool result = Create();
    TChildWalk walk(this, false);
    while (TXeRGBPanel* child = walk.Next()) {
        try {
            if (!child->AllCreate())
                result = false;
        } catch (const std::exception&) {
            result = false;
        }
    }
    if (walk.Gone())
        return false;
    ChangeCreatedToParent();
    FInBulk = false;
    return result;
}

void TXeRGBPanel::AllRelease()
{
    FInBulk = true;
    TChildWalk walk(this, false);
    while (TXeRGBPanel* child = walk.Next()) {
        try {
            child->AllRelease();
        } catch (const std::exception& error) {
            // The other children are released all the same; the error still reaches the application.
            Application().HandleException(this, error);
        }
    }
    if (walk.Gone())
        return;
    Release();
    if (walk.Gone())
        return;
    ChangeCreatedToParent();
    FInBulk = false;
}

void TXeRGBPanel::Show()
{
    if (FVisible)
        return;
    FVisible = true;
    if (FCreated) {
        const TGuard self(this);
        CallOnShow();
        if (!self.Gone())
            SetModify();
    }
}

void TXeRGBPanel::Hide()
{
    if (!FVisible)
        return;
    DropCaptureInSubtree();
    FVisible = false;
    const TGuard self(this);
    if (FCreated) {
        CallOnHide();
        if (!self.Gone() && FParent != nullptr)
            SetModifyToParent();
    }
    if (!self.Gone())
        StatusClear();
}

void TXeRGBPanel::StatusClear()
{
    FHoverChild = nullptr;
    FMouseCap = nullptr;
    FPressed = false;
    FModifiedSet.SetRectEmpty();
    AddModified(ClientRect());
    for (TXeRGBPanel* child : FChildren)
        child->StatusClear();
}

void TXeRGBPanel::ChangeCreatedToParent()
{
    Root()->SetActiveToChild();
}

TXeRGBPanel* TXeRGBPanel::Root()
{
    TXeRGBPanel* root = this;
    while (root->FParent != nullptr)
        root = root->FParent;
    return root;
}

// --- Activation ---

TXeRGBPanel* TXeRGBPanel::GetActivePanel() const
{
    for (auto it = FChildren.rbegin(); it != FChildren.rend(); ++it)
        if ((*it)->FCreated && (*it)->FVisible)
            return *it;
    return nullptr;
}

void TXeRGBPanel::SetActiveToChild()
{
    if (!FCreated)
        return;
    TXeRGBPanel* active = GetActivePanel();
    if (active == nullptr) {
        DeactivateChildren(nullptr);
        return;
    }
    const TGuard activeGuard(active);
    if (DeactivateChildren(active) && !activeGuard.Gone() && active->FParent == this)
        active->SetActiveFromParent(FActive);
}

bool TXeRGBPanel::DeactivateChildren(const TXeRGBPanel* except)
{
    TChildWalk walk(this, false);
    while (TXeRGBPanel* child = walk.Next())
        if (child != except)
            child->SetActiveFromParent(false);
    return !walk.Gone();
}

void TXeRGBPanel::SetActiveFromParent(bool active)
{
    if (!FCreated || !FVisible)
        return;
    const bool changed = active != FActive;
    FActive = active;
    const TGuard self(this);
    SetActiveToChild();
    if (changed && !self.Gone())
        active ? CallOnActivate() : CallOnDeactivate();
}

void TXeRGBPanel::SetActive()
{
    if (FParent != nullptr) {
        SetActiveToParent();
        return;
    }
    if (FCreated && FVisible && !FActive) {
        FActive = true;
        const TGuard self(this);
        SetActiveToChild();
        if (!self.Gone())
            CallOnActivate();
    }
}

void TXeRGBPanel::SetActiveToParent()
{
    if (FParent == nullptr)
        SetActiveToChild();
    else
        FParent->SetActiveFromChild(this);
}

void TXeRGBPanel::SetActiveFromChild(TXeRGBPanel* child)
{
    const int index = IndexOf(child);
    const TGuard self(this);
    if (index >= 0)
        MoveChild(static_cast<std::size_t>(index), FChildren.size() - 1);
    if (!self.Gone())
        SetActiveToParent();
}

// --- Animation ---

void TXeRGBPanel::Anime()
{
    if (!FCreated)
        return;
    TChildWalk walk(this, false);
    while (TXeRGBPanel* child = walk.Next())
        child->Anime();
    if (!walk.Gone())
        CallOnAnime();
}

// --- Event callers ---

void TXeRGBPanel::CallOnClick()
{
    if (OnClick)
        OnClick(this);
}

void TXeRGBPanel::CallOnCreate()
{
    if (OnCreate)
        OnCreate(this);
}

void TXeRGBPanel::CallOnRelease()
{
    if (OnRelease)
        OnRelease(this);
}

void TXeRGBPanel::CallOnShow()
{
    if (OnShow)
        OnShow(this);
}

void TXeRGBPanel::CallOnHide()
{
    if (OnHide)
        OnHide(this);
}

void TXeRGBPanel::CallOnMouseMove(TShiftState shift, int x, int y)
{
    if (OnMouseMove)
        OnMouseMove(this, shift, x, y);
}

void TXeRGBPanel::CallOnMouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseDown)
        OnMouseDown(this, button, shift, x, y);
}

void TXeRGBPanel::CallOnMouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseUp)
        OnMouseUp(this, button, shift, x, y);
}

void TXeRGBPanel::CallOnMouseEnter()
{
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TXeRGBPanel::CallOnMouseLeave()
{
    if (OnMouseLeave)
        OnMouseLeave(this);
}

void TXeRGBPanel::CallOnMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos, bool& handled)
{
    if (OnMouseWheel)
        OnMouseWheel(this, shift, wheelDelta, mousePos, handled);
}

void TXeRGBPanel::CallOnKeyDown(std::uint16_t& key, TShiftState shift)
{
    if (OnKeyDown)
        OnKeyDown(this, key, shift);
}

void TXeRGBPanel::CallOnKeyUp(std::uint16_t& key, TShiftState shift)
{
    if (OnKeyUp)
        OnKeyUp(this, key, shift);
}

void TXeRGBPanel::CallOnKeyPress(char& key)
{
    if (OnKeyPress)
        OnKeyPress(this, key);
}

void TXeRGBPanel::CallOnChange()
{
    if (OnChange)
        OnChange(this);
}

void TXeRGBPanel::CallOnActivate()
{
    if (OnActivate)
        OnActivate(this);
}

void TXeRGBPanel::CallOnDeactivate()
{
    if (OnDeactivate)
        OnDeactivate(this);
}

void TXeRGBPanel::CallOnAnime()
{
    if (OnAnime)
        OnAnime(this);
}

bool TXeRGBPanel::CallOnDraw(TXeRGBBits* dest, int x, int y, int sx, int sy, int dx, int dy)
{
    return OnDraw ? OnDraw(this, dest, x, y, sx, sy, dx, dy) : false;
}
