// PrimaryBuffer: the buffer that stands for the output: its format, master volume, play flag and
// the 3-D listener.
#include "platform/audio/PrimaryBuffer.h"

#include "platform/audio/DeviceCore.h"

namespace audio {

PrimaryBuffer::PrimaryBuffer(std::shared_ptr<DeviceCore> core, std::uint32_t flags)
    : core_(std::move(core)), flags_(flags | kBufPrimary)
{
}

BufferCaps PrimaryBuffer::GetCaps() const
{
    return {flags_, kFrames * GetFormat().FrameBytes()};
}

PcmFormat PrimaryBuffer::GetFormat() const
{
    return core_->OutputFormat();
}

bool PrimaryBuffer::SetFormat(const PcmFormat& format)
{
    return core_->SetOutputFormat(format);
}

std::uint32_t PrimaryBuffer::GetStatus() const
{
    if (!playing_.load(std::memory_order_acquire))
        return 0;
    return kStatusPlaying | (looping_.load(std::memory_order_acquire) ? kStatusLooping : 0);
}

bool PrimaryBuffer::Play(bool looping)
{
    looping_.store(looping, std::memory_order_release);
    playing_.store(true, std::memory_order_release);
    return true;
}

bool PrimaryBuffer::Stop()
{
    playing_.store(false, std::memory_order_release);
    return true;
}

bool PrimaryBuffer::GetCurrentPosition(std::uint32_t* play, std::uint32_t* write)
{
    const std::uint32_t frameBytes = GetFormat().FrameBytes();
    if (play != nullptr)
        *play = static_cast<std::uint32_t>(core_->AudibleFrame() % kFrames) * frameBytes;
    if (write != nullptr)
        *write = static_cast<std::uint32_t>(core_->MixedFrames() % kFrames) * frameBytes;
    return true;
}

bool PrimaryBuffer::GetVolume(long* volume) const
{
    *volume = core_->Voices().MasterVolume();
    return true;
}

bool PrimaryBuffer::SetVolume(long volume)
{
    if (volume < kVolumeMin || volume > kVolumeMax)
        return false;
    core_->Voices().SetMasterVolume(volume);
    return true;
}

bool PrimaryBuffer::GetPan(long* pan) const
{
    *pan = 0;
    return false;
}

bool PrimaryBuffer::GetFrequency(std::uint32_t* frequency) const
{
    *frequency = 0;
    return false;
}

bool PrimaryBuffer::Lock(std::uint32_t, std::uint32_t, LockedRegion& first, LockedRegion& second)
{
    first = {};
    second = {};
    return false;
}

bool PrimaryBuffer::SetPosition(float x, float y, float z)
{
    core_->SetListenerPosition(x, y, z);
    return true;
}

bool PrimaryBuffer::SetVelocity(float x, float y, float z)
{
    velocity_ = {x, y, z};
    return true;
}

bool PrimaryBuffer::SetOrientation(float fx, float fy, float fz, float tx, float ty, float tz)
{
    orientation_ = {fx, fy, fz, tx, ty, tz};
    return true;
}

} // namespace audio
