// The manual-clock periodic-timer back end: timers whose calls run when the test advances the clock.
#include "platform/timer/headless/ManualTimer.h"

#include <algorithm>
#include <thread>

namespace timer {

// Guarded by the back end's lock_, but for `handler`, which is only read.
struct ManualTimer::Entry {
    Entry(Deadlines::TimePoint start, Duration period, Handler h) : deadlines(start, period), handler(std::move(h)) {}

    Deadlines deadlines;
    Handler handler;
    unsigned missed = 0;
    std::thread::id callingThread; // set while the handler runs
};

class ManualTimer::Handle final : public Timer {
public:
    Handle(ManualTimer& owner, std::shared_ptr<Entry> entry) : owner_(owner), entry_(std::move(entry)) {}
    ~Handle() override { owner_.Finish(entry_); }

    void Stop() override { owner_.Stop(entry_); }
    bool OnTimerThread() const override { return owner_.OnTimerThread(*entry_); }

private:
    ManualTimer& owner_;
    std::shared_ptr<Entry> entry_;
};

Caps ManualTimer::PeriodCaps() const
{
    const std::lock_guard guard(lock_);
    return caps_;
}

void ManualTimer::SetPeriodCaps(Caps caps)
{
    const std::lock_guard guard(lock_);
    caps_ = caps;
}

std::unique_ptr<Timer> ManualTimer::Start(std::chrono::milliseconds period, Handler handler)
{
    const std::lock_guard guard(lock_);
    auto entry = std::make_shared<Entry>(now_, period, std::move(handler));
    running_.push_back(entry);
    return std::make_unique<Handle>(*this, std::move(entry));
}

void ManualTimer::Advance(Duration span)
{
    std::unique_lock guard(lock_);
    const Deadlines::TimePoint target = now_ + span;
    while (const std::shared_ptr<Entry> due = NextDue(std::max(target, now_))) {
        now_ = std::max(now_, due->deadlines.Next());
        due->callingThread = std::this_thread::get_id();
        guard.unlock();
        CallHandler(due->handler, due->missed);
        guard.lock();
        due->callingThread = {};
        due->missed = due->deadlines.Step(now_);
        callEnded_.notify_all();
    }
    now_ = std::max(now_, target);
}

void ManualTimer::Hold(Duration span)
{
    const std::lock_guard guard(lock_);
    now_ += span;
}

ManualTimer::Duration ManualTimer::Now() const
{
    const std::lock_guard guard(lock_);
    return now_.time_since_epoch();
}

std::size_t ManualTimer::Running() const
{
    const std::lock_guard guard(lock_);
    return running_.size();
}

std::shared_ptr<ManualTimer::Entry> ManualTimer::NextDue(Deadlines::TimePoint limit) const
{
    std::shared_ptr<Entry> due;
    for (const auto& entry : running_)
        if (entry->callingThread == std::thread::id{} && entry->deadlines.Next() <= limit &&
            (!due || entry->deadlines.Next() < due->deadlines.Next()))
            due = entry;
    return due;
}

void ManualTimer::Stop(const std::shared_ptr<Entry>& entry)
{
    const std::lock_guard guard(lock_);
    std::erase(running_, entry);
}

void ManualTimer::Finish(const std::shared_ptr<Entry>& entry)
{
    std::unique_lock guard(lock_);
    std::erase(running_, entry);
    const auto self = std::this_thread::get_id();
    callEnded_.wait(guard, [&] { return entry->callingThread == std::thread::id{} || entry->callingThread == self; });
}

bool ManualTimer::OnTimerThread(const Entry& entry) const
{
    const std::lock_guard guard(lock_);
    return entry.callingThread == std::this_thread::get_id();
}

} // namespace timer
