// GameSound and GameSoundDevice: what the game's sound channels need of the sound device, so that
// the channels run on the real device (DSoundGameDevice) or on a recording one in tests.
//
// Volumes are attenuations in hundredths of a decibel (-10000 silence .. 0 full). A GameSound is
// driven by one thread at a time (the channels hold their sound lock); making and deleting sounds
// may happen on any game thread.
#pragma once

#include <cstdint>
#include <memory>

class TStream;

// One buffer or stream of the device.
class GameSound {
public:
    virtual ~GameSound() = default;
    // Starts from the beginning, looping or once; false when the device refuses.
    virtual bool Play(bool loop) = 0;
    virtual void Stop() = 0;
    virtual void SetVolume(std::int32_t attenuation) = 0;
    // True while the device reports it playing (a sound played once stops by itself at its end).
    virtual bool IsPlay() = 0;
    // The byte position now heard and the bytes a second of the sound's own format; false when
    // the sound cannot tell.
    virtual bool GetPlayPosition(std::uint64_t& position, std::uint32_t& bytesPerSecond)
    {
        (void)position;
        (void)bytesPerSecond;
        return false;
    }
};

class GameSoundDevice {
public:
    virtual ~GameSoundDevice() = default;
    // A whole sound decoded from Ogg Vorbis data read from the stream's start; null when it cannot
    // be decoded or the buffer cannot be made. The stream may be closed afterwards.
    virtual std::unique_ptr<GameSound> CreateBufferFromOgg(TStream* stream) = 0;
    // A sound that keeps decoding Ogg Vorbis data from the stream while it plays; the stream must
    // stay open until the sound is deleted. Null on failure.
    virtual std::unique_ptr<GameSound> CreateStreamFromOgg(TStream* stream) = 0;
    // `seconds` of silence in the device's primary format; null on failure.
    virtual std::unique_ptr<GameSound> CreateBufferMute(int seconds) = 0;
};
