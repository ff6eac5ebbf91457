// TFramePulse: the frame timer's pulse schedule (30 pulses a second from 10 ms or 5 ms ticks) and the
// frame-due rule of the four FPS modes.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>

// FPS modes, as stored in the settings file's "FPSMode".
enum TFPSMode : std::uint8_t { fps15 = 0, fps30 = 1, fpsFull = 2, fpsNoSync = 3 };
inline constexpr std::uint8_t kFPSModeCount = 4;

// Threads: Tick runs on the timer thread; TakeDue on the frame thread that holds the frame lock;
// Reset on the logic thread. Every counter is atomic: a Reset racing a pulse costs at most one pulse
// more or less for the next frame.
class TFramePulse {
public:
    // One timer tick of `periodMs`: adds the period to the millisecond count and moves the tick
    // index; true when the tick brings a pulse (ticks 3, 6, 10 of 10 at 10 ms; 6, 13, 20 of 20
    // otherwise), which is then counted.
    bool Tick(std::uint32_t periodMs);
    // TickIndex, PulseCount and PulsesDone back to 0; MusicMs is left alone.
    void Reset();
    // The frame decision: the pulses since the last frame when a frame is due in `mode` (15FPS: two
    // or more, 30FPS: one or more, FULL and NOSYNC: always), consuming them; empty when no frame is
    // due. Brings both pulse counters down together once more than a million were consumed.
    std::optional<int> TakeDue(std::uint8_t mode);

    int TickIndex() const { return tickIndex_; }
    int PulseCount() const { return pulseCount_; }
    int PulsesDone() const { return pulsesDone_; }
    // Milliseconds counted by the timer; the song screen sets and reads it as its clock.
    int MusicMs() const { return musicMs_; }
    void SetMusicMs(int ms) { musicMs_ = ms; }

private:
    static constexpr int kWrapAt = 1000000;

    std::atomic<int> tickIndex_{0};
    std::atomic<int> pulseCount_{0};
    std::atomic<int> pulsesDone_{0};
    std::atomic<int> musicMs_{0};
};
