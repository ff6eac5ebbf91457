// TCounter: a bounded counter that wraps at its maximum.
#include "base/util/TCounter.h"

#include <algorithm>

TCounter::TCounter(int max) : max_(std::max(1, max)) {}

TCounter::TCounter(int max, int add) : max_(std::max(1, max)), step_(std::min(max_, std::max(0, add))) {}

void TCounter::SetMaxVal(int value)
{
    max_ = std::max(1, value);
    step_ = std::min(step_, max_);
    count_ = std::min(count_, max_ - 1);
}

void TCounter::SetAddVal(int value) { step_ = std::min(max_, std::max(0, value)); }

void TCounter::SetCount(int value) { count_ = std::min(value, max_ - 1); }

bool TCounter::AddVal(int a)
{
    count_ += a;
    if (count_ < max_)
        return false;
    count_ -= max_;
    return true;
}

bool TCounter::SubVal(int a)
{
    count_ -= a;
    if (count_ >= 0)
        return false;
    count_ = 0;
    return true;
}
