// The periodic-timer service's back-end contract and the choice of back end.
#include "platform/timer/TimerBackEnd.h"

#include "platform/classes/Application.h"
#include "platform/classes/Exception.h"
#include "platform/timer/steady/SteadyTimer.h"

#include <algorithm>
#include <mutex>

namespace timer {

void CallHandler(const Handler& handler, unsigned missed)
{
    try {
        handler(missed);
    } catch (const std::exception& error) {
        Application().HandleException(nullptr, error);
    } catch (...) {
        Application().HandleException(nullptr, Exception("Unknown exception"));
    }
}

Deadlines::Deadlines(TimePoint start, Duration period)
    : period_(std::max<Duration>(period, std::chrono::milliseconds(1)))
{
    next_ = start + period_;
}

unsigned Deadlines::Step(TimePoint now)
{
    next_ += period_;
    if (next_ > now)
        return 0;
    const auto behind = (now - next_) / period_ + 1;
    next_ += behind * period_;
    return static_cast<unsigned>(behind);
}

namespace {

std::mutex defaultLock; // guards defaultBackEnd
std::shared_ptr<BackEnd> defaultBackEnd;

} // namespace

std::shared_ptr<BackEnd> DefaultBackEnd()
{
    const std::lock_guard guard(defaultLock);
    if (!defaultBackEnd)
        defaultBackEnd = std::make_shared<SteadyTimer>();
    return defaultBackEnd;
}

Caps GetCaps() { return DefaultBackEnd()->PeriodCaps(); }

void SetDefaultBackEnd(std::shared_ptr<BackEnd> backEnd)
{
    const std::lock_guard guard(defaultLock);
    defaultBackEnd = std::move(backEnd);
}

} // namespace timer
