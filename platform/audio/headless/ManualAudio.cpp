// The manual-clock audio back end: an output that mixes only when the test advances its clock,
// and keeps what it mixed for the test to read.
#include "platform/audio/headless/ManualAudio.h"

#include <utility>

namespace audio {

class ManualAudio::Output final : public OutputStream {
public:
    Output(ManualAudio& owner, const PcmFormat& format, Renderer& renderer, std::uint32_t period,
           std::uint32_t latency)
        : owner(owner), format(format), renderer(renderer), period(period), latency(latency)
    {
    }
    ~Output() override { owner.Close(this); }
    PcmFormat Format() const override { return format; }

    ManualAudio& owner;
    const PcmFormat format;
    Renderer& renderer;
    const std::uint32_t period;
    const std::uint32_t latency;
};

ManualAudio::ManualAudio() = default;

ManualAudio::~ManualAudio() = default;

std::unique_ptr<OutputStream> ManualAudio::Open(const PcmFormat& format, Renderer& renderer)
{
    std::lock_guard guard(lock_);
    if (settings.openFails || open_ != nullptr || !format.Valid() || settings.periodFrames == 0)
        return nullptr;
    if (format.samplesPerSec != format_.samplesPerSec) {
        baseNs_ = nowNs_.load();
        baseFrames_ = clock_;
    }
    format_ = format;
    auto output = std::make_unique<Output>(*this, format, renderer, settings.periodFrames, settings.latencyFrames);
    open_ = output.get();
    nextPeriod_ = clock_;
    period_.assign(static_cast<std::size_t>(settings.periodFrames) * format.FrameBytes(), 0);
    return output;
}

void ManualAudio::Close(Output* output)
{
    std::lock_guard guard(lock_);
    if (open_ == output)
        open_ = nullptr;
}

void ManualAudio::SetClock(std::uint64_t clock)
{
    clock_ = clock;
    nowNs_.store(baseNs_ + FramesToNs(clock - baseFrames_, format_.samplesPerSec), std::memory_order_release);
}

bool ManualAudio::Advance(std::uint64_t frames, Sync sync)
{
    bool settled = true;
    std::unique_lock guard(lock_);
    const std::uint64_t target = clock_ + frames;
    while (open_ != nullptr && nextPeriod_ < target) {
        SetClock(nextPeriod_);
        open_->renderer.Render(period_, open_->period, NowNs(), open_->latency);
        if (settings.keepOutput)
            captured_.insert(captured_.end(), period_.begin(), period_.end());
        mixedFrames_ += open_->period;
        nextPeriod_ += open_->period;
        if (sync == Sync::WaitForNotifications) {
            guard.unlock();
            settled = tracker_->WaitIdle() && settled;
            guard.lock();
        }
    }
    SetClock(target);
    return settled;
}

std::uint64_t ManualAudio::Clock() const
{
    std::lock_guard guard(lock_);
    return clock_;
}

bool ManualAudio::IsOpen() const
{
    std::lock_guard guard(lock_);
    return open_ != nullptr;
}

PcmFormat ManualAudio::Format() const
{
    std::lock_guard guard(lock_);
    return format_;
}

std::vector<std::uint8_t> ManualAudio::TakeOutput()
{
    std::lock_guard guard(lock_);
    return std::exchange(captured_, {});
}

std::uint64_t ManualAudio::MixedFrames() const
{
    std::lock_guard guard(lock_);
    return mixedFrames_;
}

} // namespace audio
