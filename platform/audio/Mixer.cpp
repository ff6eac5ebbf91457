// Mixer: the software mixer of the audio output: a fixed table of voices (the secondary buffers)
// added into a float accumulator and written out in the output's PCM format.
#include "platform/audio/Mixer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace audio {

float GainOf(long hundredths)
{
    if (hundredths <= kVolumeMin)
        return 0.0f;
    if (hundredths >= 0)
        return 1.0f;
    return static_cast<float>(std::pow(10.0, static_cast<double>(hundredths) / 2000.0));
}

Mixer::Mixer(std::size_t capacity)
    : slots_(capacity), acc_(std::make_unique_for_overwrite<float[]>(kBlockFrames * 2))
{
    for (auto& slot : slots_)
        slot.store(nullptr, std::memory_order_relaxed);
}

bool Mixer::Add(Voice* voice)
{
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        Voice* empty = nullptr;
        if (slots_[i].compare_exchange_strong(empty, voice)) {
            std::size_t high = highWater_.load();
            while (high < i + 1 && !highWater_.compare_exchange_weak(high, i + 1)) {
            }
            count_.fetch_add(1);
            return true;
        }
    }
    return false;
}

void Mixer::Remove(Voice* voice)
{
    for (auto& slot : slots_) {
        Voice* expected = voice;
        if (slot.compare_exchange_strong(expected, nullptr)) {
            count_.fetch_sub(1);
            break;
        }
    }
    WaitForMix();
}

void Mixer::WaitForMix() const
{
    // Sequentially consistent with Mix's own increment, so a Mix that could still have read the
    // cleared slot is seen as running.
    const std::uint64_t seen = mixing_.load();
    if ((seen & 1) == 0)
        return;
    while (mixing_.load() == seen)
        std::this_thread::yield();
}

void Mixer::SetMasterVolume(long volume)
{
    volume = std::clamp(volume, kVolumeMin, kVolumeMax);
    masterVolume_.store(volume, std::memory_order_release);
    masterGain_.store(GainOf(volume), std::memory_order_release);
}

void Mixer::Mix(std::span<std::uint8_t> out, std::uint32_t frames, const PcmFormat& format,
                std::uint64_t first) noexcept
{
    mixing_.fetch_add(1);
    const float gain = masterGain_.load(std::memory_order_acquire);
    const std::uint32_t frameBytes = format.FrameBytes();
    frames = static_cast<std::uint32_t>(std::min<std::size_t>(frames, out.size() / frameBytes));
    for (std::uint32_t done = 0; done < frames;) {
        const std::uint32_t n = std::min(frames - done, kBlockFrames);
        std::fill_n(acc_.get(), n * 2, 0.0f);
        const MixBlock block{acc_.get(), n, format.samplesPerSec, first + done};
        const std::size_t high = highWater_.load();
        for (std::size_t i = 0; i < high; ++i)
            if (Voice* voice = slots_[i].load())
                voice->Mix(block);
        WriteOut(out.data() + static_cast<std::size_t>(done) * frameBytes, n, format, gain);
        done += n;
    }
    mixing_.fetch_add(1);
}

namespace {

// Clamps to the 16-bit range and rounds to the nearest whole number (ties to even, as the
// vector conversion does); exact for whole numbers.
inline int ToSixteen(float v)
{
    return static_cast<int>(std::lrint(std::clamp(v, -32768.0f, 32767.0f)));
}

} // namespace

void Mixer::WriteOut(std::uint8_t* out, std::uint32_t frames, const PcmFormat& format, float gain) const noexcept
{
    const float* acc = acc_.get();
    if (format.channels == 2 && format.bitsPerSample == 16) {
        // The common layout: eight samples per step, saturated by the pack.
        std::uint32_t j = 0;
#if defined(__SSE2__)
        const __m128 g = _mm_set1_ps(gain);
        const __m128 low = _mm_set1_ps(-32768.0f);
        const __m128 high = _mm_set1_ps(32767.0f);
        for (; j + 8 <= frames * 2; j += 8) {
            const __m128 a = _mm_min_ps(_mm_max_ps(_mm_mul_ps(_mm_loadu_ps(acc + j), g), low), high);
            const __m128 b = _mm_min_ps(_mm_max_ps(_mm_mul_ps(_mm_loadu_ps(acc + j + 4), g), low), high);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * j),
                             _mm_packs_epi32(_mm_cvtps_epi32(a), _mm_cvtps_epi32(b)));
        }
#endif
        for (; j < frames * 2; ++j) {
            const auto s = static_cast<std::int16_t>(ToSixteen(acc[j] * gain));
            std::memcpy(out + 2 * j, &s, 2);
        }
        return;
    }
    const bool stereo = format.channels == 2;
    const std::uint32_t samples = stereo ? frames * 2 : frames;
    // Mono output hears both sides at half weight.
    const float weight = stereo ? gain : gain * 0.5f;
    for (std::uint32_t j = 0; j < samples; ++j) {
        const float v = stereo ? acc[j] * weight : (acc[2 * j] + acc[2 * j + 1]) * weight;
        const int s = ToSixteen(v);
        if (format.bitsPerSample == 16) {
            const auto s16 = static_cast<std::int16_t>(s);
            std::memcpy(out + 2 * j, &s16, 2);
        } else {
            out[j] = static_cast<std::uint8_t>((s + 32768) >> 8);
        }
    }
}

} // namespace audio
