// AvgWaits: the adventure screen's wait state with what it allows, and the timed and click waits'
// frame countdowns.
#pragma once

#include <cstdint>

enum class WaitState : std::uint8_t {
    Run = 1,         // the script runs
    Timed,           // a countdown of frames
    Click,           // the player's click (or auto mode's countdown)
    StageChange,     // the stage is changing
    TextPrinting,    // text windows opening, closing or printing
    ChoiceOpening,
    ChoiceClosing,
    Choice,          // the player chooses
    ExSelOpening,
    ExSelClosing,
    ExSel,           // the player selects
    ExSelDecided,    // waiting for the extra selection's close
    Movie,
};

class AvgWaits {
public:
    static constexpr std::int32_t NoEnd = 0x7FFFFFFF;

    WaitState State() const { return state_; }
    // Any state other than Run allows the side menu from then on.
    void Set(WaitState state);
    // Clears the state to Run and the side menu's permission, as a script (re)start does.
    void Reset();

    bool MenuAllowed() const { return menuAllowed_; }
    bool MayHideText() const { return state_ == WaitState::Click || state_ == WaitState::Choice; }
    bool MayOpenBacklog() const { return MayHideText(); }
    bool MayConfigure() const { return MayHideText() || state_ == WaitState::ExSel; }
    bool MaySaveOrLoad() const { return MayConfigure(); }

    // A timed wait of `milliseconds` (in frames of 1/30 second, at least 1); one frame when fast.
    void StartTimed(std::int64_t milliseconds, bool fast);
    // A click wait; in auto mode it ends `autoSkipWait` milliseconds (at least one frame) after the
    // voice stopped.
    void StartClick(std::int32_t autoSkipWait);
    // Steps a timed wait by `frames`; true when it ended (the state is Run again).
    bool StepTimed(std::int32_t frames, bool fast);
    // True when auto mode's countdown has run out; the caller finishes the click wait.
    bool StepAuto(std::int32_t frames, bool voicePlaying);
    std::int32_t Countdown() const { return countdown_; }

private:
    WaitState state_ = WaitState::Run;
    bool menuAllowed_ = false;
    std::int32_t countdown_ = 0;
};
