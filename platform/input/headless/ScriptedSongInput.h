// ScriptedSongInput: the song input's back end for tests: key presses, releases, focus changes and
// joystick buttons played into a SongInput by the test, stamped by a clock the test advances.
#pragma once

#include "platform/input/SongInput.h"

#include <cstdint>

namespace input {

class ScriptedSongInput {
public:
    explicit ScriptedSongInput(SongInput& target) : target_(target) {}

    void Advance(std::uint32_t ms) { clock_ += ms; }
    void Press(std::uint8_t code) { target_.KeyEvent(code, true, clock_); }
    void Release(std::uint8_t code) { target_.KeyEvent(code, false, clock_); }
    // Press and release.
    void Tap(std::uint8_t code)
    {
        Press(code);
        Release(code);
    }
    void Focus(bool focused) { target_.FocusEvent(focused); }
    void AttachJoystick(bool attached) { target_.JoystickEvent(attached); }
    void Button(int physical, bool down) { target_.ButtonEvent(physical, down); }

private:
    SongInput& target_;
    std::uint32_t clock_ = 0;
};

} // namespace input
