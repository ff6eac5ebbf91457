// The audio output service's back-end contract (an output that pulls mixed frames) and the choice
// of back end.
//
// A back end stands for the machine's sound output. It opens an output stream in a PCM format;
// the stream asks its renderer (the device's mixer) for one period of frames at a time, on the
// back end's own thread (SDL's audio thread, the silent back end's pacing thread) or, for the
// manual clock, on the test's thread when the test advances the clock. Back ends:
// platform/audio/sdl (a real device through SDL2), platform/audio/silent (nothing heard, mixed in
// real time) and platform/audio/headless (a manual clock that tests advance frame by frame).
#pragma once

#include "platform/audio/AudioTypes.h"

#include <cstdint>
#include <memory>
#include <span>

namespace audio {

class NotifyTracker;

// What an output pulls from.
class Renderer {
public:
    // Fills `out` (frames x the stream's frame bytes) with the next `frames` frames. `nowNs` is the
    // back end's clock (BackEnd::NowNs) when the output asked; the first of these frames will be
    // heard `latencyFrames` frames after that. Called on the output's thread, one call at a time;
    // takes no lock it can wait on, allocates nothing and reads no file.
    virtual void Render(std::span<std::uint8_t> out, std::uint32_t frames, std::int64_t nowNs,
                        std::uint32_t latencyFrames) noexcept = 0;

protected:
    ~Renderer() = default;
};

// An open output. Its destructor stops it: when it returns, no Render call runs or will run.
class OutputStream {
public:
    virtual ~OutputStream() = default;
    virtual PcmFormat Format() const = 0;
};

class BackEnd {
public:
    virtual ~BackEnd() = default;

    virtual const char* Name() const = 0;
    // An output playing `format` that pulls from `renderer`, which must outlive it; null when the
    // back end cannot play now. Called from control threads.
    virtual std::unique_ptr<OutputStream> Open(const PcmFormat& format, Renderer& renderer) = 0;
    // The clock the outputs' Render times come from, in nanoseconds. Any thread.
    virtual std::int64_t NowNs() const = 0;
    // The tracker that event sets of devices on this back end report to (the manual clock waits
    // on it); null when nothing waits.
    virtual std::shared_ptr<NotifyTracker> Tracker() const { return nullptr; }
};

// The back end chosen for the process: each output opens on SDL2 when SDL has a sound device it
// can open, on the silent back end otherwise (both run on the monotonic clock). Made on first
// use; SetDefaultBackEnd replaces it (tests choose theirs explicitly).
BackEnd& DefaultBackEnd();
void SetDefaultBackEnd(std::shared_ptr<BackEnd> backEnd);

} // namespace audio
