// SdlInput: translates SDL's input and window events of the host's window into window events.
//
// Keys: SDL's scancodes become virtual-key codes (letters by the key's own letter, so a keyboard
// layout's letters hold); the shift state is the event's own modifiers. Return, Backspace, Escape
// and Tab without Ctrl or Alt also type their control character after the key-down, as a Windows
// keyboard does. Typed text arrives as UTF-8 and is delivered as key presses, one per byte of its
// ANSI code-page form. Mouse: positions are client coordinates of the picture, mapped back
// through the fit rectangle when the window shows the picture scaled (full screen) and clamped to
// the picture in the black bars (unscaled, a captured mouse may lie outside, as on Windows); the shift state holds the modifiers and the buttons held (the
// pressed one included on a down, the released one excluded on an up); an even click count marks
// a double click (ssDouble); the wheel gives 120 per notch, positive away from the user.
//
// Threads: UI thread only (SDL's event and modifier state belong to it).
#pragma once

#include "platform/host/WindowEvent.h"
#include "platform/video/VideoTypes.h"

#include <cstdint>
#include <vector>

union SDL_Event;
struct SDL_Keysym;

namespace host {

class SdlInput {
public:
    // `picture`: the size of the picture the window shows; `shown`: the size of the window's
    // drawing area (the desktop in full screen).
    void SetView(video::Size picture, video::Size shown);
    // Appends the window events `event` makes; nothing for an event that is not input.
    void Translate(const SDL_Event& event, std::vector<WindowEvent>& out);
    // The virtual-key code of a key; 0 for a key that has none.
    static std::uint16_t VirtualKey(const SDL_Keysym& key);

private:
    void Key(const SDL_Event& event, std::vector<WindowEvent>& out) const;
    void Button(const SDL_Event& event, std::vector<WindowEvent>& out);
    void Window(const SDL_Event& event, std::vector<WindowEvent>& out);
    void Text(const char* utf8, std::vector<WindowEvent>& out) const;
    void Place(WindowEvent& event, int windowX, int windowY) const;

    video::Size picture_{640, 480};
    video::Size shown_{640, 480};
    TShiftState buttons_ = 0; // ssLeft, ssRight, ssMiddle held, from the button events
};

} // namespace host
