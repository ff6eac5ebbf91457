#include "scenario/windows/FadedWindow.h"

#include "graphics/panels/TXeRGBPanel.h"

bool FadedWindow::IsReady() const { return state_ != wsClosing && root_->Visible(); }

bool FadedWindow::Open(bool atOnce)
{
    root_->SetVisible(true);
    ShowChildren(atOnce);
    if (atOnce) {
        state_ = wsIdle;
    } else {
        counter_ = FadeSteps;
        state_ = wsOpening;
        root_->SetModify();
    }
    return IsActive();
}

bool FadedWindow::Close(bool atOnce)
{
    if (atOnce) {
        root_->SetVisible(false);
        Closed();
        state_ = wsIdle;
    } else {
        ShowChildren(false);
        counter_ = FadeSteps;
        state_ = wsClosing;
        root_->SetModify();
    }
    return IsActive();
}

bool FadedWindow::Update(int, bool finish)
{
    if (state_ != wsOpening && state_ != wsClosing)
        return IsActive();
    if (finish)
        counter_ = 0;
    if (counter_ < 1) {
        const bool opening = state_ == wsOpening;
        state_ = wsIdle;
        if (opening) {
            ShowChildren(true);
        } else {
            root_->SetVisible(false);
            Closed();
        }
    } else {
        --counter_;
    }
    root_->SetModify();
    return IsActive();
}
