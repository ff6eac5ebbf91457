// PlacePlate: the place-name plate that slides in from the left when the scenario enters a place,
// stays 60 steps and slides out again; its picture "AvgPlace%02d.png" is loaded when it opens.
#pragma once

#include "scenario/windows/PlateSlide.h"

#include <cstdint>

class TFileMan;
class TXeRGBPanel;

class PlacePlate {
public:
    static constexpr int SlideSteps = 8;
    static constexpr int ShownSteps = 60;
    static constexpr int Top = 65;
    static constexpr int Left = 65;

    void SetPanel(TXeRGBPanel* panel) { panel_ = panel; }
    TXeRGBPanel* Panel() const { return panel_; }

    WindowState State() const { return slide_.State(); }
    bool IsActive() const { return State() != wsIdle; }
    bool IsReady() const;
    // False (closed at once) when the picture of that place is missing or cannot be loaded.
    bool Open(std::int32_t place, TFileMan* files);
    // At once: the picture is freed and the plate hidden.
    void Close();
    // One slide step; returns IsActive.
    bool Update(bool finish);

private:
    void PlaceAt(int stepsLeft);

    TXeRGBPanel* panel_ = nullptr;
    PlateSlide slide_{SlideSteps, ShownSteps};
};
