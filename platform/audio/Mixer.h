// Mixer: the software mixer of the audio output: a fixed table of voices (the secondary buffers)
// added into a float accumulator and written out in the output's PCM format.
#pragma once

#include "platform/audio/AudioTypes.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace audio {

// One block of output the voices add into.
struct MixBlock {
    float* acc;            // interleaved left, right; `frames` frames, 16-bit range
    std::uint32_t frames;  // at most Mixer::kBlockFrames
    std::uint32_t rate;    // output rate in Hz
    std::uint64_t first;   // output frame number of the block's first frame
};

// What the mixer plays. Mix is called on the output's thread, once per block, and must take no
// lock it can wait on, allocate nothing and read no file.
class Voice {
public:
    virtual void Mix(const MixBlock& block) noexcept = 0;

protected:
    ~Voice() = default;
};

// Threads: Mix runs on the output's thread (one call at a time). Add, Remove, SetMasterVolume and
// ForEach run on control threads. The voice table is an array of atomic pointers, so Mix never
// waits: Remove clears a slot and then waits (on the control thread) for a Mix that may still be
// using the voice to end, after which the voice may be destroyed.
class Mixer {
public:
    static constexpr std::uint32_t kBlockFrames = 1024;

    explicit Mixer(std::size_t capacity);
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    std::size_t Capacity() const { return slots_.size(); }
    std::size_t VoiceCount() const { return count_.load(std::memory_order_acquire); }

    // False when every slot is taken.
    bool Add(Voice* voice);
    // After it returns no Mix uses the voice.
    void Remove(Voice* voice);
    // Waits until a Mix running now has ended (control threads; returns at once between mixes).
    void WaitForMix() const;

    // Master gain of the output in hundredths of a decibel (kVolumeMin to kVolumeMax).
    void SetMasterVolume(long volume);
    long MasterVolume() const { return masterVolume_.load(std::memory_order_acquire); }

    // Mixes `frames` frames of every voice into `out` in `format`, starting at output frame `first`.
    void Mix(std::span<std::uint8_t> out, std::uint32_t frames, const PcmFormat& format, std::uint64_t first) noexcept;

private:
    void WriteOut(std::uint8_t* out, std::uint32_t frames, const PcmFormat& format, float gain) const noexcept;

    std::vector<std::atomic<Voice*>> slots_;
    std::atomic<std::size_t> highWater_{0}; // slots at or above it have never been used
    std::atomic<std::size_t> count_{0};
    std::atomic<std::uint64_t> mixing_{0}; // odd while a Mix runs
    std::atomic<long> masterVolume_{0};
    std::atomic<float> masterGain_{1.0f};
    std::unique_ptr<float[]> acc_; // kBlockFrames stereo frames, used by Mix only
};

// Linear gain of a level in hundredths of a decibel: 1 at 0, exactly 0 at kVolumeMin and below.
float GainOf(long hundredths);

} // namespace audio
