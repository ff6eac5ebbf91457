// PrimaryBuffer: the buffer that stands for the output: its format, master volume, play flag and
// the 3-D listener.
#pragma once

#include "platform/audio/AudioBuffer.h"

#include <array>
#include <atomic>
#include <memory>

namespace audio {

class DeviceCore;

// Threads: any control thread. The play flag is only a flag (the output runs while the device
// lives); the volume is the mixer's master volume; the listener position is read by the mixer.
class PrimaryBuffer final : public Buffer, public Listener3D {
public:
    // The position the primary buffer reports wraps at this many frames.
    static constexpr std::uint32_t kFrames = 4096;

    PrimaryBuffer(std::shared_ptr<DeviceCore> core, std::uint32_t flags);

    BufferCaps GetCaps() const override;
    PcmFormat GetFormat() const override;
    bool SetFormat(const PcmFormat& format) override;
    std::uint32_t GetStatus() const override;
    bool Play(bool looping) override;
    bool Stop() override;
    bool GetCurrentPosition(std::uint32_t* play, std::uint32_t* write) override;
    bool SetCurrentPosition(std::uint32_t) override { return false; }
    bool GetVolume(long* volume) const override;
    bool SetVolume(long volume) override;
    bool GetPan(long* pan) const override;
    bool SetPan(long) override { return false; }
    bool GetFrequency(std::uint32_t* frequency) const override;
    bool SetFrequency(std::uint32_t) override { return false; }
    bool Lock(std::uint32_t, std::uint32_t, LockedRegion& first, LockedRegion& second) override;
    bool Unlock(const LockedRegion&, const LockedRegion&) override { return false; }
    bool Restore() override { return true; }
    bool SetNotificationPositions(std::span<const NotifyPosition>, std::shared_ptr<EventSet>) override
    {
        return false;
    }
    std::uint32_t EndCount() const override { return 0; }
    Listener3D* GetListener() override { return (flags_ & kBufCtrl3D) ? this : nullptr; }

    // Listener3D
    bool SetPosition(float x, float y, float z) override;
    bool SetVelocity(float x, float y, float z) override;
    bool SetOrientation(float fx, float fy, float fz, float tx, float ty, float tz) override;

private:
    std::shared_ptr<DeviceCore> core_;
    const std::uint32_t flags_;
    std::atomic<bool> playing_{false};
    std::atomic<bool> looping_{false};
    std::array<float, 3> velocity_{};
    std::array<float, 6> orientation_{};
};

} // namespace audio
