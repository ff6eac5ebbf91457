// The manual-clock audio back end: an output that mixes only when the test advances its clock,
// and keeps what it mixed for the test to read.
//
// The clock counts frames of the open output's rate. Advance moves it on; each time it passes a
// period boundary (counted from when the output opened) the output mixes one period at that time,
// as a real device asks for its next period, and the frames become audible latencyFrames later.
// After each period, Advance waits (unless told not to) until every notification the period
// signalled has been handled by its waiting thread, so refills and end notices happen in step
// with the frames the test advances. Nothing here reads the wall clock.
//
// Threads: Advance, TakeOutput and the settings from the test's thread; Open and the output's
// destructor from any control thread (they wait for a period being mixed); NowNs from any thread.
// lock_ guards the open output, the clock state and the captured frames; it is never held while
// Advance waits for notifications. The back end must outlive its outputs.
#pragma once

#include "platform/audio/AudioBackEnd.h"
#include "platform/audio/EventSet.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace audio {

class ManualAudio : public BackEnd {
public:
    struct Settings {
        std::uint32_t periodFrames = 256;
        std::uint32_t latencyFrames = 256;
        bool keepOutput = true; // keep the mixed frames for TakeOutput
        bool openFails = false; // Open refuses (a machine whose device cannot be opened)
    };
    enum class Sync { WaitForNotifications, NoWait };

    ManualAudio();
    ~ManualAudio() override;

    // Read when an output opens (keepOutput: at each period).
    Settings settings;

    const char* Name() const override { return "manual"; }
    std::unique_ptr<OutputStream> Open(const PcmFormat& format, Renderer& renderer) override;
    std::int64_t NowNs() const override { return nowNs_.load(std::memory_order_acquire); }
    std::shared_ptr<NotifyTracker> Tracker() const override { return tracker_; }

    // Moves the clock `frames` frames on, mixing a period at each boundary passed (a boundary at
    // the new clock value is mixed by the next call). False when a wait for notifications gave up.
    bool Advance(std::uint64_t frames, Sync sync = Sync::WaitForNotifications);
    // Frames since the back end was made.
    std::uint64_t Clock() const;
    bool IsOpen() const;
    // The open output's format (the last one's after it closed).
    PcmFormat Format() const;
    // The frames mixed since the last call, in the output's format.
    std::vector<std::uint8_t> TakeOutput();
    // Frames mixed since the back end was made.
    std::uint64_t MixedFrames() const;

private:
    class Output;
    friend class Output;
    void Close(Output* output);
    void SetClock(std::uint64_t clock);

    mutable std::mutex lock_;
    Output* open_ = nullptr;
    PcmFormat format_;
    std::uint64_t clock_ = 0;
    std::uint64_t nextPeriod_ = 0;
    std::int64_t baseNs_ = 0;      // time at baseFrames_
    std::uint64_t baseFrames_ = 0; // clock when the rate last changed
    std::uint64_t mixedFrames_ = 0;
    std::vector<std::uint8_t> period_;
    std::vector<std::uint8_t> captured_;
    std::atomic<std::int64_t> nowNs_{0};
    std::shared_ptr<NotifyTracker> tracker_ = std::make_shared<NotifyTracker>();
};

} // namespace audio
