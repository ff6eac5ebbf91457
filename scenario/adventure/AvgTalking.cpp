#include "scenario/adventure/AvgTalking.h"

#include "scenario/script/ScriptScreen.h"

#include <algorithm>
#include <limits>

void AvgTalking::Start(std::int32_t milliseconds)
{
    on_ = true;
    countdown_ = milliseconds >= 1 ? static_cast<std::int32_t>(std::min<std::int64_t>(
                                         MillisecondsToFrames(milliseconds), std::numeric_limits<std::int32_t>::max()))
                                   : 0;
}

void AvgTalking::Stop()
{
    on_ = false;
    countdown_ = 0;
}

void AvgTalking::Count(std::int32_t frames) { countdown_ = std::max(0, countdown_ - std::max(0, frames)); }

std::optional<bool> AvgTalking::Update(bool voicePlaying, bool printing)
{
    const bool shown = on_ && (countdown_ > 0 || voicePlaying || printing);
    if (shown == shown_)
        return std::nullopt;
    shown_ = shown;
    return shown;
}
