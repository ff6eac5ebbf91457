#include "tools/samplegen/SoundSynth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace samplegen {

namespace {

// One period of a sine, looked up with linear interpolation: faster than std::sin per sample.
constexpr int kTableSize = 4096;

const std::vector<float>& SineTable()
{
    static const std::vector<float> table = [] {
        std::vector<float> values(kTableSize + 1);
        for (int i = 0; i <= kTableSize; ++i)
            values[i] = static_cast<float>(std::sin(2.0 * std::numbers::pi * i / kTableSize));
        return values;
    }();
    return table;
}

float Sine(double phase) // phase in periods
{
    const auto& table = SineTable();
    const double position = (phase - std::floor(phase)) * kTableSize;
    const int index = static_cast<int>(position);
    const float fraction = static_cast<float>(position - index);
    return table[index] + (table[index + 1] - table[index]) * fraction;
}

} // namespace

double NoteHz(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

Mix::Mix(int rate, int channels, double seconds)
    : rate_(rate), channels_(channels), frames_(static_cast<std::size_t>(std::lround(seconds * rate))),
      data_(frames_ * static_cast<std::size_t>(channels), 0.0f)
{
}

float Mix::Envelope(const Instrument& instrument, double t, double seconds)
{
    auto held = [&](double at) -> double {
        if (at < instrument.attack)
            return at / instrument.attack;
        if (at < instrument.attack + instrument.decay)
            return 1.0 - (1.0 - instrument.sustain) * (at - instrument.attack) / instrument.decay;
        return instrument.sustain;
    };
    if (t < seconds)
        return static_cast<float>(held(t));
    const double level = held(seconds);
    const double after = t - seconds;
    return after >= instrument.release ? 0.0f : static_cast<float>(level * (1.0 - after / instrument.release));
}

void Mix::Add(std::size_t frame, float value, float pan)
{
    if (channels_ == 1) {
        data_[frame] += value;
        return;
    }
    data_[frame * 2] += value * (1.0f - pan) * 0.5f;
    data_[frame * 2 + 1] += value * (1.0f + pan) * 0.5f;
}

void Mix::Note(const Instrument& instrument, double start, double seconds, double hz, float gain, float pan)
{
    const auto first = static_cast<std::size_t>(std::max(0L, std::lround(start * rate_)));
    const auto count = static_cast<std::size_t>(std::lround((seconds + instrument.release) * rate_));
    const double highest = hz * (1.0 + std::max(0.0f, instrument.glide)) * (1.0 + instrument.vibratoDepth);
    std::size_t harmonics = 0;
    while (harmonics < instrument.harmonics.size() && highest * static_cast<double>(harmonics + 1) < rate_ * 0.45)
        ++harmonics;
    double phase = 0.0;
    for (std::size_t i = 0; i < count && first + i < frames_; ++i) {
        const double t = static_cast<double>(i) / rate_;
        double frequency = hz * (1.0 + instrument.glide * t / std::max(seconds, 1e-3));
        if (instrument.vibratoDepth > 0.0f)
            frequency *= 1.0 + instrument.vibratoDepth * Sine(instrument.vibratoHz * t);
        phase += frequency / rate_;
        float value = 0.0f;
        for (std::size_t h = 0; h < harmonics; ++h) // those below the Nyquist limit at the highest pitch
            if (instrument.harmonics[h] != 0.0f)
                value += instrument.harmonics[h] * Sine(phase * static_cast<double>(h + 1));
        Add(first + i, value * gain * Envelope(instrument, t, seconds), pan);
    }
}

void Mix::Sample(const Pcm& sound, double start, float gain, float pan)
{
    const auto first = static_cast<std::size_t>(std::max(0L, std::lround(start * rate_)));
    for (std::size_t i = 0; i < sound.Frames() && first + i < frames_; ++i)
        Add(first + i, sound.samples[i * static_cast<std::size_t>(sound.channels)] / 32768.0f * gain, pan);
}

void Mix::Noise(const Instrument& shape, double start, double seconds, double fromHz, double toHz, float gain,
                std::uint32_t seed, float pan)
{
    const auto first = static_cast<std::size_t>(std::max(0L, std::lround(start * rate_)));
    const auto count = static_cast<std::size_t>(std::lround((seconds + shape.release) * rate_));
    std::uint32_t state = seed * 2654435761u + 1u;
    float low = 0.0f;
    for (std::size_t i = 0; i < count && first + i < frames_; ++i) {
        state = state * 1664525u + 1013904223u; // the classic LCG: same numbers on every machine
        const float white = static_cast<float>(static_cast<std::int32_t>(state)) / 2147483648.0f;
        const double t = static_cast<double>(i) / rate_;
        const double cutoff = fromHz + (toHz - fromHz) * std::min(1.0, t / std::max(seconds, 1e-3));
        const auto k = static_cast<float>(1.0 - std::exp(-2.0 * std::numbers::pi * cutoff / rate_));
        low += (white - low) * k;
        Add(first + i, low * gain * Envelope(shape, t, seconds), pan);
    }
}

void Mix::FoldTail(double seconds)
{
    const std::size_t keep = static_cast<std::size_t>(std::lround(seconds * rate_)) * static_cast<std::size_t>(channels_);
    for (std::size_t i = keep; i < data_.size(); ++i)
        data_[(i - keep) % keep] += data_[i];
    data_.resize(std::min(keep, data_.size()));
    frames_ = data_.size() / static_cast<std::size_t>(channels_);
}

Pcm Mix::Render(float peak) const
{
    float loudest = 0.0f;
    for (float value : data_)
        loudest = std::max(loudest, std::fabs(value));
    const float scale = loudest > 0.0f ? peak * 32767.0f / loudest : 0.0f;
    Pcm pcm{rate_, channels_, {}};
    pcm.samples.reserve(data_.size());
    for (float value : data_)
        pcm.samples.push_back(static_cast<std::int16_t>(std::lround(std::clamp(value * scale, -32768.0f, 32767.0f))));
    return pcm;
}

} // namespace samplegen
