// Mixing kernels: add a run of buffer frames, scaled by a left and a right gain, into the stereo
// float accumulator, one kernel per buffer layout, plus the resampling kernel.
#include "platform/audio/MixKernels.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace audio {

namespace {

inline float Sample16(const std::uint8_t* p)
{
    std::int16_t s;
    std::memcpy(&s, p, sizeof s);
    return static_cast<float>(s);
}

inline float Sample8(std::uint8_t u)
{
    return static_cast<float>((static_cast<int>(u) - 128) * 256);
}

#if defined(__SSE2__)

// Four 16-bit samples at `p` widened to floats.
inline __m128 Load4(const std::uint8_t* p)
{
    const __m128i s = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
    return _mm_cvtepi32_ps(_mm_srai_epi32(_mm_unpacklo_epi16(s, s), 16));
}

// Stereo 16-bit is the common case: four frames (eight samples) per step.
void AddStereo16(const std::uint8_t* src, std::uint32_t count, float* acc, float left, float right)
{
    const __m128 gains = _mm_setr_ps(left, right, left, right);
    std::uint32_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const std::uint8_t* p = src + 4 * static_cast<std::size_t>(i);
        float* a = acc + 2 * static_cast<std::size_t>(i);
        _mm_storeu_ps(a, _mm_add_ps(_mm_loadu_ps(a), _mm_mul_ps(Load4(p), gains)));
        _mm_storeu_ps(a + 4, _mm_add_ps(_mm_loadu_ps(a + 4), _mm_mul_ps(Load4(p + 8), gains)));
    }
    for (; i < count; ++i) {
        acc[2 * i] += Sample16(src + 4 * i) * left;
        acc[2 * i + 1] += Sample16(src + 4 * i + 2) * right;
    }
}

void AddMono16(const std::uint8_t* src, std::uint32_t count, float* acc, float left, float right)
{
    const __m128 gains = _mm_setr_ps(left, right, left, right);
    std::uint32_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128 s = Load4(src + 2 * static_cast<std::size_t>(i));
        float* a = acc + 2 * static_cast<std::size_t>(i);
        _mm_storeu_ps(a, _mm_add_ps(_mm_loadu_ps(a), _mm_mul_ps(_mm_unpacklo_ps(s, s), gains)));
        _mm_storeu_ps(a + 4, _mm_add_ps(_mm_loadu_ps(a + 4), _mm_mul_ps(_mm_unpackhi_ps(s, s), gains)));
    }
    for (; i < count; ++i) {
        const float s = Sample16(src + 2 * i);
        acc[2 * i] += s * left;
        acc[2 * i + 1] += s * right;
    }
}

#else

void AddStereo16(const std::uint8_t* src, std::uint32_t count, float* acc, float left, float right)
{
    for (std::uint32_t i = 0; i < count; ++i) {
        acc[2 * i] += Sample16(src + 4 * i) * left;
        acc[2 * i + 1] += Sample16(src + 4 * i + 2) * right;
    }
}

void AddMono16(const std::uint8_t* src, std::uint32_t count, float* acc, float left, float right)
{
    for (std::uint32_t i = 0; i < count; ++i) {
        const float s = Sample16(src + 2 * i);
        acc[2 * i] += s * left;
        acc[2 * i + 1] += s * right;
    }
}

#endif

void AddStereo8(const std::uint8_t* src, std::uint32_t count, float* acc, float left, float right)
{
    const float gains[2] = {left, right};
    const std::uint32_t samples = count * 2;
    for (std::uint32_t j = 0; j < samples; ++j)
        acc[j] += Sample8(src[j]) * gains[j & 1];
}

void AddMono8(const std::uint8_t* src, std::uint32_t count, float* acc, float left, float right)
{
    for (std::uint32_t i = 0; i < count; ++i) {
        const float s = Sample8(src[i]);
        acc[2 * i] += s * left;
        acc[2 * i + 1] += s * right;
    }
}

} // namespace

const AddKernel kAddKernels[2][2] = {
    {AddMono8, AddStereo8},
    {AddMono16, AddStereo16},
};

FramePair ReadFrame(const std::uint8_t* data, std::uint32_t frame, unsigned bits, unsigned channels)
{
    const std::size_t bytes = bits / 8;
    const std::uint8_t* p = data + static_cast<std::size_t>(frame) * channels * bytes;
    const float left = bits == 16 ? Sample16(p) : Sample8(p[0]);
    if (channels == 1)
        return {left, left};
    return {left, bits == 16 ? Sample16(p + 2) : Sample8(p[1])};
}

void AddReference(const std::uint8_t* src, std::uint32_t count, unsigned bits, unsigned channels, float* acc,
                  float left, float right)
{
    for (std::uint32_t i = 0; i < count; ++i) {
        const FramePair f = ReadFrame(src, i, bits, channels);
        acc[2 * i] += f.left * left;
        acc[2 * i + 1] += f.right * right;
    }
}

std::uint32_t AddResampled(const std::uint8_t* data, std::uint32_t frames, unsigned bits, unsigned channels,
                           bool looping, std::uint64_t& cursor, std::uint64_t step, std::uint32_t count,
                           float* acc, float left, float right)
{
    const std::uint64_t end = static_cast<std::uint64_t>(frames) << 32;
    constexpr float kFraction = 1.0f / 4294967296.0f;
    std::uint32_t i = 0;
    for (; i < count; ++i) {
        if (cursor >= end) {
            if (!looping)
                break;
            cursor %= end;
        }
        const auto index = static_cast<std::uint32_t>(cursor >> 32);
        const std::uint32_t next = index + 1 < frames ? index + 1 : (looping ? 0 : index);
        const FramePair a = ReadFrame(data, index, bits, channels);
        const FramePair b = ReadFrame(data, next, bits, channels);
        const float f = static_cast<float>(cursor & 0xFFFFFFFFu) * kFraction;
        acc[2 * i] += (a.left + (b.left - a.left) * f) * left;
        acc[2 * i + 1] += (a.right + (b.right - a.right) * f) * right;
        cursor += step;
    }
    return i;
}

} // namespace audio
