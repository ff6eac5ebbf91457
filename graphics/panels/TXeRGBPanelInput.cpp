// TXeRGBPanel: hit testing, mouse capture and the routing of mouse and key input.
//
// Mouse events descend from the root to the topmost shown child under the pointer; a consumed
// button press captures the mouse for the whole tree (every panel holds the same capture pointer),
// and until the release, moves and the release go to the capturing panel in its own coordinates
// while hover changes are suppressed. Keys go down the chain of topmost shown children to the
// deepest panel with KeyControl and bubble up.
#include "graphics/panels/TXeRGBPanel.h"

#include "graphics/panels/PanelGeometry.h"

#include <utility>

namespace {

int Minus(int a, int b) { return SatAdd(a, -static_cast<long long>(b)); }

} // namespace

// --- Hit testing ---

bool TXeRGBPanel::PosIsTrans(int x, int y)
{
    if (!FMouseTrans)
        return false;
    if (FImage == nullptr || !FImage->Created())
        return true;
    const long long row = y + static_cast<long long>(BlockHeight()) * FBlockIndex;
    // Nothing is drawn outside the picture, so nothing there can be hit.
    const bool inImage = x >= 0 && x < FImage->Width() && row >= 0 && row < FImage->Height();
    const int imageY = static_cast<int>(row);
    switch (FMaskMode) {
    case mmAlpha:
    case mmNone:
        if (FAlpha == nullptr)
            return false;
        return !inImage || FAlpha->PGet(x, imageY) == 0;
    case mmColorKey:
        // The key is compared in the picture's own pixel format.
        return !inImage || FImage->PGet(x, imageY) == FImage->TXeRGBtoPixel(FColorKey);
    default: return false;
    }
}

bool TXeRGBPanel::PosInPanel(int x, int y, bool mouse)
{
    if (!FCreated || !FVisible)
        return false;
    if (mouse && !FMouseControl)
        return false;
    if (x < 0 || y < 0 || x >= FSizeX || y >= FSizeY)
        return false;
    if (!mouse || !PosIsTrans(x, y))
        return true;
    for (auto it = FChildren.rbegin(); it != FChildren.rend(); ++it)
        if ((*it)->PosInPanel(Minus(x, (*it)->FOffsetX), Minus(y, (*it)->FOffsetY), true))
            return true;
    return false;
}

TXeRGBPanel* TXeRGBPanel::FindPosPanel(int x, int y, bool mouse)
{
    for (auto it = FChildren.rbegin(); it != FChildren.rend(); ++it)
        if ((*it)->PosInPanel(Minus(x, (*it)->FOffsetX), Minus(y, (*it)->FOffsetY), mouse))
            return *it;
    return nullptr;
}

// --- Capture ---

void TXeRGBPanel::SetMouseCapToParent(TXeRGBPanel* p)
{
    Root()->SetMouseCapToChild(p);
}

void TXeRGBPanel::SetMouseCapToChild(TXeRGBPanel* p)
{
    if (p != this)
        FPressed = false;
    FMouseCap = p;
    for (TXeRGBPanel* child : FChildren)
        child->SetMouseCapToChild(p);
}

// --- Mouse ---

bool TXeRGBPanel::MouseMove(TShiftState shift, int x, int y)
{
    if (!FCreated || !FVisible)
        return false;
    if (FMouseCap == this) {
        if (!FMouseControl)
            return false;
        CallOnMouseMove(shift, x, y);
        return true;
    }
    if (FMouseCap != nullptr) {
        TXeRGBPanel* capture = FMouseCap;
        ClientToScreen(x, y);
        capture->ScreenToClient(x, y);
        return capture->MouseMove(shift, x, y);
    }
    TXeRGBPanel* under = FindPosPanel(x, y, true);
    // The handlers below may delete the panel under the pointer, or this one.
    const TGuard self(this), underGuard(under);
    if (under != FHoverChild) {
        if (FHoverChild != nullptr)
            FHoverChild->MouseLeave();
        if (self.Gone())
            return true;
        FHoverChild = underGuard.Gone() ? nullptr : under;
        if (FHoverChild != nullptr)
            under->MouseEnter(Minus(x, under->FOffsetX), Minus(y, under->FOffsetY));
        if (self.Gone())
            return true;
    }
    bool consumed =
        !underGuard.Gone() && under->MouseMove(shift, Minus(x, under->FOffsetX), Minus(y, under->FOffsetY));
    if (self.Gone())
        return true;
    if (!consumed && FMouseControl) {
        CallOnMouseMove(shift, x, y);
        consumed = true;
    }
    return consumed;
}

// Whether a shown child's rectangle holds the point, for the button routines.
bool TXeRGBPanel::ShownAt(int x, int y) const
{
    return FCreated && FVisible && RectInParent().InRect(x, y);
}

bool TXeRGBPanel::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (!FCreated || !FVisible)
        return false;
    TChildWalk walk(this, true);
    while (TXeRGBPanel* child = walk.Next())
        if (child->ShownAt(x, y) && child->MouseDown(button, shift, Minus(x, child->FOffsetX), Minus(y, child->FOffsetY)))
            return true;
    if (walk.Gone() || !FMouseControl || PosIsTrans(x, y))
        return false;
    if (button == mbLeft)
        FPressed = true;
    SetMouseCapToParent(this);
    CallOnMouseDown(button, shift, x, y);
    return true;
}

// The release on this panel: OnMouseUp, then OnClick when the left button went down here and
// comes up inside the panel.
bool TXeRGBPanel::ReleaseAt(TMouseButton button, TShiftState shift, int x, int y, bool pressed)
{
    const TGuard self(this);
    CallOnMouseUp(button, shift, x, y);
    if (!self.Gone() && pressed && x >= 0 && y >= 0 && x < FSizeX && y < FSizeY)
        CallOnClick();
    return true;
}

bool TXeRGBPanel::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (FMouseCap != nullptr && FMouseCap != this) {
        TXeRGBPanel* capture = FMouseCap;
        if (!capture->FCreated) {
            SetMouseCapToParent(nullptr);
            return false;
        }
        int cx = x;
        int cy = y;
        ClientToScreen(cx, cy);
        capture->ScreenToClient(cx, cy);
        const TGuard self(this);
        const bool result = capture->MouseUp(button, shift, cx, cy);
        if (!self.Gone() && FCreated && FVisible)
            MouseMove(shift, x, y);
        return result;
    }
    if (FMouseCap == this) {
        const bool pressed = std::exchange(FPressed, false);
        SetMouseCapToParent(nullptr);
        if (!FCreated || !FVisible || !FMouseControl)
            return false;
        return ReleaseAt(button, shift, x, y, pressed);
    }
    if (!FCreated || !FVisible)
        return false;
    TChildWalk walk(this, true);
    while (TXeRGBPanel* child = walk.Next())
        if (child->ShownAt(x, y) && child->MouseUp(button, shift, Minus(x, child->FOffsetX), Minus(y, child->FOffsetY)))
            return true;
    if (walk.Gone())
        return false;
    const bool pressed = std::exchange(FPressed, false);
    if (!FMouseControl || PosIsTrans(x, y))
        return false;
    return ReleaseAt(button, shift, x, y, pressed);
}

void TXeRGBPanel::MouseEnter(int x, int y)
{
    if (!FCreated || !FVisible || FMouseCap != nullptr)
        return;
    if (FMouseControl) {
        const TGuard self(this);
        CallOnMouseEnter();
        if (self.Gone())
            return;
    }
    TXeRGBPanel* under = FindPosPanel(x, y, true);
    if (under != nullptr && under != FHoverChild) {
        FHoverChild = under;
        if (under->FMouseControl)
            under->MouseEnter(Minus(x, under->FOffsetX), Minus(y, under->FOffsetY));
    }
}

void TXeRGBPanel::MouseLeave()
{
    if (!FCreated || !FVisible || FMouseCap != nullptr)
        return;
    if (FMouseControl) {
        const TGuard self(this);
        CallOnMouseLeave();
        if (self.Gone())
            return;
    }
    if (FHoverChild != nullptr) {
        TXeRGBPanel* hover = std::exchange(FHoverChild, nullptr);
        if (hover->FMouseControl)
            hover->MouseLeave();
    }
}

void TXeRGBPanel::MouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos, bool& handled)
{
    if (!FCreated || !FVisible)
        return;
    TChildWalk walk(this, true);
    for (TXeRGBPanel* child = walk.Next(); child != nullptr && !handled; child = walk.Next())
        if (child->FCreated && child->FVisible)
            child->MouseWheel(shift, wheelDelta, TPoint{Minus(mousePos.x, child->FOffsetX), Minus(mousePos.y, child->FOffsetY)},
                              handled);
    if (!walk.Gone() && !handled && FMouseControl)
        CallOnMouseWheel(shift, wheelDelta, mousePos, handled);
}

// --- Keys ---

bool TXeRGBPanel::KeyDown(std::uint16_t& key, TShiftState shift)
{
    if (!FCreated || !FVisible)
        return false;
    TXeRGBPanel* active = GetActivePanel();
    const TGuard self(this);
    if (active != nullptr && active->KeyDown(key, shift))
        return true;
    if (self.Gone() || !FKeyControl)
        return false;
    CallOnKeyDown(key, shift);
    return true;
}

bool TXeRGBPanel::KeyUp(std::uint16_t& key, TShiftState shift)
{
    if (!FCreated || !FVisible)
        return false;
    TXeRGBPanel* active = GetActivePanel();
    const TGuard self(this);
    if (active != nullptr && active->KeyUp(key, shift))
        return true;
    if (self.Gone() || !FKeyControl)
        return false;
    CallOnKeyUp(key, shift);
    return true;
}

bool TXeRGBPanel::KeyPress(char& key)
{
    if (!FCreated || !FVisible)
        return false;
    TXeRGBPanel* active = GetActivePanel();
    const TGuard self(this);
    if (active != nullptr && active->KeyPress(key))
        return true;
    if (self.Gone() || !FKeyControl)
        return false;
    CallOnKeyPress(key);
    return true;
}
