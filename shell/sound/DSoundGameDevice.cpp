#include "shell/sound/DSoundGameDevice.h"

#include "sound/TDSound.h"

namespace {

// A device buffer or stream, deleted with this object unless the device deleted it first (free
// notification clears the reference then).
class DSoundGameSound : public GameSound, private TComponent {
public:
    explicit DSoundGameSound(DirectX::TCustomDSoundBuffer* buffer) : TComponent(nullptr), buffer_(buffer)
    {
        buffer_->FreeNotification(this);
    }
    ~DSoundGameSound() override
    {
        if (buffer_ == nullptr)
            return;
        buffer_->RemoveFreeNotification(this);
        // Made with `new` by the device and owned by it as a component; deleting it takes it off
        // the device's buffer list.
        std::unique_ptr<DirectX::TCustomDSoundBuffer> owned(buffer_);
    }

    bool Play(bool loop) override { return buffer_ != nullptr && buffer_->Play(loop); }
    void Stop() override
    {
        if (buffer_ != nullptr)
            buffer_->Stop();
    }
    void SetVolume(std::int32_t attenuation) override
    {
        if (buffer_ != nullptr)
            buffer_->SetVolume(attenuation);
    }
    bool IsPlay() override { return buffer_ != nullptr && buffer_->IsPlay(); }
    bool GetPlayPosition(std::uint64_t& position, std::uint32_t& bytesPerSecond) override
    {
        if (buffer_ == nullptr)
            return false;
        bytesPerSecond = static_cast<std::uint32_t>(buffer_->Channels()) * buffer_->SamplesPerSec() *
                         (buffer_->BitsPerSample() / 8u);
        position = buffer_->GetPosition();
        return bytesPerSecond != 0;
    }

private:
    void Notification(TComponent* component, TOperation operation) override
    {
        if (operation == opRemove && component == buffer_)
            buffer_ = nullptr;
        TComponent::Notification(component, operation);
    }

    DirectX::TCustomDSoundBuffer* buffer_;
};

} // namespace

std::unique_ptr<GameSound> WrapDeviceSound(DirectX::TCustomDSoundBuffer* buffer)
{
    if (buffer == nullptr)
        return nullptr;
    return std::make_unique<DSoundGameSound>(buffer);
}

DSoundGameDevice::DSoundGameDevice(DirectX::TDSound* sound) : sound_(sound) {}

std::unique_ptr<GameSound> DSoundGameDevice::CreateBufferFromOgg(TStream* stream)
{
    return WrapDeviceSound(sound_->CreateBufferFromOgg(stream, false, false, false));
}

std::unique_ptr<GameSound> DSoundGameDevice::CreateStreamFromOgg(TStream* stream)
{
    return WrapDeviceSound(sound_->CreateStreamFromOgg(stream, false, false));
}

std::unique_ptr<GameSound> DSoundGameDevice::CreateBufferMute(int seconds)
{
    return WrapDeviceSound(sound_->CreateBufferMute(seconds));
}
