#include "songgame/RecordingSongDevice.h"

#include "platform/classes/Stream.h"

namespace songtest {

namespace {

class RecordingSound : public SongSound {
public:
    explicit RecordingSound(std::shared_ptr<SoundLog> log) : log_(std::move(log)) {}
    ~RecordingSound() override { log_->deleted = true; }
    bool Play(bool) override
    {
        ++log_->plays;
        playing_ = true;
        log_->ended = false;
        return true;
    }
    void Stop() override
    {
        ++log_->stops;
        playing_ = false;
    }
    void SetVolume(std::int32_t attenuation) override { log_->volumes.push_back(attenuation); }
    bool IsPlay() override { return playing_ && !log_->ended; }
    bool GetPlayPosition(std::uint64_t& position, std::uint32_t& bytesPerSecond) override
    {
        position = log_->position;
        bytesPerSecond = log_->bytesPerSecond;
        return bytesPerSecond != 0;
    }

private:
    std::shared_ptr<SoundLog> log_;
    bool playing_ = false;
};

} // namespace

std::unique_ptr<SongSound> RecordingSongDevice::CreateBuffer(SongSoundKind kind, TStream* stream) { return Make(kind, stream, false); }

std::unique_ptr<SongSound> RecordingSongDevice::CreateStream(SongSoundKind kind, TStream* stream) { return Make(kind, stream, true); }

std::unique_ptr<SongSound> RecordingSongDevice::Make(SongSoundKind kind, TStream* stream, bool isStream)
{
    char head[8] = {};
    stream->SetPosition(0);
    const int got = stream->Read(head, sizeof head);
    auto log = std::make_shared<SoundLog>();
    log->kind = kind;
    log->stream = isStream;
    log->head.assign(head, static_cast<std::size_t>(std::max(got, 0)));
    if (log->head.rfind("bad", 0) == 0)
        return nullptr;
    made.push_back(log);
    return std::make_unique<RecordingSound>(log);
}

} // namespace songtest
