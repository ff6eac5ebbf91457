// Buffer: a sound buffer of the audio output (the primary buffer, or a secondary buffer the mixer
// plays), with its 3-D controls (Buffer3D) and the primary buffer's listener (Listener3D).
//
// A secondary buffer holds PCM in its own layout and plays from its play cursor, once or looping.
// Positions are bytes from the buffer's start. The play cursor a buffer reports is the audible
// one: the frame heard now (the mixer runs ahead of it by the output's latency), interpolated on
// the output's clock, so it moves smoothly at 1 ms resolution or better. The write cursor is
// where the mixer reads next; data between the two must not change. Notification positions
// signal their events when the mixer's cursor reaches them, and kNotifyAtStop when the buffer
// stops (by Stop or by reaching its end).
//
// The primary buffer stands for the output: its format is the output's format, its volume the
// master volume, and its play state is only a flag (the output runs while the device lives).
//
// Threads: any control thread may call any member; one buffer is driven by one thread at a time.
// Everything the mixer reads is atomic or published before it reads it (Unlock releases the data
// written under Lock), so no member waits for the mixer except SetNotificationPositions and the
// destructor, which wait for a running mix to end (well under a millisecond).
#pragma once

#include "platform/audio/AudioTypes.h"

#include <cstdint>
#include <memory>
#include <span>

namespace audio {

class EventSet;
class Buffer3D;
class Listener3D;

// Part of a locked buffer: `bytes` bytes at `data` (null and 0 when unused).
struct LockedRegion {
    std::uint8_t* data = nullptr;
    std::uint32_t bytes = 0;
};

class Buffer {
public:
    virtual ~Buffer() = default;

    virtual BufferCaps GetCaps() const = 0;
    virtual PcmFormat GetFormat() const = 0;
    // Primary buffer only: the output's format (the output restarts in it). False on a secondary
    // buffer or an invalid format.
    virtual bool SetFormat(const PcmFormat& format) = 0;
    virtual std::uint32_t GetStatus() const = 0;

    // Starts playing at the play cursor, looping or stopping at the end; false when lost.
    virtual bool Play(bool looping) = 0;
    virtual bool Stop() = 0;
    // Audible play cursor and write cursor in bytes.
    virtual bool GetCurrentPosition(std::uint32_t* play, std::uint32_t* write) = 0;
    // Moves the cursor (rounded down to a whole frame); false past the end or on the primary.
    virtual bool SetCurrentPosition(std::uint32_t bytes) = 0;

    // Volume (kVolumeMin..kVolumeMax) and pan (kPanLeft..kPanRight) in hundredths of a decibel,
    // frequency in Hz (kFrequencyOriginal, or kFrequencyMin..kFrequencyMax). False (and 0) when
    // the buffer lacks the control or the value is out of range.
    virtual bool GetVolume(long* volume) const = 0;
    virtual bool SetVolume(long volume) = 0;
    virtual bool GetPan(long* pan) const = 0;
    virtual bool SetPan(long pan) = 0;
    virtual bool GetFrequency(std::uint32_t* frequency) const = 0;
    virtual bool SetFrequency(std::uint32_t frequency) = 0;

    // `bytes` bytes from `offset`, wrapping to the start: the second region is the wrapped part.
    // False on the primary, a lost buffer, or an offset or size outside the buffer.
    virtual bool Lock(std::uint32_t offset, std::uint32_t bytes, LockedRegion& first, LockedRegion& second) = 0;
    // Publishes what was written under Lock to the mixer.
    virtual bool Unlock(const LockedRegion& first, const LockedRegion& second) = 0;
    // Brings a lost buffer's memory back (filled with silence); true when the buffer is usable.
    virtual bool Restore() = 0;

    // Buffers made with kBufCtrlPositionNotify only, while stopped: replaces the notification
    // positions, which signal `events` (indices must lie in the set). False otherwise.
    virtual bool SetNotificationPositions(std::span<const NotifyPosition> positions,
                                          std::shared_ptr<EventSet> events) = 0;

    // How often the buffer stopped by reaching its end (not by Stop).
    virtual std::uint32_t EndCount() const = 0;

    // The 3-D controls of a buffer made with kBufCtrl3D; null otherwise.
    virtual Buffer3D* Get3D() { return nullptr; }
    // The listener of a primary buffer made with kBufCtrl3D; null otherwise.
    virtual Listener3D* GetListener() { return nullptr; }
};

// A 3-D buffer is heard from its position relative to the listener: its gain falls as 1 / distance
// beyond a distance of 1 (none within it), and a source to the side takes up to half of the far
// channel's level away. Velocities are kept but not heard (no Doppler shift).
class Buffer3D {
public:
    virtual bool SetPosition(float x, float y, float z) = 0;
    virtual bool SetVelocity(float x, float y, float z) = 0;

protected:
    ~Buffer3D() = default;
};

class Listener3D {
public:
    virtual bool SetPosition(float x, float y, float z) = 0;
    virtual bool SetVelocity(float x, float y, float z) = 0;
    // Front and top vectors; kept, the listener always faces +z with +y up.
    virtual bool SetOrientation(float fx, float fy, float fz, float tx, float ty, float tz) = 0;

protected:
    ~Listener3D() = default;
};

// Copies `size` bytes of `data` into `buffer` from `offset`, wrapping to its start, under one Lock
// and Unlock. False when the buffer refuses the lock.
bool WriteWrapped(Buffer& buffer, std::uint32_t offset, const unsigned char* data, std::uint32_t size);

} // namespace audio
