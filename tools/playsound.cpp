// playsound: plays a sound file (RIFF WAVE, MPEG audio, ADP1 or Ogg Vorbis) as a stream of the
// sound device through the machine's audio output (SDL2), to its end or, looping, until
// interrupted.
//
//   playsound FILE [--loop]
//
// The output runs in the file's own format, so what it plays is the decoded sound unchanged
// (under SDL_AUDIODRIVER=disk, SDL writes exactly that to SDL_DISKAUDIOFILE).
#include "platform/audio/sdl/SdlAudio.h"
#include "platform/classes/Exception.h"
#include "platform/classes/Stream.h"
#include "platform/classes/WinControl.h"
#include "sound/TDSound.h"
#include "sound/ZTAdpStream.h"
#include "sound/ZTMp3Stream.h"
#include "sound/ZTOggStream.h"
#include "sound/ZTWaveStream.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;

enum class Kind { Wave, Mp3, Adp, Ogg };

std::atomic<bool> interrupted{false};

void OnSignal(int)
{
    interrupted = true;
}

// The kind of sound from the file's first bytes; MPEG audio has no magic of its own.
Kind Detect(ZTStream& source)
{
    char magic[12] = {};
    source.Rewind();
    source.Read(magic, sizeof magic);
    source.Rewind();
    if (std::memcmp(magic, "RIFF", 4) == 0 && std::memcmp(magic + 8, "WAVE", 4) == 0)
        return Kind::Wave;
    if (std::memcmp(magic, "ADP1", 4) == 0)
        return Kind::Adp;
    if (std::memcmp(magic, "OggS", 4) == 0)
        return Kind::Ogg;
    return Kind::Mp3;
}

std::unique_ptr<ZTPcmStream> Probe(Kind kind, ZTStream& source)
{
    switch (kind) {
    case Kind::Wave:
        return std::make_unique<ZTWaveStream>(&source, true);
    case Kind::Mp3:
        return std::make_unique<ZTMp3Stream>(&source, true);
    case Kind::Adp:
        return std::make_unique<ZTAdpStream>(&source);
    case Kind::Ogg:
        return std::make_unique<ZTOggStream>(&source);
    }
    return nullptr;
}

DirectX::TDSoundStream* MakeStream(DirectX::TDSound& sound, Kind kind, TStream& file)
{
    switch (kind) {
    case Kind::Wave:
        return sound.CreateStreamFromWave(&file, false, false);
    case Kind::Mp3:
        return sound.CreateStreamFromMp3(&file, false, false);
    case Kind::Adp:
        return sound.CreateStreamFromAdp(&file, false, false);
    case Kind::Ogg:
        return sound.CreateStreamFromOgg(&file, false, false);
    }
    return nullptr;
}

int Play(const char* path, bool loop)
{
    auto sdl = std::make_shared<audio::SdlAudio>();
    if (!sdl->Start()) {
        std::fprintf(stderr, "playsound: no audio output (SDL cannot start its audio)\n");
        return 1;
    }
    audio::SetDefaultBackEnd(sdl);

    TFileStream file(path, fmOpenRead);
    unsigned channels = 0, rate = 0, bits = 0;
    double seconds = 0;
    Kind kind;
    {
        T2ZTStream source(&file);
        kind = Detect(source);
        const auto probe = Probe(kind, source);
        if (!probe->IsOpen()) {
            std::fprintf(stderr, "playsound: %s: not a sound the decoders accept\n", path);
            return 1;
        }
        channels = probe->GetChannels();
        rate = probe->GetSamplesPerSec();
        bits = probe->GetBitsPerSample();
        seconds = static_cast<double>(probe->GetSize()) / (channels * bits / 8) / rate;
    }

    TWinControl form(nullptr);
    auto* sound = new DirectX::TDSound(&form); // owned by form
    sound->SetChannels(static_cast<unsigned short>(channels));
    sound->SetSamplesPerSec(rate);
    sound->SetBitsPerSample(static_cast<unsigned short>(bits));
    sound->SetEnabled(true);
    if (!sound->Enabled()) {
        std::fprintf(stderr, "playsound: the audio output (%s) cannot play %u Hz %u-bit sound\n",
                     sdl->DriverName().c_str(), rate, bits);
        return 1;
    }
    DirectX::TDSoundStream* stream = MakeStream(*sound, kind, file);
    if (stream == nullptr) {
        std::fprintf(stderr, "playsound: %s: the stream cannot be made\n", path);
        return 1;
    }
    std::atomic<bool> ended{false};
    stream->SetOnNotify([&](TObject*) { ended = true; });
    std::printf("%s: %u channel(s), %u Hz, %u-bit, %.3f s, on %s%s\n", path, channels, rate, bits, seconds,
                sdl->DriverName().c_str(), loop ? ", looping (interrupt to stop)" : "");
    std::fflush(stdout);
    stream->Play(loop);
    while (!ended && !interrupted)
        std::this_thread::sleep_for(10ms);
    // The last periods handed to the device are still to be heard.
    std::this_thread::sleep_for(100ms);
    sound->SetEnabled(false);
    audio::SetDefaultBackEnd(nullptr);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const char* usage = "usage: playsound FILE [--loop]\n"
                        "Plays FILE (RIFF WAVE, MPEG audio, ADP1 or Ogg Vorbis) to its end, or until\n"
                        "interrupted with --loop.\n";
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(usage, stdout);
        return 0;
    }
    const bool loop = argc == 3 && std::strcmp(argv[2], "--loop") == 0;
    if (argc != 2 && !loop) {
        std::fputs(usage, stderr);
        return 2;
    }
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    try {
        return Play(argv[1], loop);
    } catch (const Exception& e) {
        std::fprintf(stderr, "playsound: %s\n", e.what());
        return 1;
    }
}
