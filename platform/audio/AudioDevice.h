// Device: the audio output service's entry point: makes the primary buffer, secondary buffers and
// their event sets over one output of a back end, and mixes them in software.
//
// Use: Device::Create on a back end; CreateSoundBuffer with kBufPrimary for the primary buffer
// (its format is the output's), then secondary buffers; fill them with Lock and Unlock, play them
// with Play. The output opens with the first buffer and runs until the device and all of its
// buffers are gone (buffers keep the device's core alive).
//
// Threads: every member may be called from any control thread; buffer creation and release may
// happen on several threads. Nothing here is called on the output's thread.
#pragma once

#include "platform/audio/AudioBackEnd.h"
#include "platform/audio/AudioBuffer.h"
#include "platform/audio/AudioTypes.h"

#include <cstdint>
#include <memory>

namespace audio {

class DeviceCore;
class EventSet;

class Device {
public:
    static std::unique_ptr<Device> Create(BackEnd& backEnd);
    explicit Device(BackEnd& backEnd);
    ~Device();
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    BackEnd& Back() const;

    // A primary buffer (kBufPrimary: bytes and format are ignored) or a secondary buffer; null when
    // the description is invalid, the mixer is full or the output cannot open.
    std::shared_ptr<Buffer> CreateSoundBuffer(const BufferDesc& desc);
    // A secondary buffer sharing `original`'s memory with a play state of its own; null for a
    // primary buffer or a buffer of another device.
    std::shared_ptr<Buffer> DuplicateSoundBuffer(const Buffer& original);
    // Fills everything but the caller's size field.
    void GetCaps(DeviceCaps& caps) const;
    // Events for notification positions, tied to the back end's tracker.
    std::shared_ptr<EventSet> CreateEvents(int count) const;

    // Takes every secondary buffer's memory away, as when another program takes the device (tests).
    void LoseBuffers();
    // The output frame heard now and the output frames mixed so far (diagnostics, benchmarks).
    std::uint64_t AudibleFrame() const;
    std::uint64_t MixedFrames() const;

private:
    std::shared_ptr<DeviceCore> core_;
};

} // namespace audio
