// CharacterDisplay: the four stage characters while a song runs: their pictures and sequences, the
// overlay and miss animations, moves, and the depth order they are drawn in. Every change flags the
// character's rectangle before and after it on the stage panel.
//
// Logic thread only.
#pragma once

#include "songgame/display/RectSink.h"
#include "songgame/stage/StageResources.h"
#include "songgame/stage/StageState.h"

#include "base/util/TXeRect.h"

class TXeRGBBits;

class CharacterDisplay {
public:
    CharacterDisplay(StageState& state, const StageResources& resources, RectSink& sink)
        : state_(state), resources_(resources), sink_(sink)
    {
    }

    // The picture entry a character shows: the miss picture while a miss runs, else the overlay
    // when one is set, else the base picture; null without one.
    const PictureEntry* Shown(int character) const;
    // Its frame state.
    std::int32_t ShownFrame(int character) const;
    // Its position and the cell size of the picture it shows.
    TXeRect Rect(int character) const;

    void Animate(int elapsed);
    void SetPicture(int character, int entry);
    void SetOverlay(int character, int entry);
    // Off the stage (x >= 640 or y >= 300) hides; a hidden character appears at once; else a move
    // over moveTime ticks when `animate`, or a jump.
    void SetPosition(int character, int x, int y, int moveTime, bool animate);
    // Starts the miss animation of every character that has one.
    void Shake();
    // Sorts the drawing order by the bottom edge (stable); true (and every active character flagged)
    // when it changed.
    bool SortDepth();
    // Draws the active characters in depth order: the part `part` of the stage (stage coordinates)
    // whose origin lands on (x, y) of dest. Each cell is clipped to its picture; a picture with a
    // mask is laid over through it, one without keys out its top-left pixel's colour.
    void Draw(TXeRGBBits& dest, int x, int y, const TXeRect& part) const;

private:
    StageCharacterState& At(int character) { return state_.characters[static_cast<std::size_t>(character)]; }
    const StageCharacterState& At(int character) const
    {
        return state_.characters[static_cast<std::size_t>(character)];
    }
    const PictureEntry* Entry(int character, std::int32_t entry) const;
    void Flag(int character);
    void AnimateOne(int character, int elapsed);
    void Move(int character, int elapsed);
    // Ends an overlay or miss animation (the shown picture changes).
    void EndPicture(int character, std::int32_t& picture);

    StageState& state_;
    const StageResources& resources_;
    RectSink& sink_;
};

// Whether a character number and a picture entry number are in range.
bool ValidCharacter(int character);
