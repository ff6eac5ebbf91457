// The stage's weather, kept in a background block: placing and moving its 128 particles and drawing
// its two layers (behind and in front of the characters): snow, film scratches and three kinds of
// streaks.
#pragma once

#include "base/util/TXeRect.h"
#include "scenario/stage/StageBlocks.h"

class TRandom;
class TXeRGBBits;

// Weather kinds of a background block.
inline constexpr int kWeatherNone = 0;
inline constexpr int kWeatherSnow = 2;
inline constexpr int kWeatherScratches = 3;
inline constexpr int kWeatherQuiet = 4;
inline constexpr int kWeatherStreaks = 5;
inline constexpr int kWeatherSpreading = 6;
inline constexpr int kWeatherNarrowing = 7;

// Colour the lines of streaks and scratches add or subtract.
inline constexpr std::uint32_t kWeatherLineColour = 0x202020;

// Which layers a kind shows.
bool WeatherShowsBack(int kind);
bool WeatherShowsFront(int kind);
// Streaks drawn at weather level 0..4: (128 x level + 128) / 5.
int StreakCount(int level);

// Places the particles for the block's kind and clears its counter (other kinds: the counter only).
void InitWeather(TBGStat& block, TRandom& random);

// Layers whose look changed in an update.
struct TWeatherChange {
    bool back = false;
    bool front = false;
};
// One stage update of n frames: streaks are placed anew every second frame, snow falls on every
// second update with a drift that changes every eight, and scratches jump or wobble every second
// frame.
TWeatherChange UpdateWeather(TBGStat& block, int frames, TRandom& random);

// Draws one layer into dst. The layers cover the whole 640 x 480 scene from its origin, which lies
// at (originX, originY) of dst; only the part of dst inside `area` is changed.
void DrawWeatherBack(const TBGStat& block, TXeRGBBits* dst, const TXeRect& area, int originX, int originY,
                     TXeRGBBits* snow);
void DrawWeatherFront(const TBGStat& block, TXeRGBBits* dst, const TXeRect& area, int originX, int originY,
                      TXeRGBBits* snow);
