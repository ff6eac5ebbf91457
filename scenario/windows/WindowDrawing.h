// Drawing shared by the sub-windows: a window picture at a level, unrolled from its middle line
// while the window opens or closes, and the grey tone that darkens the screen under the novel
// window and the backlog.
#pragma once

#include <cstdint>

class TXeRGBBits;
class TXeRGBPanel;

// The open and close life cycle shared by the windows and plates.
enum WindowState : std::uint8_t { wsIdle = 1, wsOpening = 2, wsClosing = 3, wsPrinting = 4 };

// Fade steps of an animated open or close.
inline constexpr int FadeSteps = 5;

// Where a panel's OnDraw asks to draw: the panel's part (sx, sy, w, h) lands at (x, y) of dest.
struct DrawRequest {
    TXeRGBBits* dest;
    int x, y, sx, sy, w, h;
};

// Draws the panel's picture (through its alpha plane when it has one) into the requested part,
// clipped to the picture: level 128 or more opaque, 1..127 blended at that level, 0 not at all.
// While opening or closing only a band about the middle line is drawn, of half-height
// (H/2) x (5 - c) / 5 opening and (H/2) x c / 5 closing, its upper half showing the picture's top
// rows and its lower half the bottom rows. Always true: the panel's own image is never drawn.
bool DrawWindowPicture(const TXeRGBPanel& panel, const DrawRequest& request, int level, WindowState state, int counter);

// The grey level (128 unchanged .. 64 half) that darkens the screen under a window: 64 while it is
// shown, stepping from 128 to 64 while it opens and back while it closes.
int FadeTone(WindowState state, int counter);

// Darkens the requested part of dest by the tone; nothing for an empty part.
bool DrawFadeTone(const DrawRequest& request, WindowState state, int counter);
