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
    TeardownStep([&] { Hide(); });
    TeardownStep([&] { Release(); });
    if (FParent != nullptr) {
        TeardownStep([&] { FParent->DelChild(this); });
        FParent = nullptr;
        TeardownStep([&] { StatusClear(); });
    }
    while (!FChildren.empty()) {
        TXeRGBPanel* child = FChildren.back();
        TeardownStep([&] { child->SetParent(nullptr); });
        // A child whose detaching failed half-way is dropped all the same.
        if (!FChildren.empty() && FChildren.back() == child) {
            FChildren.pop_back();
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

int TXeRGBPanel::IndexOf(const TXeRGBPanel* child) const
{
    const auto it = std::find(FChildren.begin(), FChildren.end(), child);
    return it == FChildren.end() ? -1 : static_cast<int>(it - FChildren.begin());
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
    SetActiveToChild();
    child->SetMouseCapToChild(FMouseCap);
}

void TXeRGBPanel::DelChild(TXeRGBPanel* child)
{
    const int index = IndexOf(child);
    if (index < 0)
        return;
    FChildren.erase(FChildren.begin() + index);
    if (FHoverChild == child)
        FHoverChild = nullptr;
    if (FMouseCap != nullptr && FMouseCap->SearchPanelToParent(child)) {
        SetMouseCapToParent(nullptr);
        child->SetMouseCapToChild(nullptr);
    }
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
    FChildren.insert(FChildren.begin() + static_cast<std::ptrdiff_t>(to), child);
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

TXeRect TXeRGBPanel::ClientRect() const
{
    return RectAt(0, 0, FSizeX, FSizeY);
}

TXeRect TXeRGBPanel::RectInParent() const
{
    return RectAt(FOffsetX, FOffsetY, FSizeX, FSizeY);
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
    try {
        FCreated = true;
        CallOnCreate();
        if (FVisible)
            CallOnShow();
        SetModify();
        if (!FInBulk)
            ChangeCreatedToParent();
        FHoverChild = nullptr;
        return FCreated;
    } catch (const std::exception&) {
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
    if (FVisible)
        CallOnHide();
    CallOnRelease();
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
    const std::vector<TXeRGBPanel*> children = FChildren;
    for (TXeRGBPanel* child : children) {
        try {
            if (!child->AllCreate())
                result = false;
        } catch (const std::exception&) {
            result = false;
        }
    }
    ChangeCreatedToParent();
    FInBulk = false;
    return result;
}

void TXeRGBPanel::AllRelease()
{
    FInBulk = true;
    const std::vector<TXeRGBPanel*> children = FChildren;
    for (TXeRGBPanel* child : children) {
        try {
            child->AllRelease();
        } catch (const std::exception&) {
        }
    }
    Release();
    ChangeCreatedToParent();
    FInBulk = false;
}

void TXeRGBPanel::Show()
{
    if (FVisible)
        return;
    FVisible = true;
    if (FCreated) {
        CallOnShow();
        SetModify();
    }
}

void TXeRGBPanel::Hide()
{
    if (!FVisible)
        return;
    DropCaptureInSubtree();
    FVisible = false;
    if (FCreated) {
        CallOnHide();
        if (FParent != nullptr)
            SetModifyToParent();
    }
    StatusClear();
}

void TXeRGBPanel::StatusClear()
{
    FHoverChild = nullptr;
    FMouseCap = nullptr;
    FPressed = false;
    FModifiedSet.SetRectEmpty();
    FModifiedSet.UnionRect(ClientRect());
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
    const std::vector<TXeRGBPanel*> children = FChildren;
    for (TXeRGBPanel* child : children)
        if (child != active)
            child->SetActiveFromParent(false);
    if (active != nullptr)
        active->SetActiveFromParent(FActive);
}

void TXeRGBPanel::SetActiveFromParent(bool active)
{
    if (!FCreated || !FVisible)
        return;
    const bool changed = active != FActive;
    FActive = active;
    SetActiveToChild();
    if (changed)
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
        SetActiveToChild();
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
    if (index >= 0)
        MoveChild(static_cast<std::size_t>(index), FChildren.size() - 1);
    SetActiveToParent();
}

// --- Animation ---

void TXeRGBPanel::Anime()
{
    if (!FCreated)
        return;
    const std::vector<TXeRGBPanel*> children = FChildren;
    for (TXeRGBPanel* child : children)
        child->Anime();
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
