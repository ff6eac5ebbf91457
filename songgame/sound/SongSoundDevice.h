// SongSound and SongSoundDevice: what the song screen needs of the sound device (whole key sounds
// and stage effects, the music stream), so that the screen runs on the real device
// (DSoundSongDevice) or on a recording one in tests.
//
// Volumes are attenuations in hundredths of a decibel (-10000 silence .. 0 full). Sounds are made
// and driven on the logic thread.
#pragma once

#include "platform/classes/AnsiString.h"
#include "shell/sound/GameSoundDevice.h"

#include <cstdint>
#include <memory>
#include <string_view>

class TStream;

// The decoder a sound file needs.
enum class SongSoundKind : std::uint8_t { Wave = 0, Adpcm = 1, Ogg = 2 };

// By extension compared in upper case: ".ADP" ADPCM, ".OGG" Ogg Vorbis, anything else WAVE.
SongSoundKind SoundKindOfName(std::string_view fileName);

// One key sound, stage effect or music stream: the game's own sound interface.
using SongSound = GameSound;

class SongSoundDevice {
public:
    virtual ~SongSoundDevice() = default;
    // A whole sound decoded from the stream's start; the stream may be closed afterwards. Null when
    // it cannot be decoded or the buffer cannot be made.
    virtual std::unique_ptr<SongSound> CreateBuffer(SongSoundKind kind, TStream* stream) = 0;
    // A sound that keeps decoding the stream while it plays; the stream must stay open until the
    // sound is deleted. Null on failure.
    virtual std::unique_ptr<SongSound> CreateStream(SongSoundKind kind, TStream* stream) = 0;
};
