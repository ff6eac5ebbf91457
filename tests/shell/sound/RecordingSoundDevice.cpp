#include "RecordingSoundDevice.h"

#include "platform/classes/Stream.h"

namespace shelltest {

class RecordingSoundDevice::Sound : public GameSound {
public:
    Sound(RecordingSoundDevice& device, std::string name) : device_(device), name_(std::move(name))
    {
        device_.live_[name_] = {0, false, ++device_.made_[name_]};
    }
    ~Sound() override
    {
        device_.live_.erase(name_);
        device_.log_.push_back(name_ + " deleted");
    }
    bool Play(bool loop) override
    {
        device_.live_[name_].playing = true;
        device_.log_.push_back(name_ + (loop ? " play loop" : " play"));
        return true;
    }
    void Stop() override
    {
        device_.live_[name_].playing = false;
        device_.log_.push_back(name_ + " stop");
    }
    void SetVolume(std::int32_t attenuation) override { device_.live_[name_].volume = attenuation; }
    bool IsPlay() override { return device_.live_[name_].playing; }

private:
    RecordingSoundDevice& device_;
    std::string name_;
};

std::unique_ptr<GameSound> RecordingSoundDevice::Make(TStream* stream)
{
    std::string name(static_cast<std::size_t>(stream->GetSize()), '\0');
    stream->SetPosition(0);
    if (!name.empty())
        stream->ReadBuffer(name.data(), static_cast<int>(name.size()));
    if (name == "bad")
        return nullptr;
    return std::make_unique<Sound>(*this, name);
}

std::unique_ptr<GameSound> RecordingSoundDevice::CreateBufferFromOgg(TStream* stream)
{
    return Make(stream);
}

std::unique_ptr<GameSound> RecordingSoundDevice::CreateStreamFromOgg(TStream* stream)
{
    return Make(stream);
}

std::unique_ptr<GameSound> RecordingSoundDevice::CreateBufferMute(int)
{
    return std::make_unique<Sound>(*this, "mute");
}

const RecordingSoundDevice::State* RecordingSoundDevice::Live(const std::string& name) const
{
    const auto it = live_.find(name);
    return it == live_.end() ? nullptr : &it->second;
}

void RecordingSoundDevice::EndPlaying(const std::string& name)
{
    live_[name].playing = false;
}

int RecordingSoundDevice::Made(const std::string& name) const
{
    const auto it = made_.find(name);
    return it == made_.end() ? 0 : it->second;
}

std::vector<std::string> RecordingSoundDevice::TakeLog()
{
    std::vector<std::string> log;
    log.swap(log_);
    return log;
}

} // namespace shelltest
