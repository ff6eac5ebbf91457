// FadedWindow: the open and close life cycle the text windows, the backlog and the choice list
// share: the window root shown or hidden at once, or with a five-step fade during which its
// children stay hidden, a finish request cutting the fade short.
#pragma once

#include "scenario/windows/WindowDrawing.h"

class TXeRGBPanel;

class FadedWindow {
public:
    virtual ~FadedWindow() = default;

    WindowState State() const { return state_; }
    // The fade countdown while opening or closing.
    int Counter() const { return counter_; }
    bool IsActive() const { return state_ != wsIdle; }
    // False while closing; otherwise whether the window is shown.
    bool IsReady() const;
    TXeRGBPanel* Root() const { return root_; }

    bool Open(bool atOnce);
    bool Close(bool atOnce);
    // One step of a fade (nothing in another state); returns IsActive.
    bool Update(int frames, bool finish);

protected:
    explicit FadedWindow(TXeRGBPanel* root = nullptr) : root_(root) {}
    // The children as an open window shows them, or all hidden.
    virtual void ShowChildren(bool open) = 0;
    // After the window was hidden: what the next open needs shown again.
    virtual void Closed() = 0;

    TXeRGBPanel* root_;
    WindowState state_ = wsIdle;
    int counter_ = 0;
};
