// The steady periodic-timer back end: each timer is a thread of its own on the monotonic clock.
#pragma once

#include "platform/timer/TimerBackEnd.h"

namespace timer {

class SteadyTimer final : public BackEnd {
public:
    const char* Name() const override { return "steady"; }
    std::unique_ptr<Timer> Start(std::chrono::milliseconds period, Handler handler) override;
};

} // namespace timer
