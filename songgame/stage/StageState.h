// StageState: where the stage stands while a song runs: the four characters (active, pictures and
// their frame states, position, move) in drawing order, and the background being shown and the one
// fading out. The song load resets it; the run's stage display moves it.
#pragma once

#include "songgame/stage/StageResources.h"

#include <array>
#include <cstdint>

// Stage coordinates at or past which a character is off the stage.
inline constexpr std::int32_t StageWidth = 640;
inline constexpr std::int32_t StageHeight = 300;

struct StageCharacterState {
    std::uint8_t active = 0;
    std::int32_t base = -1; // picture entry 0..31, -1 none
    std::int32_t baseFrame = 0;
    std::int32_t baseTime = 0;
    std::int32_t overlay = -1;
    std::int32_t overlayFrame = 0;
    std::int32_t overlayTime = 0;
    std::int32_t miss = -1;
    std::int32_t missTime = 0;
    std::int32_t x = StageWidth;
    std::int32_t y = 0;
    std::int32_t startX = 0, startY = 0, targetX = 0, targetY = 0;
    std::int32_t moveTicks = 0;
    std::int32_t moveDuration = 0; // 0: no move
};

// The background shown: kind 0 none, 1 picture, 2 animation; its slot, frame and frame time.
struct StageBackgroundState {
    std::int32_t kind = 0;
    std::int32_t slot = 0;
    std::int32_t frame = 0;
    std::int32_t frameTime = 0;
};

struct StageState {
    std::array<StageCharacterState, StageCharacters> characters{};
    std::array<std::int32_t, StageCharacters> depth{0, 1, 2, 3};
    StageBackgroundState current{};
    StageBackgroundState previous{};
    std::int32_t fadeStep = 0;
    std::int32_t fadeTime = 0;

    // Every character hidden, without picture, at (640, 0), not moving, drawn in the order 0..3; no
    // background and no fade.
    void Reset() { *this = StageState{}; }
};
