// WindowEvent: one input or window event of the host's window, as the UI thread delivers it.
#pragma once

#include "platform/classes/Controls.h"

#include <cstdint>

namespace host {

struct WindowEvent {
    enum class Kind : std::uint8_t {
        KeyDown,      // key, shift
        KeyUp,        // key, shift
        KeyPress,     // key: one byte of a typed character in the ANSI code page
        MouseMove,    // shift, x, y
        MouseDown,    // button, shift, x, y
        MouseUp,      // button, shift, x, y
        MouseWheel,   // shift, wheelDelta, x, y
        MouseEnter,   // x, y
        MouseLeave,   //
        Activate,     // the window got the keyboard focus
        Deactivate,   // the window lost it
        CloseRequest, // the user asked to close the window
    };

    Kind kind = Kind::MouseMove;
    std::uint16_t key = 0;        // a virtual-key code (platform/host/VirtualKeys.h) or a character byte
    TShiftState shift = 0;        // Shift, Alt, Ctrl, mouse buttons held, ssDouble on a double click
    TMouseButton button = mbLeft;
    int x = 0;                    // client coordinates of the picture (0..639 x 0..479), also in full screen
    int y = 0;
    int wheelDelta = 0;           // 120 a notch, positive away from the user

    bool operator==(const WindowEvent&) const = default;
};

} // namespace host
