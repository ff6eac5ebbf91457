// AvgModes: the adventure screen's skip, auto, Ctrl and hurry modes, the sub-screen level they
// depend on, and what the auto and skip buttons and a click do to them.
#pragma once

#include "scenario/adventure/AvgWaits.h"

class AvgModes {
public:
    bool Skip() const { return skip_; }
    bool Auto() const { return auto_; }
    bool Ctrl() const { return ctrl_; }
    bool Hurry() const { return hurry_; }
    void SetCtrl(bool held) { ctrl_ = held; }
    void SetHurry(bool on) { hurry_ = on; }
    // Text not read before stops skip mode's button.
    void StopSkip() { skip_ = false; }
    // 0 none, 1 text hidden or backlog, 2 side menu or dialog, 3 menus or a movie.
    int SubScreen() const { return subScreen_; }
    void SetSubScreen(int level) { subScreen_ = level; }

    // Skip mode or Ctrl held, with no sub-screen and the record's no-skip flag clear.
    bool Skipping(bool noSkip) const { return subScreen_ == 0 && !noSkip && (skip_ || ctrl_); }
    // Skipping, or a hurried wait under the same conditions.
    bool Fast(bool noSkip) const { return subScreen_ == 0 && !noSkip && (hurry_ || skip_ || ctrl_); }

    // The buttons toggle their mode (switching the other off) in the timed, click and printing
    // waits; false elsewhere, where the press counts as a click.
    bool ToggleAuto(WaitState state);
    bool ToggleSkip(WaitState state);
    // A click outside the choice and the extra selection switches skip and auto off; in the timed,
    // click, stage, printing and decided waits it hurries the wait.
    void Click(WaitState state);
    // Everything off, as when a script (re)starts.
    void Reset() { *this = AvgModes(); }

private:
    static bool Toggles(WaitState state);

    bool skip_ = false;
    bool auto_ = false;
    bool ctrl_ = false;
    bool hurry_ = false;
    int subScreen_ = 0;
};
