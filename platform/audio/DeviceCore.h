// DeviceCore: what a device and its buffers share: the mixer, the output with its clock, the
// listener, and the list of secondary buffers.
#pragma once

#include "platform/audio/AudioBackEnd.h"
#include "platform/audio/Mixer.h"
#include "platform/audio/PlaybackClock.h"

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

namespace audio {

class SecondaryBuffer;

// Threads: Render runs on the output's thread; everything else on control threads.
// outputLock_ guards output_ and format_; renderFormat_ changes only while no output is open.
// buffersLock_ guards buffers_. The listener position is atomic (the mixer reads it).
class DeviceCore final : public Renderer {
public:
    static constexpr std::size_t kMaxVoices = 1024;

    explicit DeviceCore(BackEnd& backEnd);
    ~DeviceCore();
    DeviceCore(const DeviceCore&) = delete;
    DeviceCore& operator=(const DeviceCore&) = delete;

    BackEnd& Back() const { return back_; }
    Mixer& Voices() { return mixer_; }

    // Opens the output in the current format unless it is open; false when the back end refuses.
    bool StartOutput();
    // Changes the output's format, restarting an open output in it.
    bool SetOutputFormat(const PcmFormat& format);
    PcmFormat OutputFormat() const;

    // The output frame heard now, and the frames mixed so far.
    std::uint64_t AudibleFrame() { return clock_.AudibleFrame(back_.NowNs()); }
    std::uint64_t MixedFrames() const { return mixed_.load(std::memory_order_acquire); }

    void SetListenerPosition(float x, float y, float z);
    std::array<float, 3> ListenerPosition() const;

    void AddBuffer(SecondaryBuffer* buffer);
    void RemoveBuffer(SecondaryBuffer* buffer);
    // Takes every secondary buffer's memory away (tests of lost buffers).
    void LoseBuffers();

    void Render(std::span<std::uint8_t> out, std::uint32_t frames, std::int64_t nowNs,
                std::uint32_t latencyFrames) noexcept override;

private:
    BackEnd& back_;
    Mixer mixer_{kMaxVoices};
    PlaybackClock clock_;
    std::atomic<std::uint64_t> mixed_{0};

    mutable std::mutex outputLock_;
    std::unique_ptr<OutputStream> output_;
    PcmFormat format_;
    PcmFormat renderFormat_;

    std::array<std::atomic<float>, 3> listener_{};

    std::mutex buffersLock_;
    std::vector<SecondaryBuffer*> buffers_;
};

} // namespace audio
