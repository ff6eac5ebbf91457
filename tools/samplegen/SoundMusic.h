// SoundMusic: the sample game's music: a chord progression played by pad, bass, arpeggio and
// drums, for the BGM tracks (seamless loops) and the song's backing.
#pragma once

#include "tools/samplegen/SoundSynth.h"

#include <array>
#include <vector>

namespace samplegen {

// A progression: one chord (three MIDI notes) a bar, at a tempo, and which parts play it.
struct Tune {
    double bpm = 100.0;
    std::vector<std::array<int, 3>> chords;
    bool arpeggio = true; // eighth notes of a bell over the chord
    bool pluck = false;   // the arpeggio plucked instead of rung
    bool drums = false;
    float padGain = 0.5f;

    double BarSeconds() const { return 4.0 * 60.0 / bpm; }
    double Seconds() const { return BarSeconds() * static_cast<double>(chords.size()); }
};

// A struck bell: a quick attack dying away.
inline constexpr Instrument kChime{.harmonics = {1.0f, 0.0f, 0.5f, 0.0f, 0.25f, 0.0f, 0.1f},
                                   .attack = 0.003f, .decay = 0.5f, .sustain = 0.0f, .release = 0.1f};

// A flat envelope for noise: rise in `attack`, hold `seconds`, fall in `release`.
constexpr Instrument Envelope(float attack, float seconds, float release)
{
    return {.attack = attack, .decay = seconds, .sustain = 1.0f, .release = release};
}

// A bell-like key tone at a MIDI note, and drum hits (0 kick, 1 snare, 2 hat, 3 clap), mono.
Pcm KeyTone(double note, int rate);
Pcm DrumHit(int kind, int rate);

// Adds the tune into `mix` from `start` (seconds).
void PlayTune(Mix& mix, const Tune& tune, double start);
// BGM track n (1 to 4), a stereo loop of whole bars at 22,050 Hz.
Pcm BgmTrack(int track);

} // namespace samplegen
