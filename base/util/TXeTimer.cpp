// TXeTimer: a component that calls its OnTimer event periodically on a timer of the timer service.
#include "base/util/TXeTimer.h"

#include "platform/classes/Application.h"
#include "platform/classes/Exception.h"
#include "platform/codepage/CodePage.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <system_error>

namespace {

// "ﾏﾙﾁﾒﾃﾞｨｱﾀｲﾏｰを取得できません" (the multimedia timer cannot be obtained), in Shift_JIS.
const char kNoTimer[] = "\xcf\xd9\xc1\xd2\xc3\xde\xa8\xb1\xc0\xb2\xcf\xb0\x82\xf0\x8e\xe6"
                        "\x93\xbe\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1";

constexpr unsigned kMaxResolution = 100;

unsigned Resolution(unsigned wanted)
{
    const timer::Caps caps = timer::GetCaps();
    return std::clamp(wanted, caps.periodMin, caps.periodMax);
}

} // namespace

TXeTimer::TXeTimer(TComponent* owner, std::shared_ptr<timer::BackEnd> timers)
    : TComponent(owner), timers_(timers ? std::move(timers) : timer::DefaultBackEnd()),
      resolution_(Resolution(kMaxResolution))
{
}

TXeTimer::~TXeTimer()
{
    std::vector<std::unique_ptr<timer::Timer>> finished;
    {
        const std::lock_guard lock(control_);
        enabled_ = false;
        destroying_ = true;
        if (running_) {
            running_->Stop();
            finished.push_back(std::move(running_));
        }
        std::move(stopped_.begin(), stopped_.end(), std::back_inserter(finished));
        stopped_.clear();
    }
    // `finished` joins its threads here, outside the lock.
}

bool TXeTimer::GetEnabled() const
{
    const std::lock_guard lock(control_);
    return enabled_;
}

void TXeTimer::SetEnabled(bool enabled)
{
    {
        const std::lock_guard lock(control_);
        if (enabled == enabled_)
            return;
        enabled_ = enabled;
    }
    UpdateTimer();
}

unsigned TXeTimer::GetInterval() const
{
    const std::lock_guard lock(control_);
    return interval_;
}

void TXeTimer::SetInterval(unsigned ms)
{
    {
        const std::lock_guard lock(control_);
        if (ms == interval_)
            return;
        interval_ = ms;
        resolution_ = Resolution(std::min(ms, kMaxResolution));
    }
    UpdateTimer();
}

TNotifyEvent TXeTimer::GetOnTimer() const
{
    const std::lock_guard lock(control_);
    return onTimer_;
}

void TXeTimer::SetOnTimer(TNotifyEvent event)
{
    {
        const std::lock_guard lock(control_);
        onTimer_ = std::move(event);
    }
    UpdateTimer();
}

unsigned TXeTimer::GetResolution() const
{
    const std::lock_guard lock(control_);
    return resolution_;
}

void TXeTimer::UpdateTimer()
{
    std::vector<std::unique_ptr<timer::Timer>> finished;
    {
        const std::lock_guard lock(control_);
        if (running_) {
            running_->Stop();
            stopped_.push_back(std::move(running_));
        }
        // Every stopped timer but the one whose OnTimer is calling this can be joined now.
        for (auto& stopped : stopped_)
            if (!stopped->OnTimerThread())
                finished.push_back(std::move(stopped));
        std::erase(stopped_, nullptr);
        if (interval_ != 0 && enabled_ && !destroying_) {
            try {
                running_ = timers_->Start(std::chrono::milliseconds(interval_), [this](unsigned missed) { Tick(missed); });
            } catch (const std::system_error&) {
                throw EOutOfResources(kNoTimer, CodePage::ShiftJis);
            }
        }
    }
    // `finished` joins its threads here, outside the lock their OnTimer may be waiting for.
}

void TXeTimer::AddCount(unsigned ticks)
{
    int count = Count.load();
    while (!Count.compare_exchange_weak(count, static_cast<int>(std::min<long long>(static_cast<long long>(count) + ticks, INT_MAX)))) {
    }
}

void TXeTimer::CountInc() { AddCount(1); }

void TXeTimer::CountDec()
{
    int count = Count.load();
    while (count > 0 && !Count.compare_exchange_weak(count, count - 1)) {
    }
}

void TXeTimer::Timer()
{
    CountInc();
    if (busy_.exchange(true))
        return; // OnTimer is still running: this tick is dropped
    const TNotifyEvent event = GetOnTimer();
    try {
        if (event)
            event(this);
    } catch (...) {
        busy_ = false;
        throw Exception("Timer Call Error");
    }
    busy_ = false;
}

void TXeTimer::Tick(unsigned missed)
{
    AddCount(missed);
    try {
        Timer();
    } catch (const std::exception& error) {
        Application().HandleException(this, error);
    }
}
