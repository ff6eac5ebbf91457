// DSoundSongDevice: the song screen's sounds over the sound device DirectX::TDSound.
#pragma once

#include "songgame/sound/SongSoundDevice.h"

namespace DirectX {
class TDSound;
}

// Makes whole-sound buffers and streams with the device (all option flags off). Each sound holds a
// weak reference to its device buffer: when the device is disabled (which deletes every buffer it
// made) the sound becomes silent and inert instead of dangling.
class DSoundSongDevice : public SongSoundDevice {
public:
    // The device must outlive this object.
    explicit DSoundSongDevice(DirectX::TDSound* sound) : sound_(sound) {}
    std::unique_ptr<SongSound> CreateBuffer(SongSoundKind kind, TStream* stream) override;
    std::unique_ptr<SongSound> CreateStream(SongSoundKind kind, TStream* stream) override;

private:
    DirectX::TDSound* sound_;
};
