#include "scenario/adventure/AvgWaits.h"

#include "scenario/script/ScriptScreen.h"

#include <algorithm>

namespace {

// Frames of a wait, kept below the no-end mark.
std::int32_t WaitFrames(std::int64_t milliseconds)
{
    return static_cast<std::int32_t>(std::min<std::int64_t>(MillisecondsToFrames(milliseconds), AvgWaits::NoEnd - 1));
}

} // namespace

void AvgWaits::Set(WaitState state)
{
    state_ = state;
    if (state != WaitState::Run)
        menuAllowed_ = true;
}

void AvgWaits::Reset()
{
    state_ = WaitState::Run;
    menuAllowed_ = false;
    countdown_ = 0;
}

void AvgWaits::StartTimed(std::int64_t milliseconds, bool fast)
{
    countdown_ = fast ? 1 : WaitFrames(milliseconds);
    Set(WaitState::Timed);
}

void AvgWaits::StartClick(std::int32_t autoSkipWait)
{
    countdown_ = WaitFrames(autoSkipWait);
    Set(WaitState::Click);
}

bool AvgWaits::StepTimed(std::int32_t frames, bool fast)
{
    if (fast)
        countdown_ = -1;
    else if (countdown_ != NoEnd)
        countdown_ -= frames;
    if (countdown_ >= 0)
        return false;
    Set(WaitState::Run);
    return true;
}

bool AvgWaits::StepAuto(std::int32_t frames, bool voicePlaying)
{
    if (!voicePlaying)
        countdown_ -= frames;
    return countdown_ < 0;
}
