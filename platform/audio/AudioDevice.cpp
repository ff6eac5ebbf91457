// Device: the audio output service's entry point: makes the primary buffer, secondary buffers and
// their event sets over one output of a back end, and mixes them in software.
#include "platform/audio/AudioDevice.h"

#include "platform/audio/DeviceCore.h"
#include "platform/audio/EventSet.h"
#include "platform/audio/PrimaryBuffer.h"
#include "platform/audio/SecondaryBuffer.h"

namespace audio {

std::unique_ptr<Device> Device::Create(BackEnd& backEnd)
{
    return std::make_unique<Device>(backEnd);
}

Device::Device(BackEnd& backEnd) : core_(std::make_shared<DeviceCore>(backEnd)) {}

Device::~Device() = default;

BackEnd& Device::Back() const
{
    return core_->Back();
}

std::shared_ptr<Buffer> Device::CreateSoundBuffer(const BufferDesc& desc)
{
    if (!core_->StartOutput())
        return nullptr;
    if (desc.flags & kBufPrimary)
        return std::make_shared<PrimaryBuffer>(core_, desc.flags);
    return SecondaryBuffer::Create(core_, desc);
}

std::shared_ptr<Buffer> Device::DuplicateSoundBuffer(const Buffer& original)
{
    const auto* secondary = dynamic_cast<const SecondaryBuffer*>(&original);
    if (secondary == nullptr || !secondary->SameCore(*core_))
        return nullptr;
    return SecondaryBuffer::Duplicate(*secondary);
}

void Device::GetCaps(DeviceCaps& caps) const
{
    caps.flags = kCapsPrimaryMono | kCapsPrimaryStereo | kCapsPrimary8Bit | kCapsPrimary16Bit |
                 kCapsContinuousRate | kCapsSecondaryMono | kCapsSecondaryStereo | kCapsSecondary8Bit |
                 kCapsSecondary16Bit;
    caps.minSecondaryRate = kFrequencyMin;
    caps.maxSecondaryRate = kFrequencyMax;
    caps.primaryBuffers = 1;
    const Mixer& mixer = core_->Voices();
    caps.maxBuffers = static_cast<std::uint32_t>(mixer.Capacity());
    caps.freeBuffers = static_cast<std::uint32_t>(mixer.Capacity() - mixer.VoiceCount());
}

std::shared_ptr<EventSet> Device::CreateEvents(int count) const
{
    return std::make_shared<EventSet>(count, core_->Back().Tracker());
}

void Device::LoseBuffers()
{
    core_->LoseBuffers();
}

std::uint64_t Device::AudibleFrame() const
{
    return core_->AudibleFrame();
}

std::uint64_t Device::MixedFrames() const
{
    return core_->MixedFrames();
}

} // namespace audio
