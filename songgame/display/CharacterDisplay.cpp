#include "songgame/display/CharacterDisplay.h"

#include "songgame/display/PictureSequence.h"

#include "songgame/display/CellDrawing.h"

#include <algorithm>

bool ValidCharacter(int character)
{
    return character >= 0 && character < StageCharacters;
}

const PictureEntry* CharacterDisplay::Entry(int character, std::int32_t entry) const
{
    if (entry < 0 || entry >= CharacterEntries)
        return nullptr;
    return &resources_.characters[static_cast<std::size_t>(character)].entries[static_cast<std::size_t>(entry)];
}

const PictureEntry* CharacterDisplay::Shown(int character) const
{
    const StageCharacterState& c = At(character);
    if (c.miss >= 0)
        return &resources_.characters[static_cast<std::size_t>(character)].miss;
    return Entry(character, c.overlay >= 0 ? c.overlay : c.base);
}

std::int32_t CharacterDisplay::ShownFrame(int character) const
{
    const StageCharacterState& c = At(character);
    if (c.miss >= 0)
        return c.miss;
    return c.overlay >= 0 ? c.overlayFrame : c.baseFrame;
}

TXeRect CharacterDisplay::Rect(int character) const
{
    const StageCharacterState& c = At(character);
    const PictureEntry* shown = Shown(character);
    if (shown == nullptr)
        return {c.x, c.y, c.x, c.y};
    return {c.x, c.y, c.x + shown->cellWidth, c.y + shown->cellHeight};
}

void CharacterDisplay::Flag(int character)
{
    const TXeRect rect = Rect(character);
    if (!rect.IsRectEmpty())
        sink_.Flag(rect);
}

void CharacterDisplay::Animate(int elapsed)
{
    for (int character = 0; character < StageCharacters; ++character) {
        if (At(character).active)
            AnimateOne(character, elapsed);
    }
}

void CharacterDisplay::AnimateOne(int character, int elapsed)
{
    // A frame of the same picture keeps the rectangle: one flag covers before and after.
    StageCharacterState& c = At(character);
    if (const PictureEntry* base = Entry(character, c.base); base != nullptr && base->frameCount > 0) {
        c.baseTime += elapsed;
        if (StepSequence(*base, c.baseFrame, c.baseTime, true) && c.miss < 0 && c.overlay < 0)
            Flag(character);
    }
    if (const PictureEntry* overlay = Entry(character, c.overlay); overlay != nullptr) {
        if (overlay->frameCount > 0) {
            c.overlayTime += elapsed;
            if (StepSequence(*overlay, c.overlayFrame, c.overlayTime, false) && c.miss < 0)
                Flag(character);
        }
        if (overlay->frameCount == 0 || (c.overlayFrame & SequenceFinished) != 0)
            EndPicture(character, c.overlay);
    }
    if (c.miss >= 0) {
        const PictureEntry& miss = resources_.characters[static_cast<std::size_t>(character)].miss;
        if (miss.frameCount > 0) {
            c.missTime += elapsed;
            if (StepSequence(miss, c.miss, c.missTime, false))
                Flag(character);
        }
        if (miss.frameCount == 0 || (c.miss & SequenceFinished) != 0)
            EndPicture(character, c.miss);
    }
    Move(character, elapsed);
}

void CharacterDisplay::EndPicture(int character, std::int32_t& picture)
{
    Flag(character);
    picture = -1;
    Flag(character);
}

void CharacterDisplay::Move(int character, int elapsed)
{
    StageCharacterState& c = At(character);
    if (c.moveDuration <= 0)
        return;
    c.moveTicks = std::min(c.moveTicks + elapsed, c.moveDuration);
    const std::int32_t x = c.startX + (c.targetX - c.startX) * c.moveTicks / c.moveDuration;
    const std::int32_t y = c.startY + (c.targetY - c.startY) * c.moveTicks / c.moveDuration;
    if (x == c.x && y == c.y)
        return;
    Flag(character);
    c.x = x;
    c.y = y;
    Flag(character);
}

void CharacterDisplay::SetPicture(int character, int entry)
{
    if (!ValidCharacter(character) || entry < 0 || entry >= CharacterEntries)
        return;
    StageCharacterState& c = At(character);
    const bool showsBase = c.active && c.miss < 0 && c.overlay < 0;
    if (showsBase)
        Flag(character);
    c.base = entry;
    c.baseFrame = 0;
    c.baseTime = 0;
    if (showsBase)
        Flag(character);
}

void CharacterDisplay::SetOverlay(int character, int entry)
{
    if (!ValidCharacter(character) || entry < 0 || entry >= CharacterEntries)
        return;
    StageCharacterState& c = At(character);
    const bool shows = c.active && c.miss < 0;
    if (shows)
        Flag(character);
    c.overlay = entry;
    c.overlayFrame = 0;
    c.overlayTime = 0;
    if (shows)
        Flag(character);
}

void CharacterDisplay::SetPosition(int character, int x, int y, int moveTime, bool animate)
{
    if (!ValidCharacter(character))
        return;
    StageCharacterState& c = At(character);
    if (x >= StageWidth || y >= StageHeight) {
        if (c.active) {
            Flag(character);
            c.active = 0;
            c.x = StageWidth;
            c.y = 0;
            c.moveDuration = 0;
        }
        return;
    }
    if (!c.active) {
        c.active = 1;
        c.x = x;
        c.y = y;
        c.moveDuration = 0;
        Flag(character);
        return;
    }
    if (animate && moveTime > 0) {
        c.startX = c.x;
        c.startY = c.y;
        c.targetX = x;
        c.targetY = y;
        c.moveTicks = 0;
        c.moveDuration = moveTime;
        return;
    }
    Flag(character);
    c.x = x;
    c.y = y;
    c.moveDuration = 0;
    Flag(character);
}

void CharacterDisplay::Shake()
{
    for (int character = 0; character < StageCharacters; ++character) {
        if (resources_.characters[static_cast<std::size_t>(character)].miss.frameCount <= 0)
            continue;
        StageCharacterState& c = At(character);
        if (c.active)
            Flag(character);
        c.miss = 0;
        c.missTime = 0;
        if (c.active)
            Flag(character);
    }
}

bool CharacterDisplay::SortDepth()
{
    auto bottom = [this](std::int32_t character) {
        const StageCharacterState& c = At(character);
        if (!c.active)
            return std::int32_t{0};
        const PictureEntry* base = Entry(character, c.base);
        return c.y + (base != nullptr ? base->cellHeight : 0);
    };
    auto order = state_.depth;
    // Insertion sort: stable, and the order of four characters is nearly always kept.
    for (std::size_t i = 1; i < order.size(); ++i) {
        const std::int32_t key = order[i];
        std::size_t j = i;
        for (; j > 0 && bottom(order[j - 1]) > bottom(key); --j)
            order[j] = order[j - 1];
        order[j] = key;
    }
    if (order == state_.depth)
        return false;
    state_.depth = order;
    for (int character = 0; character < StageCharacters; ++character) {
        if (At(character).active)
            Flag(character);
    }
    return true;
}

void CharacterDisplay::Draw(TXeRGBBits& dest, int x, int y, const TXeRect& part) const
{
    for (const std::int32_t character : state_.depth) {
        const StageCharacterState& c = At(character);
        const PictureEntry* shown = c.active ? Shown(character) : nullptr;
        if (shown == nullptr || shown->columns <= 0)
            continue;
        const std::int32_t frame = ShownFrame(character) & SequenceFrameMask;
        if (frame >= std::min(shown->frameCount, EntryFrames))
            continue;
        const std::int32_t cell = shown->cells[static_cast<std::size_t>(frame)];
        if (cell < 0)
            continue;
        const int cellX = cell % shown->columns * shown->cellWidth;
        const int cellY = cell / shown->columns * shown->cellHeight;
        DrawCell(dest, x, y, part, shown->picture, shown->mask,
                 {cellX, cellY, cellX + shown->cellWidth, cellY + shown->cellHeight}, c.x, c.y);
    }
}
