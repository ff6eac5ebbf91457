// AvgTalking: the adventure screen's talking animation: on for a number of frames, or only while a
// voice plays or a text window prints, and whether the stage shows it.
#pragma once

#include <cstdint>
#include <optional>

class AvgTalking {
public:
    // Talking on for `milliseconds` (frames of 1/30 second, at least 1); 0 or less: no countdown.
    void Start(std::int32_t milliseconds);
    void Stop();
    // Counts the countdown down by `frames`, not below 0.
    void Count(std::int32_t frames);
    // Whether the stage should show talking now; a value only when that changed since the last call.
    std::optional<bool> Update(bool voicePlaying, bool printing);

    bool On() const { return on_; }
    bool Shown() const { return shown_; }
    std::int32_t Countdown() const { return countdown_; }

private:
    bool on_ = false;
    bool shown_ = false;
    std::int32_t countdown_ = 0;
};
