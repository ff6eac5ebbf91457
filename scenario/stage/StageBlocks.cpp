#include "scenario/stage/StageBlocks.h"

#include "base/util/TRandom.h"

namespace {

// Frames between blinks: 120 plus a random part below 60.
constexpr int kBlinkPause = 120;
constexpr int kBlinkSpread = 60;

bool InRange(int i, int count) { return i >= 0 && i < count; }

// The image the entry shows now, or -1; an index out of range counts as not set.
int EntryImage(const TCharStat& block, const TCharEntry& e)
{
    if (InRange(e.ImgId, kImageCount))
        return e.ImgId;
    if (!InRange(e.AnimId, kAnimCount) || !InRange(e.Frame, kFrameCount))
        return -1;
    const int image = block.Anim[static_cast<std::size_t>(e.AnimId)][static_cast<std::size_t>(e.Frame)].Image;
    return InRange(image, kImageCount) ? image : -1;
}

} // namespace

TXeRect EntrySourceRect(const TCharStat& block, int entry)
{
    if (!InRange(entry, kEntryCount))
        return {};
    const int image = EntryImage(block, block.Entry[static_cast<std::size_t>(entry)]);
    if (image < 0)
        return {};
    const TImgRect& r = block.Img[static_cast<std::size_t>(image)];
    if (r.Width == 0)
        return {};
    return XeRect(r.PosX, r.PosY, r.PosX + r.Width, r.PosY + r.Height);
}

TXeRect EntryPanelRect(const TCharStat& block, int entry)
{
    const TXeRect source = EntrySourceRect(block, entry);
    if (source.IsRectEmpty())
        return {};
    const TCharEntry& e = block.Entry[static_cast<std::size_t>(entry)];
    return XeRect(e.PosX, e.PosY, e.PosX + (source.right - source.left), e.PosY + (source.bottom - source.top));
}

void StartEntry(TCharStat& block, int entry)
{
    TCharEntry& e = block.Entry[static_cast<std::size_t>(entry)];
    e.Counter = 0;
    e.Frame = 0;
}

void StopEntry(TCharStat& block, int entry)
{
    TCharEntry& e = block.Entry[static_cast<std::size_t>(entry)];
    e.Counter = -1;
    e.Frame = 0;
}

TEntryStep StepEntry(TCharStat& block, int entry)
{
    TCharEntry& e = block.Entry[static_cast<std::size_t>(entry)];
    if (!InRange(e.AnimId, kAnimCount) || e.Counter == -1 || !InRange(e.Frame, kFrameCount))
        return {};
    const auto& anim = block.Anim[static_cast<std::size_t>(e.AnimId)];
    if (anim[static_cast<std::size_t>(e.Frame)].Image < 0 || ++e.Counter < anim[static_cast<std::size_t>(e.Frame)].Duration)
        return {};
    TEntryStep step{true, EntryPanelRect(block, entry), {}};
    e.Counter = 0;
    if (++e.Frame == kFrameCount) {
        e.Frame = kFrameCount - 1;
        e.Counter = -1;
    } else if (anim[static_cast<std::size_t>(e.Frame)].Image == kFrameEnd) {
        --e.Frame;
        e.Counter = -1;
    } else if (anim[static_cast<std::size_t>(e.Frame)].Image == kFrameLoop) {
        e.Frame = 0;
    }
    step.after = EntryPanelRect(block, entry);
    return step;
}

TEntryStep StepBlink(TCharStat& block, TRandom& random)
{
    const TCharEntry& eyes = block.Entry[kEntryEyes];
    if (!InRange(eyes.AnimId, kAnimCount) || eyes.Counter != -1)
        return {};
    if (block.BlinkTimer == 0) {
        block.BlinkTimer = kBlinkPause + random.Random(kBlinkSpread);
        return {};
    }
    if (--block.BlinkTimer != 0)
        return {};
    TEntryStep step{true, EntryPanelRect(block, kEntryEyes), {}};
    StartEntry(block, kEntryEyes);
    step.after = EntryPanelRect(block, kEntryEyes);
    return step;
}

bool StepPages(TBGStat& block)
{
    if (!block.Loaded || block.Pages < 2 || ++block.PageCounter < block.PageWait)
        return false;
    block.PageCounter = 0;
    block.Page = (block.Page + 1) % block.Pages;
    return true;
}
