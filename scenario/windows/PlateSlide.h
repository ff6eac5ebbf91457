// PlateSlide: the steps of a plate that slides in, stays a number of steps and slides out again;
// the plates place their panels where each step says.
#pragma once

#include "scenario/windows/WindowDrawing.h"

class PlateSlide {
public:
    // What a step asks of the plate: to be placed with `stepsLeft` of the slide steps still to go
    // to its final place, or to be hidden because it has left.
    struct Move {
        bool place = false;
        int stepsLeft = 0;
        bool ended = false;
    };

    PlateSlide(int slideSteps, int shownSteps) : slideSteps_(slideSteps), shownSteps_(shownSteps) {}

    WindowState State() const { return state_; }
    int Counter() const { return counter_; }

    void SlideIn() { Set(wsOpening, slideSteps_); }
    void Show() { Set(wsPrinting, shownSteps_); }
    void SlideOut() { Set(wsClosing, slideSteps_); }
    void End() { state_ = wsIdle; }
    // A plate sliding one way turns back from where it is.
    void TurnBack() { Set(state_ == wsOpening ? wsClosing : wsOpening, slideSteps_ - counter_); }

    // One step; with `finish` the counter is taken as 0, so the slide or the stay ends now.
    Move Step(bool finish)
    {
        if (finish)
            counter_ = 0;
        switch (state_) {
        case wsOpening:
            if (counter_ < 1) {
                Show();
                return {true, 0, false};
            }
            return {true, --counter_, false};
        case wsPrinting:
            if (--counter_ < 1)
                SlideOut();
            return {};
        case wsClosing:
            if (counter_ < 1) {
                End();
                return {false, 0, true};
            }
            --counter_;
            return {true, slideSteps_ - counter_, false};
        case wsIdle:
            break;
        }
        return {};
    }

private:
    void Set(WindowState state, int counter)
    {
        state_ = state;
        counter_ = counter;
    }

    int slideSteps_;
    int shownSteps_;
    WindowState state_ = wsIdle;
    int counter_ = 0;
};
