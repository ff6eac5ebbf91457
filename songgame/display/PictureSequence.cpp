#include "songgame/display/PictureSequence.h"

#include <algorithm>

namespace {

// The state after frame i of n frames (n >= 2) in this play mode; false when the mode never steps.
bool NextState(std::int32_t mode, std::int32_t& state, std::int32_t n, bool loop)
{
    const std::int32_t i = state & SequenceFrameMask;
    switch (mode) {
    case pepOff:
    case pepPlain:
        if (i + 1 < n)
            state = i + 1;
        else
            state = mode == pepPlain && loop ? 0 : (n - 1) | SequenceFinished;
        return true;
    case pepTurn:
    case pepRound:
        if ((state & SequenceBackwards) == 0)
            state = i + 1 < n ? i + 1 : (n - 2) | SequenceBackwards;
        else if (i > 0)
            state = (i - 1) | SequenceBackwards;
        else
            state = mode == pepRound && loop ? 1 : SequenceFinished;
        return true;
    default:
        return false;
    }
}

} // namespace

bool StepSequence(const PictureEntry& entry, std::int32_t& state, std::int32_t& time, bool loop)
{
    const std::int32_t n = std::min(entry.frameCount, EntryFrames);
    const std::int32_t before = state & SequenceFrameMask;
    while ((state & SequenceFinished) == 0) {
        const std::int32_t i = state & SequenceFrameMask;
        if (i >= n)
            break;
        const std::int32_t duration = std::max(0, entry.durations[static_cast<std::size_t>(i)]);
        if (duration == 0)
            --time;
        if (time < duration)
            break;
        if (n < 2) {
            state = SequenceFinished;
            break;
        }
        time -= duration;
        if (!NextState(entry.playMode, state, n, loop))
            break;
    }
    return (state & SequenceFrameMask) != before;
}
