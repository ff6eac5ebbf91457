// The steady periodic-timer back end: each timer is a thread of its own on the monotonic clock.
#include "platform/timer/steady/SteadyTimer.h"

#include "platform/timer/steady/PeriodicTimer.h"

namespace timer {

std::unique_ptr<Timer> SteadyTimer::Start(std::chrono::milliseconds period, Handler handler)
{
    return std::make_unique<PeriodicTimer>(period, std::move(handler));
}

} // namespace timer
