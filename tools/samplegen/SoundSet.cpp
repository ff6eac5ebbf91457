#include "tools/samplegen/SoundSet.h"

#include "tools/samplegen/SoundEncoder.h"
#include "tools/samplegen/SoundMusic.h"

#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace samplegen {

namespace {

constexpr int kEffectRate = 22050;

constexpr Instrument kBlip{.harmonics = {1.0f, 0.0f, 0.3f}, .attack = 0.002f, .decay = 0.06f, .sustain = 0.0f,
                          .release = 0.02f};
constexpr Instrument kBuzz{.harmonics = {1.0f, 0.5f, 0.33f, 0.25f, 0.2f}, .attack = 0.002f, .decay = 0.1f,
                          .sustain = 0.6f, .release = 0.02f};

// A system click: one short blip whose pitch tells the clicks apart.
Pcm Click(double note)
{
    Mix mix(kEffectRate, 1, 0.12);
    mix.Note(kBlip, 0.0, 0.04, NoteHz(note), 1.0f);
    return mix.Render(0.7f);
}

Pcm Ok()
{
    Mix mix(kEffectRate, 1, 0.45);
    mix.Note(kChime, 0.0, 0.08, NoteHz(76), 0.8f);
    mix.Note(kChime, 0.09, 0.2, NoteHz(83), 1.0f);
    return mix.Render(0.7f);
}

Pcm Error()
{
    Mix mix(kEffectRate, 1, 0.4);
    mix.Note(kBuzz, 0.0, 0.12, NoteHz(50), 1.0f);
    mix.Note(kBuzz, 0.15, 0.18, NoteHz(46), 1.0f);
    return mix.Render(0.7f);
}

Pcm PageTurn()
{
    Mix mix(kEffectRate, 1, 0.35);
    mix.Noise(Envelope(0.05f, 0.15f, 0.12f), 0.0, 0.2, 800.0, 5000.0, 1.0f, 11);
    return mix.Render(0.6f);
}

// A short spoken-sounding phrase: syllables of a voiced tone whose pitch rises and falls.
Pcm Phrase(double baseNote, int syllables, std::uint32_t seed)
{
    Instrument voiced{.harmonics = {1.0f, 0.8f, 0.6f, 0.35f, 0.2f, 0.1f, 0.05f}, .attack = 0.02f, .decay = 0.05f,
                      .sustain = 0.8f, .release = 0.04f, .vibratoHz = 6.0f, .vibratoDepth = 0.01f};
    const double syllable = 0.16;
    Mix mix(kEffectRate, 1, syllables * syllable + 0.3);
    std::uint32_t state = seed;
    for (int i = 0; i < syllables; ++i) {
        state = state * 1664525u + 1013904223u;
        const double step = static_cast<double>(state >> 29) - 3.0; // -3 to 4 semitones
        voiced.glide = static_cast<float>((state >> 20) % 7) / 60.0f - 0.05f;
        mix.Note(voiced, i * syllable, syllable * 0.8, NoteHz(baseNote + step), 1.0f);
    }
    return mix.Render(0.7f);
}

Pcm DoorKnock()
{
    Mix mix(kEffectRate, 1, 0.9);
    constexpr Instrument knock{.harmonics = {1.0f, 0.4f, 0.2f}, .attack = 0.002f, .decay = 0.05f, .sustain = 0.0f,
                               .release = 0.02f};
    for (int i = 0; i < 3; ++i) {
        mix.Note(knock, i * 0.22, 0.03, NoteHz(40), 1.0f);
        mix.Noise(Envelope(0.001f, 0.02f, 0.03f), i * 0.22, 0.02, 1500.0, 400.0, 0.6f, 20 + i);
    }
    return mix.Render(0.8f);
}

Pcm BellChime()
{
    Mix mix(kEffectRate, 1, 1.6);
    const double notes[] = {84, 79, 81, 74};
    for (int i = 0; i < 4; ++i)
        mix.Note(kChime, i * 0.25, 0.6, NoteHz(notes[i]), 0.8f);
    return mix.Render(0.7f);
}

Pcm Thunder()
{
    Mix mix(kEffectRate, 1, 2.6);
    mix.Noise(Envelope(0.01f, 0.3f, 1.8f), 0.0, 0.4, 3000.0, 120.0, 1.0f, 31);
    mix.Noise(Envelope(0.2f, 0.8f, 1.2f), 0.15, 1.0, 200.0, 60.0, 1.0f, 32);
    return mix.Render(0.9f);
}

Pcm Footsteps()
{
    Mix mix(kEffectRate, 1, 1.4);
    for (int i = 0; i < 4; ++i)
        mix.Noise(Envelope(0.002f, 0.04f, 0.08f), i * 0.32, 0.05, 900.0, 300.0, 1.0f, 40 + i);
    return mix.Render(0.7f);
}

Pcm Flash()
{
    Mix mix(kEffectRate, 1, 0.8);
    Instrument sweep = kChime;
    sweep.glide = 1.0f; // an octave up over the note
    mix.Note(sweep, 0.0, 0.3, NoteHz(72), 0.6f);
    mix.Noise(Envelope(0.001f, 0.05f, 0.4f), 0.0, 0.05, 8000.0, 2000.0, 0.5f, 51);
    return mix.Render(0.7f);
}

Pcm Rumble()
{
    Mix mix(kEffectRate, 1, 1.5);
    mix.Noise(Envelope(0.05f, 0.8f, 0.5f), 0.0, 0.9, 150.0, 80.0, 1.0f, 61);
    mix.Note(Envelope(0.05f, 0.8f, 0.5f), 0.0, 0.9, 38.0, 0.5f);
    return mix.Render(0.9f);
}

// Ambient loops: whole seconds, the noise's envelope flat, the tail folded onto the start.
Pcm Rain()
{
    constexpr double kSeconds = 4.0;
    Mix mix(kEffectRate, 2, kSeconds + 0.5);
    mix.Noise(Envelope(0.001f, 10.0f, 0.5f), 0.0, kSeconds, 3500.0, 3500.0, 1.0f, 71, -0.3f);
    mix.Noise(Envelope(0.001f, 10.0f, 0.5f), 0.0, kSeconds, 3000.0, 3000.0, 1.0f, 72, 0.3f);
    for (int i = 0; i < 24; ++i) // drops
        mix.Noise(Envelope(0.001f, 0.01f, 0.04f), i * kSeconds / 24 + 0.05 * (i % 3), 0.01, 6000.0, 2000.0, 1.5f,
                  80 + i, (i % 5) / 2.5f - 0.8f);
    mix.FoldTail(kSeconds);
    return mix.Render(0.5f);
}

Pcm NightInsects()
{
    constexpr double kSeconds = 3.0;
    Mix mix(kEffectRate, 2, kSeconds + 0.5);
    mix.Noise(Envelope(0.001f, 10.0f, 0.5f), 0.0, kSeconds, 400.0, 400.0, 0.6f, 91);
    constexpr Instrument chirp{.attack = 0.002f, .decay = 0.03f, .sustain = 0.0f, .release = 0.02f};
    for (int i = 0; i < 12; ++i)
        mix.Note(chirp, i * 0.25, 0.02, 4200.0 + 150.0 * (i % 3), 0.4f, i % 2 ? 0.6f : -0.6f);
    mix.FoldTail(kSeconds);
    return mix.Render(0.5f);
}

std::string Name(const char* pattern, int number)
{
    char text[64];
    std::snprintf(text, sizeof text, pattern, number);
    return text;
}

} // namespace

std::vector<SoundFile> GameSounds()
{
    std::vector<SoundFile> files;
    auto add = [&](SampleStore store, std::string name, std::function<Pcm()> make) {
        files.push_back({store, std::move(name), std::move(make)});
    };
    // System sounds play from the game data.
    for (int i = 1; i <= 6; ++i)
        add(SampleStore::GameData, Name("SysSEClick%02d.ogg", i), [i] { return Click(79 + 2 * i); });
    add(SampleStore::GameData, "SysSEOk.ogg", Ok);
    add(SampleStore::GameData, "SysSEErr.ogg", Error);
    add(SampleStore::GameData, "SysSEPage.ogg", PageTurn);
    add(SampleStore::GameData, "TitleVoice03.ogg", [] { return Phrase(64, 6, 3); });

    const std::array<Pcm (*)(), kSoundEffects.size()> makers{DoorKnock, BellChime, Thunder, Footsteps, Flash, Rumble};
    for (std::size_t i = 0; i < kSoundEffects.size(); ++i)
        add(SampleStore::EvSE, Name("se%03d.ogg", kSoundEffects[i]), makers[i]);
    add(SampleStore::EvSE, Name("se%03d.ogg", kAmbientLoops[0]), Rain);
    add(SampleStore::EvSE, Name("se%03d.ogg", kAmbientLoops[1]), NightInsects);

    // Voices lie in the pack of voice number / 100000: all of them in pack 0.
    for (int n = 1; n <= kVoiceCount; ++n) {
        const double base = n < kSecondSpeakerVoice ? 67.0 : 55.0; // two speakers, two registers
        add(SampleStore::Voice, Name("%010u.ogg", n),
            [n, base] { return Phrase(base, 5 + n % 4, 1000u + static_cast<unsigned>(n)); });
    }

    for (int track : kBgmTracks)
        add(SampleStore::Bgm, Name("Track%02d.bgm", track), [track] { return BgmTrack(track); });
    return files;
}

void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

bool WriteSounds(const SampleStaging& staging, const std::filesystem::path&)
{
    try {
        for (const SoundFile& file : GameSounds()) // music at a lower quality: it is long and loops
            WriteFile(staging.File(file.store, file.name),
                      EncodeOgg(file.make(), file.store == SampleStore::Bgm ? 0.2f : 0.3f));
        return true;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "samplegen: %s\n", e.what());
        return false;
    }
}

} // namespace samplegen
