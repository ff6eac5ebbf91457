// DeviceCore: what a device and its buffers share: the mixer, the output with its clock, the
// listener, and the list of secondary buffers.
#include "platform/audio/DeviceCore.h"

#include "platform/audio/SecondaryBuffer.h"

#include <algorithm>

namespace audio {

DeviceCore::DeviceCore(BackEnd& backEnd) : back_(backEnd)
{
    for (auto& axis : listener_)
        axis.store(0.0f);
}

DeviceCore::~DeviceCore()
{
    std::lock_guard guard(outputLock_);
    output_.reset();
}

bool DeviceCore::StartOutput()
{
    std::lock_guard guard(outputLock_);
    if (output_)
        return true;
    renderFormat_ = format_;
    clock_.Reset();
    output_ = back_.Open(format_, *this);
    return output_ != nullptr;
}

bool DeviceCore::SetOutputFormat(const PcmFormat& format)
{
    if (!format.Valid())
        return false;
    std::lock_guard guard(outputLock_);
    if (format == format_)
        return true;
    format_ = format;
    if (!output_)
        return true;
    output_.reset();
    renderFormat_ = format_;
    clock_.Reset();
    output_ = back_.Open(format_, *this);
    return output_ != nullptr;
}

PcmFormat DeviceCore::OutputFormat() const
{
    std::lock_guard guard(outputLock_);
    return format_;
}

void DeviceCore::SetListenerPosition(float x, float y, float z)
{
    listener_[0].store(x);
    listener_[1].store(y);
    listener_[2].store(z);
}

std::array<float, 3> DeviceCore::ListenerPosition() const
{
    return {listener_[0].load(std::memory_order_relaxed), listener_[1].load(std::memory_order_relaxed),
            listener_[2].load(std::memory_order_relaxed)};
}

void DeviceCore::AddBuffer(SecondaryBuffer* buffer)
{
    std::lock_guard guard(buffersLock_);
    buffers_.push_back(buffer);
}

void DeviceCore::RemoveBuffer(SecondaryBuffer* buffer)
{
    std::lock_guard guard(buffersLock_);
    std::erase(buffers_, buffer);
}

void DeviceCore::LoseBuffers()
{
    std::lock_guard guard(buffersLock_);
    for (SecondaryBuffer* buffer : buffers_)
        buffer->Lose();
}

void DeviceCore::Render(std::span<std::uint8_t> out, std::uint32_t frames, std::int64_t nowNs,
                        std::uint32_t latencyFrames) noexcept
{
    const std::uint64_t first = mixed_.load(std::memory_order_relaxed);
    mixer_.Mix(out, frames, renderFormat_, first);
    mixed_.store(first + frames, std::memory_order_release);
    clock_.OnPeriod(nowNs, first, frames, latencyFrames, renderFormat_.samplesPerSec);
}

} // namespace audio
