// TXeRGBBtn: the clickable button panel.
#include "graphics/panels/TXeRGBBtn.h"

#include <algorithm>

namespace {

// The owner-only form's size.
constexpr int kButtonWidth = 98;
constexpr int kButtonHeight = 31;

} // namespace

TXeRGBBtn::TXeRGBBtn(TComponent* owner) : TXeRGBPanel(owner)
{
    SetSizeX(kButtonWidth);
    SetSizeY(kButtonHeight);
}

TXeRGBBtn::TXeRGBBtn(TComponent* owner, TXeRGBPanel* parent) : TXeRGBPanel(owner, parent) {}

TXeRGBBtn::~TXeRGBBtn()
{
    Dispose();
}

void TXeRGBBtn::SetEnabled(bool enabled)
{
    if (enabled == FEnabled)
        return;
    FEnabled = enabled;
    ChangeState();
}

void TXeRGBBtn::SetSelected(bool selected)
{
    if (selected == FSelected)
        return;
    FSelected = selected;
    ChangeState();
}

void TXeRGBBtn::SetPattern(int& field, int n, int least)
{
    if (n < least || n == field)
        return;
    field = n;
    SetNumBlock(FPatNormal + FPatFocus + FPatSelected + FPatDown + FPatDisable);
    ChangeState();
}

void TXeRGBBtn::SetPatNormal(int n) { SetPattern(FPatNormal, n, 1); }
void TXeRGBBtn::SetPatFocus(int n) { SetPattern(FPatFocus, n, 0); }
void TXeRGBBtn::SetPatSelected(int n) { SetPattern(FPatSelected, n, 0); }
void TXeRGBBtn::SetPatDown(int n) { SetPattern(FPatDown, n, 0); }
void TXeRGBBtn::SetPatDisable(int n) { SetPattern(FPatDisable, n, 0); }

void TXeRGBBtn::SetAnimeWait(int ticks)
{
    if (ticks >= 0)
        FAnimeWait = ticks;
}

void TXeRGBBtn::SetAutoFocus(bool on)
{
    FAutoFocus = on;
    FFocus = false;
    if (FPatFocus > 0)
        ChangeState();
}

void TXeRGBBtn::SetFocus(bool focus)
{
    if (FAutoFocus)
        return;
    FFocus = focus;
    if (FPatFocus > 0)
        ChangeState();
}

void TXeRGBBtn::SetAnimeType(TBtnAnimeType type)
{
    if (type == FAnimeType)
        return;
    FAnimeType = type;
    if (type == batWraparound)
        FForward = true;
}

// First match wins: disabled, selected, down (pressed or selected), focus, normal.
TXeRGBBtn::TRange TXeRGBBtn::ChosenRange() const
{
    const int n = FPatNormal, f = FPatFocus, s = FPatSelected, d = FPatDown, x = FPatDisable;
    if (!FEnabled && x > 0)
        return {n + f + s + d, x};
    if (FSelected && s > 0)
        return {n + f, s};
    if ((Pressed() || FSelected) && d > 0)
        return {n + f + s, d};
    if (FFocus && f > 0)
        return {n, f};
    return {0, n};
}

void TXeRGBBtn::ChangeState()
{
    SetBlockIndex(ChosenRange().first);
    FTick = 0;
}

int TXeRGBBtn::NextBlock(const TRange& range, int index)
{
    const int lo = range.first;
    const int hi = range.first + range.count;
    int next = 0;
    if (FForward) {
        next = index + 1;
        if (next >= hi) {
            if (FAnimeType == batRoundtrip) {
                FForward = false;
                next = hi - 2;
            } else {
                next = lo;
            }
        }
    } else {
        next = index - 1;
        if (next < lo) {
            FForward = true;
            next = lo + 1;
        }
    }
    return std::clamp(next, lo, hi - 1);
}

void TXeRGBBtn::CallOnAnime()
{
    if (!Visible())
        return;
    if (++FTick >= FAnimeWait) {
        FTick = 0;
        const int next = NextBlock(ChosenRange(), BlockIndex());
        if (next != BlockIndex())
            SetBlockIndex(next);
    }
    TXeRGBPanel::CallOnAnime();
}

void TXeRGBBtn::CallOnClick()
{
    if (FEnabled)
        TXeRGBPanel::CallOnClick();
}

void TXeRGBBtn::CallOnMouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (FPatDown > 0)
        ChangeState();
    TXeRGBPanel::CallOnMouseDown(button, shift, x, y);
}

void TXeRGBBtn::CallOnMouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (FPatDown > 0)
        ChangeState();
    TXeRGBPanel::CallOnMouseUp(button, shift, x, y);
}

void TXeRGBBtn::CallOnMouseEnter()
{
    if (FAutoFocus) {
        FFocus = true;
        if (FPatFocus > 0)
            ChangeState();
    }
    TXeRGBPanel::CallOnMouseEnter();
}

void TXeRGBBtn::CallOnMouseLeave()
{
    if (FAutoFocus) {
        FFocus = false;
        if (FPatFocus > 0)
            ChangeState();
    }
    TXeRGBPanel::CallOnMouseLeave();
}

void TXeRGBBtn::StatusClear()
{
    FFocus = false;
    TXeRGBPanel::StatusClear();
}
