// DSoundGameDevice: the game's sound channels over the sound device DirectX::TDSound.
#pragma once

#include "shell/sound/GameSoundDevice.h"

namespace DirectX {
class TCustomDSoundBuffer;
class TDSound;
}

// Makes whole-sound buffers and streams with the device (both option flags off). Each sound holds
// a weak reference to its device buffer: when the device is disabled (which deletes every buffer
// it made) the sound becomes silent and inert instead of dangling.
class DSoundGameDevice : public GameSoundDevice {
public:
    // The device is the caller's and must outlive this object and every sound made with it.
    explicit DSoundGameDevice(DirectX::TDSound* sound);

    std::unique_ptr<GameSound> CreateBufferFromOgg(TStream* stream) override;
    std::unique_ptr<GameSound> CreateStreamFromOgg(TStream* stream) override;
    std::unique_ptr<GameSound> CreateBufferMute(int seconds) override;

private:
    DirectX::TDSound* sound_;
};

// A game sound over a buffer or stream the device made (held weakly, deleted with the sound); null
// for null.
std::unique_ptr<GameSound> WrapDeviceSound(DirectX::TCustomDSoundBuffer* buffer);
