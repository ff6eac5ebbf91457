#include "tools/samplegen/SoundMusic.h"

#include <algorithm>

namespace samplegen {

namespace {

constexpr Instrument kPad{.harmonics = {1.0f, 0.35f, 0.2f, 0.1f, 0.05f}, .attack = 0.4f, .decay = 0.3f,
                         .sustain = 0.8f, .release = 0.6f, .vibratoHz = 4.5f, .vibratoDepth = 0.003f};
constexpr Instrument kBass{.harmonics = {1.0f, 0.6f, 0.3f, 0.15f}, .attack = 0.01f, .decay = 0.25f, .sustain = 0.5f,
                          .release = 0.1f};
// The arpeggio: rung like a bell, or plucked with a shorter, fuller sound.
constexpr Instrument kBell{.harmonics = {1.0f, 0.0f, 0.4f, 0.0f, 0.2f, 0.0f, 0.1f}, .attack = 0.003f, .decay = 0.6f,
                          .sustain = 0.0f, .release = 0.1f};
constexpr Instrument kPluck{.harmonics = {1.0f, 0.5f, 0.3f, 0.2f, 0.1f, 0.05f}, .attack = 0.003f, .decay = 0.35f,
                           .sustain = 0.0f, .release = 0.1f};

} // namespace

Pcm KeyTone(double note, int rate)
{
    Mix mix(rate, 1, 0.7);
    mix.Note(kChime, 0.0, 0.4, NoteHz(note), 1.0f);
    return mix.Render(0.8f);
}

Pcm DrumHit(int kind, int rate)
{
    Mix mix(rate, 1, 0.4);
    switch (kind) {
    case 0: { // kick: a falling low tone
        Instrument kick = Envelope(0.002f, 0.12f, 0.08f);
        kick.sustain = 0.0f;
        kick.glide = -0.6f;
        mix.Note(kick, 0.0, 0.15, 110.0, 1.0f);
        break;
    }
    case 1: // snare
        mix.Noise(Envelope(0.001f, 0.1f, 0.1f), 0.0, 0.1, 5000.0, 2000.0, 1.0f, 101);
        mix.Note(Envelope(0.001f, 0.05f, 0.05f), 0.0, 0.05, 190.0, 0.5f);
        break;
    case 2: // hat
        mix.Noise(Envelope(0.001f, 0.03f, 0.04f), 0.0, 0.03, 9000.0, 9000.0, 1.0f, 102);
        break;
    default: // clap: three quick bursts
        for (int i = 0; i < 3; ++i)
            mix.Noise(Envelope(0.001f, 0.01f, 0.05f), i * 0.012, 0.01, 2500.0, 1500.0, 1.0f, 103 + i);
        break;
    }
    return mix.Render(0.8f);
}

void PlayTune(Mix& mix, const Tune& tune, double start)
{
    const double bar = tune.BarSeconds();
    const double beat = bar / 4.0;
    const int rate = mix.Rate();
    const Pcm kick = DrumHit(0, rate), snare = DrumHit(1, rate), hat = DrumHit(2, rate);
    static constexpr int kPattern[8] = {0, 1, 2, 1, 2, 1, 0, 2}; // chord tones of the eighths
    for (std::size_t b = 0; b < tune.chords.size(); ++b) {
        const auto& chord = tune.chords[b];
        const double at = start + bar * static_cast<double>(b);
        for (std::size_t n = 0; n < chord.size(); ++n)
            mix.Note(kPad, at, bar * 0.9, NoteHz(chord[n]), tune.padGain * 0.35f, n == 0 ? -0.4f : n == 1 ? 0.0f : 0.4f);
        mix.Note(kBass, at, beat * 1.5, NoteHz(chord[0] - 24), 0.5f);
        mix.Note(kBass, at + beat * 2, beat * 1.5, NoteHz(chord[0] - 12 - 12 * (b % 2)), 0.45f);
        if (tune.arpeggio)
            for (int e = 0; e < 8; ++e)
                mix.Note(tune.pluck ? kPluck : kBell, at + e * beat / 2, beat / 2, NoteHz(chord[kPattern[e]] + 12), 0.22f,
                         e % 2 ? 0.3f : -0.3f);
        if (tune.drums)
            for (int e = 0; e < 8; ++e) {
                const double hit = at + e * beat / 2;
                const Pcm& sound = e % 4 == 0 ? kick : e % 4 == 2 ? snare : hat;
                mix.Sample(sound, hit, e % 4 == 0 ? 0.6f : 0.35f);
            }
    }
}

Pcm BgmTrack(int track)
{
    Tune tune;
    switch (track) {
    case 1: // title: C G Am F
        tune.bpm = 96;
        tune.chords = {{60, 64, 67}, {55, 59, 62}, {57, 60, 64}, {53, 57, 60},
                       {60, 64, 67}, {55, 59, 62}, {53, 57, 60}, {55, 59, 62}};
        break;
    case 2: // a quiet day: F Dm Bb C, plucked
        tune.bpm = 88;
        tune.pluck = true;
        tune.chords = {{53, 57, 60}, {50, 53, 57}, {58, 62, 65}, {60, 64, 67},
                       {53, 57, 60}, {50, 53, 57}, {58, 62, 65}, {60, 64, 67}};
        break;
    case 3: // unrest: Am F Dm E, pad only
        tune.bpm = 72;
        tune.arpeggio = false;
        tune.padGain = 0.9f;
        tune.chords = {{57, 60, 64}, {53, 57, 60}, {50, 53, 57}, {52, 56, 59}};
        break;
    default: // the ending: G D Em C
        tune.bpm = 70;
        tune.chords = {{55, 59, 62}, {50, 54, 57}, {52, 55, 59}, {48, 52, 55},
                       {55, 59, 62}, {50, 54, 57}, {48, 52, 55}, {50, 54, 57}};
        break;
    }
    Mix mix(22050, 2, tune.Seconds() + 1.5);
    PlayTune(mix, tune, 0.0);
    mix.FoldTail(tune.Seconds());
    return mix.Render(0.7f);
}

} // namespace samplegen
