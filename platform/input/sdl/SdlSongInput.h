// SdlSongInput: feeds the song input from SDL's events on the UI thread: keys by scancode as scan
// codes (DIK), the window's focus, and the first joystick's buttons.
//
// Threads: UI thread only (SDL's events and joysticks belong to it).
#pragma once

#include "platform/input/SongInput.h"

#include <cstdint>

union SDL_Event;
struct _SDL_Joystick;

namespace input {

class SdlSongInput {
public:
    // Starts SDL's joystick subsystem; the first joystick is opened when SDL reports it.
    explicit SdlSongInput(SongInput& target);
    ~SdlSongInput();
    SdlSongInput(const SdlSongInput&) = delete;
    SdlSongInput& operator=(const SdlSongInput&) = delete;

    void Feed(const SDL_Event& event);
    // The scan code of an SDL scancode; 0 for a key that has none.
    static std::uint8_t ScanCodeOf(int sdlScancode);

private:
    void OpenJoystick(int deviceIndex);
    void CloseJoystick();

    SongInput& target_;
    bool joystickSystem_ = false;
    _SDL_Joystick* joystick_ = nullptr;
    std::int32_t joystickId_ = -1;
};

} // namespace input
