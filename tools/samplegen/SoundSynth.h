// SoundSynth: a small deterministic synthesiser for the sample game's sounds: notes of additive
// instruments with envelopes, filtered noise, and a mix rendered to 16-bit PCM.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace samplegen {

// 16-bit PCM, channels interleaved.
struct Pcm {
    int rate = 22050;
    int channels = 1;
    std::vector<std::int16_t> samples;

    std::size_t Frames() const { return samples.size() / static_cast<std::size_t>(channels); }
};

// An additive instrument: harmonic amplitudes and an attack/decay/sustain/release envelope
// (seconds, sustain as a level), with optional vibrato and a pitch glide.
struct Instrument {
    std::array<float, 8> harmonics{1.0f};
    float attack = 0.005f;
    float decay = 0.1f;
    float sustain = 0.7f;
    float release = 0.05f;
    float vibratoHz = 0.0f;
    float vibratoDepth = 0.0f; // fraction of the frequency
    float glide = 0.0f;        // frequency change over the note, as a fraction of the start
};

// The frequency of a MIDI note number (69 is A at 440 Hz).
double NoteHz(double note);

// A floating-point mix that notes and noise are added into, made into PCM at the end.
class Mix {
public:
    Mix(int rate, int channels, double seconds);

    int Rate() const { return rate_; }
    double Seconds() const { return static_cast<double>(frames_) / rate_; }

    // A note of `seconds` (its release follows) at `start`, at `gain` (0 to 1) and `pan` (-1 left
    // to 1 right; mono ignores it). Parts past the end of the mix are cut.
    void Note(const Instrument& instrument, double start, double seconds, double hz, float gain, float pan = 0.0f);
    // Adds mono `sound` at `start`, scaled by `gain`.
    void Sample(const Pcm& sound, double start, float gain, float pan = 0.0f);
    // Noise through a one-pole low-pass filter whose cut-off moves from `fromHz` to `toHz`, with
    // the envelope of `shape` (its harmonics unused). `seed` makes each noise its own.
    void Noise(const Instrument& shape, double start, double seconds, double fromHz, double toHz, float gain,
               std::uint32_t seed, float pan = 0.0f);
    // Adds what lies past `seconds` back onto the start and cuts the mix there, so that a loop of
    // that length runs on without a gap (the notes' releases wrap around).
    void FoldTail(double seconds);
    // Scales the whole mix so that its loudest sample is at `peak` (0 to 1) and makes the PCM.
    Pcm Render(float peak = 0.8f) const;

private:
    void Add(std::size_t frame, float value, float pan);
    static float Envelope(const Instrument& instrument, double t, double seconds);

    int rate_;
    int channels_;
    std::size_t frames_;
    std::vector<float> data_;
};

} // namespace samplegen
