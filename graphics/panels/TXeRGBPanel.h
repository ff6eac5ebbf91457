// TXeRGBPanel: the node of the widget tree every screen is built from: a rectangle at an offset in
// its parent showing one block of an image strip (plain, through an alpha map or with a colour
// key), with z-ordered children, a set of dirty rectangles, and the routing of mouse and key input.
//
// Coordinates: each panel has its own client space with (0, 0) at its top-left corner; OffsetX and
// OffsetY place that corner in the parent's client space. The root's client space is the screen
// when its offset is (0, 0). Children are painted and listed bottom (index 0) to top (last).
//
// Frame protocol (the shell's logic thread, inside its redraw lock): root Anime; root
// GetModifiedRectSet into a set; root Update into the back surface; the display flips that set. A
// full rebuild draws the root with Draw. Input records go to the root's Mouse* and Key* routines.
// Nothing here locks: the tree is used by one thread at a time.
//
// Events fire only on created panels and only when assigned. The tree always calls the Call*
// operations virtually, so derived panels (buttons, numbers, text) add behaviour there.
//
// Teardown: the destructor hides, releases and detaches the panel, which calls virtual operations;
// a panel whose parent or child goes in the same batch of its owner (TComponent::Destroying) leaves
// it without repainting or re-activating it.
// A C++ destructor no longer reaches a derived class's overrides, so that work is the explicit
// step Dispose: a class derived from a panel calls Dispose at the start of its own destructor (the
// panel's destructor calls it too, for a plain panel; it runs once).
//
// Images and alpha maps are not owned (they belong to the screen that made them); a panel forgets
// one that is destroyed while it shows it.
//
// Handlers may delete panels, their own included: every walk that runs a handler guards the
// panels it will still touch (TGuard, TChildWalk), skips children deleted or moved away meanwhile,
// and ends when the panel it walks goes.
#pragma once

#include "base/util/TXeRect.h"
#include "base/util/TXeRectSet.h"
#include "graphics/bitmaps/TXeAlpha.h"
#include "graphics/bitmaps/TXeRGB.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "graphics/panels/PanelGeometry.h"
#include "platform/classes/Component.h"
#include "platform/classes/Controls.h"

#include <cstdint>
#include <functional>
#include <vector>

enum TMaskMode : std::uint8_t { mmNormal = 0, mmAlpha = 1, mmColorKey = 2, mmNone = 3 };

using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;
using TMouseEvent = std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseWheelEvent =
    std::function<void(TObject* sender, TShiftState shift, int wheelDelta, TPoint mousePos, bool& handled)>;
using TKeyEvent = std::function<void(TObject* sender, std::uint16_t& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TObject* sender, char& key)>;
// Draws the panel's part (sx, sy, dx, dy) at (x, y) of dest; true when it drew it, so that the
// panel's image is not drawn there.
using TXePanelDrawEvent =
    std::function<bool(TObject* sender, TXeRGBBits* dest, int x, int y, int sx, int sy, int dx, int dy)>;

class TXeRGBPanel : public TComponent {
public:
    explicit TXeRGBPanel(TComponent* owner);
    TXeRGBPanel(TComponent* owner, TXeRGBPanel* parent);
    ~TXeRGBPanel() override;

    // The teardown: Hide, Release, leave the parent, StatusClear, then detach every child (last
    // first). An exception from a handler is shown through the application and the teardown goes
    // on. Runs once; later calls do nothing.
    void Dispose();

    // Tree (TXeRGBPanel.cpp).
    TXeRGBPanel* Parent() const { return FParent; }
    // Leaves the old parent (dirtying the area there) and joins p on top of its children; a p
    // inside this panel's own subtree leaves the panel without a parent.
    void SetParent(TXeRGBPanel* p);
    void AddChild(TXeRGBPanel* child);
    void DelChild(TXeRGBPanel* child);
    // True when p is this panel or one of its ancestors.
    bool SearchPanelToParent(const TXeRGBPanel* p) const;
    int GetChildCount() const { return static_cast<int>(FChildren.size()); }
    TXeRGBPanel* GetChild(int index) const;
    void ClientToScreen(int& x, int& y) const;
    void ScreenToClient(int& x, int& y) const;
    // Move child a directly above (Raise) or below (Down) child b; only when b stands above a.
    // A move that changes the order dirties a's area.
    void RaiseOrder(TXeRGBPanel* a, TXeRGBPanel* b);
    void DownOrder(TXeRGBPanel* a, TXeRGBPanel* b);

    // Properties; the setters that change what is shown dirty the panel.
    bool Visible() const { return FVisible; }
    void SetVisible(bool visible);
    bool KeyControl() const { return FKeyControl; }
    void SetKeyControl(bool on) { FKeyControl = on; }
    bool MouseControl() const { return FMouseControl; }
    void SetMouseControl(bool on) { FMouseControl = on; }
    bool MouseTrans() const { return FMouseTrans; }
    void SetMouseTrans(bool on) { FMouseTrans = on; }
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool on);
    int OffsetX() const { return FOffsetX; }
    int OffsetY() const { return FOffsetY; }
    int SizeX() const { return FSizeX; }
    int SizeY() const { return FSizeY; }
    void SetOffsetX(int x);
    void SetOffsetY(int y);
    void SetSizeX(int w);
    void SetSizeY(int h);
    int NumBlock() const { return FNumBlock; }
    // Ignored unless n > 0; keeps BlockIndex below n; dirties even when unchanged.
    void SetNumBlock(int n);
    int BlockIndex() const { return FBlockIndex; }
    // Ignored for an index outside 0 .. NumBlock - 1 or equal to the current one.
    void SetBlockIndex(int index);
    TXeRGBBits* Image() const { return FImage; }
    // With AutoSize and a created image, the panel takes one block's size.
    void SetImage(TXeRGBBits* image);
    TXeAlpha* Alpha() const { return FAlpha; }
    void SetAlpha(TXeAlpha* alpha);
    TXeRGB ColorKey() const { return FColorKey; }
    void SetColorKey(TXeRGB key);
    TMaskMode MaskMode() const { return FMaskMode; }
    void SetMaskMode(TMaskMode mode);
    virtual AnsiString GetText() const { return FText; }
    virtual void SetText(const AnsiString& text) { FText = text; }

    // Life cycle (TXeRGBPanel.cpp). Created and Visible are independent; a panel is shown when
    // both hold. Create catches an exception from its handlers, releases again and returns false.
    bool Created() const { return FCreated; }
    void SetCreated(bool created);
    bool Create();
    void Release();
    bool AllCreate();
    void AllRelease();
    void Show();
    void Hide();
    // Drops hover, capture and pressed state and resets the dirty set to the whole panel, on the
    // whole subtree.
    virtual void StatusClear();
    void ChangeCreatedToParent();

    // Activation: the topmost shown child at each level is active and receives keys.
    bool Active() const { return FActive; }
    TXeRGBPanel* GetActivePanel() const;
    void SetActiveToChild();
    void SetActiveFromParent(bool active);
    void SetActive();
    void SetActiveToParent();
    // Raises child to the top (dirtying it when that changes the order) and re-runs activation
    // from the root.
    void SetActiveFromChild(TXeRGBPanel* child);

    // Animation: children first, then this panel's CallOnAnime; nothing when not created.
    void Anime();

    // Dirty regions (TXeRGBPanelPaint.cpp). Rectangles are in the receiving panel's client space.
    void SetModifyRect(const TXeRect& r);
    void SetModify();
    void SetModifyToParent(const TXeRect& r);
    void SetModifyToParent();
    void SetModifyFromChild(TXeRGBPanel* child, const TXeRect& r);
    void SetModifyToChild(const TXeRGBPanel* except, const TXeRect& r);
    void SetModifyToChild(const TXeRGBPanel* except);
    void SetModifyFromParent(const TXeRect& r);
    void ClrModify();
    void ClrModifyToChild();
    void SubModify(const TXeRect& r);
    void SetModified(bool modified);
    bool GetModified() const;
    const TXeRectSet& ModifiedSet() const { return FModifiedSet; }
    // The union of the shown subtree's dirty sets, in this panel's client space, clipped to it;
    // out is left untouched when this panel is not shown.
    void GetModifiedRectSet(TXeRectSet& out) const;
    void GetModifiedRect(TXeRect& out) const;

    // Painting (TXeRGBPanelPaint.cpp). Draw paints the part (l, t, w, h) of the panel and its
    // shown subtree with client point (0, 0) landing on (x, y) of dst; false when a drawing
    // operation failed somewhere (painting goes on).
    bool Draw(TXeRGBBits* dst, int x, int y, int l, int t, int w, int h);
    // The whole panel at its offset, then every dirty set is cleared.
    bool Draw(TXeRGBBits* dst);
    // Only the collected dirty rectangles, then every dirty set is cleared.
    bool Update(TXeRGBBits* dst);

    // Hit testing and input routing (TXeRGBPanelInput.cpp); x, y in this panel's client space.
    bool PosIsTrans(int x, int y);
    bool PosInPanel(int x, int y, bool mouse);
    TXeRGBPanel* FindPosPanel(int x, int y, bool mouse);
    void SetMouseCapToParent(TXeRGBPanel* p);
    void SetMouseCapToChild(TXeRGBPanel* p);
    TXeRGBPanel* MouseCapture() const { return FMouseCap; }
    TXeRGBPanel* HoverChild() const { return FHoverChild; }
    bool Pressed() const { return FPressed; }
    bool MouseMove(TShiftState shift, int x, int y);
    bool MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    bool MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    void MouseEnter(int x, int y);
    void MouseLeave();
    void MouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos, bool& handled);
    bool KeyDown(std::uint16_t& key, TShiftState shift);
    bool KeyUp(std::uint16_t& key, TShiftState shift);
    bool KeyPress(char& key);

    // Event callers: each fires its event when assigned.
    virtual void CallOnClick();
    virtual void CallOnCreate();
    virtual void CallOnRelease();
    virtual void CallOnShow();
    virtual void CallOnHide();
    virtual void CallOnMouseMove(TShiftState shift, int x, int y);
    virtual void CallOnMouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void CallOnMouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void CallOnMouseEnter();
    virtual void CallOnMouseLeave();
    virtual void CallOnMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos, bool& handled);
    virtual void CallOnKeyDown(std::uint16_t& key, TShiftState shift);
    virtual void CallOnKeyUp(std::uint16_t& key, TShiftState shift);
    virtual void CallOnKeyPress(char& key);
    virtual void CallOnChange();
    virtual void CallOnActivate();
    virtual void CallOnDeactivate();
    virtual void CallOnAnime();
    // The OnDraw result, false when unassigned.
    virtual bool CallOnDraw(TXeRGBBits* dest, int x, int y, int sx, int sy, int dx, int dy);

    TNotifyEvent OnClick;
    TNotifyEvent OnCreate;
    TNotifyEvent OnRelease;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TMouseWheelEvent OnMouseWheel;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnChange;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnAnime;
    TXePanelDrawEvent OnDraw;

protected:
    void Notification(TComponent* component, TOperation operation) override;
    // The panel's rectangle in its own client space, and in its parent's.
    TXeRect ClientRect() const { return RectAt(0, 0, FSizeX, FSizeY); }
    TXeRect RectInParent() const { return RectAt(FOffsetX, FOffsetY, FSizeX, FSizeY); }
    // Block height of the image strip (0 without an image).
    int BlockHeight() const;
    // Forgets Image and Alpha without dirtying the panel (their owner is about to free them).
    void DetachImages();

private:
    // A guard on a panel for the length of a call that runs handlers: Gone tells that the panel
    // was destroyed meanwhile (a guard on null is gone from the start). Guards live on the caller's stack, linked into the panel's list, so
    // guarding allocates nothing.
    class TGuard {
    public:
        explicit TGuard(TXeRGBPanel* panel);
        virtual ~TGuard();
        TGuard(const TGuard&) = delete;
        TGuard& operator=(const TGuard&) = delete;
        bool Gone() const { return panel_ == nullptr; }

    protected:
        friend class TXeRGBPanel;
        // The guarded panel's child list changed at index.
        virtual void Removed(int /*index*/) {}
        virtual void Inserted(int /*index*/) {}

        TXeRGBPanel* panel_;
        TGuard* next_ = nullptr;
    };

    // A walk over the children that are there when it starts, bottom to top or top to bottom,
    // following the list while handlers change it: a child removed before it is reached is
    // skipped, a child added meanwhile is not visited, and Next gives null once the parent is gone.
    class TChildWalk : public TGuard {
    public:
        TChildWalk(TXeRGBPanel* parent, bool topFirst);
        TXeRGBPanel* Next()
        {
            if (Gone())
                return nullptr;
            if (topFirst_)
                return next_ >= 0 ? panel_->FChildren[static_cast<std::size_t>(next_--)] : nullptr;
            return next_ < end_ ? panel_->FChildren[static_cast<std::size_t>(next_++)] : nullptr;
        }

    private:
        void Removed(int index) override;
        void Inserted(int index) override;

        bool topFirst_;
        int next_;
        int end_;
    };

    void ChildRemoved(int index);
    void ChildInserted(int index);
    // SetActiveFromParent(false) on every child but `except`; false when this panel went meanwhile.
    bool DeactivateChildren(const TXeRGBPanel* except);

    // Dirty sets (TXeRGBPanelPaint.cpp): AddModified adds to the own set and tells the ancestors
    // that something below them is dirty, so that collecting and clearing skip clean subtrees.
    void AddModified(const TXeRect& r);
    void MarkDirtyUp();
    // Flags r here and in the children it overlaps but `except`, then tells OnChange; false when
    // this panel is not created or hidden, or when a handler deleted it meanwhile.
    bool FlagHereAndBelow(const TXeRGBPanel* except, const TXeRect& r);
    bool Dirty() const { return FDirtyBelow || !FModifiedSet.IsRectEmpty(); }

    // Painting steps (TXeRGBPanelPaint.cpp).
    bool IsOpaque() const;
    TXeRect UncoveredPart(const TXeRect& r) const;
    bool DrawOwnPart(TXeRGBBits* dst, int x, int y, const TXeRect& v);
    bool DrawImagePart(TXeRGBBits* dst, int x, int y, const TXeRect& v);
    bool DrawChildren(TXeRGBBits* dst, int x, int y, const TXeRect& r);
    void CollectModified(TXeRectSet& out, int dx, int dy, const TXeRect& clip) const;
    // Input helpers (TXeRGBPanelInput.cpp).
    bool ShownAt(int x, int y) const;
    bool ReleaseAt(TMouseButton button, TShiftState shift, int x, int y, bool pressed);
    TXeRGBPanel* Root();
    // Releases the tree's capture when it is held inside this panel's subtree.
    void DropCaptureInSubtree();
    // Moves child to index `to` of the list; dirties it when the order changed.
    void MoveChild(std::size_t from, std::size_t to);
    int IndexOf(const TXeRGBPanel* child) const;
    // DelChild, re-running the activation only when asked.
    void RemoveChild(TXeRGBPanel* child, bool activate);
    // Runs one teardown step, showing an exception through the application.
    template <typename Step> void TeardownStep(Step&& step);

    bool FCreated = false;
    bool FVisible = true;
    bool FKeyControl = false;
    bool FMouseControl = true;
    bool FMouseTrans = false;
    bool FAutoSize = true;
    TXeRGBPanel* FParent = nullptr;
    std::vector<TXeRGBPanel*> FChildren;
    bool FActive = false;
    bool FPressed = false;
    TXeRGBPanel* FMouseCap = nullptr;
    TXeRGBPanel* FHoverChild = nullptr;
    TXeRGBBits* FImage = nullptr;
    TXeAlpha* FAlpha = nullptr;
    TXeRGB FColorKey{};
    TMaskMode FMaskMode = mmNormal;
    int FOffsetX = 0;
    int FOffsetY = 0;
    int FSizeX = 640;
    int FSizeY = 480;
    int FNumBlock = 1;
    int FBlockIndex = 0;
    bool FInBulk = false;
    TXeRectSet FModifiedSet;
    // Some panel below this one may hold dirty rectangles (cleared with ClrModifyToChild).
    bool FDirtyBelow = false;
    AnsiString FText;
    bool FDisposed = false;
    TGuard* FGuards = nullptr;
};
