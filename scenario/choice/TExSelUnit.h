// TExSelUnit: the full-screen choice window the adventure screen lays over the stage: it fades in
// over 16 frames, stays while its owner waits for the player, reports clicks and its own progress
// through one callback, and fades out again. What the picture shows and what a click means are the
// owner's business.
//
// Threads: the logic thread only (the owner's frame step and the panel tree's input replay).
#pragma once

#include "graphics/panels/TXeRGBPanel.h"
#include "platform/classes/Component.h"

#include <cstdint>
#include <functional>
#include <memory>

class TFileMan;

class TExSelUnit : public TComponent {
public:
    // The owner's notification, bound to the owner's data, called with one of the codes below.
    using TExSelCallback = std::function<void(int code)>;

    // States.
    static constexpr std::uint8_t kStateNone = 0; // not initialised
    static constexpr std::uint8_t kStateHidden = 1;
    static constexpr std::uint8_t kStateFadingIn = 2;
    static constexpr std::uint8_t kStateFadingOut = 3;
    static constexpr std::uint8_t kStateShown = 4;
    // Codes given to the callback.
    static constexpr int kCodeLeftClick = 1;
    static constexpr int kCodeRightClick = 2;
    static constexpr int kCodeBecameShown = 5;
    static constexpr int kCodeShown = 6; // every frame step while shown
    static constexpr int kFadeFrames = 16;
    // The window's picture in the data files: one full-screen block (or a strip of them).
    static constexpr const char* kPictureName = "ExSelWin.png";

    explicit TExSelUnit(TComponent* owner);
    ~TExSelUnit() override;

    // Makes the window's panel (640 x 480, hidden), whose picture is loaded from `files` when the
    // panel is created; state hidden.
    bool Initialize(TFileMan* files);
    // Releases the panel; state 0.
    void Finalize();
    bool Created() const { return created_; }

    // The window becomes a child of the owner's panel, or of none.
    void Attach(TXeRGBPanel* parent);
    void Detach();
    void SetCallback(TExSelCallback callback) { callback_ = std::move(callback); }

    bool IsBusy() const { return state_ != kStateHidden; }
    bool IsShown() const { return state_ == kStateShown; }
    // Stores the owner's item index unless it is negative.
    void SetIndex(int index);
    int GetIndex() const { return index_; }
    // -1 from Show until the window is fully shown, then 0.
    int GetSelected() const { return selected_; }
    std::uint8_t State() const { return state_; }
    int FadeFrames() const { return fadeFrames_; }
    TXeRGBPanel* Window() const { return window_.get(); }

    void Show(bool atOnce);
    void Hide(bool atOnce);
    // One frame step of the owner; `skip` ends a fade in this step.
    void Update(bool skip);
    // The blend level (0 to 128, 128 opaque) of the window in its current fade step.
    int FadeLevel() const;

    // The panel's handlers.
    void ExSelWinMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
    bool ExSelPanelDraw(TObject* sender, TXeRGBBits* dest, int x, int y, int sx, int sy, int w, int h);

private:
    void BecomeShown();
    void Notify(int code);
    void WindowCreated();
    void WindowReleased();

    bool created_ = false;
    TFileMan* files_ = nullptr;
    std::uint8_t state_ = kStateNone;
    int index_ = 0;
    int fadeFrames_ = 0;
    int selected_ = -1;
    TExSelCallback callback_;
    std::unique_ptr<TXeRGBPanel> window_;
};
