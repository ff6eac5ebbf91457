// SongDevices: what the song screen uses of the machine besides its data: the sound device for key
// sounds, stage effects and the music, the game's silence buffer, and the song input service.
#pragma once

#include "songgame/sound/SongSoundDevice.h"

#include "platform/classes/AnsiString.h"
#include "platform/input/SongInput.h"

#include <cstdint>
#include <functional>
#include <memory>

struct SongDevices {
    SongSoundDevice* sounds = nullptr; // none: every sound fails to be made
    std::function<void()> playMute;    // plays the game's silence buffer once
    input::SongInput* input = nullptr; // none: the input cannot be set up
    // The run's services (each may be empty: nothing happens, nothing plays, the counter stays 0).
    std::function<std::uint32_t()> musicMs;            // the timer's millisecond count
    std::function<void(const char*)> playSystemSound;  // a system sound by name, from the game data
    std::function<bool()> systemSoundPlaying;
    std::function<void()> takeSnapshot;                // a snapshot without the cursor
    std::function<void(int)> setResult;                // hands the run's result to the logic thread
    // The settings file the joystick's button table is read from (empty: the default table).
    AnsiString settingsFile;
};

// The main form's devices (its sound device through `owned`, which the caller keeps as long as the
// devices are used), or none when no form exists.
SongDevices GameFormSongDevices(std::unique_ptr<SongSoundDevice>& owned);
