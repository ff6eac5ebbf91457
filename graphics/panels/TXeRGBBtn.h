// TXeRGBBtn: the clickable button panel. Its image strip holds consecutive ranges of blocks for
// the states normal, focus (mouse over), selected, down (pressed) and disabled; the button shows
// the first block of the range its state chooses and, when that range has several blocks, steps
// through them on the frame tick (looping or back and forth).
//
// Ranges, with N, F, S, D, X the five counts (NumBlock is kept at their sum): normal [0, N),
// focus [N, N+F), selected [N+F, N+F+S), down [N+F+S, N+F+S+D), disabled [N+F+S+D, ..+X).
#pragma once

#include "graphics/panels/TXeRGBPanel.h"

#include <cstdint>

enum TBtnAnimeType : std::uint8_t { batWraparound = 0, batRoundtrip = 1 };

class TXeRGBBtn : public TXeRGBPanel {
public:
    // The owner-only form is 98 x 31; the one with a parent keeps the panel's size.
    explicit TXeRGBBtn(TComponent* owner);
    TXeRGBBtn(TComponent* owner, TXeRGBPanel* parent);
    ~TXeRGBBtn() override;

    // When false, OnClick is not fired and the disabled range is shown (if any).
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool enabled);
    bool Selected() const { return FSelected; }
    void SetSelected(bool selected);
    int PatNormal() const { return FPatNormal; }
    int PatFocus() const { return FPatFocus; }
    int PatSelected() const { return FPatSelected; }
    int PatDown() const { return FPatDown; }
    int PatDisable() const { return FPatDisable; }
    // Normal takes at least 1, the others at least 0.
    void SetPatNormal(int n);
    void SetPatFocus(int n);
    void SetPatSelected(int n);
    void SetPatDown(int n);
    void SetPatDisable(int n);
    // Frame ticks per animation step (0 steps on every tick, like 1).
    int AnimeWait() const { return FAnimeWait; }
    void SetAnimeWait(int ticks);
    // While on, the focus follows the mouse entering and leaving.
    bool AutoFocus() const { return FAutoFocus; }
    void SetAutoFocus(bool on);
    // Sets the focus by hand; only while AutoFocus is off.
    bool Focused() const { return FFocus; }
    void SetFocus(bool focus);
    TBtnAnimeType AnimeType() const { return FAnimeType; }
    void SetAnimeType(TBtnAnimeType type);

    void CallOnClick() override;
    void CallOnMouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void CallOnMouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void CallOnMouseEnter() override;
    void CallOnMouseLeave() override;
    void CallOnAnime() override;
    void StatusClear() override;

private:
    // A range of blocks: its first block and how many.
    struct TRange {
        int first;
        int count;
    };
    TRange ChosenRange() const;
    // Shows the first block of the chosen range and restarts the tick count.
    void ChangeState();
    // The block after `index` in the range, turning at its ends by the animation type.
    int NextBlock(const TRange& range, int index);
    void SetPattern(int& field, int n, int least);

    bool FEnabled = true;
    bool FSelected = false;
    int FPatNormal = 1;
    int FPatFocus = 0;
    int FPatSelected = 0;
    int FPatDown = 0;
    int FPatDisable = 0;
    int FAnimeWait = 1;
    bool FAutoFocus = true;
    TBtnAnimeType FAnimeType = batWraparound;
    int FTick = 0;
    bool FForward = true;
    bool FFocus = false;
};
