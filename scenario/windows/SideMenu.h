// SideMenu: the column of nine picture buttons that slide in one after another, button 0 first,
// and settle as a staircase; the player picks one with the mouse or the keys, and the menu tells
// the adventure screen by its event (the choice is read with Selected, -1 for none or cancel).
#pragma once

#include "platform/classes/Controls.h"
#include "scenario/windows/WindowDrawing.h"

#include <array>
#include <functional>

class TFileMan;
class TObject;
class TXeRGBBtn;
class TXeRGBPanel;
class SubWinHost;

class SideMenu {
public:
    static constexpr int ButtonCount = 9;
    static constexpr int Steps = 12;
    static constexpr int HiddenX = -180;

    explicit SideMenu(SubWinHost& host) : host_(host) {}
    void SetPanels(TXeRGBPanel* root, const std::array<TXeRGBBtn*, ButtonCount>& buttons);
    // The data files the menu's system sounds come from.
    void SetFiles(TFileMan* files) { files_ = files; }

    WindowState State() const { return state_; }
    int Step() const { return step_; }
    bool IsActive() const { return state_ != wsIdle; }
    void Open(bool atOnce);
    void Close(bool atOnce);
    // One slide step; returns IsActive.
    bool Update();
    void EnableButton(int i, bool on);
    // The keyboard's "previous" and "next": the hovered button changes and the mouse moves onto it.
    void MoveMouseToPrevious();
    void MoveMouseToNext();
    void PressSelected();
    void Cancel();
    int Selected() const { return chosen_; }
    int Hovered() const { return hovered_; }
    // Button i's final place.
    static int FinalX(int i) { return 190 + 10 * i; }

    // Panel handlers.
    void ButtonClick(TObject* sender);
    void MouseDown(TMouseButton button);
    void MouseEnter(TObject* sender);
    void MouseLeave() { hovered_ = -1; }

    std::function<void()> onEvent;

private:
    bool Usable(int i) const;
    void MoveMouseTo(int i);
    void PlaceButtons();
    void Fire() const
    {
        if (onEvent)
            onEvent();
    }

    SubWinHost& host_;
    TFileMan* files_ = nullptr;
    TXeRGBPanel* root_ = nullptr;
    std::array<TXeRGBBtn*, ButtonCount> buttons_{};
    WindowState state_ = wsIdle;
    int step_ = 0;
    int chosen_ = -1;
    int hovered_ = -1;
};
