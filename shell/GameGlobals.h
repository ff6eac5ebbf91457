// The process-wide objects every screen reads: the main form, the memory registry, the three file
// managers, the two bit depths, the start-up flags the form reads and the shared random generator.
// The main form makes and sets the registry, the file managers and the depths when it is created,
// before any game thread runs, and clears them when it is destroyed; game code only reads them.
#pragma once

#include "graphics/bitmaps/PixelFormat.h"

#include <atomic>
#include <cstdint>

class TFileMan;
class TGameForm;
class TMemMan;
class TRandom;

// Set by the start-up window when it creates the main form; null before and after.
extern TGameForm* GameForm;

// The one memory registry through which every object and raw block of the game is made and freed.
extern TMemMan* MemMan;
// Data ("Game.pak" or the folder "Game_Pak"), BGM (the folder "BGM") and scripts ("Script.pak" or
// the folder "Script_Pak").
extern TFileMan* DataFileMan;
extern TFileMan* BGMFileMan;
extern TFileMan* ScriptFileMan;
// The depth of every work bitmap (bd32 or bd24) and the deepest 640 x 480 display mode found
// (bd16, bd24, bd32, or bdNone before the display check).
extern TBitDepth GameBitDepth;
extern TBitDepth DisplayBitDepth;

// Start-up flags, 0 or 1, set before any form exists (shell/startup). WindowMode is changed by the
// window and full-screen switch on the UI thread while frame threads read it, hence atomic.
extern std::atomic<std::uint8_t> WindowMode;      // 1 a window, 0 full screen
extern std::atomic<std::uint8_t> ShowFPS;         // the "%2d FPS" counter is drawn
extern std::atomic<std::uint8_t> CapEnable;       // snapshots go to "Snap%03d.png", not the clipboard
extern std::atomic<std::uint8_t> MusicMemorySave; // song screens load key sounds on demand
extern std::atomic<std::uint8_t> MusicForceAuto;  // every song plays itself

// The game's one shared random generator.
TRandom& SharedRandom();
// Draws and discards n numbers, so that each start begins at another point of the sequence.
void StepSharedRandom(std::uint32_t n);
