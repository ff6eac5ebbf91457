// TWinControl: a component that stands for a window on screen, whose handle is a video-service window.
#pragma once

#include "platform/classes/Component.h"
#include "platform/video/VideoBackEnd.h"

// The window a display or a form draws into. The handle belongs to whoever made the window (the
// UI thread's host window); the control only refers to it, and a null handle means "no window yet".
class TWinControl : public TComponent {
public:
    explicit TWinControl(TComponent* owner, video::VideoWindow* handle = nullptr)
        : TComponent(owner), handle_(handle)
    {
    }

    video::VideoWindow* Handle() const { return handle_; }
    void SetHandle(video::VideoWindow* handle) { handle_ = handle; }

    // The screen position of a point of the client area ((0, 0) is the client area's top-left).
    video::Point ClientToScreen(video::Point p) const
    {
        if (handle_ == nullptr)
            return p;
        const video::Point origin = handle_->ClientOrigin();
        return {p.x + origin.x, p.y + origin.y};
    }

private:
    video::VideoWindow* handle_;
};
