#include "shell/frame/TFPSCounter.h"

#include <algorithm>

void TFPSCounter::Reset()
{
    start_.fill(0);
    count_.fill(0);
    index_ = 0;
    value_ = 0;
}

int TFPSCounter::Tick(std::uint32_t now)
{
    const std::uint32_t elapsed = now - start_[index_];
    if (elapsed >= kStallMs) {
        start_[index_] = now;
        count_[index_] = 1;
        value_ = 0;
        return 0;
    }
    if (elapsed < kWindowMs) {
        ++count_[index_];
        return value_;
    }
    const std::uint32_t previousStart = start_[index_];
    index_ = (index_ + 1) % kWindows;
    start_[index_] = previousStart + kWindowMs;
    count_[index_] = 1;
    std::uint32_t sum = 0;
    for (int i = 0; i < kWindows; ++i)
        if (i != index_)
            sum += count_[i];
    value_ = static_cast<int>(std::min<std::uint32_t>(sum, kMaxFPS));
    return value_;
}
