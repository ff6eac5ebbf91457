// The stage's two picture holders, in memory only: the background block (picture, alpha plane,
// weather particles, pages) and the character block (sheet, alpha plane, images cut from it,
// animations and the four entries that show them), with the entry rules every caller shares:
// which sheet rectangle an entry shows, starting, stopping and stepping it.
#pragma once

#include "base/util/TXeRect.h"

#include <array>
#include <cstdint>

class TRandom;
class TXeAlpha;
class TXeRGBBits;

inline constexpr int kParticleCount = 128;
inline constexpr int kImageCount = 16;
inline constexpr int kAnimCount = 4;
inline constexpr int kFrameCount = 16;
inline constexpr int kEntryCount = 4;
// Frame images that are not pictures.
inline constexpr int kFrameEnd = -1;
inline constexpr int kFrameLoop = -2;
// Entry roles.
inline constexpr int kEntryBody = 0;
inline constexpr int kEntryEyes = 1;
inline constexpr int kEntryMouth = 2;
inline constexpr int kEntryExtra = 3;

// Pictures are made and freed through the memory registry by the stage, which knows when two
// background blocks share them.
struct TBGStat {
    bool Loaded = false;
    TXeRGBBits* Picture = nullptr;
    TXeAlpha* Alpha = nullptr;
    int WeatherKind = 0;
    int WeatherCounter = 0;
    std::array<std::int16_t, kParticleCount> X{};
    std::array<std::int16_t, kParticleCount> Y{};
    std::array<int, 4> Drift{};
    int WeatherLevel = 4;
    int Pages = 1;
    int PageWait = 1;
    int PageCounter = 0;
    int Page = 0;
};

struct TImgRect {
    int PosX = 0;
    int PosY = 0;
    int Width = 0; // 0: no image
    int Height = 0;
};

struct TAnimFrame {
    int Image = kFrameEnd; // 0..15 an image, kFrameEnd or kFrameLoop
    int Duration = 1;      // frames, 1 or more
};

struct TCharEntry {
    int PosX = 0; // where the entry sits in the character panel
    int PosY = 0;
    int ImgId = -1;
    int AnimId = -1;
    int Counter = 0; // -1: stopped
    int Frame = 0;
};

struct TCharStat {
    bool Loaded = false;
    int BaseWidth = 0;
    int BaseHeight = 0;
    TXeRGBBits* Picture = nullptr;
    TXeAlpha* Alpha = nullptr;
    std::array<TImgRect, kImageCount> Img{};
    std::array<std::array<TAnimFrame, kFrameCount>, kAnimCount> Anim{};
    std::array<TCharEntry, kEntryCount> Entry{};
    int BlinkTimer = 0;
};

// The sheet rectangle the entry shows now: its image, else its animation's current frame image;
// empty when that is not set, outside 0..15 (an animation outside 0..3, a frame outside 0..15) or
// has width 0.
TXeRect EntrySourceRect(const TCharStat& block, int entry);
// Where that rectangle lands in the character panel: its size at the entry's position.
TXeRect EntryPanelRect(const TCharStat& block, int entry);
// Starting sets counter and frame to 0; stopping sets the counter to -1 and shows the first frame.
void StartEntry(TCharStat& block, int entry);
void StopEntry(TCharStat& block, int entry);
// One update of an animated entry that runs on an image frame: when its counter reaches the
// frame's duration it moves to the next frame, which stops it at an END frame (staying on the
// frame before) or after frame 15, and wraps it to frame 0 at a LOOP frame. On a frame change the
// entry's panel rectangles before and after are given back for flagging.
struct TEntryStep {
    bool changed = false;
    TXeRect before;
    TXeRect after;
};
TEntryStep StepEntry(TCharStat& block, int entry);
// One update of the blink timer of a block whose eyes (entry 1) are animated and stopped: a timer
// of 0 is set to 120 + Random(60) frames; otherwise it counts down and starts the eyes at 0.
TEntryStep StepBlink(TCharStat& block, TRandom& random);
// One update of the page animation of a loaded block with two or more pages; true when the page
// turned.
bool StepPages(TBGStat& block);
