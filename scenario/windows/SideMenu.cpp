#include "scenario/windows/SideMenu.h"

#include "graphics/panels/TXeRGBBtn.h"
#include "scenario/windows/SubWinHost.h"

#include <algorithm>

void SideMenu::SetPanels(TXeRGBPanel* root, const std::array<TXeRGBBtn*, ButtonCount>& buttons)
{
    root_ = root;
    buttons_ = buttons;
}

void SideMenu::Open(bool atOnce)
{
    hovered_ = -1;
    for (int i = 0; i < ButtonCount; ++i)
        buttons_[static_cast<std::size_t>(i)]->SetOffsetX(atOnce ? FinalX(i) : HiddenX);
    root_->SetVisible(true);
    step_ = 0;
    state_ = atOnce ? wsIdle : wsOpening;
}

void SideMenu::Close(bool atOnce)
{
    if (atOnce) {
        root_->SetVisible(false);
        state_ = wsIdle;
        return;
    }
    for (int i = 0; i < ButtonCount; ++i)
        buttons_[static_cast<std::size_t>(i)]->SetOffsetX(FinalX(i));
    root_->SetVisible(true);
    step_ = 0;
    state_ = wsClosing;
}

void SideMenu::PlaceButtons()
{
    for (int i = 0; i < ButtonCount; ++i) {
        const int lag = state_ == wsOpening ? step_ - 4 - i : 8 - step_ - i;
        buttons_[static_cast<std::size_t>(i)]->SetOffsetX(std::max(HiddenX, FinalX(i) + std::min(0, 100 * lag)));
    }
}

bool SideMenu::Update()
{
    if (state_ != wsOpening && state_ != wsClosing)
        return IsActive();
    if (step_ >= Steps) {
        if (state_ == wsClosing)
            root_->SetVisible(false);
        state_ = wsIdle;
    } else {
        ++step_;
        PlaceButtons();
    }
    return IsActive();
}

void SideMenu::EnableButton(int i, bool on)
{
    if (i >= 0 && i < ButtonCount)
        buttons_[static_cast<std::size_t>(i)]->SetEnabled(on);
}

bool SideMenu::Usable(int i) const
{
    const TXeRGBBtn* button = buttons_[static_cast<std::size_t>(i)];
    return button->Visible() && button->Enabled();
}

void SideMenu::MoveMouseTo(int i)
{
    hovered_ = i;
    const TXeRGBBtn* button = buttons_[static_cast<std::size_t>(i)];
    int x = button->SizeX() - 8;
    int y = 8;
    button->ClientToScreen(x, y);
    host_.SetMousePos(x, y);
}

void SideMenu::MoveMouseToPrevious()
{
    if (state_ != wsIdle)
        return;
    if (hovered_ < 0) {
        MoveMouseToNext();
        return;
    }
    int i = hovered_;
    while (i > 0) {
        --i;
        if (Usable(i))
            break;
    }
    if (Usable(i))
        MoveMouseTo(i);
    else
        MoveMouseToNext();
}

void SideMenu::MoveMouseToNext()
{
    if (state_ != wsIdle)
        return;
    int i = std::max(hovered_, 0);
    while (i < ButtonCount - 1) {
        ++i;
        if (Usable(i))
            break;
    }
    MoveMouseTo(i);
}

void SideMenu::PressSelected()
{
    if (state_ == wsIdle && hovered_ >= 0 && Usable(hovered_))
        buttons_[static_cast<std::size_t>(hovered_)]->CallOnClick();
}

void SideMenu::Cancel()
{
    if (state_ != wsIdle)
        return;
    chosen_ = -1;
    Fire();
}

void SideMenu::ButtonClick(TObject* sender)
{
    if (state_ != wsIdle)
        return;
    host_.PlaySystemSE("SysSEClick01", files_);
    chosen_ = static_cast<TComponent*>(sender)->Tag;
    Fire();
}

void SideMenu::MouseDown(TMouseButton button)
{
    if (state_ != wsIdle || button != mbRight)
        return;
    chosen_ = -1;
    Fire();
}

void SideMenu::MouseEnter(TObject* sender)
{
    auto* button = static_cast<TXeRGBBtn*>(sender);
    if (!button->Enabled())
        return;
    host_.PlaySystemSE("SysSEClick02", files_);
    hovered_ = button->Tag;
}
