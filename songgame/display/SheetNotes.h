// SheetNotes: the notes drawn on the note sheet this frame, scrolling towards the judgement line at
// 200 pixels a second, and the bounce of struck notes counting down as they go.
#pragma once

#include "songgame/chart/TMusicNote.h"

class TXeAlpha;
class TXeRGBBits;

#include "base/util/TXeRect.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

// The sheet's pictures: note cells (5 columns, 2 rows of patterns) and key labels (10 columns, 3
// rows of lanes), each with its mask.
struct SheetPictures {
    TXeRGBBits* notes = nullptr;
    const TXeAlpha* noteMask = nullptr;
    TXeRGBBits* labels = nullptr;
    const TXeAlpha* labelMask = nullptr;
};

struct DrawnNote {
    std::int32_t x;
    std::int32_t y;
    std::int32_t pattern; // 0..9, the cell of "SongNote.png"
    std::int32_t lane;
};

class SheetNotes {
public:
    static constexpr int MaxDrawn = 256;
    static constexpr int JudgeLineX = 84;
    static constexpr int LeaveX = -18;
    static constexpr int CellWidth = 27;
    static constexpr int CellHeight = 66;
    static constexpr int LabelHeight = 23;
    static constexpr int NoteColumns = 5;
    static constexpr int LabelColumns = 10;
    static constexpr std::uint32_t ClockPerPixel = 441;
    // Where notes are drawn on the sheet panel.
    static constexpr TXeRect Area{9, 0, 486, 180};

    static int LaneY(int lane);
    static int LanePattern(int lane);

    // Rebuilds the list from note firstDrawn on at clock `now`, moving firstDrawn past the notes that
    // left the sheet, and counts struck notes' bounce down by elapsed.
    void Rebuild(std::span<TMusicNote> notes, std::int32_t& firstDrawn, std::uint32_t now, int elapsed);
    void Clear() { count_ = 0; }

    int Count() const { return count_; }
    const DrawnNote& At(int i) const { return drawn_[static_cast<std::size_t>(i)]; }
    // The notes over the part `part` of the sheet (panel coordinates) whose origin lands on (x, y)
    // of dest, inside the sheet area: every note's cell, then every note's key label, at the top of
    // the notes drawn from the bottom row (patterns 5..9) and at the foot of the others.
    void Draw(TXeRGBBits& dest, int x, int y, const TXeRect& part, const SheetPictures& pictures) const;
    // A record's cell, clipped to the sheet area (empty when outside it).
    static TXeRect CellRect(const DrawnNote& note);

private:
    std::array<DrawnNote, MaxDrawn> drawn_{};
    int count_ = 0;
};

// Where the G clef is drawn in its 96 x 240 panel for a reaction level (0..6): full size at 6, half
// size at 0, centred.
TXeRect GClefRect(int reaction);
