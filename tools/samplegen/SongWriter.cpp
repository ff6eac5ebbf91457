#include "tools/samplegen/SongWriter.h"

#include "platform/codepage/CodePage.h"
#include "tools/samplegen/SoundEncoder.h"
#include "tools/samplegen/SoundMusic.h"
#include "tools/samplegen/SoundSet.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace samplegen {

namespace {

constexpr int kGbk = 936;
constexpr int kKeyRate = 22050;
constexpr int kMusicRate = 32000; // enough for pad, bass and drums, and quick to make

// The bell tones of the eight lanes: a pentatonic scale from C5, as the chart names them.
struct KeyBell {
    const char* name;
    int note;
};
constexpr KeyBell kBells[] = {{"C5", 72}, {"D5", 74}, {"E5", 76}, {"G5", 79},
                              {"A5", 81}, {"C6", 84}, {"D6", 86}, {"E6", 88}};

std::string ReadText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

Bytes AsBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

// A crowd's applause: many short claps scattered over two seconds, fading.
Pcm Cheer()
{
    Mix mix(kKeyRate, 1, 2.5);
    std::uint32_t state = 7;
    for (int i = 0; i < 90; ++i) {
        state = state * 1664525u + 1013904223u;
        const double at = (state >> 8) % 2000 / 1000.0;
        mix.Noise(Envelope(0.001f, 0.01f, 0.04f), at, 0.01, 2200.0, 1200.0, static_cast<float>(1.0 - at / 2.4),
                  200u + static_cast<unsigned>(i));
    }
    return mix.Render(0.7f);
}

} // namespace

std::vector<std::array<int, 3>> SongChords()
{
    const std::array<int, 3> c{60, 64, 67}, g{55, 59, 62}, am{57, 60, 64}, f{53, 57, 60};
    std::vector<std::array<int, 3>> chords{c, c}; // the introduction
    for (int bar = 0; bar < 32; ++bar)
        chords.push_back(std::array{c, g, am, f}[static_cast<std::size_t>(bar % 4)]);
    chords.push_back(f); // the ending
    chords.push_back(c);
    return chords;
}

Pcm SongMusic()
{
    Tune tune;
    tune.bpm = kSongBpm;
    tune.chords = SongChords();
    tune.arpeggio = false; // the key sounds carry the melody
    tune.drums = true;
    tune.padGain = 0.4f;
    Mix mix(kMusicRate, 2, tune.Seconds() + 2.0);
    PlayTune(mix, tune, 0.0);
    return mix.Render(0.7f);
}

bool WriteSong(const SampleStaging& staging, const std::filesystem::path& sources)
{
    try {
        for (std::string_view name : kSongTexts) // GBK, as the game reads its texts
            WriteFile(staging.File(SampleStore::SongData, name),
                      AsBytes(CodePage::FromUtf8(ReadText(sources / "song" / name), kGbk)));
        WriteFile(staging.File(SampleStore::SongData, "cheer.ogg"), EncodeOgg(Cheer()));
        for (const KeyBell& bell : kBells)
            WriteFile(staging.File(SampleStore::SongKey, std::string(bell.name) + ".ogg"),
                      EncodeOgg(KeyTone(bell.note, kKeyRate)));
        WriteFile(staging.File(SampleStore::SongKey, "CLAP.adp"), EncodeAdp1(DrumHit(3, kKeyRate)));
        WriteFile(staging.File(SampleStore::SongKey, "HAT.wav"), EncodeWave(DrumHit(2, kKeyRate)));
        WriteFile(staging.File(SampleStore::SongMusic, "song.ogg"), EncodeOgg(SongMusic(), 0.2f));
        return true;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "samplegen: %s\n", e.what());
        return false;
    }
}

} // namespace samplegen
