// TScreenTransition: start, reset, advance and the two steppers that decide what each drawing shows.
#include "shell/transition/TScreenTransition.h"

#include "base/util/TXeRectSet.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include "shell/transition/ScreenPictures.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>

namespace {

using ScreenPictures::IsScreenPicture;

// How each kind is paced and where it ends: time-paced kinds end at a progress, frame-paced ones at
// a step count.
struct KindPace {
    bool framed;
    int end;
    int valuePerProgress; // time-paced kinds: the value drawn is progress x this
};

constexpr std::array<KindPace, TScreenTransition::kKindCount> kPaces = {{
    {false, 32, 4},  // 0 cross-fade
    {false, 16, 8},  // 1 quick cross-fade
    {false, 64, 2},  // 2 slow cross-fade
    {false, 160, 1}, // 3 push up
    {false, 160, 1}, // 4 push down
    {false, 160, 1}, // 5 push right
    {false, 160, 1}, // 6 push left
    {true, 36, 0},   // 7 zoom in
    {true, 20, 0},   // 8 zoom in, target growing
    {true, 36, 0},   // 9 shrink
    {true, 20, 0},   // 10 target zooming out
    {true, 70, 0},   // 11 water ripple
    {true, 37, 0},   // 12 halo burst
    {false, 32, 16}, // 13 soft mask wipe (value 511 at the end)
    {false, 32, 8},  // 14 hard mask wipe (value 255 at the end)
}};

// Kinds that draw without a target (the zooms and the halo blend toward it only when it exists).
bool NeedsTarget(int kind)
{
    return !(kind >= 7 && kind <= 10) && kind != 12;
}

} // namespace

TScreenTransition::TScreenTransition() = default;

void TScreenTransition::Reset()
{
    FSource = nullptr;
    FTarget = nullptr;
    FKind = -1;
}

bool TScreenTransition::Start(int kind, TXeRGBBits* source, TXeRGBBits* target, int speed)
{
    if (!IsScreenPicture(source) || !IsScreenPicture(target))
        return false;
    FSource = source;
    FTarget = target;
    // Anything outside 0..14 but -1 stands for "another kind": the target at once.
    FKind = kind == -1 || (kind >= 0 && kind < kKindCount) ? kind : kKindCount;
    FSpeed = speed > 0 ? speed : kDefaultSpeed;
    FElapsed = 0;
    FProgress = 0;
    FLastDrawn = -1;
    return true;
}

bool TScreenTransition::StartDefault(int kind, TXeRGBBits* source, TXeRGBBits* target)
{
    return Start(kind, source, target, kDefaultSpeed);
}

void TScreenTransition::Advance(int pulses)
{
    if (FKind == -1)
        return;
    const std::int64_t elapsed = std::clamp<std::int64_t>(std::int64_t{FElapsed} + pulses, 0,
                                                          std::numeric_limits<int>::max());
    FElapsed = static_cast<int>(elapsed);
    FProgress = static_cast<int>(std::min<std::int64_t>(elapsed * FSpeed / 100, std::numeric_limits<int>::max()));
}

bool TScreenTransition::PicturesPresent() const
{
    return IsScreenPicture(FSource) && (!NeedsTarget(FKind) || IsScreenPicture(FTarget));
}

void TScreenTransition::Draw(TXeRGBBits* dest, TXeRectSet* set)
{
    if (FKind == -1 || dest == nullptr)
        return;
    if (set != nullptr)
        set->UnionRect(XeRect(0, 0, kWidth, kHeight));
    if (FKind >= kKindCount || !PicturesPresent()) {
        Finish(dest);
    } else if (FLastDrawn < 0) {
        if (kPaces[static_cast<std::size_t>(FKind)].framed)
            FStepCount = 0;
        DrawValue(dest, 0);
    } else if (kPaces[static_cast<std::size_t>(FKind)].framed) {
        StepFramed(dest, kPaces[static_cast<std::size_t>(FKind)].end);
    } else {
        StepTimed(dest, kPaces[static_cast<std::size_t>(FKind)].end);
    }
    FLastDrawn = FProgress;
}

void TScreenTransition::StepTimed(TXeRGBBits* dest, int endProgress)
{
    if (FProgress >= endProgress) {
        Finish(dest);
        return;
    }
    if (FProgress != FLastDrawn)
        DrawValue(dest, FProgress * kPaces[static_cast<std::size_t>(FKind)].valuePerProgress);
}

// Kinds 7 to 12 move one step per drawn frame in which time advanced, whatever the speed: their
// trails and ripples are built frame on frame from the previous picture, so skipping steps would
// change their look. Other animation follows the pulses; these knowingly do not.
void TScreenTransition::StepFramed(TXeRGBBits* dest, int stepTotal)
{
    if (FStepCount >= stepTotal) {
        Finish(dest);
        return;
    }
    if (FProgress == FLastDrawn)
        return;
    ++FStepCount;
    if (FStepCount >= stepTotal)
        Finish(dest);
    else
        DrawValue(dest, FStepCount);
}

void TScreenTransition::Finish(TXeRGBBits* dest)
{
    if (IsScreenPicture(FTarget))
        ScreenPictures::ShowWhole(dest, FTarget);
    FKind = -1;
}
