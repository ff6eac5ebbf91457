#include "shell/frame/TFramePulse.h"

namespace {

// Whether tick `index` of the cycle brings a pulse, and the cycle's length.
bool PulseAt(int index, std::uint32_t periodMs, int& cycle)
{
    if (periodMs == 10) {
        cycle = 10;
        return index == 3 || index == 6 || index == 10;
    }
    cycle = 20;
    return index == 6 || index == 13 || index == 20;
}

} // namespace

bool TFramePulse::Tick(std::uint32_t periodMs)
{
    musicMs_ += static_cast<int>(periodMs);
    const int index = tickIndex_ + 1;
    int cycle = 0;
    const bool pulse = PulseAt(index, periodMs, cycle);
    tickIndex_ = index >= cycle ? 0 : index;
    if (pulse)
        ++pulseCount_;
    return pulse;
}

void TFramePulse::Reset()
{
    tickIndex_ = 0;
    pulseCount_ = 0;
    pulsesDone_ = 0;
}

std::optional<int> TFramePulse::TakeDue(std::uint8_t mode)
{
    const int done = pulsesDone_;
    if (done > kWrapAt) {
        pulseCount_.fetch_sub(done); // a pulse counted meanwhile is kept
        pulsesDone_ = 0;
    }
    const int count = pulseCount_;
    const int dp = count - pulsesDone_;
    const bool due = mode == fps15 ? dp > 1 : mode == fps30 ? dp != 0 : true;
    if (!due)
        return std::nullopt;
    pulsesDone_ = count;
    return dp;
}
