// The silent audio back end: an output that plays nothing but mixes in real time, so that buffers
// play, notify and report positions on a machine without a sound device.
#include "platform/audio/silent/SilentAudio.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace audio {

namespace {

std::int64_t SteadyNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Threads: the pacing thread renders; the destructor (any control thread) stops and joins it.
// lock_ guards stop_ and is never held while rendering.
class SilentOutput final : public OutputStream {
public:
    SilentOutput(const PcmFormat& format, Renderer& renderer)
        : format_(format), renderer_(renderer),
          scratch_(static_cast<std::size_t>(SilentAudio::kPeriodFrames) * format.FrameBytes())
    {
        thread_ = std::thread([this] { Run(); });
    }

    ~SilentOutput() override
    {
        {
            std::lock_guard guard(lock_);
            stop_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }

    PcmFormat Format() const override { return format_; }

private:
    void Run()
    {
        const std::int64_t start = SteadyNs();
        for (std::uint64_t period = 0;; ++period) {
            const std::int64_t due =
                start + FramesToNs(period * SilentAudio::kPeriodFrames, format_.samplesPerSec);
            {
                std::unique_lock guard(lock_);
                const auto deadline = std::chrono::steady_clock::time_point(std::chrono::nanoseconds(due));
                if (wake_.wait_until(guard, deadline, [this] { return stop_; }))
                    return;
            }
            renderer_.Render(scratch_, SilentAudio::kPeriodFrames, SteadyNs(), SilentAudio::kPeriodFrames);
        }
    }

    const PcmFormat format_;
    Renderer& renderer_;
    std::vector<std::uint8_t> scratch_;
    std::mutex lock_;
    std::condition_variable wake_;
    bool stop_ = false;
    std::thread thread_;
};

} // namespace

std::unique_ptr<OutputStream> SilentAudio::Open(const PcmFormat& format, Renderer& renderer)
{
    if (!format.Valid())
        return nullptr;
    return std::make_unique<SilentOutput>(format, renderer);
}

std::int64_t SilentAudio::NowNs() const
{
    return SteadyNs();
}

} // namespace audio
