#include "songgame/sound/DSoundSongDevice.h"

#include "shell/sound/DSoundGameDevice.h"
#include "sound/TDSound.h"

std::unique_ptr<SongSound> DSoundSongDevice::CreateBuffer(SongSoundKind kind, TStream* stream)
{
    switch (kind) {
    case SongSoundKind::Adpcm:
        return WrapDeviceSound(sound_->CreateBufferFromAdp(stream, false, false, false));
    case SongSoundKind::Ogg:
        return WrapDeviceSound(sound_->CreateBufferFromOgg(stream, false, false, false));
    case SongSoundKind::Wave:
        break;
    }
    return WrapDeviceSound(sound_->CreateBufferFromWave(stream, false, false, false));
}

std::unique_ptr<SongSound> DSoundSongDevice::CreateStream(SongSoundKind kind, TStream* stream)
{
    switch (kind) {
    case SongSoundKind::Adpcm:
        return WrapDeviceSound(sound_->CreateStreamFromAdp(stream, false, false));
    case SongSoundKind::Ogg:
        return WrapDeviceSound(sound_->CreateStreamFromOgg(stream, false, false));
    case SongSoundKind::Wave:
        break;
    }
    return WrapDeviceSound(sound_->CreateStreamFromWave(stream, false, false));
}
