// SubWinHost: what the sub-windows ask of the game form: system sounds and moving the mouse
// pointer. The game's own host reaches the main form; tests record the calls.
#pragma once

#include "platform/classes/AnsiString.h"

class TFileMan;

class SubWinHost {
public:
    virtual ~SubWinHost() = default;
    // Plays the named system sound from the data files.
    virtual void PlaySystemSE(const AnsiString& name, TFileMan* files) = 0;
    // Moves the mouse pointer to (x, y) of the screen (the root panel's coordinates).
    virtual void SetMousePos(int x, int y) = 0;
};

// The host that reaches the running game's main form (nothing when there is none).
SubWinHost& GameFormSubWinHost();
