// TFPSCounter: the frame-rate meter: frames counted in five windows of 250 ms on the millisecond clock.
#pragma once

#include <array>
#include <cstdint>

// Tick is called once per drawn frame with the millisecond clock's time and returns the frames of
// the last second (the four windows before the current one), at most 999; 0 after the drawing
// stalled for a second or more. Times are compared as unsigned differences, so the clock's wrap
// from 0xFFFFFFFF to 0 is no stall. One thread at a time (the drawing, under the display lock).
class TFPSCounter {
public:
    TFPSCounter() { Reset(); }

    void Reset();
    int GetFPS() const { return value_; }
    int Tick(std::uint32_t now);

private:
    static constexpr int kWindows = 5;
    static constexpr std::uint32_t kWindowMs = 250;
    static constexpr std::uint32_t kStallMs = 1000;
    static constexpr int kMaxFPS = 999;

    std::array<std::uint32_t, kWindows> start_{};
    std::array<std::uint32_t, kWindows> count_{};
    int index_ = 0;
    int value_ = 0;
};
