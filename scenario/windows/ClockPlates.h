// ClockPlates: the calendar clock shown as two plates that slide in at the top corners (the date
// plate with month and day at the left, the time plate with hour and minute at the right), stay
// 150 steps and leave by themselves; the displayed clock runs toward the scenario record's clock
// at 1,800 frames a minute and never passes it.
#pragma once

#include "scenario/windows/PlateSlide.h"

#include <array>
#include <cstdint>

class TGameState;
class TXeRGBPanel;

// One plate: its panel, its slide state and counter, and which corner it comes from.
class ClockPlate {
public:
    static constexpr int SlideSteps = 4;
    static constexpr int ShownSteps = 150;

    ClockPlate(bool fromRight) : fromRight_(fromRight) {}
    void SetPanel(TXeRGBPanel* panel) { panel_ = panel; }
    TXeRGBPanel* Panel() const { return panel_; }

    WindowState State() const { return slide_.State(); }
    int Counter() const { return slide_.Counter(); }
    bool IsActive() const { return State() != wsIdle; }
    bool IsReady() const;
    void Open(bool atOnce);
    void Close(bool atOnce);
    // One slide step (the counter taken as 0 with finish).
    void Step(bool finish);

private:
    // The plate's place with c of the four slide steps still to go to its final place.
    void PlaceAt(int c);

    bool fromRight_;
    TXeRGBPanel* panel_ = nullptr;
    PlateSlide slide_{SlideSteps, ShownSteps};
};

// The displayed clock: month, day, hour, minute and frames within the minute (0..1799).
struct ShownClock {
    int month = 1, day = 1, hour = 0, minute = 0, frames = 0;
    bool operator==(const ShownClock&) const = default;
};

struct ClockDigits {
    std::array<TXeRGBPanel*, 4> date{}; // Month1, Month2, Day1, Day2
    std::array<TXeRGBPanel*, 4> time{}; // Hour1, Hour2, Min1, Min2
    TXeRGBPanel* colon = nullptr;       // TimeSep
};

class ClockPlates {
public:
    static constexpr int FramesPerMinute = 1800;
    static constexpr int BlinkFrames = 30;

    ClockPlates() = default;
    void SetPanels(TXeRGBPanel* datePlate, TXeRGBPanel* timePlate, const ClockDigits& digits);

    ClockPlate& Date() { return date_; }
    ClockPlate& Time() { return time_; }
    const ClockPlate& Date() const { return date_; }
    const ClockPlate& Time() const { return time_; }
    const ShownClock& Shown() const { return shown_; }
    int Blink() const { return blink_; }

    // The record's clock, each part clamped to its range (a save file may hold anything).
    static ShownClock TargetOf(const TGameState& state);
    // The displayed clock jumps to the record's, and all digits are set.
    void SetClock(const TGameState& state);
    // Runs the displayed clock by the elapsed frames toward the record's, blinks the colon and
    // steps both plates; true while either plate is not idle.
    bool Update(const TGameState& state, int frames, bool finish);
    void SetDateDigits();
    void SetTimeDigits();

private:
    // The clock after `frames` more frames, the months rolling over without leap years.
    static ShownClock Advance(ShownClock clock, int frames);
    // Month, day, hour, minute (months below 1 counting as twelve more), then frames.
    static bool IsLater(const ShownClock& a, const ShownClock& b);

    ClockPlate date_{false};
    ClockPlate time_{true};
    ClockDigits digits_;
    ShownClock shown_;
    int blink_ = 0;
};
