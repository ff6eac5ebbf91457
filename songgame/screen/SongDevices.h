// SongDevices: what the song screen uses of the machine besides its data: the sound device for key
// sounds, stage effects and the music, the game's silence buffer, and the song input service.
#pragma once

#include "songgame/sound/SongSoundDevice.h"

#include "platform/input/SongInput.h"

#include <functional>
#include <memory>

struct SongDevices {
    SongSoundDevice* sounds = nullptr; // none: every sound fails to be made
    std::function<void()> playMute;    // plays the game's silence buffer once
    input::SongInput* input = nullptr; // none: the input cannot be set up
};

// The main form's devices (its sound device through `owned`, which the caller keeps as long as the
// devices are used), or none when no form exists.
SongDevices GameFormSongDevices(std::unique_ptr<SongSoundDevice>& owned);
