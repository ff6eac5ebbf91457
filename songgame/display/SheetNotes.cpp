#include "songgame/display/SheetNotes.h"

#include "songgame/display/CellDrawing.h"

#include "graphics/panels/PanelGeometry.h"

namespace {

constexpr std::int32_t laneY[10] = {86, 75, 65, 54, 66, 55, 45, 34, 54, 66};
constexpr std::int32_t lanePattern[10] = {0, 1, 2, 3, 8, 7, 6, 5, 3, 8};

} // namespace

int SheetNotes::LaneY(int lane)
{
    return laneY[lane % 10];
}

int SheetNotes::LanePattern(int lane)
{
    return lanePattern[lane % 10];
}

void SheetNotes::Rebuild(std::span<TMusicNote> notes, std::int32_t& firstDrawn, std::uint32_t now,
                         int elapsed)
{
    count_ = 0;
    const auto nowPx = static_cast<std::int64_t>(now / ClockPerPixel);
    for (auto i = static_cast<std::size_t>(firstDrawn); i < notes.size(); ++i) {
        TMusicNote& note = notes[i];
        if (note.sound < 0 || note.lane < 0)
            continue;
        const std::int64_t x = note.time / ClockPerPixel - nowPx + JudgeLineX;
        if (x <= LeaveX) {
            firstDrawn = static_cast<std::int32_t>(i);
            continue;
        }
        if (x >= Area.right)
            break;
        if (count_ < MaxDrawn) {
            int pattern = LanePattern(note.lane);
            if (note.autoByRank)
                pattern = pattern >= 5 ? 9 : 4;
            const int bounce = note.state > 1 ? 4 * (note.state - 1) : 0;
            drawn_[static_cast<std::size_t>(count_++)] = {static_cast<std::int32_t>(x),
                                                           LaneY(note.lane) + bounce, pattern, note.lane};
        }
        if (note.state > 1)
            note.state = std::max(1, note.state - elapsed);
    }
}

TXeRect SheetNotes::CellRect(const DrawnNote& note)
{
    TXeRect cell{note.x, note.y, note.x + CellWidth, note.y + CellHeight};
    TXeRect clipped;
    clipped.IntersectRect(cell, Area);
    return clipped;
}

void SheetNotes::Draw(TXeRGBBits& dest, int x, int y, const TXeRect& part, const SheetPictures& pictures) const
{
    const TXeRect clip = Overlap(part, Area);
    if (clip.IsRectEmpty())
        return;
    const std::span<const DrawnNote> drawn(drawn_.data(), static_cast<std::size_t>(count_));
    for (const DrawnNote& note : drawn) {
        const int cx = note.pattern % NoteColumns * CellWidth;
        const int cy = note.pattern / NoteColumns * CellHeight;
        DrawCell(dest, x, y, clip, pictures.notes, pictures.noteMask, {cx, cy, cx + CellWidth, cy + CellHeight},
                 note.x, note.y);
    }
    for (const DrawnNote& note : drawn) {
        const int lx = note.lane % LabelColumns * CellWidth;
        const int ly = note.lane / LabelColumns * LabelHeight;
        const int top = note.pattern >= NoteColumns ? note.y : note.y + CellHeight - LabelHeight;
        DrawCell(dest, x, y, clip, pictures.labels, pictures.labelMask, {lx, ly, lx + CellWidth, ly + LabelHeight},
                 note.x, top);
    }
}

TXeRect GClefRect(int reaction)
{
    const int v = 6 - std::clamp(reaction, 0, 6);
    return {4 * v, 10 * v, 96 - 4 * v, 240 - 10 * v};
}
