// FormServices: what the main form asks of the machine besides its devices (the program's folder,
// the millisecond clock, sleeping, the processor check, the mouse pointer, the application's
// activity and the message loop), so that a test can script each of them.
#pragma once

#include "platform/classes/AnsiString.h"
#include "platform/classes/Controls.h"

#include <cstdint>
#include <functional>

namespace host {
class Host;
}

struct FormServices {
    // The folder of the program and of its settings file, ending in "\".
    AnsiString programFolder;
    // The system's millisecond tick count (it wraps after 49.7 days).
    std::function<std::uint32_t()> tickCount;
    // Gives up the calling thread for `ms` milliseconds (0: the rest of its time slice).
    std::function<void(unsigned ms)> sleep;
    std::function<bool()> mmxSupported;
    // The mouse pointer in the form's client coordinates, and moving it there.
    std::function<TPoint()> cursorPos;
    std::function<void(int x, int y)> setCursorPos;
    // Whether the game is the active application (full screen presents only then).
    std::function<bool()> applicationActive;
    // Ends the message loop (exit code 0), and asks the form's window to close; both post and return.
    std::function<void()> postQuit;
    std::function<void()> postClose;
    // Runs the work on the UI thread later, after what was posted before it; returns at once.
    std::function<void(std::function<void()>)> post;

    // The machine's own: the executable's folder, the monotonic clock, real sleeps, the processor's
    // answer, a pointer at (0, 0), always active, and a message loop that nothing runs yet.
    static FormServices Machine();
    // The machine's own, with the pointer, the activity and the message loop of the host's window;
    // the close message runs `close` on the UI thread. The host must outlive the form.
    static FormServices ForHost(host::Host& host, std::function<void()> close);
};
