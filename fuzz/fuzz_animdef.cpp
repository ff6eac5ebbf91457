// Fuzzes the animated-picture definition reader: any text read into a character block leaves every
// image inside the sheet, every duration positive, and every entry's rectangle inside the sheet
// through a run of its animation.
#include "scenario/stage/AnimDefinition.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

constexpr int kSheet = 256;

bool InSheet(const TXeRect& r)
{
    return r.IsRectEmpty() || (r.left >= 0 && r.top >= 0 && r.right <= kSheet && r.bottom <= kSheet);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TStringList lines;
    lines.SetText(std::string_view(reinterpret_cast<const char*>(data), size));
    TCharStat block;
    ParseAnimDefinition(block, lines, kSheet, kSheet);
    for (const TImgRect& img : block.Img)
        if (img.Width < 0 || img.Height < 0 || !InSheet(XeRect(img.PosX, img.PosY, img.PosX + img.Width, img.PosY + img.Height)))
            __builtin_trap();
    for (const auto& anim : block.Anim)
        for (const TAnimFrame& frame : anim)
            if (frame.Duration < 1)
                __builtin_trap();
    for (int entry = 0; entry < kEntryCount; ++entry) {
        StartEntry(block, entry);
        for (int update = 0; update < 64; ++update) {
            if (!InSheet(EntrySourceRect(block, entry)))
                __builtin_trap();
            StepEntry(block, entry);
        }
    }
    return 0;
}
