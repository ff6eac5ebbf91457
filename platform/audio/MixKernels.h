// Mixing kernels: add a run of buffer frames, scaled by a left and a right gain, into the stereo
// float accumulator, one kernel per buffer layout, plus the resampling kernel.
#pragma once

#include <cstdint>

namespace audio {

// Adds `count` frames from `src` (8-bit unsigned or 16-bit signed, mono or stereo, whole frames)
// to `acc` (interleaved left, right). Samples are scaled to the 16-bit range (8-bit x 256), so a
// gain of 1 adds each 16-bit sample exactly: float holds every sum of up to 256 such samples exactly.
using AddKernel = void (*)(const std::uint8_t* src, std::uint32_t count, float* acc, float left, float right);

// The kernel for a layout: index [bits == 16][channels == 2].
extern const AddKernel kAddKernels[2][2];

// The plain scalar forms, the oracle the table's kernels are tested against.
void AddReference(const std::uint8_t* src, std::uint32_t count, unsigned bits, unsigned channels, float* acc,
                  float left, float right);

// One buffer sample frame as 16-bit-range floats (mono gives the same value twice).
struct FramePair {
    float left;
    float right;
};
FramePair ReadFrame(const std::uint8_t* data, std::uint32_t frame, unsigned bits, unsigned channels);

// Resampling: adds output frames read from `data` (a buffer of `frames` frames) at `cursor`
// (frames in 32.32 fixed point), stepping `step` per output frame, by linear interpolation.
// Looping wraps the cursor (and the interpolation's next frame) to the start; otherwise mixing
// stops at the last frame. Returns the output frames mixed (fewer than `count` when a non-looping
// buffer ran out) and leaves `cursor` after the last frame mixed (unwrapped past the end when
// non-looping).
std::uint32_t AddResampled(const std::uint8_t* data, std::uint32_t frames, unsigned bits, unsigned channels,
                           bool looping, std::uint64_t& cursor, std::uint64_t step, std::uint32_t count,
                           float* acc, float left, float right);

} // namespace audio
